#include "subjects/subjectstore.h"

#include "common/module1.h"
#include "common/statement.h"

namespace pel::subjects {

db::Result FindSubject(const QString &code, db::SubjectText *subject)
{
    const db::Result result = OpenRecordset(db::subjectLookupSql(code));
    if (!result.ok())
        return result;
    if (dbRecordset.recordCount() == 0)
        return db::Result::notFound();
    dbRecordset.moveFirst();
    if (subject) {
        const auto text = [](const char *column) { return dbRecordset.value(QString::fromLatin1(column)).toString(); };
        *subject = {text("KdMatpel"), text("NmMatpel"),   text("TglEntry"),
                    text("Lokal"),    text("Instruktur"), text("SKS")};
    }
    return result;
}

db::Result SaveSubject(const db::SubjectText &subject)
{
    return OpenRecordset(db::subjectInsertSql(subject));
}

db::Result UpdateSubject(const db::SubjectText &subject)
{
    return WriteKeyedRows(db::subjectUpdateSql(subject));
}

db::Result DeleteSubject(const QString &code)
{
    return WriteKeyedRows(db::subjectDeleteSql(code));
}

} // namespace pel::subjects
