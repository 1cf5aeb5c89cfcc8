// The command lines of the program and the administration tool: the help and
// the version without a display or a database, the help of every command,
// and usage errors with exit code 2 on standard error.
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void helpAndVersionNeedNothing_data();
    void helpAndVersionNeedNothing();
    void everyCommandHasItsHelp_data();
    void everyCommandHasItsHelp();
    void usageErrors_data();
    void usageErrors();

private:
    struct Run
    {
        int code;
        QString out;
        QString err;
    };
    // Runs the program ("pelitaksa") or the tool ("pelitaksa-admin") in an
    // empty folder, without a display unless withScreen is given.
    Run run(const QString &which, const QStringList &args, bool withScreen = false);

    QTemporaryDir m_dir;
    QTemporaryDir m_runtime; // the window system's own files, kept out of m_dir
    QString m_program;
    QString m_tool;
};

void TestCommandLine::initTestCase()
{
    m_program = qEnvironmentVariable("PELITAKSA_PROGRAM");
    m_tool = qEnvironmentVariable("PELITAKSA_ADMIN");
    if (m_program.isEmpty() || m_tool.isEmpty())
        QSKIP("PELITAKSA_PROGRAM and PELITAKSA_ADMIN name no programs; run through ctest");
    QVERIFY(m_dir.isValid());
}

TestCommandLine::Run TestCommandLine::run(const QString &which, const QStringList &args, bool withScreen)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Without a display Qt's default platform cannot start: a program that
    // asked for one would end with a failure rather than an answer.
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "PELITAKSA_DATABASE"})
        environment.remove(QString::fromLatin1(name));
    if (withScreen) {
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_dir.path());
    process.start(which == QLatin1String("pelitaksa") ? m_program : m_tool, args);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()), QString::fromLocal8Bit(process.readAllStandardError())};
}

void TestCommandLine::helpAndVersionNeedNothing_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QStringList>("mentions");
    const QStringList programHelp{"-h, --help", "-v, --version", "--database <URL>", "pelitaksa-admin create"};
    const QStringList toolHelp{"-h, --help", "-v, --version", "--db <FILE>", "--database <URL>", "Perintah:",
                               "  operator add USERID NAMA LEVEL [--password-stdin]", "  copy --from URL"};
    const QString programUsage = QStringLiteral("Pemakaian: pelitaksa [pilihan]");
    const QString toolUsage = QStringLiteral("Pemakaian: pelitaksa-admin [pilihan] PERINTAH [ARGUMEN...]");
    QTest::newRow("program --help") << "pelitaksa" << QStringList{"--help"} << programUsage << programHelp;
    QTest::newRow("program -h") << "pelitaksa" << QStringList{"-h"} << programUsage << programHelp;
    QTest::newRow("program --version") << "pelitaksa" << QStringList{"--version"} << "pelitaksa 1.0" << QStringList();
    QTest::newRow("program -v, another database named")
        << "pelitaksa" << QStringList{"--database", "lain.mdb", "-v"} << "pelitaksa 1.0" << QStringList();
    QTest::newRow("tool --help") << "pelitaksa-admin" << QStringList{"--help"} << toolUsage << toolHelp;
    QTest::newRow("tool -h") << "pelitaksa-admin" << QStringList{"-h"} << toolUsage << toolHelp;
    QTest::newRow("tool help") << "pelitaksa-admin" << QStringList{"help"} << toolUsage << toolHelp;
    QTest::newRow("tool --version") << "pelitaksa-admin" << QStringList{"--version"} << "pelitaksa-admin 1.0"
                                    << QStringList();
    QTest::newRow("tool -v before a command")
        << "pelitaksa-admin" << QStringList{"-v", "create"} << "pelitaksa-admin 1.0" << QStringList();
    QTest::newRow("tool: a command's --help, not the command")
        << "pelitaksa-admin" << QStringList{"create", "--help"}
        << "Pemakaian: pelitaksa-admin [--db FILE | --database URL] create" << QStringList();
}

void TestCommandLine::helpAndVersionNeedNothing()
{
    QFETCH(QString, which);
    QFETCH(QStringList, args);
    QFETCH(QString, firstLine);
    QFETCH(QStringList, mentions);
    const Run answer = run(which, args);
    QVERIFY2(answer.code == 0, qPrintable(answer.err));
    QCOMPARE(answer.err, QString());
    QCOMPARE(answer.out.section(QLatin1Char('\n'), 0, 0), firstLine);
    for (const QString &mention : mentions)
        QVERIFY2(answer.out.contains(mention), qPrintable(mention));
    // No database was made or opened, and nothing else written.
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

void TestCommandLine::everyCommandHasItsHelp_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("usage");
    const char *rows[][2] = {
        {"create", "create"},
        {"demo", "demo"},
        {"operator", "operator passwd USERID [--password-stdin]"},
        {"backup", "backup [FILE]"},
        {"restore", "restore FILE"},
        {"log", "log [--since TANGGAL] [--nis NIS] [--table TABEL]"},
        {"report", "report statement|certificate NIS|--all [--out FILE]"},
        {"export", "export TABLE OUTFILE.csv|OUTFILE.xlsx [--separator ';']"},
        {"import", "import TABLE INFILE.csv|INFILE.xlsx [--dry-run] [--update] [--errors ERRORS.csv]"},
        {"template", "template TABLE [FILE.csv|FILE.xlsx]"},
        {"copy", "copy --from URL --to URL [--replace]"},
        {"help", "help [PERINTAH]"},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
}

void TestCommandLine::everyCommandHasItsHelp()
{
    QFETCH(QString, command);
    QFETCH(QString, usage);
    const Run help = run(QStringLiteral("pelitaksa-admin"), {QStringLiteral("help"), command});
    QCOMPARE(help.code, 0);
    QVERIFY2(help.out.startsWith(QStringLiteral("Pemakaian: pelitaksa-admin ")), qPrintable(help.out));
    QVERIFY2(help.out.contains(usage), qPrintable(help.out));
    // The whole help lists the same form.
    QVERIFY(run(QStringLiteral("pelitaksa-admin"), {QStringLiteral("--help")}).out.contains(QStringLiteral("  ") + usage));
}

void TestCommandLine::usageErrors_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("usage"); // a line of the usage shown under it

    QTest::newRow("tool without a command") << "pelitaksa-admin" << QStringList() << "perintah belum diberikan"
                                            << "operator remove USERID";
    QTest::newRow("tool, unknown command") << "pelitaksa-admin" << QStringList{"hapus"}
                                           << "perintah tidak dikenal: hapus" << "copy --from URL";
    QTest::newRow("tool, unknown option") << "pelitaksa-admin" << QStringList{"--dbase", "x", "create"}
                                          << "Pilihan 'dbase' tidak dikenal." << "create";
    QTest::newRow("tool, --db without its file") << "pelitaksa-admin" << QStringList{"--db"}
                                                 << "Pilihan '--db' butuh nilai." << "create";
    QTest::newRow("tool, --db and --database") << "pelitaksa-admin" << QStringList{"--db", "a.mdb", "--database", "b.mdb", "create"}
                                               << "--db dan --database tidak dapat dipakai bersama" << "create";
    QTest::newRow("tool, help on no command") << "pelitaksa-admin" << QStringList{"help", "hapus"}
                                              << "help butuh paling banyak satu PERINTAH" << "help [PERINTAH]";
    QTest::newRow("tool, a command's own usage") << "pelitaksa-admin" << QStringList{"create", "lagi"}
                                                 << "create tidak memakai argumen" << "create";
    QTest::newRow("tool, a copy's usage") << "pelitaksa-admin" << QStringList{"copy", "--ke", "x.mdb"}
                                          << "argumen copy tidak dikenal: --ke" << "copy --from URL --to URL";
    QTest::newRow("tool, a template's usage") << "pelitaksa-admin" << QStringList{"template", "kelas"}
                                              << "tabel tidak dikenal: kelas" << "template TABLE";
    QTest::newRow("program, unknown option") << "pelitaksa" << QStringList{"--basisdata", "x"}
                                             << "Pilihan 'basisdata' tidak dikenal." << "pelitaksa --help";
    QTest::newRow("program, a word it does not take") << "pelitaksa" << QStringList{"SISWA.mdb"}
                                                      << "argumen tidak dikenal: SISWA.mdb" << "pelitaksa --help";
    QTest::newRow("program, --database without its URL") << "pelitaksa" << QStringList{"--database"}
                                                         << "Pilihan '--database' butuh nilai." << "pelitaksa --help";
}

void TestCommandLine::usageErrors()
{
    QFETCH(QString, which);
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    QFETCH(QString, usage);
    // The program reads the rest of its command line once its window system is up.
    const Run refused = run(which, args, which == QLatin1String("pelitaksa"));
    QCOMPARE(refused.code, 2);
    QCOMPARE(refused.out, QString());
    QVERIFY2(refused.err.startsWith(which + QStringLiteral(": ") + message), qPrintable(refused.err));
    QVERIFY2(refused.err.contains(usage), qPrintable(refused.err));
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
