#include "pgtestsupport.h"

#include "db/failure.h"

#include "common/module1.h"
#include "db/postgres.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace pel::test {

namespace {

int databaseNumber = 0;

// Runs one statement on the server's maintenance database.
bool onServer(const db::DatabaseTarget &server, const QString &sql)
{
    const QString name = QStringLiteral("pelitaksa-test-server");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db::configurePostgres(db, server);
        if (!db.open()) {
            qWarning("%s", qPrintable(db::postgresOpenError(server, db.lastError())));
        } else {
            QSqlQuery query(db);
            ok = query.exec(sql);
            if (!ok)
                qWarning("%s: %s", qPrintable(sql), qPrintable(db::errorText(query.lastError())));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

QString postgresServerUrl()
{
    return qEnvironmentVariable("PELITAKSA_TEST_PG");
}

PgTestDatabase::PgTestDatabase(bool createTables, bool open) : m_previous(QDir::currentPath())
{
    QVERIFY2(m_dir.isValid(), "no temporary folder");
    QDir::setCurrent(m_dir.path());
    const db::DatabaseChoice choice = db::parseDatabaseUrl(postgresServerUrl(), m_dir.path());
    QVERIFY2(choice.ok() && choice.target.isPostgres(), "PELITAKSA_TEST_PG names no PostgreSQL server");
    m_server = choice.target;
    m_target = m_server;
    m_target.databaseName = QStringLiteral("pelitaksa_t%1_%2").arg(QCoreApplication::applicationPid()).arg(++databaseNumber);
    QVERIFY(onServer(m_server, QStringLiteral("create database %1").arg(m_target.databaseName)));
    m_valid = true;
    if (createTables) {
        const db::Result created = db::createPostgresTables(m_target);
        QVERIFY2(created.ok(), qPrintable(db::failureMessage(created)));
    }
    if (open) {
        ChosenDatabase = m_target;
        const db::Result opened = OpenDatabase();
        QVERIFY2(opened.ok(), qPrintable(db::failureMessage(opened)));
    }
}

PgTestDatabase::~PgTestDatabase()
{
    dbConnection.close();
    ChosenDatabase = {};
    if (m_valid)
        onServer(m_server, QStringLiteral("drop database if exists %1 with (force)").arg(m_target.databaseName));
    QDir::setCurrent(m_previous);
}

QString PgTestDatabase::url() const
{
    return QStringLiteral("postgresql://%1@/%2?host=%3").arg(m_target.user, m_target.databaseName, m_target.host);
}

} // namespace pel::test
