#include "db/tablewriter.h"

#include "db/connection.h"

#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

namespace pel::db {

namespace {

sqlite3_stmt *prepared(sqlite3 *db, const QString &sql)
{
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr);
    return statement;
}

// The engine's refusal on SQLite's own interface, classified as a refused
// Qt call is: by its extended result code.
Result sqliteRefusal(sqlite3 *db)
{
    return Result::from(QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(db)), QSqlError::StatementError,
                                  QString::number(sqlite3_extended_errcode(db))));
}

QVariant boundValue(const Cell &cell)
{
    return cell.isNumber ? QVariant(cell.number) : QVariant(QString::fromStdString(cell.text));
}

// Runs statement once with the cells named by order (all when empty).
bool step(sqlite3_stmt *statement, const std::vector<Cell> &cells, const QList<int> &order)
{
    const int count = order.isEmpty() ? int(cells.size()) : int(order.size());
    for (int i = 0; i < count; ++i) {
        const Cell &cell = cells[size_t(order.isEmpty() ? i : order.at(i))];
        if (cell.isNumber)
            sqlite3_bind_double(statement, i + 1, cell.number);
        else
            // An absent number binds the empty text, which the column refuses.
            sqlite3_bind_text(statement, i + 1, cell.text.data(), int(cell.text.size()), SQLITE_STATIC);
    }
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    return rc == SQLITE_DONE;
}

} // namespace

TableWriter::TableWriter(const Connection &conn, const QString &table, const QStringList &columns)
    : m_table(table), m_columns(columns), m_db(sqliteHandle(conn.database())), m_qt(conn.database())
{
}

TableWriter::~TableWriter()
{
    sqlite3_finalize(m_insert);
    sqlite3_finalize(m_update);
}

Result TableWriter::prepare(const QList<int> &sets, const QList<int> &keys)
{
    m_sets = sets;
    m_updateOrder = sets + keys;
    QStringList assignments;
    for (int i : sets)
        assignments << m_columns.at(i) + QStringLiteral("=?");
    QStringList conditions;
    for (int i : keys)
        conditions << m_columns.at(i) + QStringLiteral("=?");
    const QString update = QStringLiteral("update %1 set %2 where %3")
                               .arg(m_table, assignments.join(QLatin1Char(',')), conditions.join(QStringLiteral(" and ")));
    if (m_db) {
        m_insert = prepared(m_db, QStringLiteral("insert into %1(%2) values(%3)")
                                      .arg(m_table, m_columns.join(QLatin1Char(',')),
                                           QStringList(m_columns.size(), QStringLiteral("?")).join(QLatin1Char(','))));
        if (!m_insert)
            return sqliteRefusal(m_db);
        if (!sets.isEmpty() && !(m_update = prepared(m_db, update)))
            return sqliteRefusal(m_db);
        return Result::success();
    }
    // A round trip to a server a batch of rows rather than a row.
    m_batch = std::make_unique<BatchInsert>(m_qt, m_table, m_columns, 500);
    if (const Result ready = m_batch->prepare(); !ready.ok())
        return ready;
    if (!sets.isEmpty()) {
        m_boundUpdate = std::make_unique<QSqlQuery>(m_qt);
        if (!m_boundUpdate->prepare(update))
            return Result::from(m_boundUpdate->lastError());
    }
    return Result::success();
}

Result TableWriter::refusedSqlite(int tag)
{
    m_refusedTag = tag;
    return sqliteRefusal(m_db);
}

Result TableWriter::refusedBatch()
{
    m_refusedTag = m_batchTags.at(size_t(m_batch->refusedRow()));
    return Result::success();
}

Result TableWriter::insert(int tag, const std::vector<Cell> &cells)
{
    if (m_db)
        return step(m_insert, cells, {}) ? Result::success() : refusedSqlite(tag);
    QVariantList values;
    values.reserve(qsizetype(cells.size()));
    for (const Cell &cell : cells)
        values << boundValue(cell);
    m_batchTags.push_back(tag);
    const Result added = m_batch->add(std::move(values));
    if (!added.ok())
        refusedBatch();
    return added;
}

Result TableWriter::update(int tag, const std::vector<Cell> &cells)
{
    if (m_db)
        return step(m_update, cells, m_updateOrder) ? Result::success() : refusedSqlite(tag);
    // The new rows kept so far go first, so that a refusal names the first
    // refused row.
    if (const Result sent = flush(); !sent.ok())
        return sent;
    for (int i : m_updateOrder)
        m_boundUpdate->addBindValue(boundValue(cells[size_t(i)]));
    if (m_boundUpdate->exec())
        return Result::success();
    m_refusedTag = tag;
    return Result::from(m_boundUpdate->lastError());
}

Result TableWriter::flush()
{
    if (!m_batch)
        return Result::success();
    const Result sent = m_batch->flush();
    if (!sent.ok())
        refusedBatch();
    return sent;
}

} // namespace pel::db
