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

} // namespace pel::subjects
