#pragma once

#include "db/connection.h"


namespace pel::db {

// Writes several statements as one: the transaction is rolled back when the
// object goes out of scope without commit(). A transaction begun while
// another one of the connection is open is a savepoint inside it: its commit
// keeps its statements for the outer one to commit, its rollback undoes them
// alone. A store that writes in a transaction of its own so works alone and
// inside a caller's larger one (the demo database, a bulk write).
class Transaction
{
public:
    enum class Mode {
        // Locks are taken as the statements need them.
        Deferred,
        // A read that decides a write (is this number free? is this row still
        // as the desk saw it?): the write lock is taken at the start, so a
        // second desk doing the same waits until this one has committed and
        // then reads what it wrote. On SQLite "BEGIN IMMEDIATE"; on
        // PostgreSQL a lock held to the end of the transaction that every
        // transaction of this mode asks for.
        Write,
        // A report: every statement reads the same state of the tables, the
        // one of the first statement, whatever other desks write meanwhile.
        // On PostgreSQL a read-only transaction of isolation level repeatable
        // read; on SQLite a deferred transaction, whose first read holds the
        // file's shared lock to the end (writers wait for the end as they
        // wait for a single long statement).
        Snapshot,
    };

    explicit Transaction(const Connection &conn, Mode mode = Mode::Deferred);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return m_active; }
    bool commit();
    // Why the transaction could not begin or commit. When the server
    // connection was lost, it names the server and, for a commit, says that
    // the outcome is unknown (see Connection::refused).
    const Result &lastError() const { return m_error; }

private:
    // The connection counts this transaction as open no longer.
    void end();
    void refused(const QSqlError &error, bool commit);

    const Connection &m_conn;
    QSqlDatabase m_db;
    QString m_savepoint; // the savepoint's name when nested
    Result m_error;
    bool m_active = false;
    bool m_counted = false;
};

} // namespace pel::db
