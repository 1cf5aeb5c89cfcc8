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

    // True also while a lost server connection waits to be opened again.
    bool isOpen() const;
    QString filePath() const { return m_path; }
    // True while a PostgreSQL database is open.
    bool isPostgres() const { return database().driverName() == QLatin1String("QPSQL"); }
    QString lastError() const { return m_error; }
    // The Qt connection; reopened first when the server connection was lost
    // and no transaction is open.
    QSqlDatabase database() const;

    // True when the connection to the PostgreSQL server is gone: libpq knows
    // it once a statement has met the closed connection, and a statement
    // refused with the server's notice that it ends the session tells it
    // before libpq does.
    bool isLost() const;
    // The reason of a refused statement as its caller carries it: the
    // engine's text, or, when the connection was lost, a reason that names the
    // server and the database (db::connectionLostReason). write: the
    // statement would have written; outside a transaction its outcome is then
    // unknown, as the server may have done it before the connection dropped.
    QString failureText(const QSqlError &error, bool write) const;
    // The same for a commit, whose outcome is unknown when the connection
    // dropped.
    QString commitFailureText(const QSqlError &error) const;

    // The user ID that the audit rows of this connection name, from now on.
    bool setOperator(const QString &userId) const;

private:
    friend class Transaction;

    bool fail(const QString &reason);
    bool openPostgres(const DatabaseTarget &target);
    // Opens target under a new Qt connection name; an empty text, or why not.
    QString connectPostgres(const QString &name, const DatabaseTarget &target) const;
    // Opens the server database again after the connection was lost; keeps
    // the lost one when the server cannot be reached yet.
    void reopen();
    QString lostReason(const QSqlError &error, bool outcomeUnknown) const;

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
    QString m_error;
    int m_lock = -1;
};

// The SQLite engine's own handle behind a Qt connection, for the work where
// Qt's layer is the cost (row streams, bulk writes, online backups); null
// for a connection of another engine.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

} // namespace pel::db
