#include "db/dailybackup.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QThread>

namespace pel::db {

namespace {

// The copy itself, on the calling thread: its own read-only connection to
// the file, the backup at pace, the connection closed again. A desk that
// holds the file for a write is waited for in short turns (the copy tries
// again after each), so that a stop is heard soon.
Result copyInBackground(const QString &databasePath, const QDateTime &moment, int keep, const BackupPace &pace,
                        QString *path)
{
    static std::atomic_int serial{0};
    const QString name = QStringLiteral("pelitaksa-daily-backup-%1").arg(++serial);
    Result result = Result::success();
    {
        QSqlDatabase source = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        source.setDatabaseName(databasePath);
        source.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=200"));
        result = source.open() ? backupNow(source, databasePath, moment, keep, path, pace)
                               : Result::from(source.lastError());
        source.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

} // namespace

BackupPace DailyBackup::pace(const std::atomic_bool *stop)
{
    BackupPace pace;
    pace.pagesPerStep = 256;
    pace.pauseMs = 20;
    pace.stop = stop;
    return pace;
}

DailyBackup::DailyBackup(const QString &databasePath, const QDateTime &moment, int keep, QObject *parent)
    : QObject(parent)
{
    m_thread = QThread::create([this, databasePath, moment, keep] {
        QString path;
        const Result result = copyInBackground(databasePath, moment, keep, pace(&m_stop), &path);
        if (m_stop)
            return;
        // Told on this object's own thread; a call still queued when the
        // object goes is dropped with it.
        QMetaObject::invokeMethod(
            this, [this, result, path] { emit finished(result, path); }, Qt::QueuedConnection);
    });
    m_thread->setObjectName(QStringLiteral("DailyBackup"));
    m_thread->start(QThread::LowPriority);
    // The program may end before this object goes: a copy under way stops
    // then too, and removes its unfinished file.
    if (QCoreApplication *application = QCoreApplication::instance())
        connect(application, &QCoreApplication::aboutToQuit, this, &DailyBackup::stop);
}

DailyBackup::~DailyBackup()
{
    stop();
    delete m_thread;
}

void DailyBackup::stop()
{
    m_stop = true;
    m_thread->wait();
}

bool DailyBackup::running() const
{
    return m_thread->isRunning();
}

} // namespace pel::db
