#pragma once

#include "db/result.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace pel::db {

class Connection;

// A client-side result, local to whoever opened it: open() runs one
// statement and, for a query, keeps every row in memory, so the record count
// is known at once and the cursor moves freely. Insert, update and delete go
// through the same open() and report the rows they touched. Copies share
// their rows (implicit sharing).
//
// openPaged() gives the same result for a query without holding its rows:
// the record count comes from a count over the statement, and the rows are
// read a page at a time, by the statement's own order, when a value of the
// page is asked for; only the few pages read last are kept.
class Recordset
{
public:
    // Runs sql on conn. A write reports the rows it touched. On failure the
    // recordset is left closed and empty, and failure() keeps the result.
    Result open(const QString &sql, const Connection &conn);
    // Opens the query sql for reading by pages of pageRows rows, each read on
    // conn when first needed ("<sql> limit <pageRows> offset <first row>").
    // conn must outlive the recordset and its copies. Fails as open() does.
    Result openPaged(const QString &sql, const Connection &conn, int pageRows = 256);
    void close();

    bool isOpen() const { return m_open; }
    // Why the recordset could not be opened, or why the last page asked for
    // could not be read (its values then read as null); success otherwise.
    Result failure() const;

    int recordCount() const { return m_count; }
    int rowsAffected() const { return m_rowsAffected; }

    // Cursor: positions 0..recordCount()-1 are rows; bof() stands before the
    // first row, eof() past the last. An empty result is at both.
    bool bof() const { return m_count == 0 || m_pos < 0; }
    bool eof() const { return m_count == 0 || m_pos >= m_count; }
    void moveFirst() { m_pos = 0; }
    void moveLast() { m_pos = m_count - 1; }
    void moveNext() { if (m_pos < m_count) ++m_pos; }
    void movePrevious() { if (m_pos >= 0) --m_pos; }
    // 1-based position of the current row, 0 when standing before or past the rows.
    int absolutePosition() const { return bof() || eof() ? 0 : m_pos + 1; }
    void setAbsolutePosition(int position) { m_pos = position - 1; }

    int fieldCount() const { return int(m_fields.size()); }
    const QStringList &fieldNames() const { return m_fields; }
    // Index of a field by name, letter case ignored; -1 when there is none.
    int fieldIndex(const QString &name) const;

    // Values of the current row; a null QVariant off the rows or for an
    // unknown field.
    QVariant value(int field) const { return value(m_pos, field); }
    QVariant value(const QString &field) const { return value(m_pos, fieldIndex(field)); }
    QVariant value(int row, int field) const;

    // Paged only: the pages held at the moment, at most pageCacheSize().
    int pagesHeld() const;
    static int pageCacheSize() { return 8; }

private:
    struct Pages;

    QStringList m_fields;
    // Every row's values one after another, fieldCount() to a row: one block
    // instead of a list per row.
    QList<QVariant> m_cells;
    int m_count = 0;
    int m_pos = 0;
    int m_rowsAffected = 0;
    bool m_open = false;
    Result m_failure;
    // Set while the recordset is open by pages; shared by its copies.
    std::shared_ptr<Pages> m_pages;
};

} // namespace pel::db
