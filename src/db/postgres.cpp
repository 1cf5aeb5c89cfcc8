#include "db/postgres.h"

#include "db/audit.h"
#include "db/result.h"
#include "db/schema.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace pel::db {

namespace {

// A value for libpq's "key=value" list: quoted when it holds a blank, a
// quote or a backslash.
QString connectValue(const QString &value)
{
    static const QRegularExpression plain(QStringLiteral("^[^\\s'\\\\]+$"));
    if (plain.match(value).hasMatch())
        return value;
    QString escaped = value;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

QString roleName(const DatabaseTarget &target)
{
    return target.user.isEmpty() ? QStringLiteral("bawaan") : target.user;
}

QString databaseName(const DatabaseTarget &target)
{
    return target.databaseName.isEmpty() ? roleName(target) : target.databaseName;
}

// A database made by an earlier build lacks what later builds added: the
// audit trail (t_log and its triggers) and the insertion order (Urutan) of
// students, subjects and operators. Both are added here, at start-up, in one
// transaction: the table from the schema text, the columns (numbering the
// stored rows in the order the server holds them), then the triggers. Two
// desks starting at once take turns through an advisory lock, and the second
// finds the work done. An empty text when the schema is (now) complete, else
// why it could not be completed.
QString ensureCurrentSchema(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    const auto present = [&query](bool *complete) {
        if (!query.exec(QStringLiteral("select to_regclass('t_log') is not null and "
                                       "(select count(*) from pg_trigger where tgname like 'pel_log_%' "
                                       "and not tgisinternal) = 9 and "
                                       "(select count(*) from information_schema.columns where column_name = 'urutan' "
                                       "and table_schema = any (current_schemas(false)) "
                                       "and table_name in ('siswa', 'pelajaran', 't_petugas')) = 3"))
            || !query.next())
            return false;
        *complete = query.value(0).toBool();
        return true;
    };
    bool complete = false;
    if (!present(&complete))
        return errorText(query.lastError());
    if (complete)
        return {};
    QSqlDatabase(db).transaction();
    QString problem;
    if (!query.exec(QStringLiteral("select pg_advisory_xact_lock(7404501)")) || !present(&complete)) {
        problem = errorText(query.lastError());
    } else if (!complete) {
        QStringList statements;
        if (!query.exec(QStringLiteral("select to_regclass('t_log') is not null")) || !query.next())
            problem = errorText(query.lastError());
        else if (!query.value(0).toBool())
            for (const QString &statement : schemaStatements(postgresSchemaSql()))
                if (statement.contains(QLatin1String(" t_log")))
                    statements << statement;
        for (const char *table : {"SISWA", "Pelajaran", "t_petugas"})
            statements << QStringLiteral("ALTER TABLE %1 ADD COLUMN IF NOT EXISTS Urutan bigserial NOT NULL UNIQUE")
                              .arg(QLatin1String(table));
        statements << postgresAuditStatements();
        for (const QString &statement : statements) {
            if (!problem.isEmpty())
                break;
            if (!query.exec(statement))
                problem = errorText(query.lastError());
        }
    }
    query.finish();
    if (problem.isEmpty() && !QSqlDatabase(db).commit())
        problem = errorText(db.lastError());
    if (!problem.isEmpty())
        QSqlDatabase(db).rollback();
    return problem;
}

} // namespace

void configurePostgres(QSqlDatabase &db, const DatabaseTarget &target)
{
    db.setHostName(target.host);
    if (target.port > 0)
        db.setPort(target.port);
    db.setUserName(target.user);
    db.setDatabaseName(target.databaseName);
    // Qt joins the options with blanks into libpq's connection string. The
    // session's settings go in libpq's "options" before the driver's first
    // statement: the driver decides at opening whether to double the
    // backslashes of the values it quotes, and must see the setting on.
    QString serverOptions = QStringLiteral("-c standard_conforming_strings=on");
    QStringList options{QStringLiteral("application_name=pelitaksa")};
    for (const QString &option : target.options) {
        const qsizetype equals = option.indexOf(QLatin1Char('='));
        if (option.left(equals).trimmed() == QLatin1String("options"))
            serverOptions += QLatin1Char(' ') + option.mid(equals + 1);
        else
            options << option.left(equals + 1) + connectValue(option.mid(equals + 1));
    }
    options << QStringLiteral("options=") + connectValue(serverOptions);
    db.setConnectOptions(options.join(QLatin1Char(';')));
}

QString postgresOpenError(const DatabaseTarget &target, const QSqlError &error)
{
    const QString reason = errorText(error);
    const auto has = [&reason](const char *words) { return reason.contains(QLatin1String(words), Qt::CaseInsensitive); };
    if (has("database \"") && has("does not exist"))
        return QStringLiteral("Database %1 tidak ada di server %2.").arg(databaseName(target), target.serverName());
    if (has("role \"") || has("authentication failed") || has("no password supplied") || has("pg_hba.conf")
        || has("permission denied"))
        return QStringLiteral("Server %1 menolak pengguna %2 untuk database %3: %4")
            .arg(target.serverName(), roleName(target), databaseName(target), reason);
    return QStringLiteral("Server database %1 tidak dapat dihubungi (database %2): %3")
        .arg(target.serverName(), databaseName(target), reason);
}

QString checkPostgresDatabase(const QSqlDatabase &db, const DatabaseTarget &target)
{
    const QString where = QStringLiteral("Database %1 di server %2").arg(databaseName(target), target.serverName());
    QSqlQuery query(db);
    // A quoted value stays a value only while a backslash is an ordinary
    // character in it (a pooler that drops the session's settings, say,
    // would lose it): the program refuses to work otherwise.
    if (!query.exec(QStringLiteral("show standard_conforming_strings")) || !query.next())
        return QStringLiteral("%1 tidak dapat dibaca: %2").arg(where, errorText(query.lastError()));
    if (query.value(0).toString() != QLatin1String("on"))
        return QStringLiteral("%1 tidak dapat dipakai: sesi tidak dapat memakai standard_conforming_strings = on "
                              "(nilainya %2), sehingga tanda \\ dalam data dapat mengubah perintah. Hubungi "
                              "pengelola server.")
            .arg(where, query.value(0).toString());
    if (!query.exec(QStringLiteral("select table_name from information_schema.tables "
                                   "where table_schema = any (current_schemas(false))")))
        return QStringLiteral("%1 tidak dapat dibaca: %2").arg(where, errorText(query.lastError()));
    QStringList tables;
    while (query.next())
        tables << query.value(0).toString().toLower();
    for (const QString &table : requiredTables())
        if (!tables.contains(table.toLower()))
            return QStringLiteral("%1 bukan database PELITAKSA: tabel %2 tidak ada.").arg(where, table);
    if (const QString missing = ensureCurrentSchema(db); !missing.isEmpty())
        return QStringLiteral("%1 dibuat oleh versi program yang lebih lama dan belum memiliki catatan perubahan "
                              "(tabel t_log dan pemicunya) atau kolom Urutan, dan keduanya tidak dapat dibuat: %2")
            .arg(where, missing);

    // A read-only server (a standby, or read-only by setting), or a role that
    // may only read, says so now, not when the operator saves.
    if (!query.exec(QStringLiteral("select current_setting('transaction_read_only')")) || !query.next())
        return QStringLiteral("%1 tidak dapat dibaca: %2").arg(where, errorText(query.lastError()));
    if (query.value(0).toString() == QLatin1String("on"))
        return QStringLiteral("%1 tidak dapat ditulisi: server hanya menerima pembacaan.").arg(where);
    // has_table_privilege is true when any one of several listed rights is
    // held, so each right is asked on its own.
    for (const QString &table : requiredTables()) {
        query.prepare(QStringLiteral("select has_table_privilege(?, 'INSERT') and has_table_privilege(?, 'UPDATE') "
                                     "and has_table_privilege(?, 'DELETE')"));
        for (int i = 0; i < 3; ++i)
            query.addBindValue(table.toLower());
        if (!query.exec() || !query.next())
            return QStringLiteral("%1 tidak dapat dibaca: %2").arg(where, errorText(query.lastError()));
        if (!query.value(0).toBool())
            return QStringLiteral("%1 tidak dapat ditulisi: pengguna %2 tidak berhak mengubah tabel %3.")
                .arg(where, roleName(target), table);
    }
    // A new row draws its Urutan from its table's sequence, which needs its own right.
    for (const QString &table : requiredTables()) {
        query.prepare(QStringLiteral("select has_sequence_privilege(pg_get_serial_sequence(?, 'urutan'), 'USAGE')"));
        query.addBindValue(table.toLower());
        if (!query.exec() || !query.next())
            return QStringLiteral("%1 tidak dapat dibaca: %2").arg(where, errorText(query.lastError()));
        if (!query.value(0).toBool())
            return QStringLiteral("%1 tidak dapat ditulisi: pengguna %2 tidak berhak memakai urutan %3_urutan_seq.")
                .arg(where, roleName(target), table.toLower());
    }
    // Every change writes its audit row with the desk's own role.
    if (!query.exec(QStringLiteral("select has_table_privilege('t_log', 'INSERT') and "
                                   "has_sequence_privilege(pg_get_serial_sequence('t_log', 'id'), 'USAGE')"))
        || !query.next())
        return QStringLiteral("%1 tidak dapat dibaca: %2").arg(where, errorText(query.lastError()));
    if (!query.value(0).toBool())
        return QStringLiteral("%1 tidak dapat ditulisi: pengguna %2 tidak berhak menulis catatan perubahan "
                              "(tabel t_log, urutan t_log_id_seq).")
            .arg(where, roleName(target));
    return {};
}

Result createPostgresTables(const DatabaseTarget &target)
{
    const QString name = QStringLiteral("pelitaksa-create-postgres");
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        configurePostgres(db, target);
        if (!db.isValid()) {
            problem = QStringLiteral("Driver PostgreSQL (QPSQL) tidak terpasang.");
        } else if (!db.open()) {
            problem = postgresOpenError(target, db.lastError());
        } else {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("select table_name from information_schema.tables "
                                          "where table_schema = any (current_schemas(false))"))) {
                while (query.next() && problem.isEmpty())
                    for (const QString &table : requiredTables())
                        if (query.value(0).toString().compare(table, Qt::CaseInsensitive) == 0)
                            problem = QStringLiteral("Tabel %1 sudah ada di %2; tidak ditimpa.")
                                          .arg(table, target.describe());
            } else {
                problem = QStringLiteral("Database %1 tidak dapat dibaca: %2").arg(target.describe(), errorText(query.lastError()));
            }
            if (problem.isEmpty()) {
                db.transaction();
                for (const QString &statement : schemaStatements(postgresSchemaSql()) + postgresAuditStatements()) {
                    if (!query.exec(statement)) {
                        problem = QStringLiteral("Skema gagal dibuat di %1: %2")
                                      .arg(target.describe(), errorText(query.lastError()));
                        break;
                    }
                }
                if (problem.isEmpty() && !db.commit())
                    problem = QStringLiteral("Skema gagal dibuat di %1: %2")
                                  .arg(target.describe(), errorText(db.lastError()));
                if (!problem.isEmpty())
                    db.rollback();
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return problem.isEmpty() ? Result::success() : Result::failed(problem);
}

QString programColumnName(const QString &name)
{
    static const QHash<QString, QString> names = [] {
        const char *const columns[] = {
            "NIS", "NamaSiswa", "TptLahir", "TglLahir", "Alamat", "JenisKelamin", "Agama", "TglMasuk",
            "ProgamJurusan", "LevelTahap", "AsalSekolah", "TelpHp",
            "KdMatpel", "NmMatpel", "TglEntry", "Lokal", "Instruktur", "SKS",
            "Noreg", "TglProses", "Nis", "Program", "Jenjang", "Tentor", "Nilangka", "Nilhu", "Bobot", "Mutu",
            "Prediket", "Ket", "Urutan",
            "userid", "nama", "password", "level"};
        QHash<QString, QString> map;
        for (const char *column : columns) {
            const QString spelled = QString::fromLatin1(column);
            // "NIS" of SISWA comes first and wins over "Nis" of Nilai.
            if (!map.contains(spelled.toLower()))
                map.insert(spelled.toLower(), spelled);
        }
        return map;
    }();
    return names.value(name, name);
}

} // namespace pel::db
