#include "search/searchstore.h"

#include "common/module1.h"
#include "db/recordsetmodel.h"
#include "db/searchstatements.h"
#include "search/searchbuttons.h"

namespace pel::search {

SearchStore::SearchStore(QObject *modelParent) : m_model(new db::RecordsetModel(modelParent)) {}

QAbstractItemModel *SearchStore::gridModel() const
{
    return m_model;
}

db::Result SearchStore::searchStudents(const SearchButton &button, const QString &text)
{
    return show(db::searchStudentsStatement(button.column, text));
}

db::Result SearchStore::listAllStudents()
{
    return show(db::listAllStudentsStatement());
}

db::Result SearchStore::show(const QString &sql)
{
    // The result is read by pages as the grid scrolls to them, so that a list
    // of every student shows its first rows at once and holds few of them.
    if (!dbRecordset.openPaged(sql, dbConnection)) {
        m_gridShowsResult = false;
        return db::Result::refused(dbRecordset.lastError());
    }
    const db::Result result = db::Result::success(0);
    if (dbRecordset.recordCount() == 0) {
        m_gridShowsResult = false;
        return db::Result::notFound();
    }
    m_model->setRecordset(dbRecordset);
    m_gridShowsResult = true;
    return result;
}

MoveOutcome SearchStore::move(RecordMove move)
{
    return moveRecord(dbRecordset, move);
}

QString SearchStore::unreadableReason() const
{
    return search::unreadableReason(dbRecordset);
}

QString SearchStore::positionText() const
{
    return recordPositionText(dbRecordset);
}

int SearchStore::currentGridRow() const
{
    if (!m_gridShowsResult)
        return -1;
    const int row = dbRecordset.absolutePosition() - 1;
    return row >= 0 && row < m_model->rowCount() ? row : -1;
}

bool SearchStore::pickGridRow(int row)
{
    if (!m_gridShowsResult || row < 0)
        return false;
    if (!dbRecordset.isOpen() || dbRecordset.recordCount() != m_model->rowCount())
        return false;
    dbRecordset.setAbsolutePosition(row + 1);
    return true;
}

} // namespace pel::search
