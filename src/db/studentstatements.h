#pragma once

#include <QString>

// The statements of the student entry screen on table SISWA. Every typed
// value goes in through quoted() or likeLiteral(), so a quote or a wildcard
// in a box can never change what a statement means.
namespace pel::db {

// One row of SISWA as the boxes of the student screen hold it: every value
// is text, dates as "dd-mm-yyyy" with "_" in places not typed.
struct StudentRecord
{
    QString nis;
    QString namaSiswa;
    QString tptLahir;
    QString tglLahir;
    QString alamat;
    QString jenisKelamin;
    QString agama;
    QString tglMasuk;
    QString progamJurusan;
    QString levelTahap;
    QString asalSekolah;
    QString telpHp;

    bool operator==(const StudentRecord &) const = default;
};

// select * from SISWA where NIS ='<nis>'
QString studentLookupSql(const QString &nis);

// insert into SISWA(NIS,...,AsalSekolah, TelpHp) values('<nis>','<nama>', '<tpt>', ...)
QString studentInsertSql(const StudentRecord &student);

// update SISWA  set NamaSiswa='...', ..., TelpHp='...' where NIS='<nis>'
QString studentUpdateSql(const StudentRecord &student);

// delete from SISWA where(NIS like '<nis>'), matching the typed NIS literally.
QString studentDeleteSql(const QString &nis);

} // namespace pel::db
