#pragma once

#include "db/result.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace pel::db {

// The statements that create the tables of SISWA.mdb, as kept in schema.sql.
QString schemaSql();
// The same text split into its statements, comments left out.
QStringList schemaStatements();
// Any schema text (this one, or the server's) split the same way.
QStringList schemaStatements(const QString &text);

// The version this build writes into PRAGMA user_version. Files made before
// the version was kept carry 0 and count as version 1.
inline constexpr int SchemaVersion = 2;

// The tables a file must hold to count as this program's database.
inline const QStringList &requiredTables()
{
    static const QStringList tables{QStringLiteral("SISWA"), QStringLiteral("Pelajaran"),
                                    QStringLiteral("Nilai"), QStringLiteral("t_petugas")};
    return tables;
}

// The columns of a table of this program's schema, in order (the table name
// compared without regard to letter case); empty for another table.
QStringList schemaColumns(const QString &table);

// The schema version of an open database (user_version; 0 counts as 1), or
// -1 when it cannot be read.
int schemaVersion(const QSqlDatabase &db);

// Why an open database is not this program's database of the given version:
// a missing table or a table whose columns differ, named; an empty text when
// it is. Version 1 files have no t_log table.
QString schemaProblem(const QSqlDatabase &db, int version);

// Brings an open database of an older version up to SchemaVersion in one
// transaction, keeping every row. A value the new constraints refuse (an
// infinite number, negative credit units) is set to NULL and its old value is
// kept in t_log. A failure leaves the file as it was.
Result upgradeSchema(const QSqlDatabase &db, int fromVersion);

// Creates a new database file at path with the schema, readable and writable
// by its owner only. Refuses to touch an existing file.
Result createDatabase(const QString &path);

// Creates an empty file at path, readable and writable by its owner only;
// fails when anything is there already. errno tells why it failed.
bool createPrivateFile(const QString &path);

} // namespace pel::db
