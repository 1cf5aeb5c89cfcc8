#include "db/schema.h"

#include "db/connection.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace pel::db {

bool createDatabase(const QString &path, QString *error)
{
    if (QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("File %1 sudah ada; tidak ditimpa.").arg(path);
        return false;
    }
    const QString name = QStringLiteral("pelitaksa-create");
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            ok = false;
            if (error)
                *error = QStringLiteral("File %1 tidak dapat dibuat: %2").arg(path, errorText(db.lastError()));
        } else {
            QSqlQuery query(db);
            db.transaction();
            // Comment lines go first, then the text splits into its
            // ';'-terminated statements.
            QStringList lines;
            for (const QString &line : schemaSql().split(QLatin1Char('\n')))
                if (!line.trimmed().startsWith(QLatin1String("--")))
                    lines << line;
            const QStringList statements = lines.join(QLatin1Char('\n')).split(QLatin1Char(';'));
            for (const QString &raw : statements) {
                const QString statement = raw.trimmed();
                if (statement.isEmpty())
                    continue;
                if (!query.exec(statement)) {
                    ok = false;
                    if (error)
                        *error = QStringLiteral("Skema gagal dibuat: %1").arg(errorText(query.lastError()));
                    break;
                }
            }
            if (ok)
                ok = db.commit();
            else
                db.rollback();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!ok)
        QFile::remove(path);
    return ok;
}

} // namespace pel::db
