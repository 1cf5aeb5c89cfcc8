#include "db/audit.h"

#include "db/result.h"
#include "db/schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace pel::db {

namespace {

struct Audited
{
    const char *table;
    const char *key; // the column named in t_log.kunci
    const char *nis; // the column copied into t_log.nis, or nullptr
};

const Audited AuditedTables[] = {
    {"SISWA", "NIS", "NIS"},
    {"Pelajaran", "KdMatpel", nullptr},
    {"Nilai", "Noreg", "Nis"},
};

QString jsonOf(const QString &row, const QStringList &columns)
{
    QStringList pairs;
    for (const QString &column : columns)
        pairs << QStringLiteral("'%1', %2.\"%1\"").arg(column, row);
    return QStringLiteral("json_object(") + pairs.join(QStringLiteral(", ")) + QLatin1Char(')');
}

// One trigger: action is insert, update or delete; the new row exists for
// insert and update, the old one for update and delete.
QString triggerSql(const Audited &audited, const QString &action)
{
    const QString table = QString::fromLatin1(audited.table);
    const QStringList columns = schemaColumns(table);
    const bool hasOld = action != QLatin1String("insert");
    const bool hasNew = action != QLatin1String("delete");
    const QString row = hasNew ? QStringLiteral("NEW") : QStringLiteral("OLD");
    const QString key = QStringLiteral("%1.\"%2\"").arg(row, QString::fromLatin1(audited.key));
    const QString nis = audited.nis ? QStringLiteral("%1.\"%2\"").arg(row, QString::fromLatin1(audited.nis))
                                    : QStringLiteral("NULL");
    return QStringLiteral("CREATE TEMP TRIGGER pel_log_%1_%2 AFTER %3 ON main.\"%1\" BEGIN "
                          "INSERT INTO t_log (waktu, userid, tabel, kunci, nis, aksi, sebelum, sesudah) VALUES ("
                          "strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'), "
                          "(SELECT userid FROM pel_operator), '%1', %4, %5, '%2', %6, %7); END")
        .arg(table, action, action.toUpper(), key, nis,
             hasOld ? jsonOf(QStringLiteral("OLD"), columns) : QStringLiteral("NULL"),
             hasNew ? jsonOf(QStringLiteral("NEW"), columns) : QStringLiteral("NULL"));
}

} // namespace

bool installAudit(const QSqlDatabase &db, QString *error)
{
    QStringList statements{QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS pel_operator (userid TEXT)"),
                           QStringLiteral("DELETE FROM pel_operator"),
                           QStringLiteral("INSERT INTO pel_operator VALUES (NULL)")};
    for (const Audited &audited : AuditedTables)
        for (const char *action : {"insert", "update", "delete"})
            statements << triggerSql(audited, QString::fromLatin1(action));
    QSqlQuery query(db);
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            if (error)
                *error = errorText(query.lastError());
            return false;
        }
    }
    return true;
}

bool setAuditOperator(const QSqlDatabase &db, const QString &userId)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("UPDATE pel_operator SET userid = ?"));
    query.addBindValue(userId);
    return query.exec();
}

bool removeAudit(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    for (const Audited &audited : AuditedTables)
        for (const char *action : {"insert", "update", "delete"})
            if (!query.exec(QStringLiteral("DROP TRIGGER IF EXISTS temp.pel_log_%1_%2")
                                .arg(QLatin1String(audited.table), QLatin1String(action))))
                return false;
    return true;
}

} // namespace pel::db
