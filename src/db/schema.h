#pragma once

#include <QString>
#include <QStringList>

namespace pel::db {

// The statements that create the four tables of SISWA.mdb, as kept in schema.sql.
QString schemaSql();

// The tables a file must hold to count as this program's database.
inline const QStringList &requiredTables()
{
    static const QStringList tables{QStringLiteral("SISWA"), QStringLiteral("Pelajaran"),
                                    QStringLiteral("Nilai"), QStringLiteral("t_petugas")};
    return tables;
}

// Creates a new database file at path with the schema. Refuses to touch an
// existing file. Returns false and fills error on failure.
bool createDatabase(const QString &path, QString *error);

} // namespace pel::db
