#pragma once

#include "db/result.h"

#include <QString>

namespace pel::db {
class Recordset;
}

// The record bar of the search screen: moves through the current result and
// tells the position of its current row.
namespace pel::search {

enum class RecordMove { First, Previous, Next, Last };

// Whether the record bar can read recordset: the failure of the statement
// that should have opened it, or that no result is open; success when it is
// open.
db::Result readable(const db::Recordset &recordset);

// Moves the recordset as the record bar's buttons do. First and Last need
// rows. Next stays on the last row and Previous on the first (*beep set)
// when there is no further row; on an empty result both leave it as it is.
// A failure leaves the position as it was; nothing may be shown then.
db::Result moveRecord(db::Recordset &recordset, RecordMove move, bool *beep);

// "Record ke-" position " dari " count, e.g. "Record ke-2 dari 5"; an empty
// result, or one standing on no row, reads position 0. The recordset must be
// open (see readable()).
QString recordPositionText(const db::Recordset &recordset);

} // namespace pel::search
