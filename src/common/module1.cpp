#include "common/module1.h"

#include <QDir>

namespace pel {

db::DatabaseTarget ChosenDatabase;
db::Connection dbConnection;

QString LoginUserId;
QString LoginPassword;
int LoginAttempt = 1;

db::Result OpenDatabase()
{
    if (ChosenDatabase.isPostgres() || !ChosenDatabase.filePath.isEmpty())
        return dbConnection.open(ChosenDatabase);
    return dbConnection.open(QDir::current().absoluteFilePath(QString::fromLatin1(DatabaseFileName)));
}

} // namespace pel
