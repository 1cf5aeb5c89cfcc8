#pragma once

#include <QString>

namespace pel::db {
class Recordset;
}

// The record bar of the search screen: moves through the current result and
// tells the position of its current row.
namespace pel::search {

enum class RecordMove { First, Previous, Next, Last };

struct MoveOutcome
{
    bool ok = true;    // false: error holds the reason and nothing may be shown
    bool beep = false; // the move ran past an end of the rows and came back to it
    QString error;
};

// The reason why the record bar cannot read recordset: the failure of the
// statement that should have opened it, or that no result is open. Empty
// when it is open.
QString unreadableReason(const db::Recordset &recordset);

// Moves the recordset as the record bar's buttons do. First and Last need
// rows. Next stays on the last row and Previous on the first (with a beep)
// when there is no further row; on an empty result both leave it as it is.
MoveOutcome moveRecord(db::Recordset &recordset, RecordMove move);

// "Record ke-" position " dari " count, e.g. "Record ke-2 dari 5"; an empty
// result, or one standing on no row, reads position 0. The recordset must be
// open (see unreadableReason).
QString recordPositionText(const db::Recordset &recordset);

} // namespace pel::search
