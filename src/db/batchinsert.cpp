#include "db/batchinsert.h"

#include "db/result.h"

#include <QSqlError>

#include <utility>

namespace pel::db {

BatchInsert::BatchInsert(const QSqlDatabase &db, const QString &table, const QStringList &columns, int batchRows)
    : m_db(db), m_table(table), m_columns(columns), m_batchRows(qMax(1, batchRows))
{
}

bool BatchInsert::prepare()
{
    QSqlQuery &single = statementFor(1);
    return single.lastError().isValid() ? fail(0, single.lastError()) : true;
}

bool BatchInsert::add(QVariantList row)
{
    m_rows << std::move(row);
    return m_rows.size() < m_batchRows || flush();
}

bool BatchInsert::flush()
{
    if (m_rows.isEmpty())
        return true;
    const qint64 first = m_sent;
    m_sent += m_rows.size();
    const QList<QVariantList> rows = std::exchange(m_rows, {});
    QSqlQuery savepoint(m_db);
    if (!savepoint.exec(QStringLiteral("savepoint pel_batch")))
        return fail(first, savepoint.lastError());
    QSqlQuery &batch = statementFor(int(rows.size()));
    for (const QVariantList &row : rows)
        for (const QVariant &value : row)
            batch.addBindValue(value);
    if (batch.exec())
        return savepoint.exec(QStringLiteral("release savepoint pel_batch")) || fail(first, savepoint.lastError());
    if (!savepoint.exec(QStringLiteral("rollback to savepoint pel_batch")))
        return fail(first, savepoint.lastError());
    QSqlQuery &single = statementFor(1);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (const QVariant &value : rows.at(r))
            single.addBindValue(value);
        if (!single.exec())
            return fail(first + r, single.lastError());
    }
    return true; // the batch statement alone was refused, every row is stored
}

QSqlQuery &BatchInsert::statementFor(int rows)
{
    if (const auto found = m_statements.find(rows); found != m_statements.end())
        return found->second;
    const QString one = QLatin1Char('(') + QStringList(m_columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))
                        + QLatin1Char(')');
    QSqlQuery &query = m_statements.emplace(rows, QSqlQuery(m_db)).first->second;
    query.prepare(QStringLiteral("insert into %1 (%2) values ").arg(m_table, m_columns.join(QStringLiteral(", ")))
                  + QStringList(rows, one).join(QStringLiteral(", ")));
    return query;
}

bool BatchInsert::fail(qint64 row, const QSqlError &error)
{
    m_refusedRow = row;
    m_error = errorText(error);
    return false;
}

} // namespace pel::db
