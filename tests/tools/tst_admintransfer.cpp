// The administration tool's export, import and template commands and their
// exit codes: 0 done, 1 rows refused or the work failed, 2 bad arguments.
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

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

private:
    struct Result
    {
        int code;
        QString out;
        QString err;
    };
    Result admin(const QStringList &args);
    QByteArray read(const QString &name);
    QTemporaryDir m_dir;
    QString m_tool;
};

void TestAdminTransfer::initTestCase()
{
    m_tool = qEnvironmentVariable("PELITAKSA_ADMIN");
    if (m_tool.isEmpty())
        QSKIP("PELITAKSA_ADMIN names no tool; run through ctest");
    QVERIFY(m_dir.isValid());
    QCOMPARE(admin({"--db", "demo.mdb", "demo"}).code, 0);
    QCOMPARE(admin({"--db", "kosong.mdb", "create"}).code, 0);
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

QByteArray TestAdminTransfer::read(const QString &name)
{
    QFile file(m_dir.filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    QTest::newRow("import of an Excel file") << QStringList{"--db", "demo.mdb", "import", "students", "s.xlsx"};
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
        QCOMPARE(admin({"--db", "demo.mdb", "export", table, file, "--separator", ";"}).code, 0);
        const QByteArray before = read("kosong.mdb");
        // A dry run passes and writes nothing.
        const Result dry = admin({"--db", "kosong.mdb", "import", table, file, "--dry-run"});
        QCOMPARE(dry.code, 0);
        QCOMPARE(read("kosong.mdb"), before);
        const Result real = admin({"--db", "kosong.mdb", "import", table, file});
        QVERIFY2(real.code == 0, qPrintable(real.err));
        // Importing the same rows again: refused without --update, accepted with it.
        QCOMPARE(admin({"--db", "kosong.mdb", "import", table, file}).code, 1);
        QCOMPARE(admin({"--db", "kosong.mdb", "import", table, file, "--update"}).code, 0);
    }
    const Result excel = admin({"--db", "kosong.mdb", "export", "grades", "nilai.xlsx"});
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
    const QByteArray before = read("demo.mdb");
    for (const QStringList &options : {QStringList{}, QStringList{"--dry-run"}}) {
        const Result result = admin(QStringList{"--db", "demo.mdb", "import", "students", "buruk.csv", "--errors",
                                                "masalah.csv"}
                                    + options);
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(QStringLiteral("Baris 3, kolom TglLahir, nilai \"13-13-2004\"")), qPrintable(result.err));
        QVERIFY2(result.err.contains(QStringLiteral("Baris 4, kolom NIS, nilai \"9001\"")), qPrintable(result.err));
        QCOMPARE(read("demo.mdb"), before);
        const QList<QByteArray> lines = read("masalah.csv").split('\n');
        QCOMPARE(lines.value(0), QByteArray("\xEF\xBB\xBF" "Baris,Kolom,Nilai,Alasan\r"));
        QVERIFY(lines.value(1).startsWith("3,TglLahir,13-13-2004,"));
        QVERIFY(lines.value(2).startsWith("4,NIS,9001,"));
    }
}

QTEST_GUILESS_MAIN(TestAdminTransfer)
#include "tst_admintransfer.moc"
