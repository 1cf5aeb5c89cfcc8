// The administration tool: creating databases, keeping operators, the demo
// database, and its refusals.
#include "common/module1.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestAdmin : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void createRefusesToOverwrite();
    void operators();
    void demoDatabaseLogsInAtEveryLevel();
    void badArgumentsFail_data();
    void badArgumentsFail();

private:
    struct Result
    {
        int code;
        QString out;
        QString err;
    };
    Result admin(const QStringList &args);
    QTemporaryDir m_dir;
    QString m_tool;
};

void TestAdmin::initTestCase()
{
    m_tool = qEnvironmentVariable("PELITAKSA_ADMIN");
    if (m_tool.isEmpty())
        QSKIP("PELITAKSA_ADMIN names no tool; run through ctest");
    QVERIFY(m_dir.isValid());
}

TestAdmin::Result TestAdmin::admin(const QStringList &args)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start(m_tool, args);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

void TestAdmin::createRefusesToOverwrite()
{
    const QString path = m_dir.filePath(QStringLiteral("baru.mdb"));
    QCOMPARE(admin({"--db", path, "create"}).code, 0);
    QVERIFY(QFile::exists(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    const Result again = admin({"--db", path, "create"});
    QVERIFY(again.code != 0);
    QVERIFY(again.err.contains(path));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QVERIFY(admin({"--db", path, "demo"}).code != 0);

    // The file opens as the program's own database.
    QVERIFY(pel::dbConnection.open(path));
    pel::dbConnection.close();
}

void TestAdmin::operators()
{
    const QString path = m_dir.filePath(QStringLiteral("petugas.mdb"));
    QCOMPARE(admin({"--db", path, "create"}).code, 0);
    QCOMPARE(admin({"--db", path, "operator", "add", "budi", "BUDI SANTOSO", "rahasia", "Manager"}).code, 0);
    QCOMPARE(admin({"--db", path, "operator", "add", "ani", "ANI", "x", "Entri"}).code, 0);
    const Result duplicate = admin({"--db", path, "operator", "add", " budi ", "LAIN", "y", "Entri"});
    QVERIFY(duplicate.code != 0);
    const Result badLevel = admin({"--db", path, "operator", "add", "cici", "CICI", "z", "manager"});
    QVERIFY(badLevel.code != 0);
    QVERIFY(badLevel.err.contains(QStringLiteral("manager")));

    Result list = admin({"--db", path, "operator", "list"});
    QCOMPARE(list.code, 0);
    QVERIFY(list.out.contains(QStringLiteral("budi\tBUDI SANTOSO\tManager")));
    QVERIFY(list.out.contains(QStringLiteral("2 petugas")));
    QVERIFY(!list.out.contains(QStringLiteral("rahasia")));

    QCOMPARE(admin({"--db", path, "operator", "remove", "ani"}).code, 0);
    QVERIFY(admin({"--db", path, "operator", "remove", "ani"}).code != 0);
    list = admin({"--db", path, "operator", "list"});
    QVERIFY(list.out.contains(QStringLiteral("1 petugas")));
}

void TestAdmin::demoDatabaseLogsInAtEveryLevel()
{
    const QString path = m_dir.filePath(QStringLiteral("demo.mdb"));
    const Result demo = admin({"--db", path, "demo"});
    QCOMPARE(demo.code, 0);
    QVERIFY(pel::dbConnection.open(path));
    pel::db::Recordset rs;
    QVERIFY(rs.open(QStringLiteral("select level from t_petugas order by level"), pel::dbConnection));
    QStringList levels;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        levels << rs.value(0).toString();
    QCOMPARE(levels, QStringList({"Activasi", "Entri", "Manager", "Operator"}));
    QVERIFY(rs.open(QStringLiteral("select count(*) from SISWA"), pel::dbConnection));
    QVERIFY(rs.value(0).toInt() >= 5);
    QVERIFY(rs.open(QStringLiteral("select count(*) from Pelajaran"), pel::dbConnection));
    QVERIFY(rs.value(0).toInt() >= 3);
    // Every grade row carries what the grading rule derives from its score.
    QVERIFY(rs.open(QStringLiteral("select Nilangka, Nilhu, Bobot, Mutu, SKS from Nilai"), pel::dbConnection));
    QVERIFY(rs.recordCount() >= 10);
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        QCOMPARE(rs.value(3).toDouble(), rs.value(2).toDouble() * rs.value(4).toDouble());
        if (rs.value(0).toDouble() >= 80 && rs.value(0).toDouble() <= 100)
            QCOMPARE(rs.value(1).toString(), QStringLiteral("A"));
    }
    pel::dbConnection.close();
}

void TestAdmin::badArgumentsFail_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList();
    QTest::newRow("unknown command") << QStringList{"hapus"};
    QTest::newRow("--db without file") << QStringList{"--db"};
    QTest::newRow("missing database") << QStringList{"--db", "tidak-ada.mdb", "operator", "list"};
    QTest::newRow("operator without action") << QStringList{"--db", "tidak-ada.mdb", "operator"};
    QTest::newRow("add with too few") << QStringList{"operator", "add", "x"};
    QTest::newRow("create with extra") << QStringList{"create", "lagi"};
}

void TestAdmin::badArgumentsFail()
{
    QFETCH(QStringList, args);
    const Result result = admin(args);
    QVERIFY(result.code != 0);
    QVERIFY(!result.err.isEmpty());
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("tidak-ada.mdb"))));
}

QTEST_GUILESS_MAIN(TestAdmin)
#include "tst_admin.moc"
