#include "subjects/subjectstore.h"

#include "common/module1.h"
#include "common/statement.h"
#include "db/transaction.h"
#include "grades/gradenumbers.h"

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

namespace {

// Credit units that read as a number yet cannot be right (infinite, not a
// number, below zero) are refused before any statement runs; a text that is
// no number at all is left to the database.
db::Result possibleCredits(const db::SubjectText &subject)
{
    if (grades::ImpossibleNumber(subject.sks, true))
        return db::Result::failure(db::Result::Kind::BadValue,
                                   QStringLiteral("CHECK constraint failed: SKS = %1").arg(subject.sks.trimmed()));
    return db::Result::success();
}

} // namespace

db::Result SaveSubject(const db::SubjectText &subject)
{
    const db::Result possible = possibleCredits(subject);
    return possible.ok() ? OpenRecordset(db::subjectInsertSql(subject)) : possible;
}

db::Result UpdateSubject(const db::SubjectText &subject, const db::SubjectText *lookedUp, db::SubjectText *stored)
{
    const db::Result possible = possibleCredits(subject);
    if (!possible.ok())
        return possible;
    if (!lookedUp)
        return WriteKeyedRows(db::subjectUpdateSql(subject));
    // The write lock first: no other desk writes between the comparison and
    // the update.
    db::Transaction transaction(dbConnection, db::Transaction::Mode::Write);
    if (!transaction.isActive())
        return db::Result::from(transaction.lastError());
    db::SubjectText current;
    const db::Result found = FindSubject(subject.code, &current);
    if (!found.ok())
        return found;
    if (current != *lookedUp) {
        if (stored)
            *stored = current;
        return db::Result::failure(db::Result::Kind::Conflict, {});
    }
    const db::Result updated = WriteKeyedRows(db::subjectUpdateSql(subject));
    if (!updated.ok())
        return updated;
    if (!transaction.commit())
        return db::Result::from(transaction.lastError());
    return updated;
}

db::Result DeleteSubject(const QString &code)
{
    return WriteKeyedRows(db::subjectDeleteSql(code));
}

} // namespace pel::subjects
