#include "db/transaction.h"

#include <QSqlError>
#include <QSqlQuery>

namespace pel::db {

namespace {

// The key of the lock that PostgreSQL write transactions of this program
// take; any fixed number serves, as long as every desk uses the same one.
constexpr int WriteLockKey = 1500001;

} // namespace

Transaction::Transaction(const Connection &conn, Mode mode) : m_conn(conn), m_db(conn.database())
{
    // Counted from before the first statement: a connection lost from here
    // on is not reopened under the transaction.
    ++m_conn.m_transactions;
    m_counted = true;
    QSqlQuery query(m_db);
    if (m_conn.m_transactions > 1) {
        m_savepoint = QStringLiteral("pel_savepoint_%1").arg(m_conn.m_transactions);
        m_active = query.exec(QStringLiteral("SAVEPOINT ") + m_savepoint);
        // On SQLite the outer transaction holds whatever lock it took; on a
        // server the write lock is taken here if the outer one did not.
        if (m_active && mode == Mode::Write && conn.isPostgres())
            m_active = query.exec(QStringLiteral("select pg_advisory_xact_lock(%1)").arg(WriteLockKey));
        if (!m_active)
            refused(query.lastError(), false);
        return;
    }
    if (mode == Mode::Deferred || !conn.isOpen()) {
        m_active = m_db.transaction();
        if (!m_active)
            refused(m_db.lastError(), false);
        return;
    }
    if (conn.isPostgres()) {
        m_active = m_db.transaction();
        if (!m_active) {
            refused(m_db.lastError(), false);
            return;
        }
        const QString first = mode == Mode::Write
                                  ? QStringLiteral("select pg_advisory_xact_lock(%1)").arg(WriteLockKey)
                                  : QStringLiteral("set transaction isolation level repeatable read, read only");
        if (!query.exec(first)) {
            refused(query.lastError(), false);
            m_db.rollback();
            m_active = false;
        }
        return;
    }
    if (mode == Mode::Snapshot) {
        m_active = m_db.transaction();
        if (!m_active)
            refused(m_db.lastError(), false);
        return;
    }
    // SQLite waits for another desk's write lock as long as its busy timeout
    // allows, then refuses.
    m_active = query.exec(QStringLiteral("BEGIN IMMEDIATE"));
    if (!m_active)
        refused(query.lastError(), false);
}

Transaction::~Transaction()
{
    if (m_active) {
        if (m_savepoint.isEmpty()) {
            m_db.rollback();
        } else {
            QSqlQuery query(m_db);
            query.exec(QStringLiteral("ROLLBACK TO SAVEPOINT ") + m_savepoint);
            query.exec(QStringLiteral("RELEASE SAVEPOINT ") + m_savepoint);
        }
    }
    end();
}

bool Transaction::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    if (!m_savepoint.isEmpty()) {
        QSqlQuery query(m_db);
        if (query.exec(QStringLiteral("RELEASE SAVEPOINT ") + m_savepoint)) {
            end();
            return true;
        }
        refused(query.lastError(), false);
        query.exec(QStringLiteral("ROLLBACK TO SAVEPOINT ") + m_savepoint);
        end();
        return false;
    }
    if (m_db.commit()) {
        end();
        return true;
    }
    refused(m_db.lastError(), true);
    // A refused commit leaves nothing half written behind.
    m_db.rollback();
    end();
    return false;
}

void Transaction::end()
{
    if (m_counted)
        --m_conn.m_transactions;
    m_counted = false;
}

void Transaction::refused(const QSqlError &error, bool commit)
{
    m_error = commit ? m_conn.commitRefused(error) : m_conn.refused(error);
}

} // namespace pel::db
