#pragma once

#include "db/result.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <utility>

namespace pel::db {
class Connection;
}

// The reports' store: every statement the report screen, the report runners
// and the administration tool's reports send, and the reads behind them. A
// typed NIS enters a statement only through db::quoted(), so a quote inside
// it is read as part of the NIS.
namespace pel::reports::store {

// ---- statement texts ----

// Every student, for the two NIS lists of the report screen.
QString reportStudentsSql();
// The student list, in ascending NIS order.
QString studentListSql();
// The graded subjects of one student with the student's header values. On
// PostgreSQL, whose joins keep no order, in the order the rows were stored,
// as SQLite gives them through its NIS index.
QString gradeStatementSql(const QString &nis, bool postgres = false);
// The same without the quality points.
QString certificateSql(const QString &nis, bool postgres = false);
// Every student who has at least one grade, once each.
// On PostgreSQL, whose grouping keeps no order, the same rows in NIS order,
// as SQLite's grouping gives them.
QString ipkStudentsSql(bool postgres = false);
// The credit and quality-point sums (VSKS, VNILAI) of one student. On
// PostgreSQL the sums add the rows in the order they were stored, as SQLite
// adds them through its NIS index (in rowid order): a sum of floating-point
// numbers depends on its order, and the report rounds halves.
QString ipkTotalsSql(const QString &nis, bool postgres = false);
// How many rows ipkStudentsSql() gives, counted without joining every grade row.
QString ipkStudentCountSql();
// The NIS and both sums of every graded student, grouped in one statement;
// on PostgreSQL the NIS in lower case, each sum in the order of ipkTotalsSql().
QString ipkAllTotalsSql(bool postgres = false);

// ---- reads ----

// Every student's NIS, in the order "select * from siswa" gives them.
db::Result allNis(const db::Connection &conn, QStringList *nisList);

// The NIS lists of the report screen read a page at a time: up to `limit`
// NIS in the table's order, starting after the row whose position `after`
// holds (0 for the first page); `after` is moved on to the last row read.
db::Result nisPage(const db::Connection &conn, qint64 *after, int limit, QStringList *page);

// The rows of a report statement read one after another, without keeping
// them: a file report of a hundred thousand rows needs one row at a time.
class RowStream
{
public:
    RowStream();
    ~RowStream();
    RowStream(const RowStream &) = delete;
    RowStream &operator=(const RowStream &) = delete;

    // Runs sql on conn. With counted, the record count is
    // known before the first row, as the reports need it for their progress
    // (the engine then runs the statement twice).
    db::Result open(const db::Connection &conn, const QString &sql, bool counted = true);
    // The same, the record count given by countSql (a statement of one row
    // and one number) instead; an empty countSql counts nothing.
    db::Result openCounting(const db::Connection &conn, const QString &sql, const QString &countSql);
    int recordCount() const { return m_count; }
    // Index of a column by name, letter case ignored; -1 when there is none.
    int fieldIndex(const QString &name) const;
    // Moves to the next row; false after the last one or on a failure
    // (then result() tells why).
    bool next();
    // A value of the current row: a text, a number or a null value.
    QVariant value(int field) const;
    // The text of a value of the current row (empty for a null value).
    QString text(int field) const;
    bool isNull(int field) const;
    db::Result result() const { return m_result; }
    void close();

private:
    struct Engine;
    std::unique_ptr<Engine> m_engine;
    QStringList m_fields;
    int m_count = 0;
    db::Result m_result;
};

// The two sums of one student's totals statement as the engine gives them
// (a null value for a missing sum).
db::Result ipkTotals(const db::Connection &conn, const QString &nis, QVariant *credits, QVariant *points);

// The rows of the IPK list's student statement; with counted, counted by
// ipkStudentCountSql().
db::Result openIpkStudents(const db::Connection &conn, RowStream *rows, bool counted = true);

// Every student's sums as ipkTotals() gives them, for students asked for in
// the order of the IPK list. On SQLite they come from one grouped statement
// read alongside the list: it reads the grade rows through the same NIS index
// as the per-student statement, so each sum adds the same rows in the same
// order and is the very same number. A student the grouped rows do not hold
// where expected (a NIS out of order, an engine without the statement), is
// asked for with the per-student statement. On PostgreSQL the grouped sums,
// each adding its rows in the per-student statement's order, are read once
// and found by the NIS in lower case (a NIS beyond ASCII, whose lower case
// the server may fold otherwise, is asked for apart).
class IpkTotals
{
public:
    explicit IpkTotals(const db::Connection &conn);
    ~IpkTotals();
    IpkTotals(const IpkTotals &) = delete;
    IpkTotals &operator=(const IpkTotals &) = delete;

    db::Result totals(const QVariant &nis, QVariant *credits, QVariant *points);

private:
    struct Grouped;
    const db::Connection &m_conn;
    std::unique_ptr<Grouped> m_grouped;
    QHash<QString, std::pair<QVariant, QVariant>> m_serverSums;
    bool m_tried = false;
};

} // namespace pel::reports::store
