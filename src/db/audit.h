#pragma once

#include "db/result.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The audit trail: every insert, update and delete of a student, a subject or
// a grade writes one row to t_log in the same statement, and so in the same
// transaction. The triggers are TEMP triggers that each connection of this
// program creates when it opens the file; they read the operator's user ID
// from a one-row TEMP table of that connection. Kept out of the file itself,
// they never stop another program (the sqlite3 shell, a converter) from
// writing the tables, and a connection knows its own operator.
namespace pel::db {

// On a PostgreSQL server the triggers are permanent, created with the
// tables (postgresAuditStatements()); they read the operator from the
// connection's setting pelitaksa.operator.

// Creates the TEMP operator table and the TEMP triggers on an open database
// of the current schema.
Result installAudit(const QSqlDatabase &db);

// The statements installAudit() runs on an SQLite database, in order: the
// operator table (its one row naming no operator) and the triggers. Any
// client that runs them on its own connection logs its writes as this
// program does.
QStringList sqliteAuditStatements();

// The statements that create (or replace) the audit functions and triggers
// on a PostgreSQL database holding the tables and t_log.
QStringList postgresAuditStatements();

// The user ID the audit rows of this connection name from now on.
Result setAuditOperator(const QSqlDatabase &db, const QString &userId);

// Drops the connection's triggers (on PostgreSQL: switches them off for the
// connection), for a bulk load of rows that no operator made (the benchmark
// database, a copy). Other connections keep theirs.
Result removeAudit(const QSqlDatabase &db);

class Connection;

// Which rows of the audit trail to read; an empty part keeps every row.
struct LogFilter
{
    QDate since;   // rows written on this day or later
    QString nis;   // rows about this student (letter case aside)
    QString table; // rows of this table (letter case aside)
};

// The rows of t_log the filter keeps, in the order they were written, each
// as its moment, user ID, table, key, action, values before and after ("-"
// for a missing value).
Result readLog(const Connection &conn, const LogFilter &filter, QList<QStringList> *rows);

} // namespace pel::db
