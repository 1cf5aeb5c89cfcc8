#include "admincopy.h"

#include "adminhelp.h"

#include "db/audit.h"
#include "db/batchinsert.h"
#include "db/connection.h"
#include "db/databaseurl.h"
#include "db/result.h"
#include "db/schema.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

namespace pel {

namespace {

// The tables in the order they are filled: students before the grades that
// refer to them. Columns as in the schema, without a server's Urutan, which
// the target numbers anew in the order the rows come.
struct Table
{
    const char *name;
    QStringList columns;
};

const QList<Table> &tables()
{
    static const QList<Table> list{
        {"SISWA", {"NIS", "NamaSiswa", "TptLahir", "TglLahir", "Alamat", "JenisKelamin", "Agama", "TglMasuk",
                   "ProgamJurusan", "LevelTahap", "AsalSekolah", "TelpHp"}},
        {"Pelajaran", {"KdMatpel", "NmMatpel", "TglEntry", "Lokal", "Instruktur", "SKS"}},
        {"t_petugas", {"userid", "nama", "password", "level"}},
        {"Nilai", {"Noreg", "TglProses", "Nis", "Program", "Jenjang", "KdMatpel", "SKS", "Tentor", "Nilangka", "Nilhu",
                   "Bobot", "Mutu", "Prediket", "Ket"}},
    };
    return list;
}

// The rows of a table in the order the source keeps them: SQLite's rowid
// (the order of "select *"), a server's Urutan.
QString selectStatement(const Table &table, bool postgres)
{
    return QStringLiteral("select %1 from %2 order by %3")
        .arg(table.columns.join(QStringLiteral(", ")), QString::fromLatin1(table.name),
             postgres ? QStringLiteral("Urutan") : QStringLiteral("rowid"));
}

int usageError(const QString &message)
{
    return admin::usageError(message, {QStringLiteral("copy")});
}

int failure(const QString &message)
{
    QTextStream(stderr) << "pelitaksa-admin: " << message << "\n";
    return 1;
}

bool count(const QSqlDatabase &db, const Table &table, qint64 *rows, QString *error)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("select count(*) from %1").arg(QString::fromLatin1(table.name))) || !query.next()) {
        *error = QStringLiteral("%1: %2").arg(QString::fromLatin1(table.name), db::errorText(query.lastError()));
        return false;
    }
    *rows = query.value(0).toLongLong();
    return true;
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
        QString error;
        if (!db::createDatabase(target.target.filePath, &error))
            return failure(error);
        out << "Database " << target.target.filePath << " dibuat.\n";
    }

    db::Connection sourceConnection, targetConnection;
    if (!sourceConnection.open(source.target))
        return failure(QStringLiteral("sumber: ") + sourceConnection.lastError());
    if (!targetConnection.open(target.target))
        return failure(QStringLiteral("tujuan: ") + targetConnection.lastError());
    QSqlDatabase sourceDb = sourceConnection.database();
    QSqlDatabase targetDb = targetConnection.database();
    // The copied rows are no operator's changes: the target's audit trail
    // leaves them out, as it would a million rows of noise.
    if (!db::removeAudit(targetDb))
        return failure(QStringLiteral("tujuan: catatan perubahan tidak dapat dimatikan untuk penyalinan"));

    // The source is read in one transaction, so the four tables are one
    // consistent picture even while desks go on writing.
    QSqlQuery sourceQuery(sourceDb);
    if (!sourceDb.transaction()
        || (source.target.isPostgres()
            && !sourceQuery.exec(QStringLiteral("set transaction isolation level repeatable read, read only"))))
        return failure(QStringLiteral("sumber: %1").arg(db::errorText(sourceQuery.lastError().isValid()
                                                                       ? sourceQuery.lastError() : sourceDb.lastError())));
    if (!targetDb.transaction())
        return failure(QStringLiteral("tujuan: %1").arg(db::errorText(targetDb.lastError())));
    // From here on every failure rolls both back: nothing reaches the target.
    const auto abandon = [&](const QString &message) {
        targetDb.rollback();
        sourceDb.rollback();
        return failure(message);
    };

    QString error;
    QStringList held;
    for (const Table &table : tables()) {
        qint64 rows = 0;
        if (!count(targetDb, table, &rows, &error))
            return abandon(QStringLiteral("tujuan: ") + error);
        if (rows > 0)
            held << QStringLiteral("%1 %2 baris").arg(QString::fromLatin1(table.name)).arg(rows);
    }
    if (!held.isEmpty()) {
        if (!replace)
            return abandon(QStringLiteral("database tujuan %1 sudah berisi data (%2); pakai --replace untuk menggantinya.")
                               .arg(target.target.describe(), held.join(QStringLiteral(", "))));
        // Grades go first: they refer to the students.
        QSqlQuery clear(targetDb);
        for (auto it = tables().crbegin(); it != tables().crend(); ++it)
            if (!clear.exec(QStringLiteral("delete from %1").arg(QString::fromLatin1(it->name))))
                return abandon(QStringLiteral("tujuan: %1").arg(db::errorText(clear.lastError())));
    }

    QStringList report;
    for (const Table &table : tables()) {
        const QString name = QString::fromLatin1(table.name);
        QSqlQuery read(sourceDb);
        read.setForwardOnly(true);
        if (!read.exec(selectStatement(table, source.target.isPostgres())))
            return abandon(QStringLiteral("sumber: %1: %2").arg(name, db::errorText(read.lastError())));
        // Two hundred rows a statement: a round trip to a server a batch, not a row.
        db::BatchInsert writer(targetDb, name, table.columns, 200);
        if (!writer.prepare())
            return abandon(QStringLiteral("tujuan: %1: %2").arg(name, writer.error()));
        qint64 copied = 0;
        const auto refused = [&]() {
            return abandon(QStringLiteral("tujuan: %1, baris %2: %3").arg(name).arg(writer.refusedRow() + 1).arg(writer.error()));
        };
        while (read.next()) {
            QVariantList row;
            row.reserve(table.columns.size());
            for (int i = 0; i < int(table.columns.size()); ++i)
                row << read.value(i);
            if (!writer.add(std::move(row)))
                return refused();
            ++copied;
        }
        if (!writer.flush())
            return refused();
        if (read.lastError().isValid())
            return abandon(QStringLiteral("sumber: %1: %2").arg(name, db::errorText(read.lastError())));
        qint64 inSource = 0, inTarget = 0;
        if (!count(sourceDb, table, &inSource, &error))
            return abandon(QStringLiteral("sumber: ") + error);
        if (!count(targetDb, table, &inTarget, &error))
            return abandon(QStringLiteral("tujuan: ") + error);
        if (inSource != copied || inTarget != copied)
            return abandon(QStringLiteral("%1: %2 baris di sumber, %3 disalin, %4 di tujuan; tidak disimpan.")
                               .arg(name).arg(inSource).arg(copied).arg(inTarget));
        report << QStringLiteral("%1: %2 baris disalin, %3 baris diperiksa").arg(name).arg(copied).arg(inTarget);
    }
    if (!targetDb.commit())
        return abandon(QStringLiteral("tujuan: %1").arg(db::errorText(targetDb.lastError())));
    sourceDb.rollback();
    for (const QString &line : report)
        out << line << '\n';
    out << "Data " << source.target.describe() << " disalin ke " << target.target.describe() << ".\n";
    return 0;
}

} // namespace pel
