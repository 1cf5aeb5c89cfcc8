#pragma once

#include <QString>

// The statements of the grade entry screen on table Nilai and its lookups in
// SISWA and Pelajaran. Every value is quoted (a quote doubled); the delete
// matches the registration number literally.
namespace pel::db {

// One grade row, every value as the screen's box holds it, in the column
// order of Nilai.
struct GradeRowValues
{
    QString noreg;     // Noreg
    QString tglProses; // TglProses
    QString nis;       // Nis
    QString program;   // Program
    QString jenjang;   // Jenjang
    QString kdMatpel;  // KdMatpel
    QString sks;       // SKS
    QString tentor;    // Tentor
    QString nilangka;  // Nilangka
    QString nilhu;     // Nilhu
    QString bobot;     // Bobot
    QString mutu;      // Mutu
    QString prediket;  // Prediket
    QString ket;       // Ket

    bool operator==(const GradeRowValues &) const = default;
};

// The last row of Nilai in its natural (insertion) order, and nothing else:
// "select * from Nilai order by rowid desc limit 1". A PostgreSQL table has
// no rowid; its insertion order is the column Urutan.
QString LastGradeRowStatement(bool postgres = false);

// select * from Nilai where Noreg ='<noreg>'
QString RegistrationCheckStatement(const QString &noreg);

// select * from Nilai where Noreg ='<noreg>' and KdMatpel ='<code>': the rows
// that the grade update of that registration and subject changes.
QString GradeRowsLookupStatement(const QString &noreg, const QString &code);

// select * from SISWA where NIS ='<nis>'
QString GradeStudentLookupStatement(const QString &nis);

// select * from Pelajaran where KdMatpel ='<code>'
QString GradeSubjectLookupStatement(const QString &code);

// insert into Nilai(Noreg, TglProses,Nis,Program,Jenjang, KdMatpel,SKS,Tentor,Nilangka,
// Nilhu,Bobot,Mutu,Prediket,Ket) values('<noreg>', '<date>', ... '<ket>')
QString GradeInsertStatement(const GradeRowValues &row);

// update Nilai  set TglProses='..', Nilangka='..', Nilhu='..', Bobot='<w>', Mutu='<w>'*SKS,
// Prediket='..', Ket='..' where Noreg='<noreg>' and KdMatpel='<code>': the one
// subject of the registration, its quality points the weight times the
// credit units stored in that row.
QString GradeUpdateStatement(const GradeRowValues &row);

// delete from Nilai where(Noreg like '<noreg>'), the number matched literally.
QString GradeDeleteStatement(const QString &noreg);

} // namespace pel::db
