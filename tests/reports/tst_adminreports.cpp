// The administration tool's "report" command gives the report screen's own
// text, writes the same report files, and reports wrong commands and
// reports that find nothing.
#include "common/module1.h"
#include "reports/frmLaporan.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <csignal>

using namespace pel;

namespace {

struct Run
{
    int exitCode = -1;
    bool crashed = true;
    QByteArray out;
    QByteArray err;
};

// Runs the tool on the test database in its own working folder.
Run runTool(const test::TestDatabase &db, const QString &folder, const QStringList &args)
{
    Run run;
    const QString tool = qEnvironmentVariable("PELITAKSA_ADMIN");
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(tool, QStringList{QStringLiteral("--database"), db.databaseArgument(), QStringLiteral("report")} + args);
    if (!process.waitForFinished(120000))
        return run;
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

void addGrade(const QString &nis, const QString &code, double sks, double score, double points)
{
    test::execShared(QStringLiteral("insert into Nilai values ('R1', '09-03-2026', ?, 'KOMPUTER', 'DASAR', ?, ?, "
                                         "'BUDI', ?, 'B', 3, ?, 'Baik', '')"),
                          {nis, code, sks, score, points});
}

void fill(test::TestDatabase &db)
{
    for (int i = 7; i >= 1; --i)
        db.addStudent(QString::number(100 + i), QStringLiteral("SISWA %1").arg(i));
    db.addStudent(QStringLiteral("O'1"), QStringLiteral("O'NEIL"));
    db.addSubject(QStringLiteral("M1"), QStringLiteral("MATEMATIKA"), 2);
    db.addSubject(QStringLiteral("M2"), QStringLiteral("FISIKA"), 3);
    for (const QString &nis : {QStringLiteral("103"), QStringLiteral("O'1"), QStringLiteral("101")}) {
        addGrade(nis, QStringLiteral("M1"), 2, 80.4, 6);
        addGrade(nis, QStringLiteral("M2"), 3, 70, 9);
    }
}

// Students enough for the tool to write for a while: NIS 100000 and up.
void addManyStudents(test::TestDatabase &db, int count)
{
    db.exec(QStringLiteral("with recursive n(value) as (select 1 union all select value + 1 from n where value < %1) "
                           "insert into SISWA select 100000 + value, 'SISWA ' || value, 'JAKARTA', '1-2-2000', "
                           "'JL. MAWAR ' || value, 'LAKI-LAKI', 'ISLAM', '01-07-2020', 'KOMPUTER', 'DASAR', 'SMA 1', "
                           "'0812' from n")
                .arg(count));
}

// The tool's process, started on the test database in folder.
void startTool(QProcess &process, const test::TestDatabase &db, const QString &folder, const QStringList &args)
{
    process.setWorkingDirectory(folder);
    process.start(qEnvironmentVariable("PELITAKSA_ADMIN"),
                  QStringList{QStringLiteral("--database"), db.databaseArgument(), QStringLiteral("report")} + args);
}

// True once the process holds a file of folder open for writing, other
// than the database.
bool writesInto(qint64 pid, const QString &folder)
{
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString &fd : fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)) {
        const QString target = QFile::symLinkTarget(fds.filePath(fd));
        if (target.startsWith(folder + QLatin1Char('/')) && !target.contains(QLatin1String("SISWA.mdb")))
            return true;
    }
    return false;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

class TestAdminReports : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void sameTextAsScreen_data();
    void sameTextAsScreen();
    void everyStudentAppended();
    void outputFile();
    void outputToPipe();
    void failures_data();
    void failures();
    void killedMidWriteKeepsPreviousFile();
    void failingWriteKeepsPreviousFile();
    void twoRunsAtOnce();
};

void TestAdminReports::initTestCase()
{
    const QString tool = qEnvironmentVariable("PELITAKSA_ADMIN");
    QVERIFY2(!tool.isEmpty() && QFile::exists(tool), "PELITAKSA_ADMIN must name the built pelitaksa-admin");
}

void TestAdminReports::sameTextAsScreen_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("file");
    QTest::newRow("list") << QStringList{QStringLiteral("list")} << QStringLiteral("cmdLihat") << QString()
                          << QStringLiteral("Data Siswa.txt");
    QTest::newRow("ipk") << QStringList{QStringLiteral("ipk")} << QStringLiteral("cmdIPK") << QString()
                         << QStringLiteral("IPK.txt");
    QTest::newRow("statement") << QStringList{QStringLiteral("statement"), QStringLiteral("103")}
                               << QStringLiteral("cmdLht") << QStringLiteral("cmbNis") << QString();
    QTest::newRow("certificate with quote") << QStringList{QStringLiteral("certificate"), QStringLiteral("O'1")}
                                            << QStringLiteral("cmdSrt") << QStringLiteral("cmbNis1") << QString();
}

void TestAdminReports::sameTextAsScreen()
{
    QFETCH(QStringList, args);
    QFETCH(QString, button);
    QFETCH(QString, box);
    QFETCH(QString, file);
    test::TestDatabase db;
    fill(db);
    test::StandIn messages;
    frmLaporan screen;
    screen.show();
    test::click(&screen, button);
    if (!box.isEmpty()) {
        test::typeInto(&screen, box, args.at(1));
        test::pressEnter(&screen, box);
    }
    QCOMPARE(messages.count(), 0);
    QVERIFY(!screen.reportText().isEmpty());

    QTemporaryDir elsewhere;
    const Run run = runTool(db, elsewhere.path(), args);
    QVERIFY2(!run.crashed, run.err.constData());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, screen.reportText().toUtf8());
    if (!file.isEmpty())
        QCOMPARE(fileBytes(elsewhere.filePath(file)), fileBytes(db.folder() + QLatin1Char('/') + file));
}

void TestAdminReports::everyStudentAppended()
{
    test::TestDatabase db;
    fill(db);
    test::StandIn messages;
    frmLaporan screen;
    screen.show();
    // The screen, one NIS after another as its list gives them; those
    // without grades only bring the no-data message.
    auto *list = test::child<QComboBox>(&screen, QStringLiteral("cmbNis"));
    const int count = list->count();
    for (int i = 0; i < count; ++i) {
        test::click(&screen, QStringLiteral("cmdLht"));
        list->setCurrentIndex(i);
        test::pressEnter(&screen, QStringLiteral("cmbNis"));
    }
    QCOMPARE(messages.count(), count - 3);
    const QString statements = screen.reportText();
    QCOMPARE(statements.count(QStringLiteral("Indeks Prestasi")), 3);

    test::click(&screen, QStringLiteral("cmdKsg"));
    for (int i = 0; i < count; ++i) {
        test::click(&screen, QStringLiteral("cmdSrt"));
        test::child<QComboBox>(&screen, QStringLiteral("cmbNis1"))->setCurrentIndex(i);
        test::pressEnter(&screen, QStringLiteral("cmbNis1"));
    }
    const QString certificates = screen.reportText();

    QTemporaryDir elsewhere;
    Run run = runTool(db, elsewhere.path(), {QStringLiteral("statement"), QStringLiteral("--all")});
    QVERIFY2(!run.crashed && run.exitCode == 0, run.err.constData());
    QCOMPARE(run.out, statements.toUtf8());
    run = runTool(db, elsewhere.path(), {QStringLiteral("certificate"), QStringLiteral("--all")});
    QVERIFY2(!run.crashed && run.exitCode == 0, run.err.constData());
    QCOMPARE(run.out, certificates.toUtf8());
}

void TestAdminReports::outputFile()
{
    test::TestDatabase db;
    fill(db);
    QTemporaryDir elsewhere;
    const QString out = elsewhere.filePath(QStringLiteral("ipk-out.txt"));
    const Run run = runTool(db, elsewhere.path(), {QStringLiteral("ipk"), QStringLiteral("--out"), out});
    QVERIFY2(!run.crashed && run.exitCode == 0, run.err.constData());
    QVERIFY(run.out.isEmpty());
    // The named file holds the text; the report file holds it and one CR LF.
    QCOMPARE(fileBytes(out) + "\r\n", fileBytes(elsewhere.filePath(QStringLiteral("IPK.txt"))));
    QVERIFY(fileBytes(out).startsWith(" YAYASAN PELITAKSA BUDIMAJU\r\n JL Teratai"));
}

void TestAdminReports::outputToPipe()
{
    // A named pipe given as the output is written to, not replaced by a file.
    test::TestDatabase db;
    fill(db);
    QTemporaryDir elsewhere;
    const QString pipe = elsewhere.filePath(QStringLiteral("pipe"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QProcess reader;
    reader.start(QStringLiteral("cat"), {pipe});
    QVERIFY(reader.waitForStarted());
    const Run run = runTool(db, elsewhere.path(), {QStringLiteral("ipk"), QStringLiteral("--out"), pipe});
    QVERIFY2(!run.crashed && run.exitCode == 0, run.err.constData());
    QVERIFY(reader.waitForFinished(30000));
    QCOMPARE(reader.readAllStandardOutput() + "\r\n", fileBytes(elsewhere.filePath(QStringLiteral("IPK.txt"))));
    struct stat status {};
    QCOMPARE(::lstat(QFile::encodeName(pipe).constData(), &status), 0);
    QVERIFY(S_ISFIFO(status.st_mode));
}

void TestAdminReports::failures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("no report named") << QStringList{} << 2 << QString();
    QTest::newRow("unknown report") << QStringList{QStringLiteral("rapor")} << 2 << QStringLiteral("rapor");
    QTest::newRow("statement without NIS") << QStringList{QStringLiteral("statement")} << 2 << QStringLiteral("NIS");
    QTest::newRow("--out without file") << QStringList{QStringLiteral("list"), QStringLiteral("--out")} << 2
                                        << QStringLiteral("--out");
    QTest::newRow("no such student") << QStringList{QStringLiteral("statement"), QStringLiteral("x' or '1'='1")} << 1
                                     << QStringLiteral("Data tidak ditemukan!");
    QTest::newRow("student without grades") << QStringList{QStringLiteral("certificate"), QStringLiteral("102")} << 1
                                            << QStringLiteral("Data tidak ditemukan!");
    QTest::newRow("file in the way") << QStringList{QStringLiteral("list")} << 1 << QStringLiteral("\"Data Siswa.txt\"");
}

void TestAdminReports::failures()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    test::TestDatabase db;
    fill(db);
    QTemporaryDir elsewhere;
    QVERIFY(QDir(elsewhere.path()).mkdir(QStringLiteral("Data Siswa.txt")));
    const Run run = runTool(db, elsewhere.path(), args);
    QVERIFY(!run.crashed);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY(run.out.isEmpty());
    QVERIFY(!run.err.isEmpty());
    QVERIFY2(QString::fromUtf8(run.err).contains(message), run.err.constData());
}

void TestAdminReports::killedMidWriteKeepsPreviousFile()
{
    test::TestDatabase db;
    fill(db);
    QTemporaryDir elsewhere;
    const QString name = elsewhere.filePath(QStringLiteral("Data Siswa.txt"));
    QVERIFY(runTool(db, elsewhere.path(), {QStringLiteral("list")}).exitCode == 0);
    const QByteArray previous = fileBytes(name);
    QVERIFY(previous.endsWith("( PIMPINAN )        \r\n\r\n"));

    addManyStudents(db, 100000);
    QProcess process;
    startTool(process, db, elsewhere.path(), {QStringLiteral("list"), QStringLiteral("--out"), QStringLiteral("out.txt")});
    QVERIFY(process.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    while (!writesInto(process.processId(), elsewhere.path()) && process.state() == QProcess::Running
           && waited.elapsed() < 60000)
        QTest::qWait(1);
    QCOMPARE(process.state(), QProcess::Running);
    ::kill(pid_t(process.processId()), SIGKILL);
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitStatus(), QProcess::CrashExit);

    // The previous report is whole; no half report stands under either name.
    QCOMPARE(fileBytes(name), previous);
    QVERIFY(!QFile::exists(elsewhere.filePath(QStringLiteral("out.txt"))));
}

void TestAdminReports::failingWriteKeepsPreviousFile()
{
    // The file size limit stands for a full disk: a write fails part-way.
    test::TestDatabase db;
    fill(db);
    QTemporaryDir elsewhere;
    const QString name = elsewhere.filePath(QStringLiteral("Data Siswa.txt"));
    QVERIFY(runTool(db, elsewhere.path(), {QStringLiteral("list")}).exitCode == 0);
    const QByteArray previous = fileBytes(name);
    addManyStudents(db, 5000);

    QProcess process;
    process.setWorkingDirectory(elsewhere.path());
    // 1 MB at most a file; the signal ignored, so that the write fails instead.
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("trap '' XFSZ; ulimit -f 2048; exec \"$0\" --database \"$1\" report list"),
                   qEnvironmentVariable("PELITAKSA_ADMIN"), db.databaseArgument()});
    QVERIFY(process.waitForFinished(120000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    const QString error = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(error.contains(QStringLiteral("\"Data Siswa.txt\"")), qPrintable(error));
    QCOMPARE(fileBytes(name), previous);
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), QStringList({QStringLiteral("Data Siswa.txt")}));
}

void TestAdminReports::twoRunsAtOnce()
{
    test::TestDatabase db;
    fill(db);
    addManyStudents(db, 20000);
    QTemporaryDir elsewhere;
    QProcess first;
    QProcess second;
    for (QProcess *process : {&first, &second}) {
        startTool(*process, db, elsewhere.path(), {QStringLiteral("list"), QStringLiteral("--out"), QStringLiteral("out.txt")});
        QVERIFY(process->waitForStarted());
    }
    for (QProcess *process : {&first, &second}) {
        QVERIFY(process->waitForFinished(120000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
    }
    // Both said success, and the files are each one complete report.
    const QByteArray out = fileBytes(elsewhere.filePath(QStringLiteral("out.txt")));
    QVERIFY(out.endsWith("( PIMPINAN )        \r\n"));
    QVERIFY(out.contains(" Total= 20008\r\n"));
    QCOMPARE(fileBytes(elsewhere.filePath(QStringLiteral("Data Siswa.txt"))), out + "\r\n");
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files),
             QStringList({QStringLiteral("Data Siswa.txt"), QStringLiteral("out.txt")}));
}

QTEST_MAIN(TestAdminReports)
#include "tst_adminreports.moc"
