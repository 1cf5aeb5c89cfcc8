// The administration tool's export, import and template commands and their
// exit codes: 0 done, 1 rows refused or the work failed, 2 bad arguments.
#include "common/module1.h"
#include "db/connection.h"
#include "db/failure.h"
#include "grades/gradestore.h"
#include "pgtestsupport.h"
#include "spreadsheetfiles.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <QSqlQuery>

#include <algorithm>
#include <memory>
#include <vector>

#include <pwd.h>
#include <unistd.h>

class TestAdminTransfer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void templates_data();
    void templates();
    void badArguments_data();
    void badArguments();
    void exportThenImport();
    void refusedImportWritesItsReport();
    void concurrentImportsNeverShareANumber();
    void templateFiles();
    void spreadsheetFiles();

private:
    struct Result
    {
        int code;
        QString out;
        QString err;
    };
    Result admin(const QStringList &args);
    QByteArray read(const QString &name);
    bool writeFile(const QString &name, const QByteArray &bytes);
    static QString loginName();
    QStringList auditUsers(const QString &database);
    QByteArray state(const QString &database);
    QTemporaryDir m_dir;
    QString m_tool;
    // The demonstration database and an empty one: files in the folder, or
    // on the test server databases of their own.
    std::unique_ptr<pel::test::PgTestDatabase> m_demoServer;
    std::unique_ptr<pel::test::PgTestDatabase> m_emptyServer;
    QString m_demo = QStringLiteral("demo.mdb");
    QString m_empty = QStringLiteral("kosong.mdb");
    std::unique_ptr<pel::test::PgTestDatabase> m_recordsServer;
};

void TestAdminTransfer::initTestCase()
{
    m_tool = qEnvironmentVariable("PELITAKSA_ADMIN");
    if (m_tool.isEmpty())
        QSKIP("PELITAKSA_ADMIN names no tool; run through ctest");
    QVERIFY(m_dir.isValid());
    if (pel::test::onPostgres()) {
        m_demoServer = std::make_unique<pel::test::PgTestDatabase>(false, false);
        m_emptyServer = std::make_unique<pel::test::PgTestDatabase>(false, false);
        m_demo = m_demoServer->url();
        m_empty = m_emptyServer->url();
    }
    QCOMPARE(admin({"--database", m_demo, "demo"}).code, 0);
    QCOMPARE(admin({"--database", m_empty, "create"}).code, 0);
}

TestAdminTransfer::Result TestAdminTransfer::admin(const QStringList &args)
{
    QProcess process;
    process.setWorkingDirectory(m_dir.path());
    process.start(m_tool, args);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

bool TestAdminTransfer::writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(m_dir.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The login name the tool's audit rows carry after "admin:".
QString TestAdminTransfer::loginName()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        if (const passwd *entry = getpwuid(geteuid()))
            user = QString::fromLocal8Bit(entry->pw_name);
    return user;
}

// The user IDs the audit trail of a database names, each once.
QStringList TestAdminTransfer::auditUsers(const QString &database)
{
    const pel::db::DatabaseChoice choice = pel::db::parseDatabaseUrl(database, m_dir.path());
    pel::db::Connection conn;
    if (!conn.open(choice.target).ok())
        return {QStringLiteral("(database tidak terbuka)")};
    QSqlQuery query(conn.database());
    QStringList users;
    if (query.exec(QStringLiteral("select distinct coalesce(userid, '(kosong)') from t_log")))
        while (query.next())
            users << query.value(0).toString();
    return users;
}

QByteArray TestAdminTransfer::read(const QString &name)
{
    QFile file(m_dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a database holds, to see that nothing was written: the file's bytes,
// or on a server every table's row count, the audit trail's included.
QByteArray TestAdminTransfer::state(const QString &database)
{
    if (!pel::test::onPostgres())
        return read(database);
    const pel::db::DatabaseChoice choice = pel::db::parseDatabaseUrl(database, m_dir.path());
    if (const pel::db::Result opened = pel::dbConnection.open(choice.target); !opened.ok())
        return pel::db::failureMessage(opened).toUtf8();
    QByteArray counts;
    for (const char *table : {"SISWA", "Pelajaran", "Nilai", "t_petugas", "t_log"})
        counts += pel::test::sharedScalar(QStringLiteral("select count(*) from %1").arg(QLatin1String(table)))
                      .toByteArray() + ' ';
    pel::dbConnection.close();
    return counts;
}

void TestAdminTransfer::templates_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("header");
    QTest::newRow("students") << "students"
                              << "NIS,NamaSiswa,TptLahir,TglLahir,Alamat,JenisKelamin,Agama,TglMasuk,ProgamJurusan,"
                                 "LevelTahap,AsalSekolah,TelpHp\r\n";
    QTest::newRow("subjects") << "subjects" << "KdMatpel,NmMatpel,TglEntry,Lokal,Instruktur,SKS\r\n";
    QTest::newRow("grades") << "grades" << "Noreg,TglProses,Nis,Program,Jenjang,KdMatpel,SKS,Tentor,Nilangka\r\n";
}

void TestAdminTransfer::templates()
{
    QFETCH(QString, table);
    QFETCH(QString, header);
    const Result result = admin({"template", table});
    QCOMPARE(result.code, 0);
    QCOMPARE(result.out, header);
}

void TestAdminTransfer::badArguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("template without table") << QStringList{"template"};
    QTest::newRow("template of an unknown table") << QStringList{"template", "operators"};
    QTest::newRow("export without file") << QStringList{"--db", "demo.mdb", "export", "students"};
    QTest::newRow("export to another format") << QStringList{"--db", "demo.mdb", "export", "students", "s.txt"};
    QTest::newRow("export with another separator")
        << QStringList{"--db", "demo.mdb", "export", "students", "s.csv", "--separator", "|"};
    QTest::newRow("separator without value") << QStringList{"--db", "demo.mdb", "export", "students", "s.csv", "--separator"};
    QTest::newRow("import of an unknown table") << QStringList{"--db", "demo.mdb", "import", "siswa", "s.csv"};
    QTest::newRow("import of another format") << QStringList{"--db", "demo.mdb", "import", "students", "s.ods"};
    QTest::newRow("import with an unknown option")
        << QStringList{"--db", "demo.mdb", "import", "students", "s.csv", "--force"};
    QTest::newRow("errors without file") << QStringList{"--db", "demo.mdb", "import", "students", "s.csv", "--errors"};
}

void TestAdminTransfer::badArguments()
{
    QFETCH(QStringList, args);
    const Result result = admin(args);
    QCOMPARE(result.code, 2);
    QVERIFY(result.err.contains(QStringLiteral("Pemakaian")));
    QVERIFY(!QFile::exists(m_dir.filePath("s.csv")));
}

void TestAdminTransfer::exportThenImport()
{
    for (const char *table : {"subjects", "students", "grades"}) {
        const QString file = QString::fromLatin1(table) + QStringLiteral(".csv");
        QCOMPARE(admin({"--database", m_demo, "export", table, file, "--separator", ";"}).code, 0);
        const QByteArray before = state(m_empty);
        // A dry run passes and writes nothing.
        const Result dry = admin({"--database", m_empty, "import", table, file, "--dry-run"});
        QCOMPARE(dry.code, 0);
        QCOMPARE(state(m_empty), before);
        const Result real = admin({"--database", m_empty, "import", table, file});
        QVERIFY2(real.code == 0, qPrintable(real.err));
        // Importing the same rows again: refused without --update, accepted with it.
        QCOMPARE(admin({"--database", m_empty, "import", table, file}).code, 1);
        QCOMPARE(admin({"--database", m_empty, "import", table, file, "--update"}).code, 0);
    }
    // Every change the tool made names its operator in the audit trail.
    QCOMPARE(auditUsers(m_empty), QStringList{QStringLiteral("admin:") + loginName()});
    const Result excel = admin({"--database", m_empty, "export", "grades", "nilai.xlsx"});
    QCOMPARE(excel.code, 0);
    QVERIFY(read("nilai.xlsx").startsWith("PK"));
    QCOMPARE(admin({"--db", "tidakada.mdb", "export", "grades", "nilai.csv"}).code, 1);
}

void TestAdminTransfer::refusedImportWritesItsReport()
{
    QFile file(m_dir.filePath("buruk.csv"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("NIS,NamaSiswa,TglLahir\n9001,ANI,01-01-2004\n9002,BUDI,13-13-2004\n9001,CICI,01-01-2004\n");
    file.close();
    const QByteArray before = state(m_demo);
    for (const QStringList &options : {QStringList{}, QStringList{"--dry-run"}}) {
        const Result result = admin(QStringList{"--database", m_demo, "import", "students", "buruk.csv", "--errors",
                                                "masalah.csv"}
                                    + options);
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(QStringLiteral("Baris 3, kolom TglLahir, nilai \"13-13-2004\"")), qPrintable(result.err));
        QVERIFY2(result.err.contains(QStringLiteral("Baris 4, kolom NIS, nilai \"9001\"")), qPrintable(result.err));
        QCOMPARE(state(m_demo), before);
        const QList<QByteArray> lines = read("masalah.csv").split('\n');
        QCOMPARE(lines.value(0), QByteArray("\xEF\xBB\xBF" "Baris,Kolom,Nilai,Alasan\r"));
        QVERIFY(lines.value(1).startsWith("3,TglLahir,13-13-2004,"));
        QVERIFY(lines.value(2).startsWith("4,NIS,9001,"));
    }
}

// Eight imports of grades without numbers at once, and a desk saving grades
// beside them: each import draws its numbers under the write lock, so no
// registration number ever belongs to two students, and every run is done.
void TestAdminTransfer::concurrentImportsNeverShareANumber()
{
    constexpr int Imports = 8;
    constexpr int StudentsEach = 50;
    std::unique_ptr<pel::test::PgTestDatabase> server;
    QString database = QStringLiteral("ramai.mdb");
    if (pel::test::onPostgres()) {
        server = std::make_unique<pel::test::PgTestDatabase>(false, false);
        database = server->url();
    }
    QCOMPARE(admin({"--database", database, "create"}).code, 0);
    QByteArray students("NIS,NamaSiswa\n");
    for (int i = 0; i < Imports * StudentsEach + 10; ++i)
        students += "S" + QByteArray::number(1000 + i) + ",SISWA " + QByteArray::number(i) + "\n";
    QVERIFY(writeFile("ramai-siswa.csv", students));
    QVERIFY(writeFile("ramai-pelajaran.csv", "KdMatpel,NmMatpel,SKS\nM1,SATU,2\nM2,DUA,3\nM3,TIGA,4\n"));
    QCOMPARE(admin({"--database", database, "import", "students", "ramai-siswa.csv"}).code, 0);
    QCOMPARE(admin({"--database", database, "import", "subjects", "ramai-pelajaran.csv"}).code, 0);
    for (int k = 0; k < Imports; ++k) {
        QByteArray grades("Nis,KdMatpel,Nilangka\n");
        for (int i = 0; i < StudentsEach; ++i)
            for (const char *code : {"M1", "M2", "M3"})
                grades += "S" + QByteArray::number(1000 + k * StudentsEach + i) + "," + code + ","
                          + QByteArray::number(40 + (i * 7 + k) % 60) + "\n";
        QVERIFY(writeFile(QStringLiteral("ramai-%1.csv").arg(k), grades));
    }

    std::vector<std::unique_ptr<QProcess>> runs;
    for (int k = 0; k < Imports; ++k) {
        runs.push_back(std::make_unique<QProcess>());
        runs.back()->setWorkingDirectory(m_dir.path());
        runs.back()->start(m_tool, {"--database", database, "import", "grades", QStringLiteral("ramai-%1.csv").arg(k)});
    }
    // A desk saves beside them, drawing its numbers as the grade screen does.
    const pel::db::DatabaseChoice choice = pel::db::parseDatabaseUrl(database, m_dir.path());
    pel::db::Connection desk;
    QVERIFY(desk.open(choice.target).ok());
    int saved = 0;
    const auto running = [&runs] {
        return std::any_of(runs.begin(), runs.end(),
                           [](const auto &run) { return run->state() != QProcess::NotRunning; });
    };
    for (int i = 0; running() || i < 3; ++i) {
        QString number;
        QVERIFY(pel::grades::NextRegistrationNumber(desk, &number).ok());
        pel::db::GradeRowValues row{number, QStringLiteral("01-07-2026"), QStringLiteral("S%1").arg(1000 + Imports * StudentsEach + i % 10),
                                    QString(), QString(), QStringLiteral("M1"), QStringLiteral("2"), QString(),
                                    QStringLiteral("70"), QStringLiteral("B"), QStringLiteral("3"),
                                    QStringLiteral("6"), QStringLiteral("Baik"), QStringLiteral("Lulus")};
        if (pel::grades::SaveGrade(desk, row).ok())
            ++saved;
        QTest::qWait(20);
    }
    for (const auto &run : runs) {
        QVERIFY(run->state() == QProcess::NotRunning || run->waitForFinished(120000));
        QVERIFY2(run->exitStatus() == QProcess::NormalExit && run->exitCode() == 0,
                 run->readAllStandardError().constData());
    }
    QVERIFY(saved >= 3);

    QSqlQuery query(desk.database());
    QVERIFY(query.exec(QStringLiteral("select count(*) from Nilai")) && query.next());
    QCOMPARE(query.value(0).toInt(), Imports * StudentsEach * 3 + saved);
    QVERIFY(query.exec(QStringLiteral("select count(*) from (select lower(Noreg) from Nilai group by lower(Noreg) "
                                      "having count(distinct lower(Nis)) > 1) shared")) && query.next());
    QCOMPARE(query.value(0).toInt(), 0);
    QVERIFY(query.exec(QStringLiteral("select count(*) from (select lower(Noreg), lower(KdMatpel) from Nilai "
                                      "group by lower(Noreg), lower(KdMatpel) having count(*) > 1) repeated")) && query.next());
    QCOMPARE(query.value(0).toInt(), 0);
    // Each imported student's three grades share one number.
    QVERIFY(query.exec(QStringLiteral("select count(distinct lower(Noreg)) from Nilai")) && query.next());
    QCOMPARE(query.value(0).toInt(), Imports * StudentsEach + saved);
}

// The template as a file: the CSV header line, or a workbook the import
// takes back (with no rows).
void TestAdminTransfer::templateFiles()
{
    QCOMPARE(admin({"template", "students", "siswa-kosong.csv"}).code, 0);
    QCOMPARE(read("siswa-kosong.csv"), QByteArray("\xEF\xBB\xBF" "NIS,NamaSiswa,TptLahir,TglLahir,Alamat,JenisKelamin,"
                                                 "Agama,TglMasuk,ProgamJurusan,LevelTahap,AsalSekolah,TelpHp\r\n"));
    const Result excel = admin({"template", "grades", "nilai-kosong.xlsx"});
    QCOMPARE(excel.code, 0);
    QVERIFY(read("nilai-kosong.xlsx").startsWith("PK"));
    const Result dry = admin({"--database", m_empty, "import", "grades", "nilai-kosong.xlsx", "--dry-run"});
    QVERIFY2(dry.code == 0, qPrintable(dry.err));
    QVERIFY2(dry.out.startsWith(QStringLiteral("0 baris diperiksa")), qPrintable(dry.out));
    QCOMPARE(admin({"template", "grades", "nilai.ods"}).code, 2);
    QVERIFY(!QFile::exists(m_dir.filePath("nilai.ods")));
}

// Files a spreadsheet saved, imported with --update over the rows they were
// exported from: the CSV whose zeros the spreadsheet dropped is refused,
// naming the cause, and changes nothing; the workbook comes home.
void TestAdminTransfer::spreadsheetFiles()
{
    QString records = QStringLiteral("records.mdb");
    if (pel::test::onPostgres()) {
        m_recordsServer = std::make_unique<pel::test::PgTestDatabase>(false, false);
        records = m_recordsServer->url();
    }
    QCOMPARE(admin({"--database", records, "create"}).code, 0);
    const pel::db::DatabaseChoice choice = pel::db::parseDatabaseUrl(records, m_dir.path());
    QVERIFY(pel::dbConnection.open(choice.target).ok());
    for (const QString &statement : pel::test::spreadsheetRecords())
        QVERIFY2(pel::test::execShared(statement), qPrintable(statement));
    pel::dbConnection.close();

    const QByteArray before = state(records);
    const QString damaged = pel::test::spreadsheetFile(QStringLiteral("students-semicolon.csv"));
    for (const QStringList &options : {QStringList{}, QStringList{"--dry-run"}}) {
        const Result result = admin(QStringList{"--database", records, "import", "students", damaged, "--update"} + options);
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(QStringLiteral("Baris 2, kolom NIS, nilai \"12\": nol di depan hilang (yang "
                                                    "tersimpan \"0012\"): disimpan sebagai angka oleh spreadsheet; "
                                                    "simpan kolom sebagai teks atau pakai file .xlsx")),
                 qPrintable(result.err));
        QCOMPARE(state(records), before);
    }
    const Result home = admin({"--database", records, "import", "students",
                               pel::test::spreadsheetFile(QStringLiteral("students.xlsx")), "--update"});
    QVERIFY2(home.code == 0, qPrintable(home.err));
    QCOMPARE(home.out, QStringLiteral("4 baris dimasukkan ke SISWA: 0 baru, 4 diubah\n"));
}

QTEST_GUILESS_MAIN(TestAdminTransfer)
#include "tst_admintransfer.moc"
