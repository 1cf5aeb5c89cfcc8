#pragma once

#include "db/result.h"
#include "search/recordbar.h"

#include <QString>

class QAbstractItemModel;
class QObject;

namespace pel::db {
class RecordsetModel;
}

// What the student search screen reads from SISWA. The searches run on the
// shared recordset, which the record bar then moves through; the grid's
// rows are the last result that had rows. A result is opened by pages
// (db::Recordset::openPaged): its count is known at once, its rows are read
// as the grid or the record bar reaches them.
namespace pel::search {

struct SearchButton;

class SearchStore
{
public:
    // The grid's model is made a child of modelParent.
    explicit SearchStore(QObject *modelParent);

    // The rows the grid shows, with the columns of SISWA and their names as
    // headings.
    QAbstractItemModel *gridModel() const;

    // The students whose column of the button equals text as a whole. Ok:
    // the grid shows them; NotFound: the grid keeps its rows while the record
    // bar stands on the new empty result; anything else: the engine refused
    // the search, and the grid keeps its rows.
    db::Result searchStudents(const SearchButton &button, const QString &text);
    // Every student, with the same outcomes.
    db::Result listAllStudents();

    // The record bar's moves through the current result.
    MoveOutcome move(RecordMove move);
    // Why the position cannot be read (no open result); empty when it can.
    QString unreadableReason() const;
    // "Record ke-" position " dari " count of the current result.
    QString positionText() const;

    // The grid row of the current row; -1 when there is none or the grid
    // shows an older result.
    int currentGridRow() const;
    // The operator picked a grid row: it becomes the current row when the
    // grid shows the current result. Returns whether it did.
    bool pickGridRow(int row);

private:
    db::Result show(const QString &sql);

    db::RecordsetModel *m_model = nullptr;
    // The grid shows the result dbRecordset holds (not an older one kept
    // after a search that found nothing).
    bool m_gridShowsResult = false;
};

} // namespace pel::search
