#pragma once

#include "db/result.h"

#include <QSqlDatabase>
#include <QString>

namespace pel::db {

// One open SQLite database file. Every open() makes a fresh Qt SQL connection
// and drops the previous one; recordsets keep their rows on the client, so
// none of them needs the old connection afterwards.
class Connection
{
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens an existing database file for reading and writing; never creates
    // one. Fails, with a reason in lastError(), when the file is missing, is
    // not a database of this program, or cannot be written.
    bool open(const QString &filePath);
    void close();

    bool isOpen() const;
    QString filePath() const { return m_path; }
    QString lastError() const { return m_error; }
    QSqlDatabase database() const;

private:
    bool fail(const QString &reason);

    QString m_name;
    QString m_path;
    QString m_error;
};

} // namespace pel::db
