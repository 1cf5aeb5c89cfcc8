#include "adminio.h"

#include "common/module1.h"
#include "db/connection.h"
#include "db/failure.h"

#include <QTextStream>

#include <pwd.h>
#include <unistd.h>

namespace pel::admin {

namespace {
constexpr int ToolLockWaitMs = 120000;
}

QString toolOperator()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        if (const passwd *entry = getpwuid(geteuid()))
            user = QString::fromLocal8Bit(entry->pw_name);
    return QStringLiteral("admin:") + user;
}

bool openDatabase(const db::DatabaseTarget &target)
{
    return openDatabase(target, dbConnection);
}

bool openDatabase(const db::DatabaseTarget &target, db::Connection &conn, const QString &label)
{
    db::Result opened = conn.open(target);
    if (opened.ok())
        opened = conn.setOperator(toolOperator());
    // A command of the tool waits its turn behind the desks and other runs
    // of the tool rather than giving up after a few seconds.
    if (opened.ok())
        opened = conn.setLockWait(ToolLockWaitMs);
    if (opened.ok())
        return true;
    failure(label + db::failureMessage(opened));
    return false;
}

int failure(const QString &message)
{
    QString text = message;
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextStream(stderr) << "pelitaksa-admin: " << text << "\n";
    return 1;
}

int failure(const db::Result &result)
{
    return failure(db::failureMessage(result));
}

} // namespace pel::admin
