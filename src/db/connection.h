#pragma once

#include "db/databaseurl.h"
#include "db/result.h"

#include <QSqlDatabase>
#include <QString>

#include <optional>

class QSqlError;
struct sqlite3;

namespace pel::db {

// One open database: an SQLite file or a PostgreSQL database. Every open() makes a fresh Qt SQL connection
// and drops the previous one; recordsets keep their rows on the client, so
// none of them needs the old connection afterwards (a recordset opened by
// pages reads its later pages through whatever this object has open then).
//
// A server connection can be lost (the server restarted or ended the
// session, the network dropped). The statement that meets the closed
// connection fails, and its reason says so (failureText); the next call of
// database() outside a transaction opens the same database again, with the
// same operator, so the next action of the operator reaches the server again.
// Within a transaction nothing is reopened: its later statements fail too,
// and none of them runs on a new connection outside the transaction.
class Connection
{
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens an existing database file for reading and writing; never creates
    // one. Fails when the file is missing, is not a database of this
    // program, is of a newer schema, or cannot be written; the failure's
    // first line (about) names the file. An older file is upgraded in place
    // after a backup of it.
    Result open(const QString &filePath);
    // Opens the database target names: the SQLite file as above (SISWA.mdb
    // in the current folder when it names none), or a database on a
    // PostgreSQL server. Fails, naming the server and the database, when the
    // server cannot be reached, the database is missing, the role is
    // refused, a table is missing, the role may not write, or the session
    // cannot take standard_conforming_strings = on.
    Result open(const DatabaseTarget &target);
    void close();

    // True also while a lost server connection waits to be opened again.
    bool isOpen() const;
    QString filePath() const { return m_path; }
    // True while a PostgreSQL database is open.
    bool isPostgres() const { return database().driverName() == QLatin1String("QPSQL"); }
    // The Qt connection; reopened first when the server connection was lost
    // and no transaction is open.
    QSqlDatabase database() const;

    // True when the connection to the PostgreSQL server is gone: libpq knows
    // it once a statement has met the closed connection, and a statement
    // refused with the server's notice that it ends the session tells it
    // before libpq does.
    bool isLost() const;
    // A refused statement of this connection, classified by the engine's
    // code; when the connection was lost, the failure names the server and
    // the database. write: the statement would have written; outside a
    // transaction its outcome is then unknown, as the server may have done it
    // before the connection dropped.
    Result refused(const QSqlError &error, bool write = false) const;
    // The same for a commit, whose outcome is unknown when the connection
    // dropped.
    Result commitRefused(const QSqlError &error) const;

    // The user ID that the audit rows of this connection name, from now on.
    Result setOperator(const QString &userId) const;

    // How long a statement of an SQLite file waits for another program's
    // lock before it is refused (5 seconds unless set): a desk's operator
    // may try again, a batch of the administration tool waits its turn. A
    // server's locks are waited for as long as they are held.
    Result setLockWait(int milliseconds) const;

private:
    friend class Transaction;

    Result fail(const Result &failure);
    Result openPostgres(const DatabaseTarget &target);
    // Opens target under a new Qt connection name.
    Result connectPostgres(const QString &name, const DatabaseTarget &target) const;
    // Opens the server database again after the connection was lost; keeps
    // the lost one when the server cannot be reached yet.
    void reopen();
    Result lost(const QSqlError &error, bool outcomeUnknown) const;

    // The server database opened last, for reopening it.
    std::optional<DatabaseTarget> m_target;
    // The operator set for the audit, set again on a reopened connection.
    mutable QString m_operator;
    // Transactions open on this connection (see Transaction).
    mutable int m_transactions = 0;
    // A refusal said that the server ended the session.
    mutable bool m_ended = false;
    // False after a failed attempt to reopen, until a statement's failure
    // has been reported (failureText).
    mutable bool m_mayReopen = true;
    QString m_name;
    QString m_path;
    // Why the server could not be reached again, after a lost connection.
    Result m_reopenFailure;
    int m_lock = -1;
};

// The failure of a statement asked of a connection that is not open.
Result notOpen();

// The SQLite engine's own handle behind a Qt connection, for the work where
// Qt's layer is the cost (row streams, bulk writes, online backups); null
// for a connection of another engine.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

} // namespace pel::db
