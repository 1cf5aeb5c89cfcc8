#pragma once

#include "db/connection.h"

#include <QSqlError>

namespace pel::db {

// Writes several statements as one: the transaction is rolled back when the
// object goes out of scope without commit().
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
    };

    explicit Transaction(const Connection &conn, Mode mode = Mode::Deferred);
    ~Transaction() { if (m_active) m_db.rollback(); }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return m_active; }
    bool commit()
    {
        if (!m_active)
            return false;
        m_active = false;
        if (m_db.commit())
            return true;
        m_error = m_db.lastError();
        // A refused commit leaves nothing half written behind.
        m_db.rollback();
        return false;
    }
    // Why the transaction could not begin or commit.
    QSqlError lastError() const { return m_error; }

private:
    QSqlDatabase m_db;
    QSqlError m_error;
    bool m_active = false;
};

} // namespace pel::db
