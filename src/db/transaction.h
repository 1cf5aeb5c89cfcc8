#pragma once

#include "db/connection.h"

namespace pel::db {

// Writes several statements as one: the transaction is rolled back when the
// object goes out of scope without commit().
class Transaction
{
public:
    explicit Transaction(const Connection &conn) : m_db(conn.database()) { m_active = m_db.transaction(); }
    ~Transaction() { if (m_active) m_db.rollback(); }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return m_active; }
    bool commit()
    {
        if (!m_active)
            return false;
        m_active = false;
        return m_db.commit();
    }

private:
    QSqlDatabase m_db;
    bool m_active = false;
};

} // namespace pel::db
