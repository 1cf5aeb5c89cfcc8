#include "db/reportstatements.h"

#include "db/sqltext.h"

namespace pel::db {

QString reportStudentsSql()
{
    return QStringLiteral("select * from siswa");
}

QString studentListSql()
{
    return QStringLiteral("select * from SISWA order by NIS asc");
}

QString gradeStatementSql(const QString &nis)
{
    return QStringLiteral("select nilai.sks, nilai.jenjang,nilai.program, nilai.Bobot,nilai.nilangka, "
                          "nilai.nilhu,nilai.mutu,nilai.Prediket, siswa.nis,siswa.NamaSiswa, "
                          "pelajaran.kdMatpel, pelajaran.NmMatpel from nilai,siswa,pelajaran "
                          "where(nilai.nis=siswa.nis)and (nilai.KdMatpel=pelajaran.KdMatpel)and (siswa.nis=")
           + quoted(nis) + QLatin1Char(')');
}

QString certificateSql(const QString &nis)
{
    return QStringLiteral("select nilai.sks, nilai.jenjang,nilai.program, nilai.Bobot,nilai.nilangka, "
                          "nilai.nilhu,nilai.Prediket, siswa.nis,siswa.NamaSiswa, "
                          "pelajaran.kdMatpel, pelajaran.NmMatpel from nilai,siswa,pelajaran "
                          "where(nilai.nis=siswa.nis)and (nilai.KdMatpel=pelajaran.KdMatpel)and (siswa.nis=")
           + quoted(nis) + QLatin1Char(')');
}

QString ipkStudentsSql()
{
    return QStringLiteral("select distinct(nilai.nis), siswa.namasiswa from nilai,SISWA "
                          "where(nilai.nis=siswa.nis) group by nilai.nis,siswa.namasiswa");
}

QString ipkTotalsSql(const QString &nis)
{
    return QStringLiteral("SELECT sum(nilai.sks)AS VSKS, sum(nilai.mutu)AS VNILAI from nilai where(nilai.nis=")
           + quoted(nis) + QLatin1Char(')');
}

} // namespace pel::db
