#include "db/transaction.h"

#include <QSqlQuery>

namespace pel::db {

namespace {

// The key of the lock that PostgreSQL write transactions of this program
// take; any fixed number serves, as long as every desk uses the same one.
constexpr int WriteLockKey = 1500001;

} // namespace

Transaction::Transaction(const Connection &conn, Mode mode) : m_db(conn.database())
{
    if (mode == Mode::Deferred || !conn.isOpen()) {
        m_active = m_db.transaction();
        if (!m_active)
            m_error = m_db.lastError();
        return;
    }
    QSqlQuery query(m_db);
    if (conn.isPostgres()) {
        m_active = m_db.transaction();
        if (m_active && !query.exec(QStringLiteral("select pg_advisory_xact_lock(%1)").arg(WriteLockKey))) {
            m_error = query.lastError();
            m_db.rollback();
            m_active = false;
        } else if (!m_active) {
            m_error = m_db.lastError();
        }
        return;
    }
    // SQLite waits for another desk's write lock as long as its busy timeout
    // allows, then refuses.
    m_active = query.exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (!m_active)
        m_error = query.lastError();
}

} // namespace pel::db
