#include "db/gradestatements.h"

#include "db/sqltext.h"

#include <QStringList>

namespace pel::db {

QString LastGradeRowStatement(bool postgres)
{
    // Rows of "select * from Nilai" come in rowid order; reading the highest
    // rowid alone gives the same last row without reading the whole table.
    if (postgres)
        return QStringLiteral("select * from Nilai order by Urutan desc limit 1");
    return QStringLiteral("select * from Nilai order by rowid desc limit 1");
}

QString RegistrationCheckStatement(const QString &noreg)
{
    return QStringLiteral("select * from Nilai ") + QStringLiteral("where Noreg =") + quoted(noreg);
}

QString GradeRowsLookupStatement(const QString &noreg, const QString &code)
{
    return RegistrationCheckStatement(noreg) + QStringLiteral(" and KdMatpel =") + quoted(code);
}

QString GradeStudentLookupStatement(const QString &nis)
{
    return QStringLiteral("select * from SISWA ") + QStringLiteral("where NIS =") + quoted(nis);
}

QString GradeSubjectLookupStatement(const QString &code)
{
    return QStringLiteral("select * from Pelajaran ") + QStringLiteral("where KdMatpel =") + quoted(code);
}

QString GradeInsertStatement(const GradeRowValues &row)
{
    const QStringList values{quoted(row.noreg),    quoted(row.tglProses), quoted(row.nis),
                             quoted(row.program),  quoted(row.jenjang),   quoted(row.kdMatpel),
                             quoted(row.sks),      quoted(row.tentor),    quoted(row.nilangka),
                             quoted(row.nilhu),    quoted(row.bobot),     quoted(row.mutu),
                             quoted(row.prediket), quoted(row.ket)};
    return QStringLiteral("insert into Nilai(Noreg, ") + QStringLiteral("TglProses,Nis,Program,Jenjang, ")
        + QStringLiteral("KdMatpel,SKS,Tentor,Nilangka, ") + QStringLiteral("Nilhu,Bobot,Mutu,Prediket,Ket) ")
        + QStringLiteral("values(") + values.join(QStringLiteral(", ")) + QStringLiteral(")");
}

QString GradeUpdateStatement(const GradeRowValues &row)
{
    return QStringLiteral("update Nilai  ") + QStringLiteral("set TglProses=") + quoted(row.tglProses)
        + QStringLiteral(", ") + QStringLiteral("Nilangka=") + quoted(row.nilangka) + QStringLiteral(", ")
        + QStringLiteral("Nilhu=") + quoted(row.nilhu) + QStringLiteral(", ") + QStringLiteral("Bobot=")
        + quoted(row.bobot) + QStringLiteral(", ") + QStringLiteral("Mutu=") + quoted(row.bobot)
        + QStringLiteral("*SKS") + QStringLiteral(", ") + QStringLiteral("Prediket=") + quoted(row.prediket)
        + QStringLiteral(", ") + QStringLiteral("Ket=") + quoted(row.ket) + QStringLiteral(" ")
        + QStringLiteral("where Noreg=") + quoted(row.noreg) + QStringLiteral(" and KdMatpel=")
        + quoted(row.kdMatpel);
}

QString GradeDeleteStatement(const QString &noreg)
{
    return QStringLiteral("delete from Nilai ") + QStringLiteral("where(Noreg like ") + likeLiteral(noreg)
        + QStringLiteral(")");
}

} // namespace pel::db
