#pragma once

#include "db/databaseurl.h"
#include "db/result.h"

#include <QSqlDatabase>
#include <QString>

struct sqlite3;

namespace pel::db {

// One open database: an SQLite file or a PostgreSQL database. Every open() makes a fresh Qt SQL connection
// and drops the previous one; recordsets keep their rows on the client, so
// none of them needs the old connection afterwards (a recordset opened by
// pages reads its later pages through whatever this object has open then).
class Connection
{
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens an existing database file for reading and writing; never creates
    // one. Fails, with a reason in lastError(), when the file is missing, is
    // not a database of this program, is of a newer schema, or cannot be
    // written. An older file is upgraded in place after a backup of it. The
    // reason's first line names the file, the next ones the cause
    // ("Sebab: ...") and the engine's text ("Detail: ..."), separated by
    // carriage returns.
    bool open(const QString &filePath);
    // Opens the database target names: the SQLite file as above (SISWA.mdb
    // in the current folder when it names none), or a database on a
    // PostgreSQL server. Fails, with a reason naming the server and the
    // database, when the server cannot be reached, the database is missing,
    // the role is refused, a table is missing or the role may not write.
    bool open(const DatabaseTarget &target);
    void close();

    bool isOpen() const;
    QString filePath() const { return m_path; }
    // True while a PostgreSQL database is open.
    bool isPostgres() const { return database().driverName() == QLatin1String("QPSQL"); }
    QString lastError() const { return m_error; }
    QSqlDatabase database() const;

    // The user ID that the audit rows of this connection name, from now on.
    bool setOperator(const QString &userId) const;

private:
    bool fail(const QString &reason);
    bool openPostgres(const DatabaseTarget &target);

    QString m_name;
    QString m_path;
    QString m_error;
    int m_lock = -1;
};

// The SQLite engine's own handle behind a Qt connection, for the work where
// Qt's layer is the cost (row streams, bulk writes, online backups); null
// for a connection of another engine.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

} // namespace pel::db
