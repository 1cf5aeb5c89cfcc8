#pragma once

#include "db/gradestatements.h"

#include <QString>
#include <QVariant>

// Grade rows in table Nilai: the next registration number and the writes of
// the grade entry screen. Every statement runs on dbConnection through
// dbRecordset; a refused one returns false (or an empty number) and leaves
// the database's reason in *error.
namespace pel {

// The registration number that follows the last row of Nilai in its natural
// order (not the largest one): a stored 41 gives "42", an empty table "1".
// Only that last row is read. Returns the empty text when the statement is
// refused.
QString NextRegistrationNumber(QString *error = nullptr);

namespace grades {

// The number that follows a stored registration number:
//   a whole number gives that number plus one ("41" -> "42", "0041" -> "42");
//   any other text ending in digits counts those digits up, keeping their
//   width and what stands before them ("REG-009" -> "REG-010", "7.5" -> "7.6");
//   a text without digits at its end gets a "1" appended ("A" -> "A1");
//   no value or an empty one gives "1".
QString NextNumberAfter(const QVariant &last);

// The row with its numeric values (SKS, Nilangka, Bobot, Mutu) turned from
// the boxes' locale into the database's form; other values stay as typed.
db::GradeRowValues ForStorage(db::GradeRowValues row);

// Adds the row.
bool SaveGradeRow(const db::GradeRowValues &row, QString *error);
// Puts the row's date, score and derived values into every row of its
// registration number.
bool UpdateGradeRows(const db::GradeRowValues &row, QString *error);
// Removes the rows of exactly this registration number.
bool DeleteGradeRows(const QString &noreg, QString *error);

} // namespace grades
} // namespace pel
