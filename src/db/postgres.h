#pragma once

#include "db/databaseurl.h"
#include "db/result.h"

#include <QSqlDatabase>
#include <QString>

class QSqlError;

namespace pel::db {

// The statements that create the four tables on a PostgreSQL server, as kept
// in schema_postgres.sql.
QString postgresSchemaSql();

// Sets a QPSQL connection's server, port, role, database and libpq
// parameters from target. The password is left to libpq (PGPASSWORD,
// ~/.pgpass, PGPASSFILE). Every session starts with
// standard_conforming_strings on, whatever the server's or the database's
// default: a backslash in a quoted value is then an ordinary character, and
// a doubled quote keeps a typed value a value.
void configurePostgres(QSqlDatabase &db, const DatabaseTarget &target);

// The message for a connection to target that did not open: the server
// cannot be reached, the database does not exist, or the role was refused.
QString postgresOpenError(const DatabaseTarget &target, const QSqlError &error);

// Why an open PostgreSQL connection cannot serve as this program's database
// (standard_conforming_strings not on for the session, a table missing, the
// database read-only or not writable for the role), or an empty text when it
// can.
QString checkPostgresDatabase(const QSqlDatabase &db, const DatabaseTarget &target);

// Creates the four tables (and the citext extension when missing) in the
// database of target, in one transaction. Refuses a database that already
// holds any of them.
Result createPostgresTables(const DatabaseTarget &target);

// A column name as PostgreSQL reports it (in lower case) spelled as the
// program's schema spells it ("namasiswa" -> "NamaSiswa"); other names are
// returned unchanged.
QString programColumnName(const QString &name);

} // namespace pel::db
