#include "db/connection.h"

#include "db/schema.h"
#include "db/postgres.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace pel::db {

namespace {
int nextConnectionNumber = 0;
}

namespace {

// Why an opened file cannot serve as this program's database, or an empty
// text when it can. Also switches the foreign keys on for the connection.
QString checkDatabase(const QSqlDatabase &db, const QString &filePath)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA foreign_keys = ON"))
        || !query.exec(QStringLiteral("select name from sqlite_master where type = 'table'")))
        return QStringLiteral("File %1 bukan database PELITAKSA: %2").arg(filePath, errorText(query.lastError()));
    QStringList tables;
    while (query.next())
        tables << query.value(0).toString().toLower();
    for (const QString &table : requiredTables()) {
        if (!tables.contains(table.toLower()))
            return QStringLiteral("File %1 bukan database PELITAKSA: tabel %2 tidak ada.").arg(filePath, table);
    }
    return {};
}

} // namespace

Connection::~Connection()
{
    // The program's own connection outlives the application object; by then
    // Qt's connection registry is gone and the file has nothing left to
    // write, so only a connection closed while Qt still runs is removed.
    if (QCoreApplication::instance())
        close();
}

bool Connection::fail(const QString &reason)
{
    m_error = reason;
    close();
    return false;
}

bool Connection::open(const QString &filePath)
{
    close();
    m_error.clear();
    m_path = filePath;

    const QFileInfo info(filePath);
    if (!info.exists() || !info.isFile())
        return fail(QStringLiteral("File %1 tidak ditemukan.").arg(filePath));

    // A write-protected file, or a folder where SQLite cannot keep its
    // journal, says so now, not when the operator saves the first record.
    const QByteArray nativePath = QFile::encodeName(info.absoluteFilePath());
    const QByteArray nativeFolder = QFile::encodeName(info.absolutePath());
    if (::access(nativePath.constData(), W_OK) != 0 || ::access(nativeFolder.constData(), W_OK) != 0)
        return fail(QStringLiteral("File %1 tidak dapat ditulisi: %2").arg(filePath, QString::fromLocal8Bit(std::strerror(errno))));

    m_name = QStringLiteral("pelitaksa-%1").arg(++nextConnectionNumber);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    // mode=rw: SQLite opens the file only if it exists, so a vanished file is
    // never replaced by an empty database.
    QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    url.setQuery(QStringLiteral("mode=rw"));
    db.setDatabaseName(url.toString(QUrl::FullyEncoded));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db.open())
        return fail(QStringLiteral("File %1 tidak dapat dibuka: %2").arg(filePath, errorText(db.lastError())));

    const QString problem = checkDatabase(db, filePath);
    if (!problem.isEmpty())
        return fail(problem);
    return true;
}

void Connection::close()
{
    if (m_name.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_name.clear();
}

bool Connection::isOpen() const
{
    return !m_name.isEmpty() && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Connection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

bool Connection::open(const DatabaseTarget &target)
{
    if (target.isPostgres())
        return openPostgres(target);
    return open(target.filePath.isEmpty() ? QFileInfo(QStringLiteral("SISWA.mdb")).absoluteFilePath()
                                          : target.filePath);
}

bool Connection::openPostgres(const DatabaseTarget &target)
{
    close();
    m_error.clear();
    m_path.clear();
    m_name = QStringLiteral("pelitaksa-%1").arg(++nextConnectionNumber);
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
        if (!db.isValid())
            problem = QStringLiteral("Driver PostgreSQL (QPSQL) tidak terpasang; %1 tidak dapat dibuka.").arg(target.describe());
        else {
            configurePostgres(db, target);
            problem = db.open() ? checkPostgresDatabase(db, target) : postgresOpenError(target, db.lastError());
        }
    }
    // The connection is dropped only once no handle of it is left here.
    return problem.isEmpty() ? true : fail(problem);
}

} // namespace pel::db
