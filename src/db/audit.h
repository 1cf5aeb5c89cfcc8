#pragma once

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
// of the current schema. Returns false with the engine's reason in error.
bool installAudit(const QSqlDatabase &db, QString *error);

// The statements installAudit() runs on an SQLite database, in order: the
// operator table (its one row naming no operator) and the triggers. Any
// client that runs them on its own connection logs its writes as this
// program does.
QStringList sqliteAuditStatements();

// The statements that create (or replace) the audit functions and triggers
// on a PostgreSQL database holding the tables and t_log.
QStringList postgresAuditStatements();

// The user ID the audit rows of this connection name from now on.
bool setAuditOperator(const QSqlDatabase &db, const QString &userId);

// Drops the connection's triggers (on PostgreSQL: switches them off for the
// connection), for a bulk load of rows that no operator made (the benchmark
// database, a copy). Other connections keep theirs.
bool removeAudit(const QSqlDatabase &db);

} // namespace pel::db
