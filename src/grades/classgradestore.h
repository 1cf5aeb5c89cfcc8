#pragma once

#include "db/gradestatements.h"
#include "db/result.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace pel::db {
class Connection;
}

// The grades of a whole class for one subject: the lookups of the class
// grade screen and its save, all on the connection given.
namespace pel::grades {

// A subject as the lookup finds it in Pelajaran.
struct ClassSubject
{
    QString code;       // as the operator typed it; the grade rows store it so
    QString name;       // NmMatpel
    QVariant credits;   // SKS, null when the subject has none
    QString instructor; // Instruktur
};

// The students a class is made of; an empty value matches every student.
struct ClassFilter
{
    QString programme; // ProgamJurusan, whole value
    QString level;     // LevelTahap, whole value
    QString nisPrefix; // start of the NIS, matched literally
};

// One student of the class with his grade for the subject, if he has one.
struct ClassStudent
{
    QString nis;
    QString name;
    QString programme; // ProgamJurusan, empty when missing
    QString level;     // LevelTahap, empty when missing
    qint64 gradeRowId = 0;   // the row of Nilai holding his grade; 0 when none
    QVariant score;          // its Nilangka
    QVariant rowCredits;     // its SKS
};

// One student's grade to write: a new row when gradeRowId is 0, otherwise
// that row updated in place.
struct ClassGradeWrite
{
    int row = -1;       // the caller's own index, passed back untouched
    ClassStudent student;
    QString score;      // as typed, in the default locale
    qint64 newRowId = 0;    // set by the save for a row it added
    QString registration;   // set by the save for a row it added
};

struct ClassSaveSummary
{
    int added = 0;
    int changed = 0;
};

// The subject with this code; NotFound when there is none.
db::Result FindClassSubject(const db::Connection &conn, const QString &code, ClassSubject *subject);

// The programmes and the levels stored in SISWA, each once, sorted, without
// the empty value.
db::Result StoredProgrammes(const db::Connection &conn, QStringList *values);
db::Result StoredLevels(const db::Connection &conn, QStringList *values);

// The students of the class in NIS order, each with his latest grade row for
// the subject.
db::Result LoadClass(const db::Connection &conn, const ClassFilter &filter, const QString &subjectCode,
                     QList<ClassStudent> *students);

// The grade row the grade entry screen stores for a student, a subject, a
// date, a registration number and a typed score: the same values its boxes
// would hold, in the database's number form.
db::GradeRowValues ClassGradeRow(const QString &registration, const QString &date, const ClassStudent &student,
                                 const ClassSubject &subject, const QString &score);

// Writes every grade in one transaction. A student without a row gets one
// under a registration number of his own: the number that follows the last
// row of Nilai, or the next one after it that no other student's row
// carries. A student with a row gets that row's date, score and derived
// values replaced. Any refusal rolls the whole save back and names the
// student in the reason; on success each added write carries its new row
// and registration number.
db::Result SaveClassGrades(const db::Connection &conn, const ClassSubject &subject, const QString &date,
                           QList<ClassGradeWrite> &writes, ClassSaveSummary *summary);

} // namespace pel::grades
