#pragma once

#include "db/recordset.h"
#include "db/result.h"
#include "search/recordbar.h"

#include <QString>

class QObject;

namespace pel::db {
class Connection;
class RecordsetModel;
}

// What the student search screen reads from SISWA, on the connection given.
// Each search gives the store's current result, which the record bar then
// moves through; the grid's rows are the last result that had rows. A result
// is opened by pages (db::Recordset::openPaged): its count is known at once,
// its rows are read as the grid or the record bar reaches them.
namespace pel::search {

struct SearchButton;

class SearchStore
{
public:
    // The grid's model is made a child of modelParent; conn must outlive
    // the store.
    SearchStore(const db::Connection &conn, QObject *modelParent);

    // The rows the grid shows, with the columns of SISWA and their names as
    // headings.
    db::RecordsetModel *gridModel() const;

    // The students whose column of the button equals text as a whole. Ok:
    // the grid shows them; NotFound: the grid keeps its rows while the record
    // bar stands on the new empty result; anything else: the engine refused
    // the search, and the grid keeps its rows.
    db::Result searchStudents(const SearchButton &button, const QString &text);
    // Every student, with the same outcomes.
    db::Result listAllStudents();

    // The record bar's moves through the current result.
    db::Result move(RecordMove move, bool *beep);
    // Whether the position can be read (an open result).
    db::Result readable() const;
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

    const db::Connection &m_conn;
    db::RecordsetModel *m_model = nullptr;
    // The current result: the last search's, which the record bar moves through.
    db::Recordset m_current;
    // The grid shows the current result (not an older one kept after a
    // search that found nothing).
    bool m_gridShowsResult = false;
};

} // namespace pel::search
