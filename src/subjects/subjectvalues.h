#pragma once

#include "db/subjectstatements.h"

#include <QString>

namespace pel::db {
class Recordset;
}

// Turning a stored subject row into the texts of the entry screen's boxes.
namespace pel::subjects {

// The current row of a Pelajaran result as box texts: every column's value
// as text, unchanged; a column without a value gives the empty text.
db::SubjectText subjectFromRecord(const db::Recordset &record);

// True when text can stand in the date box as it is: "dd-mm-yyyy" with
// digits or the prompt "_" in the places and the two dashes fixed, which is
// how the screen writes every entry date.
bool fitsDateMask(const QString &text);

} // namespace pel::subjects
