#include "db/audit.h"

#include "db/connection.h"
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

// ---- PostgreSQL: permanent triggers, created with the tables.

bool isPostgres(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QPSQL");
}

// A row's columns as a JSON object text in the form SQLite's json_object()
// writes it: keys in the schema's order and spelling, no blanks, a whole
// real number with ".0".
QString postgresJsonOf(const QString &row, const QString &table)
{
    static const QStringList numeric{QStringLiteral("SKS"), QStringLiteral("Nilangka"), QStringLiteral("Bobot"),
                                     QStringLiteral("Mutu")};
    QStringList pairs;
    for (const QString &column : schemaColumns(table)) {
        const QString value = QStringLiteral("%1.%2").arg(row, column);
        const QString json = numeric.contains(column)
            ? QStringLiteral("case when %1 = trunc(%1) and abs(%1) < 1e15 then to_json(%1)::text || '.0' "
                             "else to_json(%1)::text end").arg(value)
            : QStringLiteral("to_json(%1)::text").arg(value);
        pairs << QStringLiteral("'\"%1\":' || coalesce(%2, 'null')").arg(column, json);
    }
    return QStringLiteral("'{' || ") + pairs.join(QStringLiteral(" || ',' || ")) + QStringLiteral(" || '}'");
}

// The functions and triggers of one table. Inserts and deletes are logged a
// statement at a time from the statement's rows (a bulk load pays one
// insert into t_log, not one a row), updates a row at a time, each with its
// old and new values. A connection whose setting pelitaksa.audit is 'off'
// (removeAudit) writes no rows.
QStringList postgresTriggerSql(const Audited &audited)
{
    const QString table = QString::fromLatin1(audited.table);
    const QString lower = table.toLower();
    const QString key = QString::fromLatin1(audited.key);
    const QString columns = QStringLiteral("waktu, userid, tabel, kunci, nis, aksi, sebelum, sesudah");
    const QString moment = QStringLiteral("to_char(localtimestamp, 'YYYY-MM-DD HH24:MI:SS'), "
                                          "nullif(current_setting('pelitaksa.operator', true), '')");
    const QString skip = QStringLiteral("IF current_setting('pelitaksa.audit', true) = 'off' THEN RETURN NULL; END IF; ");
    const auto nisOf = [&](const QString &row) {
        return audited.nis ? QStringLiteral("%1.%2").arg(row, QString::fromLatin1(audited.nis)) : QStringLiteral("NULL");
    };
    QStringList statements;
    const auto function = [&](const QString &action, const QString &body) {
        statements << QStringLiteral("CREATE OR REPLACE FUNCTION pel_log_%1_%2() RETURNS trigger LANGUAGE plpgsql AS "
                                     "$pel$ BEGIN %3%4; RETURN NULL; END $pel$")
                          .arg(lower, action, skip, body);
    };
    function(QStringLiteral("insert"),
             QStringLiteral("INSERT INTO t_log (%1) SELECT %2, '%3', r.%4, %5, 'insert', NULL, %6 FROM pel_rows r")
                 .arg(columns, moment, table, key, nisOf(QStringLiteral("r")), postgresJsonOf(QStringLiteral("r"), table)));
    statements << QStringLiteral("CREATE OR REPLACE TRIGGER pel_log_%1_insert AFTER INSERT ON %1 REFERENCING NEW TABLE AS pel_rows "
                                 "FOR EACH STATEMENT EXECUTE FUNCTION pel_log_%1_insert()").arg(lower);
    function(QStringLiteral("update"),
             QStringLiteral("INSERT INTO t_log (%1) VALUES (%2, '%3', NEW.%4, %5, 'update', %6, %7)")
                 .arg(columns, moment, table, key, nisOf(QStringLiteral("NEW")),
                      postgresJsonOf(QStringLiteral("OLD"), table), postgresJsonOf(QStringLiteral("NEW"), table)));
    statements << QStringLiteral("CREATE OR REPLACE TRIGGER pel_log_%1_update AFTER UPDATE ON %1 "
                                 "FOR EACH ROW EXECUTE FUNCTION pel_log_%1_update()").arg(lower);
    function(QStringLiteral("delete"),
             QStringLiteral("INSERT INTO t_log (%1) SELECT %2, '%3', r.%4, %5, 'delete', %6, NULL FROM pel_rows r")
                 .arg(columns, moment, table, key, nisOf(QStringLiteral("r")), postgresJsonOf(QStringLiteral("r"), table)));
    statements << QStringLiteral("CREATE OR REPLACE TRIGGER pel_log_%1_delete AFTER DELETE ON %1 REFERENCING OLD TABLE AS pel_rows "
                                 "FOR EACH STATEMENT EXECUTE FUNCTION pel_log_%1_delete()").arg(lower);
    return statements;
}

} // namespace

QStringList sqliteAuditStatements()
{
    QStringList statements{QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS pel_operator (userid TEXT)"),
                           QStringLiteral("DELETE FROM pel_operator"),
                           QStringLiteral("INSERT INTO pel_operator VALUES (NULL)")};
    for (const Audited &audited : AuditedTables)
        for (const char *action : {"insert", "update", "delete"})
            statements << triggerSql(audited, QString::fromLatin1(action));
    return statements;
}

Result installAudit(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    for (const QString &statement : sqliteAuditStatements()) {
        if (!query.exec(statement))
            return Result::from(query.lastError());
    }
    return Result::success();
}

QStringList postgresAuditStatements()
{
    QStringList statements;
    for (const Audited &audited : AuditedTables)
        statements << postgresTriggerSql(audited);
    return statements;
}

Result setAuditOperator(const QSqlDatabase &db, const QString &userId)
{
    QSqlQuery query(db);
    query.prepare(isPostgres(db) ? QStringLiteral("select set_config('pelitaksa.operator', ?, false)")
                                 : QStringLiteral("UPDATE pel_operator SET userid = ?"));
    query.addBindValue(userId);
    return query.exec() ? Result::success() : Result::from(query.lastError());
}

Result removeAudit(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (isPostgres(db))
        return query.exec(QStringLiteral("select set_config('pelitaksa.audit', 'off', false)"))
                   ? Result::success()
                   : Result::from(query.lastError());
    for (const Audited &audited : AuditedTables)
        for (const char *action : {"insert", "update", "delete"})
            if (!query.exec(QStringLiteral("DROP TRIGGER IF EXISTS temp.pel_log_%1_%2")
                                .arg(QLatin1String(audited.table), QLatin1String(action))))
                return Result::from(query.lastError());
    return Result::success();
}

Result readLog(const Connection &conn, const LogFilter &filter, QList<QStringList> *rows)
{
    QStringList conditions;
    QVariantList values;
    if (filter.since.isValid()) {
        conditions << QStringLiteral("waktu >= ?");
        values << filter.since.toString(QStringLiteral("yyyy-MM-dd"));
    }
    if (!filter.nis.isEmpty()) {
        // On a server the NIS is found through its lower case, as it is indexed.
        conditions << (conn.isPostgres() ? QStringLiteral("lower(nis) = lower(?)") : QStringLiteral("nis = ?"));
        values << filter.nis;
    }
    if (!filter.table.isEmpty()) {
        conditions << QStringLiteral("lower(tabel) = lower(?)");
        values << filter.table;
    }
    QSqlQuery query(conn.database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("select waktu, userid, tabel, kunci, aksi, sebelum, sesudah from t_log")
                  + (conditions.isEmpty() ? QString() : QStringLiteral(" where ") + conditions.join(QStringLiteral(" and ")))
                  + QStringLiteral(" order by id"));
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        return conn.refused(query.lastError());
    while (query.next()) {
        QStringList fields;
        for (int i = 0; i < 7; ++i)
            fields << (query.value(i).isNull() ? QStringLiteral("-") : query.value(i).toString());
        rows->append(fields);
    }
    if (query.lastError().isValid())
        return conn.refused(query.lastError());
    return Result::success();
}

} // namespace pel::db
