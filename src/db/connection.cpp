#include "db/connection.h"

#include "db/audit.h"
#include "db/backup.h"
#include "db/failure.h"
#include "db/schema.h"
#include "db/postgres.h"

#include <QCoreApplication>
#include <QSqlDriver>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <libpq-fe.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace pel::db {

namespace {
// Connections are opened on more than one thread (the statistics screen
// computes on a thread of its own), and each needs a name of its own.
std::atomic<int> nextConnectionNumber = 0;
}

namespace {

// The first line of every failure to open: it names the file.
QString cannotUse(const QString &filePath)
{
    return QStringLiteral("Database %1 tidak dapat dipakai.").arg(filePath);
}

// Why an opened file cannot serve as this program's database, or an empty
// text when it can. Switches the foreign keys on for the connection, brings
// an older file up to the current schema after a backup of it, and sets up
// the audit trail of the connection.
QString prepareDatabase(const QSqlDatabase &db, const QString &filePath)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA foreign_keys = ON"))
        || !query.exec(QStringLiteral("select name from sqlite_master where type = 'table'")))
        return failureMessage(cannotUse(filePath), query.lastError());
    query.finish();
    const int version = schemaVersion(db);
    if (version > SchemaVersion)
        return QStringLiteral("Database %1 dibuat oleh versi program yang lebih baru (skema %2; program ini skema "
                              "%3).\rPakailah program versi terbaru untuk file ini.")
            .arg(filePath)
            .arg(version)
            .arg(SchemaVersion);
    if (const QString problem = schemaProblem(db, version); !problem.isEmpty())
        return failureMessage(cannotUse(filePath), Cause::NotOurDatabase, problem);
    if (version < SchemaVersion) {
        QString saved;
        QString error;
        if (!backupNow(db, filePath, QDateTime::currentDateTime(), backupsToKeep(), &saved, &error))
            return QStringLiteral("Database %1 perlu ditingkatkan ke skema %2, tetapi salinannya gagal dibuat; file "
                                  "tidak diubah.\r")
                       .arg(filePath)
                       .arg(SchemaVersion)
                + error.replace(QLatin1Char('\n'), QLatin1Char('\r'));
        if (!upgradeSchema(db, version, &error))
            return QStringLiteral("Database %1 gagal ditingkatkan ke skema %2; file tidak diubah (salinan: %3).\r")
                       .arg(filePath)
                       .arg(SchemaVersion)
                       .arg(saved)
                + causeLine(Cause::Other) + QStringLiteral("\rDetail: ") + error;
    }
    QString error;
    if (!installAudit(db, &error))
        return failureMessage(cannotUse(filePath), Cause::Other, error);
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
    if (!info.exists())
        return fail(failureMessage(QStringLiteral("File %1 tidak ditemukan.").arg(filePath), Cause::NotFound, {}));
    if (info.isDir())
        return fail(failureMessage(cannotUse(filePath), Cause::IsFolder, {}));

    // A write-protected file, or a folder where SQLite cannot keep its
    // journal, says so now, not when the operator saves the first record.
    const QByteArray nativePath = QFile::encodeName(info.absoluteFilePath());
    const QByteArray nativeFolder = QFile::encodeName(info.absolutePath());
    if (::access(nativePath.constData(), W_OK) != 0 || ::access(nativeFolder.constData(), W_OK) != 0) {
        const int code = errno;
        return fail(failureMessage(cannotUse(filePath), causeOfErrno(code), QString::fromLocal8Bit(std::strerror(code))));
    }
    // A restore in progress holds this lock the other way.
    m_lock = lockDatabase(info.absoluteFilePath(), false);
    if (m_lock < 0) {
        const int code = errno;
        return fail(failureMessage(cannotUse(filePath), causeOfErrno(code), QString::fromLocal8Bit(std::strerror(code))));
    }

    m_name = QStringLiteral("pelitaksa-%1").arg(++nextConnectionNumber);
    QString problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        // mode=rw: SQLite opens the file only if it exists, so a vanished file
        // is never replaced by an empty database.
        QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
        url.setQuery(QStringLiteral("mode=rw"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        problem = db.open() ? prepareDatabase(db, filePath) : failureMessage(cannotUse(filePath), db.lastError());
    }
    if (!problem.isEmpty())
        return fail(problem);
    return true;
}

bool Connection::setOperator(const QString &userId) const
{
    if (!isOpen() || !setAuditOperator(database(), userId))
        return false;
    m_operator = userId;
    return true;
}

void Connection::close()
{
    m_target.reset();
    m_ended = false;
    m_mayReopen = true;
    m_operator.clear();
    unlockDatabase(m_lock);
    m_lock = -1;
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
    // A lost server connection counts as open: it is opened again here, or,
    // when the server cannot be reached yet, its statements fail naming it.
    if (m_transactions == 0 && isLost()) {
        if (m_mayReopen)
            const_cast<Connection *>(this)->reopen();
        return true;
    }
    return !m_name.isEmpty() && QSqlDatabase::database(m_name, false).isOpen();
}

QSqlDatabase Connection::database() const
{
    // Only this object's own handle changes; the database it names stays the
    // same, so a const caller may reach it again.
    if (m_transactions == 0 && m_mayReopen && isLost())
        const_cast<Connection *>(this)->reopen();
    return QSqlDatabase::database(m_name, false);
}

bool Connection::isLost() const
{
    if (!m_target || m_name.isEmpty())
        return false;
    if (m_ended)
        return true;
    const QSqlDatabase db = QSqlDatabase::database(m_name, false);
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    // Qt names the type by libpq's struct.
    if (!handle.isValid()
        || (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return false;
    PGconn *conn = *static_cast<PGconn *const *>(handle.constData());
    return conn && PQstatus(conn) == CONNECTION_BAD;
}

QString Connection::lostReason(const QSqlError &error, bool outcomeUnknown) const
{
    const DatabaseTarget &target = *m_target;
    const QString server = QStringLiteral("%1 (database %2)")
                               .arg(target.serverName(), target.databaseName.isEmpty() ? target.user : target.databaseName);
    // When the server could not be reached again either, that is the news.
    const QString engine = m_error.isEmpty() ? errorText(error) : m_error;
    return connectionLostReason(server, outcomeUnknown, engine);
}

QString Connection::failureText(const QSqlError &error, bool write) const
{
    // The failure is reported now; the next action may try the server again.
    m_mayReopen = true;
    if (m_target && connectionGone(error))
        m_ended = true;
    if (!isLost())
        return errorText(error);
    return lostReason(error, write && m_transactions == 0);
}

QString Connection::commitFailureText(const QSqlError &error) const
{
    m_mayReopen = true;
    if (m_target && connectionGone(error))
        m_ended = true;
    return isLost() ? lostReason(error, true) : errorText(error);
}

void Connection::reopen()
{
    const QString name = QStringLiteral("pelitaksa-%1").arg(++nextConnectionNumber);
    const QString problem = connectPostgres(name, *m_target);
    if (!problem.isEmpty()) {
        // The lost connection stays in place: statements fail on it and name
        // the server, and the next action tries again. Until one of them has
        // failed, no further attempt is made: an unreachable server may take
        // its connect timeout each time.
        QSqlDatabase::removeDatabase(name);
        m_error = problem;
        m_mayReopen = false;
        return;
    }
    m_error.clear();
    m_ended = false;
    {
        QSqlDatabase lost = QSqlDatabase::database(m_name, false);
        lost.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_name = name;
    if (!m_operator.isEmpty())
        setAuditOperator(QSqlDatabase::database(m_name, false), m_operator);
}

bool Connection::open(const DatabaseTarget &target)
{
    if (target.isPostgres())
        return openPostgres(target);
    return open(target.filePath.isEmpty() ? QFileInfo(QStringLiteral("SISWA.mdb")).absoluteFilePath()
                                          : target.filePath);
}

QString Connection::connectPostgres(const QString &name, const DatabaseTarget &target) const
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    if (!db.isValid())
        return QStringLiteral("Driver PostgreSQL (QPSQL) tidak terpasang; %1 tidak dapat dibuka.").arg(target.describe());
    configurePostgres(db, target);
    return db.open() ? checkPostgresDatabase(db, target) : postgresOpenError(target, db.lastError());
}

bool Connection::openPostgres(const DatabaseTarget &target)
{
    close();
    m_error.clear();
    m_path.clear();
    m_name = QStringLiteral("pelitaksa-%1").arg(++nextConnectionNumber);
    // The connection is dropped only once no handle of it is left here.
    const QString problem = connectPostgres(m_name, target);
    if (!problem.isEmpty())
        return fail(problem);
    m_target = target;
    return true;
}

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

} // namespace pel::db
