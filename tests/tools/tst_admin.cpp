// The administration tool: creating databases, keeping operators, the demo
// database, backups, restores, the audit trail, and its refusals.
#include "common/module1.h"
#include "common/operatorstore.h"
#include "common/password.h"
#include "db/recordset.h"
#include "pgtestsupport.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Where the tool makes a new database: a file in the test's folder, or on
// the test server a fresh database without tables.
struct NewDatabase
{
    explicit NewDatabase(const QString &path)
    {
        if (pel::test::onPostgres()) {
            server = std::make_unique<pel::test::PgTestDatabase>(false, false);
            argument = server->url();
            target = server->target();
        } else {
            argument = path;
            target.filePath = path;
        }
    }
    std::unique_ptr<pel::test::PgTestDatabase> server;
    QString argument; // for --database
    pel::db::DatabaseTarget target;
};

} // namespace

class TestAdmin : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void createRefusesToOverwrite();
    void operators();
    void passwordsNeverTravelAsArguments();
    void demoDatabaseLogsInAtEveryLevel();
    void backupRestoreAndLog();
    void badArgumentsFail_data();
    void badArgumentsFail();

private:
    struct Result
    {
        int code;
        QString out;
        QString err;
    };
    Result admin(const QStringList &args, const QByteArray &input = QByteArray());
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

TestAdmin::Result TestAdmin::admin(const QStringList &args, const QByteArray &input)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start(m_tool, args);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

void TestAdmin::createRefusesToOverwrite()
{
    const QString path = m_dir.filePath(QStringLiteral("baru.mdb"));
    const NewDatabase db(path);
    QCOMPARE(admin({"--database", db.argument, "create"}).code, 0);
    QFile file(path);
    QByteArray before;
    if (!db.server) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        before = file.readAll();
        file.close();
    }

    const Result again = admin({"--database", db.argument, "create"});
    QVERIFY(again.code != 0);
    QVERIFY2(again.err.contains(db.server ? db.target.databaseName : path), qPrintable(again.err));
    if (!db.server) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }
    QVERIFY(admin({"--database", db.argument, "demo"}).code != 0);

    // The database opens as the program's own.
    QVERIFY(pel::dbConnection.open(db.target).ok());
    pel::dbConnection.close();
}

void TestAdmin::operators()
{
    const NewDatabase db(m_dir.filePath(QStringLiteral("petugas.mdb")));
    const QString path = db.argument;
    QCOMPARE(admin({"--database", path, "create"}).code, 0);
    QCOMPARE(admin({"--database", path, "operator", "add", "budi", "BUDI SANTOSO", "Manager", "--password-stdin"},
                   "rahasia\n").code,
             0);
    QCOMPARE(admin({"--database", path, "operator", "add", "--password-stdin", "ani", "ANI", "Entri"}, "x\n").code, 0);
    const Result duplicate = admin({"--database", path, "operator", "add", " budi ", "LAIN", "Entri", "--password-stdin"}, "y\n");
    QVERIFY(duplicate.code != 0);
    // User IDs are unique without regard to letter case.
    QVERIFY(admin({"--database", path, "operator", "add", "BUDI", "LAIN", "Entri", "--password-stdin"}, "y\n").code != 0);
    const Result badLevel = admin({"--database", path, "operator", "add", "cici", "CICI", "manager", "--password-stdin"}, "z\n");
    QVERIFY(badLevel.code != 0);
    QVERIFY(badLevel.err.contains(QStringLiteral("manager")));

    Result list = admin({"--database", path, "operator", "list"});
    QCOMPARE(list.code, 0);
    QVERIFY(list.out.contains(QStringLiteral("budi\tBUDI SANTOSO\tManager")));
    QVERIFY(list.out.contains(QStringLiteral("2 petugas")));
    QVERIFY(!list.out.contains(QStringLiteral("rahasia")));

    QCOMPARE(admin({"--database", path, "operator", "remove", "ani"}).code, 0);
    QVERIFY(admin({"--database", path, "operator", "remove", "ani"}).code != 0);
    list = admin({"--database", path, "operator", "list"});
    QVERIFY(list.out.contains(QStringLiteral("1 petugas")));
}

void TestAdmin::passwordsNeverTravelAsArguments()
{
    const NewDatabase db(m_dir.filePath(QStringLiteral("sandi.mdb")));
    const QString path = db.argument;
    QCOMPARE(admin({"--database", path, "create"}).code, 0);
    // The old form with the password among the arguments is refused, and the
    // refusal does not repeat it.
    const Result old = admin({"--database", path, "operator", "add", "budi", "BUDI", "rahasia", "Manager"});
    QVERIFY(old.code != 0);
    QVERIFY(!old.err.contains(QStringLiteral("rahasia")));
    // Without a terminal and without --password-stdin nothing is added.
    QVERIFY(admin({"--database", path, "operator", "add", "budi", "BUDI", "Manager"}, "rahasia\n").code != 0);
    QVERIFY(admin({"--database", path, "operator", "add", "budi", "BUDI", "Manager", "--password-stdin"}, "\n").code != 0);
    QVERIFY(admin({"--database", path, "operator", "add", "budi", "BUDI", "Manager", "--password-stdin"}, " Rahasia \n").code
            == 0);
    QCOMPARE(admin({"--database", path, "operator", "passwd", "BUDI", "--password-stdin"}, "baru\r\n").code, 0);
    QVERIFY(admin({"--database", path, "operator", "passwd", "nobody", "--password-stdin"}, "x\n").code != 0);

    // An operator row of an older file, kept as text, is converted by rehash.
    QVERIFY(pel::dbConnection.open(db.target).ok());
    pel::db::Recordset rs;
    QVERIFY(rs.open(QStringLiteral("insert into t_petugas values ('lama', 'LAMA', 'teks', 'Entri')"), pel::dbConnection).ok());
    pel::dbConnection.close();
    const Result rehash = admin({"--database", path, "operator", "rehash"});
    QCOMPARE(rehash.code, 0);
    QVERIFY(rehash.out.startsWith(QStringLiteral("1 ")));

    QVERIFY(pel::dbConnection.open(db.target).ok());
    QVERIFY(rs.open(QStringLiteral("select password from t_petugas"), pel::dbConnection).ok());
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        QVERIFY(pel::isPasswordHash(rs.value(0).toString()));
    const pel::OperatorStore store(pel::dbConnection);
    QVERIFY(store.checkLogin(QStringLiteral("budi"), QStringLiteral("baru"), nullptr).ok());
    QVERIFY(!store.checkLogin(QStringLiteral("budi"), QStringLiteral("Rahasia"), nullptr).ok());
    QVERIFY(store.checkLogin(QStringLiteral("lama"), QStringLiteral("teks"), nullptr).ok());
    pel::dbConnection.close();
}

void TestAdmin::demoDatabaseLogsInAtEveryLevel()
{
    const NewDatabase db(m_dir.filePath(QStringLiteral("demo.mdb")));
    const QString path = db.argument;
    const Result demo = admin({"--database", path, "demo"});
    QCOMPARE(demo.code, 0);
    QVERIFY(pel::dbConnection.open(db.target).ok());
    pel::db::Recordset rs;
    QVERIFY(rs.open(QStringLiteral("select level from t_petugas order by level"), pel::dbConnection).ok());
    QStringList levels;
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        levels << rs.value(0).toString();
    QCOMPARE(levels, QStringList({"Activasi", "Entri", "Manager", "Operator"}));
    QVERIFY(rs.open(QStringLiteral("select count(*) from SISWA"), pel::dbConnection).ok());
    QVERIFY(rs.value(0).toInt() >= 5);
    QVERIFY(rs.open(QStringLiteral("select count(*) from Pelajaran"), pel::dbConnection).ok());
    QVERIFY(rs.value(0).toInt() >= 3);
    // Every grade row carries what the grading rule derives from its score.
    QVERIFY(rs.open(QStringLiteral("select Nilangka, Nilhu, Bobot, Mutu, SKS from Nilai"), pel::dbConnection).ok());
    QVERIFY(rs.recordCount() >= 10);
    for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
        QCOMPARE(rs.value(3).toDouble(), rs.value(2).toDouble() * rs.value(4).toDouble());
        if (rs.value(0).toDouble() >= 80 && rs.value(0).toDouble() <= 100)
            QCOMPARE(rs.value(1).toString(), QStringLiteral("A"));
    }
    // No password stands readable in the file, which only its owner reads.
    QVERIFY(rs.open(QStringLiteral("select password from t_petugas"), pel::dbConnection).ok());
    for (rs.moveFirst(); !rs.eof(); rs.moveNext())
        QVERIFY(pel::isPasswordHash(rs.value(0).toString()));
    if (!db.server)
        QCOMPARE(QFile::permissions(path), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    QVERIFY(pel::OperatorStore(pel::dbConnection).checkLogin(QStringLiteral("manager"), QStringLiteral("manager123"), nullptr).ok());
    pel::dbConnection.close();
}

void TestAdmin::backupRestoreAndLog()
{
    // Backups and restores copy the file; a server database refuses them
    // and keeps its audit trail all the same.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("SISWA.mdb"));
    const NewDatabase db(path);
    QCOMPARE(admin({"--database", db.argument, "demo"}).code, 0);
    const QString copy = folder.filePath(QStringLiteral("salinan.mdb"));
    const Result backup = admin({"--database", db.argument, "backup", copy});
    QCOMPARE(backup.code, db.server ? 2 : 0);
    QCOMPARE(QFile::exists(copy), !db.server);

    QVERIFY(pel::dbConnection.open(db.target).ok());
    pel::dbConnection.setOperator(QStringLiteral("budi"));
    pel::db::Recordset rs;
    QVERIFY(rs.open(QStringLiteral("delete from Nilai where Nis = '2026002'"), pel::dbConnection).ok());
    QVERIFY(rs.open(QStringLiteral("update SISWA set Alamat = 'JL. BARU' where NIS = '2026003'"), pel::dbConnection).ok());
    // No restore while the database is open here.
    QVERIFY(admin({"--database", db.argument, "restore", copy}).code != 0);
    pel::dbConnection.close();

    Result log = admin({"--database", db.argument, "log", "--nis", "2026002", "--table", "nilai"});
    QCOMPARE(log.code, 0);
    QStringList lines = log.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.last(), QStringLiteral("6 catatan"));
    QCOMPARE(lines.filter(QStringLiteral("\tbudi\tNilai\t")).size(), 3);
    QCOMPARE(lines.filter(QStringLiteral("\tdelete\t")).size(), 3);
    log = admin({"--database", db.argument, "log", "--since", "01-01-2000", "--table", "SISWA"});
    QVERIFY(log.out.contains(QStringLiteral("\"Alamat\":\"JL. BARU\"")));
    QVERIFY(admin({"--database", db.argument, "log", "--since", "kemarin"}).code != 0);
    if (db.server)
        return;

    const Result restore = admin({"--database", path, "restore", copy});
    QCOMPARE(restore.code, 0);
    QVERIFY(pel::dbConnection.open(path).ok());
    QVERIFY(rs.open(QStringLiteral("select count(*) from Nilai where Nis = '2026002'"), pel::dbConnection).ok());
    QCOMPARE(rs.value(0).toInt(), 3);
    pel::dbConnection.close();
    // The database as it was before the restore is kept in the backup folder.
    QCOMPARE(QDir(folder.filePath(QStringLiteral("backup"))).entryList(QDir::Files).size(), 1);
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
    QTest::newRow("restore without file") << QStringList{"restore"};
    QTest::newRow("restore of a missing file") << QStringList{"restore", "tidak-ada.mdb"};
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
