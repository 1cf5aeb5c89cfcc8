#pragma once

#include <QString>
#include <QStringList>

namespace pel::db {

// Where the program's data lives: an SQLite file, or a database on a
// PostgreSQL server.
struct DatabaseTarget
{
    enum class Engine { SQLite, PostgreSQL };

    Engine engine = Engine::SQLite;
    // SQLite: the database file. Empty means SISWA.mdb in the folder that is
    // current when the database is opened.
    QString filePath;
    // PostgreSQL: empty host, user or database name and port -1 leave the
    // choice to libpq (PGHOST, PGUSER, ... or its built-in defaults). A host
    // that starts with '/' is the folder of the server's Unix socket.
    QString host;
    int port = -1;
    QString user;
    QString databaseName;
    // Further libpq parameters (sslmode, connect_timeout, ...), each as
    // "key=value", passed on unchanged.
    QStringList options;

    bool isPostgres() const { return engine == Engine::PostgreSQL; }
    // The server as messages name it: "host:port", or "socket lokal" when
    // libpq's default socket is used.
    QString serverName() const;
    // "server X, database Y" for PostgreSQL, the file for SQLite.
    QString describe() const;

    bool operator==(const DatabaseTarget &) const = default;
};

// A target, or the reason why a setting names none.
struct DatabaseChoice
{
    DatabaseTarget target;
    QString error;
    // Which setting decided: "--database", "PELITAKSA_DATABASE",
    // "pelitaksa.ini", or empty for the default file.
    QString source;

    bool ok() const { return error.isEmpty(); }
};

// Reads one database URL: postgresql://user@host:port/dbname?key=value&...
// (postgres:// too; host=/path in the query names a socket folder), or else
// the path of an SQLite file, taken relative to folder. A password, in the
// user part or as a parameter, is refused: it belongs in PGPASSWORD,
// ~/.pgpass or PGPASSFILE.
DatabaseChoice parseDatabaseUrl(const QString &url, const QString &folder);

// The url of the [database] section of a pelitaksa.ini text, or an empty
// text. A password key in that section fills passwordGiven.
QString databaseUrlFromIni(const QString &iniText, bool *passwordGiven = nullptr);

// The database the program uses: the --database option, else the
// PELITAKSA_DATABASE environment variable, else the url in iniText (the
// content of pelitaksa.ini in folder), else SISWA.mdb in folder. Empty texts
// count as not given.
DatabaseChoice chooseDatabase(const QString &option, const QString &environment, const QString &iniText,
                              const QString &folder);

// chooseDatabase with the environment variable and pelitaksa.ini of the
// current folder read here.
DatabaseChoice chooseDatabase(const QString &option);

} // namespace pel::db
