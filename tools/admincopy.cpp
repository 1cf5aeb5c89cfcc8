#include "admincopy.h"

#include "adminhelp.h"
#include "adminio.h"
#include "db/connection.h"
#include "db/databaseurl.h"
#include "db/schema.h"
#include "transfer/copy.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace pel {

namespace {

int usageError(const QString &message)
{
    return admin::usageError(message, {QStringLiteral("copy")});
}

} // namespace

int runCopyCommand(const QStringList &args)
{
    QString from, to;
    bool replace = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if ((arg == QLatin1String("--from") || arg == QLatin1String("--to")) && i + 1 < args.size())
            (arg == QLatin1String("--from") ? from : to) = args.at(++i);
        else if (arg == QLatin1String("--replace"))
            replace = true;
        else
            return usageError(QStringLiteral("argumen copy tidak dikenal: %1").arg(arg));
    }
    if (from.isEmpty() || to.isEmpty())
        return usageError(QStringLiteral("copy butuh --from URL dan --to URL"));
    const db::DatabaseChoice source = db::parseDatabaseUrl(from, QDir::currentPath());
    if (!source.ok())
        return usageError(QStringLiteral("--from: ") + source.error);
    const db::DatabaseChoice target = db::parseDatabaseUrl(to, QDir::currentPath());
    if (!target.ok())
        return usageError(QStringLiteral("--to: ") + target.error);
    if (source.target == target.target)
        return usageError(QStringLiteral("sumber dan tujuan adalah database yang sama"));

    QTextStream out(stdout);
    if (!target.target.isPostgres() && !QFileInfo::exists(target.target.filePath)) {
        if (const db::Result created = db::createDatabase(target.target.filePath); !created.ok())
            return admin::failure(created);
        out << "Database " << target.target.filePath << " dibuat.\n";
    }

    db::Connection sourceConnection, targetConnection;
    if (!admin::openDatabase(source.target, sourceConnection, QStringLiteral("sumber: "))
        || !admin::openDatabase(target.target, targetConnection, QStringLiteral("tujuan: ")))
        return 1;
    QStringList report;
    if (const db::Result copied = transfer::copyDatabase(sourceConnection, targetConnection,
                                                         target.target.describe(), replace, &report);
        !copied.ok())
        return admin::failure(copied);
    for (const QString &line : report)
        out << line << '\n';
    out << "Data " << source.target.describe() << " disalin ke " << target.target.describe() << ".\n";
    return 0;
}

} // namespace pel
