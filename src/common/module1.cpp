#include "common/module1.h"

#include <QDir>

namespace pel {

db::Connection dbConnection;
db::Recordset dbRecordset;
db::Recordset dbRecordset2;

QString LoginUserId;
QString LoginPassword;
int LoginAttempt = 1;

db::Result OpenRecordset(const QString &sql)
{
    if (!dbRecordset.open(sql, dbConnection))
        return db::Result::refused(dbRecordset.lastError());
    return db::Result::success(dbRecordset.rowsAffected());
}

db::Result WriteKeyedRows(const QString &sql)
{
    const db::Result result = OpenRecordset(sql);
    return result.ok() && result.rowsAffected == 0 ? db::Result::notFound() : result;
}

bool OpenDatabase()
{
    return dbConnection.open(QDir::current().absoluteFilePath(QString::fromLatin1(DatabaseFileName)));
}

} // namespace pel
