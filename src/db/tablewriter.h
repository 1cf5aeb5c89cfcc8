#pragma once

#include "db/batchinsert.h"
#include "db/result.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace pel::db {

class Connection;

// One value of a row written in bulk: a text, or a number.
struct Cell
{
    std::string text;
    double number = 0;
    bool isNumber = false;
};

// Writes many rows of one table inside the caller's transaction: new rows,
// and, when asked, changes of the rows whose key columns match. On an SQLite
// file through the engine's own prepared statements (a row costs no more than
// its values), on a server through Qt with bound values, new rows a batch to
// a statement (BatchInsert). Each row carries a tag of the caller's (a file's
// line); a refused row's tag comes back with the engine's reason, also for a
// batch whose refusal is found only when it is sent.
class TableWriter
{
public:
    // columns: the table's columns a row gives, in the order of its cells.
    TableWriter(const Connection &conn, const QString &table, const QStringList &columns);
    ~TableWriter();
    TableWriter(const TableWriter &) = delete;
    TableWriter &operator=(const TableWriter &) = delete;

    // Prepares the insert and, when sets is not empty, the update that sets
    // the cells sets names (indexes into a row's cells) of the row whose
    // cells keys name match. A table or column the engine does not know is
    // told here, before any row.
    Result prepare(const QList<int> &sets = {}, const QList<int> &keys = {});
    bool updates() const { return !m_sets.isEmpty(); }

    // Adds a new row, or changes the row its key names. After a refusal,
    // refusedTag() names the refused row.
    Result insert(int tag, const std::vector<Cell> &cells);
    Result update(int tag, const std::vector<Cell> &cells);
    // Sends the new rows kept for a batch.
    Result flush();
    // The tag of the row the last refusal was about.
    int refusedTag() const { return m_refusedTag; }

private:
    Result refusedSqlite(int tag);
    Result refusedBatch();

    QString m_table;
    QStringList m_columns;
    QList<int> m_sets;
    QList<int> m_updateOrder; // the cells an update binds: what it sets, then the key
    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_insert = nullptr;
    sqlite3_stmt *m_update = nullptr;
    QSqlDatabase m_qt;
    std::unique_ptr<BatchInsert> m_batch;
    std::unique_ptr<QSqlQuery> m_boundUpdate;
    std::vector<int> m_batchTags; // the tag of every row given to the batch
    int m_refusedTag = 0;
};

} // namespace pel::db
