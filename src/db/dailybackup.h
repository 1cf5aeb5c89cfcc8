#pragma once

#include "db/backup.h"
#include "db/result.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <atomic>

class QThread;

// The backup that the first start of each day makes of an SQLite database
// (db/backup.h), made in the background: on a connection and a thread of its
// own, a few hundred pages at a time with a pause between, so that the main
// window answers at once and other desks can write while it is made.
namespace pel::db {

class DailyBackup : public QObject
{
    Q_OBJECT
public:
    // The pace of the day's copy: 256 pages (1 MB of 4 KB pages) a step and
    // 20 ms between steps.
    static BackupPace pace(const std::atomic_bool *stop);

    // Starts copying the database at databasePath into its backup folder,
    // named by moment, keeping the newest keep backups.
    DailyBackup(const QString &databasePath, const QDateTime &moment, int keep, QObject *parent = nullptr);
    // Stops a copy under way (it leaves no file) and waits for its thread.
    ~DailyBackup() override;

    bool running() const;
    // Stops a copy under way, as the destructor does; finished() is not sent.
    void stop();

signals:
    // On the thread that made this object, once: Ok with the new backup's
    // path, or Failure with the reason's lines (joined by '\n').
    void finished(const pel::db::Result &result, const QString &path);

private:
    std::atomic_bool m_stop{false};
    QThread *m_thread = nullptr;
};

} // namespace pel::db

Q_DECLARE_METATYPE(pel::db::Result)
