#include "db/studentstatements.h"

#include "db/sqltext.h"

namespace pel::db {

QString studentLookupSql(const QString &nis)
{
    return QStringLiteral("select * from SISWA ") + QStringLiteral("where NIS =") + quoted(nis);
}

QString studentInsertSql(const StudentRecord &s)
{
    // The first two values are parted by a comma alone, all later ones by a
    // comma and a blank.
    QString sql = QStringLiteral("insert into SISWA(NIS,NamaSiswa,TptLahir,TglLahir,Alamat,JenisKelamin,Agama,"
                                 "TglMasuk,ProgamJurusan,LevelTahap,AsalSekolah, ")
        + QStringLiteral("TelpHp) ") + QStringLiteral("values(") + quoted(s.nis) + QLatin1Char(',')
        + quoted(s.namaSiswa);
    for (const QString *value : {&s.tptLahir, &s.tglLahir, &s.alamat, &s.jenisKelamin, &s.agama, &s.tglMasuk,
                                 &s.progamJurusan, &s.levelTahap, &s.asalSekolah, &s.telpHp})
        sql += QStringLiteral(", ") + quoted(*value);
    return sql + QLatin1Char(')');
}

QString studentUpdateSql(const StudentRecord &s)
{
    return QStringLiteral("update SISWA  ") + QStringLiteral("set NamaSiswa=") + quoted(s.namaSiswa)
        + QStringLiteral(", TptLahir=") + quoted(s.tptLahir) + QStringLiteral(", TglLahir=") + quoted(s.tglLahir)
        + QStringLiteral(", Alamat=") + quoted(s.alamat) + QStringLiteral(", JenisKelamin=") + quoted(s.jenisKelamin)
        + QStringLiteral(", Agama=") + quoted(s.agama) + QStringLiteral(", TglMasuk=") + quoted(s.tglMasuk)
        + QStringLiteral(", ProgamJurusan=") + quoted(s.progamJurusan) + QStringLiteral(", LevelTahap=")
        + quoted(s.levelTahap) + QStringLiteral(", AsalSekolah=") + quoted(s.asalSekolah)
        + QStringLiteral(", TelpHp=") + quoted(s.telpHp) + QStringLiteral(" where NIS=") + quoted(s.nis);
}

QString studentDeleteSql(const QString &nis)
{
    return QStringLiteral("delete from SISWA ") + QStringLiteral("where(NIS like ") + likeLiteral(nis)
        + QLatin1Char(')');
}

} // namespace pel::db
