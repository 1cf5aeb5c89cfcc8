#include "db/subjectstatements.h"

#include "db/sqltext.h"

namespace pel::db {

QString subjectLookupSql(const QString &code)
{
    return QStringLiteral("select * from Pelajaran ") + QStringLiteral("where KdMatpel =") + quoted(code);
}

QString subjectInsertSql(const SubjectText &subject)
{
    return QStringLiteral("insert into Pelajaran(KdMatpel,NmMatpel,TglEntry,Lokal,Instruktur, ")
           + QStringLiteral("SKS) ")
           + QStringLiteral("values(") + quoted(subject.code) + QStringLiteral(",") + quoted(subject.name)
           + QStringLiteral(", ") + quoted(subject.entryDate) + QStringLiteral(", ") + quoted(subject.room)
           + QStringLiteral(", ") + quoted(subject.instructor) + QStringLiteral(", ") + quoted(subject.sks)
           + QStringLiteral(")");
}

QString subjectUpdateSql(const SubjectText &subject)
{
    return QStringLiteral("update Pelajaran  ")
           + QStringLiteral("set NmMatpel=") + quoted(subject.name) + QStringLiteral(", ")
           + QStringLiteral("TglEntry=") + quoted(subject.entryDate) + QStringLiteral(", ")
           + QStringLiteral("Lokal=") + quoted(subject.room) + QStringLiteral(", ")
           + QStringLiteral("Instruktur=") + quoted(subject.instructor) + QStringLiteral(", ")
           + QStringLiteral("SKS=") + quoted(subject.sks) + QStringLiteral(" ")
           + QStringLiteral("where KdMatpel=") + quoted(subject.code);
}

QString subjectDeleteSql(const QString &code)
{
    return QStringLiteral("delete from Pelajaran ") + QStringLiteral("where(KdMatpel like ") + likeLiteral(code)
           + QStringLiteral(")");
}

} // namespace pel::db
