#pragma once

#include "db/result.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

#include <atomic>

// Copies of the database: SQLite's online backup (it works while the file is
// in use), into backup/<name>-YYYYMMDD-HHMMSS.mdb beside the database, each
// checked for integrity, readable by the owner only; and the restore of one.
namespace pel::db {

// The folder that holds the backups of the database at databasePath.
QString backupFolder(const QString &databasePath);
// The file name of a backup made at moment, such as SISWA-20261207-093015.mdb.
QString backupFileName(const QString &databasePath, const QDateTime &moment);

// How a copy reads the database: all its pages in one step (the default),
// or pagesPerStep pages at a time with a pause of pauseMs after each step,
// so that other connections may write in between. A write in between makes
// the copy start over; after restartsBeforeWhole such restarts the rest is
// read in one step. When stop is given and becomes true, the copy ends
// between two steps (or in its check) as a failure and leaves no file.
struct BackupPace
{
    int pagesPerStep = -1;
    int pauseMs = 0;
    int restartsBeforeWhole = 3;
    const std::atomic_bool *stop = nullptr;
};

// Copies the open database source into the file target and checks the
// copy's integrity; the copy is written through the file writer, so it takes
// the name only when it is complete and sound, and a failed copy leaves
// nothing behind.
Result backupDatabase(const QSqlDatabase &source, const QString &target, const BackupPace &pace = {});

// A backup of source (the database at databasePath) into its backup folder,
// named by moment; afterwards only the newest keep backups stay. Fills path
// with the new file.
Result backupNow(const QSqlDatabase &source, const QString &databasePath, const QDateTime &moment, int keep,
                 QString *path, const BackupPace &pace = {});

// True when the backup folder holds no backup made on day.
bool backupDue(const QString &databasePath, const QDate &day);

// Removes the oldest backups of the database beyond the newest keep.
void pruneBackups(const QString &databasePath, int keep);

// How many backups to keep: [backup] keep= in pelitaksa.ini of the current
// folder, 30 when it is not set or not a positive number.
int backupsToKeep();

// Whether the file at path can be restored: a failure when it is not
// readable, damaged, not this program's database, or of a newer schema.
Result checkRestorable(const QString &path);

// Replaces the database at databasePath by the contents of the file from,
// after checking it and keeping a backup of the current database (its path
// in savedCurrent). Refused while another program has the database open.
Result restoreDatabase(const QString &from, const QString &databasePath, const QDateTime &moment, int keep,
                       QString *savedCurrent);

// Every connection of this program holds a shared lock on <database>.lock
// while it is open, so that a restore can tell that the database is in use.
// The lock file is opened without following a link at its name. Returns the
// lock's file descriptor, or -1 (errno says why; EWOULDBLOCK when another
// program holds it the other way).
int lockDatabase(const QString &databasePath, bool exclusive);
void unlockDatabase(int fd);

} // namespace pel::db
