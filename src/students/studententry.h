#pragma once

#include "db/studentstatements.h"

#include <QDateTime>
#include <QString>

namespace pel::db {
class Recordset;
}

// The rules of the student entry screen that need no widgets.
namespace pel::students {

// The current row of a SISWA result as box texts; a column without a value
// reads as the empty text.
db::StudentRecord studentFromRecordset(const db::Recordset &rs);

// True when the database refused a deletion because grade rows still refer
// to the student.
bool isReferenceRefusal(const QString &reason);

// A key that types a character (letters, digits, Backspace, Enter and the
// like); the arrow keys, Tab, Delete and the bare modifier keys are none.
bool isCharacterKey(int key, const QString &text);

} // namespace pel::students
