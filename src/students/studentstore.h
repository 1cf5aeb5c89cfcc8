#pragma once

#include "db/result.h"
#include "db/studentstatements.h"

#include <QString>

namespace pel::db {
class Connection;
}

// Student rows of table SISWA: the lookup by NIS and the three writes of the
// student entry screen, each on the connection given.
namespace pel::students {

// The student with this NIS. Ok: *student holds the row as box texts (a
// column without a value reads as the empty text); NotFound: the NIS is not
// stored; anything else: the engine refused the lookup.
db::Result FindStudent(const db::Connection &conn, const QString &nis, db::StudentRecord *student);

// Adds the student. DuplicateKey when the NIS is already stored.
db::Result SaveStudent(const db::Connection &conn, const db::StudentRecord &student);

// Gives the stored student of student.nis the other eleven values.
// NotFound when no student has that NIS: nothing changed.
// With lookedUp, the row as this desk read it: the stored row is compared
// with it in the update's transaction, and when another desk changed it
// since, nothing is written and the result is Conflict, with the stored row
// in *stored.
db::Result UpdateStudent(const db::Connection &conn, const db::StudentRecord &student,
                         const db::StudentRecord *lookedUp = nullptr, db::StudentRecord *stored = nullptr);

// Removes the student with exactly this NIS. NotFound when there is none;
// ForeignKey when grade rows still refer to the student.
db::Result DeleteStudent(const db::Connection &conn, const QString &nis);

} // namespace pel::students
