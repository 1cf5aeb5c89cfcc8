#include "db/recordset.h"

#include "db/connection.h"
#include "db/postgres.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace pel::db {

namespace {

// A cell as SQLite's driver gives it: a NULL of any column is a null text
// (the server's driver gives a null of the column's type, and a null number
// would read as "0").
QVariant cell(const QSqlQuery &query, int column)
{
    QVariant value = query.value(column);
    if (value.isNull() && value.typeId() != QMetaType::QString)
        return QVariant(QMetaType::fromType<QString>());
    return value;
}

// The columns of a result the program sees, by their place in record, and
// their names into fields: a server's names in the program's spelling, and
// without Urutan, the server's record of each table's insertion order.
QList<int> shownColumns(const QSqlRecord &record, bool postgres, QStringList *fields)
{
    QList<int> shown;
    for (int i = 0; i < record.count(); ++i) {
        if (!postgres) {
            *fields << record.fieldName(i);
        } else if (record.fieldName(i) != QLatin1String("urutan")) {
            *fields << programColumnName(record.fieldName(i));
        } else {
            continue;
        }
        shown << i;
    }
    return shown;
}

} // namespace

// The statement and the pages of a paged recordset, the page read last first.
struct Recordset::Pages
{
    QString sql;
    const Connection *conn = nullptr;
    int pageRows = 0;
    QList<int> columns; // see shownColumns()
    struct Page
    {
        int index = 0;
        QList<QVariant> cells;
    };
    QList<Page> held;
    // Why the last page asked for could not be read.
    Result failure;

    // Reads page index; an empty page, and failure set, when the statement is
    // refused now.
    QList<QVariant> read(int index)
    {
        QList<QVariant> cells;
        failure = Result::success();
        if (!conn->isOpen()) {
            failure = notOpen();
            return cells;
        }
        QSqlQuery query(conn->database());
        query.setForwardOnly(true);
        if (!query.exec(sql + QStringLiteral(" limit ") + QString::number(pageRows) + QStringLiteral(" offset ")
                        + QString::number(qint64(index) * pageRows))) {
            failure = conn->refused(query.lastError());
            return cells;
        }
        cells.reserve(qsizetype(pageRows) * columns.size());
        while (query.next())
            for (const int i : columns)
                cells.append(cell(query, i));
        if (query.lastError().isValid())
            failure = conn->refused(query.lastError());
        return cells;
    }

    const Page &page(int index)
    {
        for (qsizetype i = 0; i < held.size(); ++i) {
            if (held.at(i).index == index) {
                if (i > 0)
                    held.move(i, 0);
                return held.first();
            }
        }
        if (held.size() >= Recordset::pageCacheSize())
            held.removeLast();
        held.prepend(Page{index, read(index)});
        return held.first();
    }
};

Result Recordset::open(const QString &sql, const Connection &conn)
{
    close();
    if (!conn.isOpen())
        return m_failure = notOpen();
    QSqlQuery query(conn.database());
    query.setForwardOnly(true);
    if (!query.exec(sql)) {
        // A write whose connection dropped may have been done all the same.
        return m_failure = conn.refused(query.lastError(),
                                        !sql.trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive));
    }
    const QList<int> columns = shownColumns(query.record(), conn.isPostgres(), &m_fields);
    if (query.isSelect()) {
        while (query.next()) {
            for (const int i : columns)
                m_cells.append(cell(query, i));
            ++m_count;
        }
        if (query.lastError().isValid()) {
            const Result failure = conn.refused(query.lastError());
            close();
            return m_failure = failure;
        }
    } else {
        m_rowsAffected = query.numRowsAffected();
    }
    m_pos = 0;
    m_open = true;
    return Result::success(m_rowsAffected);
}

Result Recordset::openPaged(const QString &sql, const Connection &conn, int pageRows)
{
    close();
    if (!conn.isOpen())
        return m_failure = notOpen();
    pageRows = qMax(1, pageRows);
    auto pages = std::make_shared<Pages>();
    // A server's table has no row order of its own: its Urutan gives the
    // order of insertion, SQLite's rowid order, so the pages follow one
    // another as on SQLite, without gaps or repeats.
    pages->sql = conn.isPostgres() ? sql + QStringLiteral(" order by Urutan") : sql;
    pages->conn = &conn;
    pages->pageRows = pageRows;

    // The first page names the fields; when it is not full it holds every row
    // and no count is needed.
    QSqlQuery query(conn.database());
    query.setForwardOnly(true);
    if (!query.exec(pages->sql + QStringLiteral(" limit ") + QString::number(pageRows) + QStringLiteral(" offset 0")))
        return m_failure = conn.refused(query.lastError());
    pages->columns = shownColumns(query.record(), conn.isPostgres(), &m_fields);
    Pages::Page first{0, {}};
    int rows = 0;
    while (query.next()) {
        for (const int i : pages->columns)
            first.cells.append(cell(query, i));
        ++rows;
    }
    if (query.lastError().isValid()) {
        const Result failure = conn.refused(query.lastError());
        close();
        return m_failure = failure;
    }
    query.finish();
    if (rows == pageRows) {
        QSqlQuery count(conn.database());
        if (!count.exec(QStringLiteral("select count(*) from (") + sql + QStringLiteral(") as counted"))
            || !count.next()) {
            const Result failure = conn.refused(count.lastError());
            close();
            return m_failure = failure;
        }
        rows = count.value(0).toInt();
    }
    pages->held << first;
    m_pages = pages;
    m_count = rows;
    m_pos = 0;
    m_open = true;
    return Result::success();
}

Result Recordset::failure() const
{
    return m_pages && !m_pages->failure.ok() ? m_pages->failure : m_failure;
}

int Recordset::pagesHeld() const
{
    return m_pages ? int(m_pages->held.size()) : 0;
}

void Recordset::close()
{
    m_pages.reset();
    m_fields.clear();
    m_cells.clear();
    m_count = 0;
    m_pos = 0;
    m_rowsAffected = 0;
    m_open = false;
    m_failure = Result::success();
}

int Recordset::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant Recordset::value(int row, int field) const
{
    if (row < 0 || row >= m_count || field < 0 || field >= m_fields.size())
        return {};
    if (m_pages) {
        const Pages::Page &page = m_pages->page(row / m_pages->pageRows);
        const qsizetype cell = qsizetype(row % m_pages->pageRows) * m_fields.size() + field;
        return cell < page.cells.size() ? page.cells.at(cell) : QVariant();
    }
    return m_cells.at(qsizetype(row) * m_fields.size() + field);
}

} // namespace pel::db
