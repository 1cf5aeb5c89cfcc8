#include "db/schema.h"

#include "db/connection.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace pel::db {

namespace {

// A numeric column with the condition its CHECK constraint holds it to.
struct Checked
{
    const char *table;
    const char *column;
    const char *condition; // %1 stands for the column
};

const Checked CheckedColumns[] = {
    {"Pelajaran", "SKS", "(%1 >= 0 AND %1 < 9e999)"},
    {"Nilai", "SKS", "(%1 >= 0 AND %1 < 9e999)"},
    {"Nilai", "Nilangka", "abs(%1) < 9e999"},
    {"Nilai", "Bobot", "abs(%1) < 9e999"},
    {"Nilai", "Mutu", "abs(%1) < 9e999"},
};

// The statement of schema.sql that begins with these words (letter case
// ignored), such as "CREATE TABLE Nilai ".
QString statementStartingWith(const QString &start)
{
    for (const QString &statement : schemaStatements())
        if (statement.startsWith(start, Qt::CaseInsensitive))
            return statement;
    return {};
}

QString quotedColumns(const QStringList &columns)
{
    QStringList quoted;
    for (const QString &column : columns)
        quoted << QLatin1Char('"') + column + QLatin1Char('"');
    return quoted.join(QStringLiteral(", "));
}

// Rebuilds table with the constraints of the current schema, keeping each
// row and its rowid; values the constraints refuse become NULL after their
// row's old values went into t_log.
bool rebuildTable(QSqlQuery &query, const QString &table, QString *failed)
{
    const QStringList columns = schemaColumns(table);
    QStringList selected;
    QStringList refused;
    for (const QString &column : columns) {
        QString expression = QLatin1Char('"') + column + QLatin1Char('"');
        for (const Checked &checked : CheckedColumns) {
            if (table == QLatin1String(checked.table) && column == QLatin1String(checked.column)) {
                const QString condition = QString::fromLatin1(checked.condition).arg(expression);
                refused << QStringLiteral("(%1 IS NOT NULL AND NOT %2)").arg(expression, condition);
                expression = QStringLiteral("CASE WHEN %1 THEN %2 END").arg(condition, expression);
            }
        }
        selected << expression;
    }
    QStringList jsonPairs;
    for (const QString &column : columns)
        jsonPairs << QStringLiteral("'%1', \"%1\"").arg(column);
    const QString key = table == QLatin1String("Nilai") ? QStringLiteral("Noreg") : columns.first();
    const QString nis = table == QLatin1String("Nilai") ? QStringLiteral("Nis") : QStringLiteral("NULL");

    const QString create = statementStartingWith(QStringLiteral("CREATE TABLE %1 ").arg(table));
    const QString temporary = table + QStringLiteral("_baru");
    const QStringList statements{
        QStringLiteral("INSERT INTO t_log (waktu, userid, tabel, kunci, nis, aksi, sebelum, sesudah) "
                       "SELECT strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'), NULL, '%1', \"%2\", %3, "
                       "'upgrade', json_object(%4), NULL FROM \"%1\" WHERE %5")
            .arg(table, key, nis, jsonPairs.join(QStringLiteral(", ")), refused.join(QStringLiteral(" OR "))),
        QString(create).replace(QRegularExpression(QStringLiteral("^CREATE TABLE %1 ").arg(table),
                                                   QRegularExpression::CaseInsensitiveOption),
                                QStringLiteral("CREATE TABLE %1 ").arg(temporary)),
        QStringLiteral("INSERT INTO \"%1\" (rowid, %2) SELECT rowid, %3 FROM \"%4\" ORDER BY rowid")
            .arg(temporary, quotedColumns(columns), selected.join(QStringLiteral(", ")), table),
        QStringLiteral("DROP TABLE \"%1\"").arg(table),
        QStringLiteral("ALTER TABLE \"%1\" RENAME TO \"%2\"").arg(temporary, table),
    };
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            *failed = statement;
            return false;
        }
    }
    return true;
}

} // namespace

QStringList schemaStatements(const QString &text)
{
    // Comment lines go first, then the text splits into its ';'-terminated
    // statements.
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n')))
        if (!line.trimmed().startsWith(QLatin1String("--")))
            lines << line;
    QStringList statements;
    for (const QString &raw : lines.join(QLatin1Char('\n')).split(QLatin1Char(';'))) {
        const QString statement = raw.trimmed();
        if (!statement.isEmpty())
            statements << statement;
    }
    return statements;
}

QStringList schemaStatements()
{
    return schemaStatements(schemaSql());
}

QStringList schemaColumns(const QString &table)
{
    static const QHash<QString, QStringList> columns{
        {QStringLiteral("siswa"),
         {"NIS", "NamaSiswa", "TptLahir", "TglLahir", "Alamat", "JenisKelamin", "Agama", "TglMasuk", "ProgamJurusan",
          "LevelTahap", "AsalSekolah", "TelpHp"}},
        {QStringLiteral("pelajaran"), {"KdMatpel", "NmMatpel", "TglEntry", "Lokal", "Instruktur", "SKS"}},
        {QStringLiteral("nilai"),
         {"Noreg", "TglProses", "Nis", "Program", "Jenjang", "KdMatpel", "SKS", "Tentor", "Nilangka", "Nilhu", "Bobot",
          "Mutu", "Prediket", "Ket"}},
        {QStringLiteral("t_petugas"), {"userid", "nama", "password", "level"}},
        {QStringLiteral("t_log"), {"id", "waktu", "userid", "tabel", "kunci", "nis", "aksi", "sebelum", "sesudah"}},
    };
    return columns.value(table.toLower());
}

int schemaVersion(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next())
        return -1;
    const int stored = query.value(0).toInt();
    return stored == 0 ? 1 : stored;
}

QString schemaProblem(const QSqlDatabase &db, int version)
{
    QStringList tables = requiredTables();
    if (version >= 2)
        tables << QStringLiteral("t_log");
    // Missing tables are named before tables with other columns.
    QList<QStringList> found;
    for (const QString &table : tables) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table)))
            return QStringLiteral("tabel %1 tidak dapat dibaca.").arg(table);
        QStringList columns;
        while (query.next())
            columns << query.value(1).toString();
        if (columns.isEmpty())
            return QStringLiteral("tabel %1 tidak ada.").arg(table);
        found << columns;
    }
    for (qsizetype t = 0; t < tables.size(); ++t) {
        const QStringList expected = schemaColumns(tables.at(t));
        const QStringList &columns = found.at(t);
        bool same = columns.size() == expected.size();
        for (qsizetype i = 0; same && i < columns.size(); ++i)
            same = columns.at(i).compare(expected.at(i), Qt::CaseInsensitive) == 0;
        if (!same)
            return QStringLiteral("kolom tabel %1 tidak sesuai (ada: %2; seharusnya: %3).")
                .arg(tables.at(t), columns.join(QStringLiteral(", ")), expected.join(QStringLiteral(", ")));
    }
    return {};
}

Result upgradeSchema(const QSqlDatabase &db, int fromVersion)
{
    Result failure;
    QSqlQuery query(db);
    // The tables are rebuilt with the foreign keys off, as SQLite asks for a
    // table rebuild; the keys are checked before the commit instead.
    query.exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
    QSqlDatabase(db).transaction();
    QString failed;
    bool ok = true;
    if (fromVersion < 2) {
        for (const QString &start : {QStringLiteral("CREATE TABLE t_log "), QStringLiteral("CREATE INDEX t_log_nis ")}) {
            failed = statementStartingWith(start);
            if (!(ok = query.exec(failed)))
                break;
        }
        for (const QString &table : {QStringLiteral("Pelajaran"), QStringLiteral("Nilai")})
            if (ok)
                ok = rebuildTable(query, table, &failed);
        for (const QString &start : {QStringLiteral("CREATE INDEX NilaiNis "), QStringLiteral("CREATE INDEX NilaiNoreg ")}) {
            if (ok) {
                failed = statementStartingWith(start);
                ok = query.exec(failed);
            }
        }
    }
    if (ok) {
        failed = QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion);
        ok = query.exec(failed);
    }
    if (ok) {
        failed = QStringLiteral("PRAGMA foreign_key_check");
        ok = query.exec(failed);
        if (ok && query.next()) {
            ok = false;
            failure = Result::refused(Cause::Referenced,
                                      QStringLiteral("ada nilai yang mengacu ke siswa yang tidak ada (tabel %1).")
                                          .arg(query.value(0).toString()));
        } else if (!ok) {
            failure = Result::from(query.lastError());
        }
    } else {
        failure = Result::from(query.lastError());
        failure.reason = QStringLiteral("%1 (%2)").arg(failure.reason, failed);
    }
    if (ok && !QSqlDatabase(db).commit()) {
        ok = false;
        failure = Result::from(db.lastError());
    }
    if (!ok)
        QSqlDatabase(db).rollback();
    query.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    return failure;
}

bool createPrivateFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

Result createDatabase(const QString &path)
{
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return Result::failed(QStringLiteral("File %1 sudah ada; tidak ditimpa.").arg(path));
    // SQLite would make the file readable by everyone; an empty file of the
    // owner's made first keeps its mode.
    if (!createPrivateFile(path))
        return Result::fromErrno(errno, QStringLiteral("File %1 tidak dapat dibuat.").arg(path));
    const QString name = QStringLiteral("pelitaksa-create");
    Result result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            result = Result::from(db.lastError()).withAbout(QStringLiteral("File %1 tidak dapat dibuat.").arg(path));
        } else {
            QSqlQuery query(db);
            db.transaction();
            for (const QString &statement : schemaStatements()) {
                if (!query.exec(statement)) {
                    result = Result::from(query.lastError()).withAbout(QStringLiteral("Skema gagal dibuat."));
                    break;
                }
            }
            if (result.ok() && !db.commit())
                result = Result::from(db.lastError()).withAbout(QStringLiteral("Skema gagal dibuat."));
            if (!result.ok())
                db.rollback();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (!result.ok())
        QFile::remove(path);
    return result;
}

} // namespace pel::db
