#include "db/backup.h"

#include "db/connection.h"

#include "db/failure.h"
#include "db/filewriter.h"
#include "db/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDriver>
#include <QSqlError>
#include <QThread>

#include <sqlite3.h>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace pel::db {

namespace {

QString sqliteText(sqlite3 *db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

bool stopped(const BackupPace &pace)
{
    return pace.stop && pace.stop->load();
}

// Copies every page of from into to, at pace, waiting while another
// connection writes.
int copyPages(sqlite3 *from, sqlite3 *to, const BackupPace &pace = {})
{
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup)
        return sqlite3_errcode(to);
    int rc = SQLITE_OK;
    int pages = pace.pagesPerStep;
    int restarts = 0;
    int remaining = -1;
    int busyTries = 0;
    while (true) {
        if (stopped(pace)) {
            rc = SQLITE_INTERRUPT;
            break;
        }
        rc = sqlite3_backup_step(backup, pages);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
            if (++busyTries >= 100)
                break;
            QThread::msleep(100);
            continue;
        }
        busyTries = 0;
        if (rc != SQLITE_OK)
            break;
        // More pages left than before this step: a write elsewhere made the
        // copy start over.
        const int left = sqlite3_backup_remaining(backup);
        if (remaining >= 0 && left > remaining && ++restarts >= pace.restartsBeforeWhole)
            pages = -1;
        remaining = left;
        if (pace.pauseMs > 0)
            QThread::msleep(pace.pauseMs);
    }
    const int finished = sqlite3_backup_finish(backup);
    return rc == SQLITE_DONE ? finished : rc;
}

// Lets a check that runs long end as soon as the pace says stop.
int stopWhenAsked(void *pace)
{
    return stopped(*static_cast<const BackupPace *>(pace)) ? 1 : 0;
}

// "ok", or the first problem PRAGMA integrity_check names.
QString integrityOf(sqlite3 *db)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) != SQLITE_OK)
        return sqliteText(db);
    QString result = sqlite3_step(statement) == SQLITE_ROW
                         ? QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)))
                         : sqliteText(db);
    sqlite3_finalize(statement);
    return result;
}

QStringList backupsOf(const QString &databasePath)
{
    const QString base = QFileInfo(databasePath).completeBaseName();
    QDir folder(backupFolder(databasePath));
    // The names sort as the moments they were made.
    const QString pattern = base + QLatin1Char('-') + QString(8, QLatin1Char('?')) + QLatin1Char('-')
                            + QString(6, QLatin1Char('?')) + QStringLiteral("*.mdb");
    return folder.entryList({pattern}, QDir::Files, QDir::Name);
}

// A failure of SQLite's own on a copy: its result code decides the cause.
Result sqliteFailure(int rc, const QString &text, const QString &about)
{
    const Cause cause = rc == SQLITE_FULL ? Cause::DiskFull : rc == SQLITE_OK ? Cause::Damaged : Cause::Other;
    Result failure = Result::refused(cause, text, about);
    failure.code = QString::number(rc);
    return failure;
}

} // namespace

QString backupFolder(const QString &databasePath)
{
    return QFileInfo(databasePath).absoluteDir().filePath(QStringLiteral("backup"));
}

QString backupFileName(const QString &databasePath, const QDateTime &moment)
{
    return QFileInfo(databasePath).completeBaseName() + moment.toString(QStringLiteral("-yyyyMMdd-HHmmss"))
           + QStringLiteral(".mdb");
}

Result backupDatabase(const QSqlDatabase &source, const QString &target, const BackupPace &pace)
{
    sqlite3 *from = sqliteHandle(source);
    if (!from)
        return Result::failed(QStringLiteral("Salinan %1 gagal dibuat: database belum terbuka.").arg(target));
    FileWriter file(target);
    if (const Result opened = file.open(); !opened.ok())
        return opened.withAbout(QStringLiteral("File %1 tidak dapat dibuat.").arg(target));
    sqlite3 *to = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(file.temporaryPath()).constData(), &to, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK)
        rc = copyPages(from, to, pace);
    if (rc == SQLITE_OK && pace.stop)
        sqlite3_progress_handler(to, 1000, stopWhenAsked, const_cast<BackupPace *>(&pace));
    QString problem;
    if (rc != SQLITE_OK)
        problem = rc == SQLITE_INTERRUPT ? QStringLiteral("penyalinan dihentikan") : sqliteText(to);
    else if (const QString integrity = integrityOf(to); integrity != QLatin1String("ok"))
        problem = stopped(pace) ? QStringLiteral("penyalinan dihentikan")
                                : QStringLiteral("salinan tidak utuh: %1").arg(integrity);
    sqlite3_close(to);
    if (!problem.isEmpty()) {
        file.discard();
        // A copy stopped on purpose is no damage of the database.
        return sqliteFailure(stopped(pace) && rc == SQLITE_OK ? -1 : rc, problem,
                             QStringLiteral("Salinan %1 gagal dibuat.").arg(target));
    }
    if (const Result committed = file.commit(); !committed.ok())
        return committed.withAbout(QStringLiteral("Salinan %1 gagal dibuat.").arg(target));
    return Result::success();
}

Result backupNow(const QSqlDatabase &source, const QString &databasePath, const QDateTime &moment, int keep,
                 QString *path, const BackupPace &pace)
{
    const QString folder = backupFolder(databasePath);
    errno = 0;
    if (!QDir().mkpath(folder))
        return Result::fromErrno(errno ? errno : EACCES, QStringLiteral("Folder %1 tidak dapat dibuat.").arg(folder));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QString target = QDir(folder).filePath(backupFileName(databasePath, moment));
    // Two backups within one second get a number after the time.
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = QDir(folder).filePath(QFileInfo(databasePath).completeBaseName()
                                       + moment.toString(QStringLiteral("-yyyyMMdd-HHmmss"))
                                       + QStringLiteral("-%1.mdb").arg(n));
    if (const Result copied = backupDatabase(source, target, pace); !copied.ok())
        return copied;
    if (path)
        *path = target;
    pruneBackups(databasePath, keep);
    return Result::success();
}

bool backupDue(const QString &databasePath, const QDate &day)
{
    const QString prefix = QFileInfo(databasePath).completeBaseName() + day.toString(QStringLiteral("-yyyyMMdd-"));
    for (const QString &name : backupsOf(databasePath))
        if (name.startsWith(prefix))
            return false;
    return true;
}

void pruneBackups(const QString &databasePath, int keep)
{
    const QStringList names = backupsOf(databasePath);
    const QDir folder(backupFolder(databasePath));
    for (qsizetype i = 0; i + qMax(keep, 1) < names.size(); ++i)
        QFile::remove(folder.filePath(names.at(i)));
}

int backupsToKeep()
{
    const QSettings settings(QDir::current().filePath(QStringLiteral("pelitaksa.ini")), QSettings::IniFormat);
    bool ok = false;
    const int keep = settings.value(QStringLiteral("backup/keep")).toInt(&ok);
    return ok && keep > 0 ? keep : 30;
}

Result checkRestorable(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return Result::refused(info.isDir() ? Cause::IsFolder : Cause::NotFound, {},
                               QStringLiteral("File %1 tidak dapat dipulihkan.").arg(path));
    Result problem;
    const QString name = QStringLiteral("pelitaksa-restore-check");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open()) {
            problem = Result::from(db.lastError()).withAbout(QStringLiteral("File %1 tidak dapat dibuka.").arg(path));
        } else if (const QString integrity = integrityOf(sqliteHandle(db)); integrity != QLatin1String("ok")) {
            problem = Result::refused(integrity.contains(QLatin1String("not a database")) ? Cause::NotOurDatabase
                                                                                          : Cause::Damaged,
                                      integrity, QStringLiteral("File %1 tidak dapat dipulihkan.").arg(path));
        } else {
            const int version = schemaVersion(db);
            if (version > SchemaVersion)
                problem = Result::failed(QStringLiteral("File %1 dibuat oleh versi program yang lebih baru (skema %2; "
                                                        "program ini skema %3).")
                                             .arg(path)
                                             .arg(version)
                                             .arg(SchemaVersion));
            else if (const QString tables = schemaProblem(db, version); !tables.isEmpty())
                problem = Result::refused(Cause::NotOurDatabase, tables,
                                          QStringLiteral("File %1 tidak dapat dipulihkan.").arg(path));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return problem;
}

Result restoreDatabase(const QString &from, const QString &databasePath, const QDateTime &moment, int keep,
                       QString *savedCurrent)
{
    if (const Result problem = checkRestorable(from); !problem.ok())
        return problem;
    const int lock = lockDatabase(databasePath, true);
    if (lock < 0)
        return Result::fromErrno(errno, QStringLiteral("Database %1 tidak dapat dipulihkan.").arg(databasePath));

    Result result;
    const bool existed = QFileInfo::exists(databasePath);
    sqlite3 *source = nullptr;
    sqlite3 *target = nullptr;
    if (existed) {
        // The current database is kept first, whatever happens next.
        const QString name = QStringLiteral("pelitaksa-restore-current");
        {
            QSqlDatabase current = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            current.setDatabaseName(databasePath);
            current.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
            result = current.open() ? backupNow(current, databasePath, moment, keep, savedCurrent)
                                    : Result::from(current.lastError())
                                          .withAbout(QStringLiteral("Database %1 tidak dapat dibuka.").arg(databasePath));
            current.close();
        }
        QSqlDatabase::removeDatabase(name);
    } else if (!createPrivateFile(databasePath)) {
        result = Result::fromErrno(errno, QStringLiteral("File %1 tidak dapat dibuat.").arg(databasePath));
    }
    if (result.ok()) {
        int rc = sqlite3_open_v2(QFile::encodeName(from).constData(), &source, SQLITE_OPEN_READONLY, nullptr);
        if (rc == SQLITE_OK)
            rc = sqlite3_open_v2(QFile::encodeName(databasePath).constData(), &target, SQLITE_OPEN_READWRITE, nullptr);
        if (rc == SQLITE_OK)
            rc = copyPages(source, target);
        if (rc != SQLITE_OK)
            result = sqliteFailure(rc == SQLITE_FULL ? rc : -1, sqliteText(target ? target : source),
                                   QStringLiteral("Database %1 gagal dipulihkan.").arg(databasePath));
        sqlite3_close(source);
        sqlite3_close(target);
    }
    unlockDatabase(lock);
    return result;
}

int lockDatabase(const QString &databasePath, bool exclusive)
{
    const QByteArray path = QFile::encodeName(QFileInfo(databasePath).absoluteFilePath() + QStringLiteral(".lock"));
    // O_NOFOLLOW: a link planted at the lock's name, even one pointing
    // nowhere, is refused instead of creating or opening its target.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        const int code = errno;
        ::close(fd);
        errno = code;
        return -1;
    }
    return fd;
}

void unlockDatabase(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

} // namespace pel::db
