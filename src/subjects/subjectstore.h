#pragma once

#include "db/result.h"
#include "db/subjectstatements.h"

#include <QString>

namespace pel::db {
class Connection;
}

// Subject rows of table Pelajaran: the lookup by code and the three writes
// of the subject entry screen, each on the connection given.
namespace pel::subjects {

// The subject with this code (letter case aside). Ok: *subject holds the
// row as box texts, every column's value as text, unchanged (a column
// without a value gives the empty text); NotFound: the code is not stored.
db::Result FindSubject(const db::Connection &conn, const QString &code, db::SubjectText *subject);

// Adds the subject. DuplicateKey when the code is stored; BadValue when the
// credit units are no number, or infinite or negative (then no statement runs).
db::Result SaveSubject(const db::Connection &conn, const db::SubjectText &subject);

// Gives the subject of subject.code the other five texts. NotFound when no
// subject has that code: nothing changed. BadValue, before any statement,
// for infinite or negative credit units.
// With lookedUp, the row as this desk read it: the stored row is compared
// with it in the update's transaction, and when another desk changed it
// since, nothing is written and the result is Conflict, with the stored row
// in *stored.
db::Result UpdateSubject(const db::Connection &conn, const db::SubjectText &subject,
                         const db::SubjectText *lookedUp = nullptr, db::SubjectText *stored = nullptr);

// Removes the subject with exactly this code. NotFound when there is none.
db::Result DeleteSubject(const db::Connection &conn, const QString &code);

// Credit units that read as a number yet cannot be right (infinite, not a
// number, below zero), refused as the database refuses a value; success for
// anything else (a text that is no number at all is left to the database).
db::Result PossibleCredits(const QString &sks);

} // namespace pel::subjects
