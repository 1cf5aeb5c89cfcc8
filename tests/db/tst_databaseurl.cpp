// Which database the program uses: the --database option, the environment
// variable, pelitaksa.ini, the default file; PostgreSQL URLs and the refused
// password.
#include "db/databaseurl.h"

#include <QTest>

using pel::db::DatabaseTarget;

class TestDatabaseUrl : public QObject
{
    Q_OBJECT
private slots:
    void choose_data();
    void choose();
    void describesServerAndDatabase();
};

void TestDatabaseUrl::choose_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QString>("ini");
    QTest::addColumn<QString>("source");
    // "sqlite:FILE", "pg:host|port|user|dbname|options", or "error:words in the message"
    QTest::addColumn<QString>("expected");

    const QString ini = QStringLiteral("; kantor pusat\n[umum]\nurl=salah.mdb\n[Database]\nurl = \"postgresql://tu@db.kantor/akademik\"\n");
    QTest::newRow("nothing: SISWA.mdb here") << "" << "" << "" << "" << "sqlite:/data/SISWA.mdb";
    QTest::newRow("ini") << "" << "" << ini << "pelitaksa.ini" << "pg:db.kantor|-1|tu|akademik|";
    QTest::newRow("environment before ini") << "" << "lain.mdb" << ini << "PELITAKSA_DATABASE" << "sqlite:/data/lain.mdb";
    QTest::newRow("option before all") << "/arsip/2025.mdb" << "lain.mdb" << ini << "--database"
                                       << "sqlite:/arsip/2025.mdb";
    QTest::newRow("blank option ignored") << "  " << "" << ini << "pelitaksa.ini" << "pg:db.kantor|-1|tu|akademik|";
    QTest::newRow("relative path") << "../arsip/./2025.mdb" << "" << "" << "--database" << "sqlite:/arsip/2025.mdb";
    QTest::newRow("host and port") << "postgresql://tu@10.0.0.5:5433/akademik" << "" << "" << "--database"
                                   << "pg:10.0.0.5|5433|tu|akademik|";
    QTest::newRow("postgres scheme, no user") << "postgres://server/pelitaksa" << "" << "" << "--database"
                                              << "pg:server|-1||pelitaksa|";
    QTest::newRow("socket folder in the query") << "postgresql://tu@/akademik?host=/run/pg%20x" << "" << ""
                                                << "--database" << "pg:/run/pg x|-1|tu|akademik|";
    QTest::newRow("libpq parameters pass") << "postgresql://tu@db/akad?sslmode=verify-full&connect_timeout=5" << ""
                                           << "" << "--database"
                                           << "pg:db|-1|tu|akad|sslmode=verify-full;connect_timeout=5";
    QTest::newRow("IPv6 host") << "postgresql://tu@[::1]:6000/akad" << "" << "" << "--database" << "pg:::1|6000|tu|akad|";
    QTest::newRow("password in the user part") << "postgresql://tu:rahasia@db/akad" << "" << "" << "--database"
                                               << "error:PGPASSWORD";
    QTest::newRow("password parameter") << "" << "postgresql://tu@db/akad?password=rahasia" << "" << "PELITAKSA_DATABASE"
                                        << "error:~/.pgpass";
    QTest::newRow("password in the ini") << "" << "" << ini + "password=rahasia\n" << "pelitaksa.ini" << "error:PGPASSFILE";
    QTest::newRow("ini password unused") << "a.mdb" << "" << ini + "password=rahasia\n" << "--database" << "sqlite:/data/a.mdb";
    QTest::newRow("bad port") << "postgresql://tu@db:70000/akad" << "" << "" << "--database" << "error:70000";
    QTest::newRow("unknown engine") << "mysql://tu@db/akad" << "" << "" << "--database" << "error:mysql://tu@db/akad";
}

void TestDatabaseUrl::choose()
{
    QFETCH(QString, option);
    QFETCH(QString, environment);
    QFETCH(QString, ini);
    QFETCH(QString, source);
    QFETCH(QString, expected);

    const pel::db::DatabaseChoice choice = pel::db::chooseDatabase(option, environment, ini, QStringLiteral("/data"));
    if (expected.startsWith(QLatin1String("error:"))) {
        QVERIFY(!choice.ok());
        QVERIFY2(choice.error.contains(expected.mid(6)), qPrintable(choice.error));
        QVERIFY2(choice.error.startsWith(source), qPrintable(choice.error));
        QVERIFY(!choice.error.contains(QLatin1String("rahasia")));
        return;
    }
    QVERIFY2(choice.ok(), qPrintable(choice.error));
    QCOMPARE(choice.source, source);
    const DatabaseTarget &target = choice.target;
    if (expected.startsWith(QLatin1String("sqlite:"))) {
        QVERIFY(!target.isPostgres());
        QCOMPARE(target.filePath, expected.mid(7));
        return;
    }
    QVERIFY(target.isPostgres());
    const QStringList parts = expected.mid(3).split(QLatin1Char('|'));
    QCOMPARE(target.host, parts[0]);
    QCOMPARE(target.port, parts[1].toInt());
    QCOMPARE(target.user, parts[2]);
    QCOMPARE(target.databaseName, parts[3]);
    QCOMPARE(target.options, parts[4].split(QLatin1Char(';'), Qt::SkipEmptyParts));
}

void TestDatabaseUrl::describesServerAndDatabase()
{
    DatabaseTarget target = pel::db::parseDatabaseUrl(QStringLiteral("postgresql://tu@db.kantor:5433/akademik"),
                                                      QStringLiteral("/data")).target;
    QCOMPARE(target.describe(), QStringLiteral("server db.kantor:5433, database akademik"));
    target.host.clear();
    target.port = -1;
    QCOMPARE(target.describe(), QStringLiteral("server socket lokal, database akademik"));
}

QTEST_GUILESS_MAIN(TestDatabaseUrl)
#include "tst_databaseurl.moc"
