#include "search/searchstore.h"

#include "db/recordsetmodel.h"
#include "db/searchstatements.h"
#include "search/searchbuttons.h"

namespace pel::search {

SearchStore::SearchStore(const db::Connection &conn, QObject *modelParent)
    : m_conn(conn), m_model(new db::RecordsetModel(modelParent))
{
}

db::RecordsetModel *SearchStore::gridModel() const
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
    const db::Result result = m_current.openPaged(sql, m_conn);
    if (!result.ok()) {
        m_gridShowsResult = false;
        return result;
    }
    if (m_current.recordCount() == 0) {
        m_gridShowsResult = false;
        return db::Result::notFound();
    }
    m_model->setRecordset(m_current);
    m_gridShowsResult = true;
    return result;
}

db::Result SearchStore::move(RecordMove move, bool *beep)
{
    return moveRecord(m_current, move, beep);
}

db::Result SearchStore::readable() const
{
    return search::readable(m_current);
}

QString SearchStore::positionText() const
{
    return recordPositionText(m_current);
}

int SearchStore::currentGridRow() const
{
    if (!m_gridShowsResult)
        return -1;
    const int row = m_current.absolutePosition() - 1;
    return row >= 0 && row < m_model->rowCount() ? row : -1;
}

bool SearchStore::pickGridRow(int row)
{
    if (!m_gridShowsResult || row < 0)
        return false;
    if (!m_current.isOpen() || m_current.recordCount() != m_model->rowCount())
        return false;
    m_current.setAbsolutePosition(row + 1);
    return true;
}

} // namespace pel::search
