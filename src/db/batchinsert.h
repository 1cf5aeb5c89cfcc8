#pragma once

#include "db/result.h"

#include <QList>
#include <QSqlError>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <map>

namespace pel::db {

// Inserts rows into one table through Qt with bound values, batchRows rows
// to one multi-row insert: a round trip to a server a batch rather than a
// row. Each batch runs inside a savepoint; a batch the engine refuses is
// rolled back to it and its rows are inserted one at a time, so that the
// refused row and the engine's reason are known. Runs inside the caller's
// transaction.
class BatchInsert
{
public:
    BatchInsert(const QSqlDatabase &db, const QString &table, const QStringList &columns, int batchRows);

    // Prepares the one-row insert, so that a table or column the engine
    // does not know is told before any row.
    Result prepare();
    // Keeps a row (one value a column) and sends the batch when it is full.
    Result add(QVariantList row);
    // Sends the rows kept so far.
    Result flush();

    // After a refusal: the refused row, counted from 0 over every row added.
    qint64 refusedRow() const { return m_refusedRow; }

private:
    QSqlQuery &statementFor(int rows);
    Result fail(qint64 row, const QSqlError &error);

    QSqlDatabase m_db;
    QString m_table;
    QStringList m_columns;
    int m_batchRows;
    std::map<int, QSqlQuery> m_statements; // by the number of rows they insert
    QList<QVariantList> m_rows;            // kept for the next batch
    qint64 m_sent = 0;                     // rows sent before those kept
    qint64 m_refusedRow = -1;
};

} // namespace pel::db
