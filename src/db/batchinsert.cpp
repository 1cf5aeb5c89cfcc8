#include "db/batchinsert.h"

#include <QSqlError>

#include <utility>

namespace pel::db {

BatchInsert::BatchInsert(const QSqlDatabase &db, const QString &table, const QStringList &columns, int batchRows)
    : m_db(db), m_table(table), m_columns(columns), m_batchRows(qMax(1, batchRows))
{
}

Result BatchInsert::prepare()
{
    QSqlQuery &single = statementFor(1);
    return single.lastError().isValid() ? fail(0, single.lastError()) : Result::success();
}

Result BatchInsert::add(QVariantList row)
{
    m_rows << std::move(row);
    return m_rows.size() < m_batchRows ? Result::success() : flush();
}

Result BatchInsert::flush()
{
    if (m_rows.isEmpty())
        return Result::success();
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
        return savepoint.exec(QStringLiteral("release savepoint pel_batch")) ? Result::success()
                                                                              : fail(first, savepoint.lastError());
    if (!savepoint.exec(QStringLiteral("rollback to savepoint pel_batch")))
        return fail(first, savepoint.lastError());
    QSqlQuery &single = statementFor(1);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        for (const QVariant &value : rows.at(r))
            single.addBindValue(value);
        if (!single.exec())
            return fail(first + r, single.lastError());
    }
    return Result::success(); // the batch statement alone was refused, every row is stored
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

Result BatchInsert::fail(qint64 row, const QSqlError &error)
{
    m_refusedRow = row;
    return Result::from(error);
}

} // namespace pel::db
