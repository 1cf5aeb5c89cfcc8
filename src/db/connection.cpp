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

// Why an opened file cannot serve as this program's database, or success
// when it can. Switches the foreign keys on for the connection, brings an
// older file up to the current schema after a backup of it, and sets up the
// audit trail of the connection.
Result prepareDatabase(const QSqlDatabase &db, const QString &filePath)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA foreign_keys = ON"))
        || !query.exec(QStringLiteral("select name from sqlite_master where type = 'table'")))
        return Result::from(query.lastError()).withAbout(cannotUse(filePath));
    query.finish();
    const int version = schemaVersion(db);
    if (version > SchemaVersion)
        return Result::failed(QStringLiteral("Database %1 dibuat oleh versi program yang lebih baru (skema %2; program "
                                             "ini skema %3).\rPakailah program versi terbaru untuk file ini.")
                                  .arg(filePath)
                                  .arg(version)
                                  .arg(SchemaVersion));
    if (const QString problem = schemaProblem(db, version); !problem.isEmpty())
        return Result::refused(Cause::NotOurDatabase, problem, cannotUse(filePath));
    if (version < SchemaVersion) {
        QString saved;
        if (const Result backup = backupNow(db, filePath, QDateTime::currentDateTime(), backupsToKeep(), &saved);
            !backup.ok())
            return Result::failed(QStringLiteral("Database %1 perlu ditingkatkan ke skema %2, tetapi salinannya gagal "
                                                 "dibuat; file tidak diubah.\r")
                                      .arg(filePath)
                                      .arg(SchemaVersion)
                                  + failureMessage(backup));
        if (const Result upgraded = upgradeSchema(db, version); !upgraded.ok())
            return upgraded.withAbout(QStringLiteral("Database %1 gagal ditingkatkan ke skema %2; file tidak diubah "
                                                     "(salinan: %3).")
                                          .arg(filePath)
                                          .arg(SchemaVersion)
                                          .arg(saved));
    }
    if (const Result audit = installAudit(db); !audit.ok())
        return audit.withAbout(cannotUse(filePath));
    return Result::success();
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

Result Connection::fail(const Result &failure)
{
    close();
    return failure;
}

Result Connection::open(const QString &filePath)
{
    close();
    m_path = filePath;

    const QFileInfo info(filePath);
    if (!info.exists())
        return fail(Result::refused(Cause::NotFound, {}, QStringLiteral("File %1 tidak ditemukan.").arg(filePath)));
    if (info.isDir())
        return fail(Result::refused(Cause::IsFolder, {}, cannotUse(filePath)));

    // A write-protected file, or a folder where SQLite cannot keep its
    // journal, says so now, not when the operator saves the first record.
    const QByteArray nativePath = QFile::encodeName(info.absoluteFilePath());
    const QByteArray nativeFolder = QFile::encodeName(info.absolutePath());
    if (::access(nativePath.constData(), W_OK) != 0 || ::access(nativeFolder.constData(), W_OK) != 0)
        return fail(Result::fromErrno(errno, cannotUse(filePath)));
    // A restore in progress holds this lock the other way.
    m_lock = lockDatabase(info.absoluteFilePath(), false);
    if (m_lock < 0)
        return fail(Result::fromErrno(errno, cannotUse(filePath)));

    m_name = QStringLiteral("pelitaksa-%1").arg(++nextConnectionNumber);
    Result problem;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        // mode=rw: SQLite opens the file only if it exists, so a vanished file
        // is never replaced by an empty database.
        QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
        url.setQuery(QStringLiteral("mode=rw"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
        problem = db.open() ? prepareDatabase(db, filePath) : Result::from(db.lastError()).withAbout(cannotUse(filePath));
    }
    return problem.ok() ? problem : fail(problem);
}

Result Connection::setOperator(const QString &userId) const
{
    if (!isOpen())
        return notOpen();
    const Result set = setAuditOperator(database(), userId);
    if (set.ok())
        m_operator = userId;
    return set;
}

Result Connection::setLockWait(int milliseconds) const
{
    if (!isOpen())
        return notOpen();
    if (isPostgres())
        return Result::success();
    QSqlQuery query(database());
    return query.exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(milliseconds)) ? Result::success()
                                                                                     : refused(query.lastError());
}

void Connection::close()
{
    m_target.reset();
    m_reopenFailure = Result::success();
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

Result Connection::lost(const QSqlError &error, bool outcomeUnknown) const
{
    const DatabaseTarget &target = *m_target;
    Result failure = Result::from(error);
    failure.kind = Result::Kind::Failure;
    failure.cause = outcomeUnknown ? Cause::ConnectionLostUnknown : Cause::ConnectionLost;
    failure.server = QStringLiteral("%1 (database %2)")
                         .arg(target.serverName(), target.databaseName.isEmpty() ? target.user : target.databaseName);
    // When the server could not be reached again either, that is the news.
    if (!m_reopenFailure.ok())
        failure.reason = failureMessage(m_reopenFailure).replace(QLatin1Char('\r'), QLatin1Char(' '));
    failure.reason = failure.reason.simplified();
    return failure;
}

Result Connection::refused(const QSqlError &error, bool write) const
{
    // The failure is reported now; the next action may try the server again.
    m_mayReopen = true;
    if (m_target && connectionGone(error))
        m_ended = true;
    if (!isLost())
        return Result::from(error);
    return lost(error, write && m_transactions == 0);
}

Result Connection::commitRefused(const QSqlError &error) const
{
    m_mayReopen = true;
    if (m_target && connectionGone(error))
        m_ended = true;
    return isLost() ? lost(error, true) : Result::from(error);
}

void Connection::reopen()
{
    const QString name = QStringLiteral("pelitaksa-%1").arg(++nextConnectionNumber);
    const Result problem = connectPostgres(name, *m_target);
    if (!problem.ok()) {
        // The lost connection stays in place: statements fail on it and name
        // the server, and the next action tries again. Until one of them has
        // failed, no further attempt is made: an unreachable server may take
        // its connect timeout each time.
        QSqlDatabase::removeDatabase(name);
        m_reopenFailure = problem;
        m_mayReopen = false;
        return;
    }
    m_reopenFailure = Result::success();
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

Result Connection::open(const DatabaseTarget &target)
{
    if (target.isPostgres())
        return openPostgres(target);
    return open(target.filePath.isEmpty() ? QFileInfo(QStringLiteral("SISWA.mdb")).absoluteFilePath()
                                          : target.filePath);
}

Result Connection::connectPostgres(const QString &name, const DatabaseTarget &target) const
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    if (!db.isValid())
        return Result::failed(
            QStringLiteral("Driver PostgreSQL (QPSQL) tidak terpasang; %1 tidak dapat dibuka.").arg(target.describe()));
    configurePostgres(db, target);
    const QString problem = db.open() ? checkPostgresDatabase(db, target) : postgresOpenError(target, db.lastError());
    return problem.isEmpty() ? Result::success() : Result::failed(problem);
}

Result Connection::openPostgres(const DatabaseTarget &target)
{
    close();
    m_path.clear();
    m_name = QStringLiteral("pelitaksa-%1").arg(++nextConnectionNumber);
    // The connection is dropped only once no handle of it is left here.
    const Result problem = connectPostgres(m_name, target);
    if (!problem.ok())
        return fail(problem);
    m_target = target;
    return problem;
}

Result notOpen()
{
    return Result::refused(Cause::Other, QStringLiteral("Database belum terbuka."));
}

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

} // namespace pel::db
