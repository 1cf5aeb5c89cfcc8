#include "subjects/subjectstore.h"

#include "db/statement.h"
#include "grades/gradenumbers.h"

namespace pel::subjects {

db::Result FindSubject(const db::Connection &conn, const QString &code, db::SubjectText *subject)
{
    db::Recordset rows;
    const db::Result result = db::find(conn, db::subjectLookupSql(code), &rows);
    if (result.ok() && subject) {
        const auto text = [&rows](const char *column) { return rows.value(QString::fromLatin1(column)).toString(); };
        *subject = {text("KdMatpel"), text("NmMatpel"),   text("TglEntry"),
                    text("Lokal"),    text("Instruktur"), text("SKS")};
    }
    return result;
}

db::Result PossibleCredits(const QString &sks)
{
    if (grades::ImpossibleNumber(sks, true))
        return db::Result::refused(db::Cause::NotANumber,
                                   QStringLiteral("SKS tidak boleh negatif atau tak terhingga: %1").arg(sks.trimmed()));
    return db::Result::success();
}

db::Result SaveSubject(const db::Connection &conn, const db::SubjectText &subject)
{
    const db::Result possible = PossibleCredits(subject.sks);
    return possible.ok() ? db::run(conn, db::subjectInsertSql(subject)) : possible;
}

db::Result UpdateSubject(const db::Connection &conn, const db::SubjectText &subject, const db::SubjectText *lookedUp,
                         db::SubjectText *stored)
{
    if (const db::Result possible = PossibleCredits(subject.sks); !possible.ok())
        return possible;
    return db::guardedUpdate(conn, db::subjectUpdateSql(subject), lookedUp, stored,
                             [&](db::SubjectText *row) { return FindSubject(conn, subject.code, row); });
}

db::Result DeleteSubject(const db::Connection &conn, const QString &code)
{
    return db::writeKeyed(conn, db::subjectDeleteSql(code));
}

} // namespace pel::subjects
