#pragma once

#include "db/databaseurl.h"
#include "testsupport.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

namespace pel::test {

// The throwaway PostgreSQL server the test fixture started, as named by
// PELITAKSA_TEST_PG; an empty text when the test runs without one.
QString postgresServerUrl();

// A fresh database with the program's tables on the throwaway server, opened
// as the program's connection (ChosenDatabase and dbConnection), with a
// temporary folder as the current folder. Dropped again at the end.
class PgTestDatabase
{
public:
    explicit PgTestDatabase(bool createTables = true, bool open = true);
    ~PgTestDatabase();
    PgTestDatabase(const PgTestDatabase &) = delete;
    PgTestDatabase &operator=(const PgTestDatabase &) = delete;

    bool isValid() const { return m_valid; }
    const db::DatabaseTarget &target() const { return m_target; }
    // postgresql://... of this database.
    QString url() const;
    QString folder() const { return m_dir.path(); }

    bool exec(const QString &sql) { return execShared(sql); }
    QList<QVariantList> rows(const QString &sql) { return sharedRows(sql); }
    QVariant scalar(const QString &sql) { return sharedScalar(sql); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
    db::DatabaseTarget m_server;
    db::DatabaseTarget m_target;
    bool m_valid = false;
};

} // namespace pel::test
