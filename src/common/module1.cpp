#include "common/module1.h"

#include <QDir>

namespace pel {

db::DatabaseTarget ChosenDatabase;
db::Connection dbConnection;
db::Recordset dbRecordset;
db::Recordset dbRecordset2;

QString LoginUserId;
QString LoginPassword;
int LoginAttempt = 1;

bool OpenDatabase()
{
    if (ChosenDatabase.isPostgres() || !ChosenDatabase.filePath.isEmpty())
        return dbConnection.open(ChosenDatabase);
    return dbConnection.open(QDir::current().absoluteFilePath(QString::fromLatin1(DatabaseFileName)));
}

} // namespace pel
