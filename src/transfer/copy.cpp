#include "transfer/copy.h"

#include "db/audit.h"
#include "db/batchinsert.h"
#include "db/connection.h"
#include "db/schema.h"
#include "db/transaction.h"

#include <QSqlError>
#include <QSqlQuery>

namespace pel::transfer {

namespace {

// The tables in the order they are filled: students before the grades that
// refer to them. Columns as in the schema, without a server's Urutan, which
// the target numbers anew in the order the rows come.
const QStringList &tableNames()
{
    static const QStringList names{QStringLiteral("SISWA"), QStringLiteral("Pelajaran"), QStringLiteral("t_petugas"),
                                   QStringLiteral("Nilai")};
    return names;
}

// The rows of a table in the order the source keeps them: SQLite's rowid
// (the order of "select *"), a server's Urutan.
QString selectStatement(const QString &table, bool postgres)
{
    return QStringLiteral("select %1 from %2 order by %3")
        .arg(db::schemaColumns(table).join(QStringLiteral(", ")), table,
             postgres ? QStringLiteral("Urutan") : QStringLiteral("rowid"));
}

db::Result count(const db::Connection &conn, const QString &table, qint64 *rows)
{
    QSqlQuery query(conn.database());
    if (!query.exec(QStringLiteral("select count(*) from %1").arg(table)) || !query.next())
        return conn.refused(query.lastError());
    *rows = query.value(0).toLongLong();
    return db::Result::success();
}

// A failure in one of the two databases, its first line naming which.
db::Result in(const QString &which, const QString &table, db::Result failure)
{
    failure.about = table.isEmpty() ? which : QStringLiteral("%1: %2").arg(which, table);
    return failure;
}

} // namespace

db::Result copyDatabase(const db::Connection &source, const db::Connection &target, const QString &targetName,
                        bool replace, QStringList *report)
{
    const QString from = QStringLiteral("sumber");
    const QString to = QStringLiteral("tujuan");
    if (const db::Result off = db::removeAudit(target.database()); !off.ok())
        return in(to, QStringLiteral("catatan perubahan tidak dapat dimatikan untuk penyalinan"), off);

    const db::Transaction reading(source, db::Transaction::Mode::Snapshot);
    if (!reading.isActive())
        return in(from, {}, reading.lastError());
    db::Transaction writing(target, db::Transaction::Mode::Write);
    if (!writing.isActive())
        return in(to, {}, writing.lastError());

    QStringList held;
    for (const QString &table : tableNames()) {
        qint64 rows = 0;
        if (const db::Result counted = count(target, table, &rows); !counted.ok())
            return in(to, table, counted);
        if (rows > 0)
            held << QStringLiteral("%1 %2 baris").arg(table).arg(rows);
    }
    if (!held.isEmpty()) {
        if (!replace)
            return db::Result::failed(QStringLiteral("database tujuan %1 sudah berisi data (%2); pakai --replace untuk "
                                                     "menggantinya.")
                                          .arg(targetName, held.join(QStringLiteral(", "))));
        // Grades go first: they refer to the students.
        QSqlQuery clear(target.database());
        for (auto table = tableNames().crbegin(); table != tableNames().crend(); ++table)
            if (!clear.exec(QStringLiteral("delete from %1").arg(*table)))
                return in(to, *table, target.refused(clear.lastError(), true));
    }

    QStringList lines;
    for (const QString &table : tableNames()) {
        const QStringList columns = db::schemaColumns(table);
        QSqlQuery read(source.database());
        read.setForwardOnly(true);
        if (!read.exec(selectStatement(table, source.isPostgres())))
            return in(from, table, source.refused(read.lastError()));
        // Two hundred rows a statement: a round trip to a server a batch, not a row.
        db::BatchInsert writer(target.database(), table, columns, 200);
        if (const db::Result ready = writer.prepare(); !ready.ok())
            return in(to, table, ready);
        qint64 copied = 0;
        while (read.next()) {
            QVariantList row;
            row.reserve(columns.size());
            for (int i = 0; i < int(columns.size()); ++i)
                row << read.value(i);
            if (const db::Result added = writer.add(std::move(row)); !added.ok())
                return in(to, QStringLiteral("%1, baris %2").arg(table).arg(writer.refusedRow() + 1), added);
            ++copied;
        }
        if (const db::Result sent = writer.flush(); !sent.ok())
            return in(to, QStringLiteral("%1, baris %2").arg(table).arg(writer.refusedRow() + 1), sent);
        if (read.lastError().isValid())
            return in(from, table, source.refused(read.lastError()));
        qint64 inSource = 0, inTarget = 0;
        if (const db::Result counted = count(source, table, &inSource); !counted.ok())
            return in(from, table, counted);
        if (const db::Result counted = count(target, table, &inTarget); !counted.ok())
            return in(to, table, counted);
        if (inSource != copied || inTarget != copied)
            return db::Result::failed(QStringLiteral("%1: %2 baris di sumber, %3 disalin, %4 di tujuan; tidak disimpan.")
                                          .arg(table)
                                          .arg(inSource)
                                          .arg(copied)
                                          .arg(inTarget));
        lines << QStringLiteral("%1: %2 baris disalin, %3 baris diperiksa").arg(table).arg(copied).arg(inTarget);
    }
    if (!writing.commit())
        return in(to, {}, writing.lastError());
    *report = lines;
    return db::Result::success();
}

} // namespace pel::transfer
