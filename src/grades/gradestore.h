#pragma once

#include "db/gradestatements.h"
#include "db/result.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace pel::db {
class Connection;
}

// Grade rows in table Nilai: the next registration number, the lookups of
// the grade entry screen in SISWA and Pelajaran, and its writes, each on the
// connection given. A refused statement carries the database's reason.
namespace pel::grades {

// The registration number that follows the last row of Nilai in its natural
// order (not the largest one): a stored 41 gives "42", an empty table "1".
// Only that last row is read.
db::Result NextRegistrationNumber(const db::Connection &conn, QString *number);

// The number that follows a stored registration number:
//   a whole number gives that number plus one ("41" -> "42", "0041" -> "42");
//   any other text ending in digits counts those digits up, keeping their
//   width and what stands before them ("REG-009" -> "REG-010", "7.5" -> "7.6");
//   a text without digits at its end gets a "1" appended ("A" -> "A1");
//   no value or an empty one gives "1".
QString NextNumberAfter(const QVariant &last);

// Ok when rows of Nilai carry this registration number (letter case aside),
// NotFound when it is free.
db::Result FindRegistration(const db::Connection &conn, const QString &noreg);

// What the grade screen shows of a student; a column without a value gives
// the empty text.
struct GradeStudent
{
    QString name;      // NamaSiswa
    QString programme; // ProgamJurusan
    QString level;     // LevelTahap
};

// The student with this NIS: Ok with *student filled, or NotFound.
db::Result FindGradeStudent(const db::Connection &conn, const QString &nis, GradeStudent *student);

// What the grade screen shows of a subject.
struct GradeSubject
{
    QString name;                  // NmMatpel
    std::optional<double> credits; // SKS; none when the row holds no value
    QString instructor;            // Instruktur
};

// The subject with this code: Ok with *subject filled, or NotFound.
db::Result FindGradeSubject(const db::Connection &conn, const QString &code, GradeSubject *subject);

// The row with its numeric values (SKS, Nilangka, Bobot, Mutu) turned from
// the boxes' locale into the database's form; other values stay as typed.
db::GradeRowValues ForStorage(db::GradeRowValues row);

// Refuses, before any statement runs, a row (in storage form) whose numbers
// cannot be right: infinite, or credit units below zero.
db::Result PossibleNumbers(const db::GradeRowValues &row);

// Adds the row through the grade writer, in a transaction that holds the
// write lock from its start. A registration number belongs to one student:
// when rows of another student already carry row.noreg (another desk saved
// under the same drawn number), the row is saved under the next number that
// no other student uses. *savedNumber receives the number the row was saved
// under.
db::Result SaveGrade(const db::Connection &conn, const db::GradeRowValues &row, QString *savedNumber = nullptr);
// Puts the row's date, score, letter, weight, predicate and remark into the
// one row of its registration number and subject code, with quality points
// of the weight times that row's own credit units. NotFound when there is no
// such row: nothing changed.
// With lookedUp, the rows of that registration and subject as this desk
// read them (FindGradeRows): the stored rows are compared with them in the
// update's transaction, and when another desk changed them since, nothing is
// written and the result is Conflict. *stored receives the rows as stored at
// the end: the other desk's on Conflict, the updated ones on Ok.
db::Result UpdateGradeRow(const db::Connection &conn, const db::GradeRowValues &row,
                          const QList<db::GradeRowValues> *lookedUp = nullptr,
                          QList<db::GradeRowValues> *stored = nullptr);
// The stored rows of this registration number and subject code, every value
// as text (a column without a value gives the empty text), in an order that
// does not depend on where the engine keeps them; Ok also when there are none.
db::Result FindGradeRows(const db::Connection &conn, const QString &noreg, const QString &code,
                         QList<db::GradeRowValues> *rows);
// Removes the rows of exactly this registration number. NotFound when there
// are none.
db::Result DeleteGradeRows(const db::Connection &conn, const QString &noreg);

} // namespace pel::grades
