// The benchmark database generator and the sqlite3 floors, on a small
// database: what the benchmarks time must be the program's own data and a
// floor text of the same shape as the program's report.
#include "floors.h"
#include "generator.h"

#include "common/module1.h"
#include "db/failure.h"
#include "grades/grading.h"
#include "transfer/importer.h"
#include "reports/reportrunner.h"
#include "stats/statstext.h"
#include "transfer/csv.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The cells of a CSV text, row by row, whatever the quoting.
QList<QStringList> csvCells(const QByteArray &data)
{
    QList<QStringList> rows;
    pel::transfer::CsvReader reader(data, ',');
    pel::transfer::CsvRecord record;
    while (reader.next(record) == pel::transfer::CsvReader::Status::Record) {
        QStringList cells;
        for (int i = 0; i < record.size(); ++i)
            cells << record.text(i);
        rows << cells;
    }
    return rows;
}

} // namespace

class TestGenerator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fillsTheTables();
    void refusesBadSizesAndExistingFiles_data();
    void refusesBadSizesAndExistingFiles();
    void floorsMatchTheReports();
    void importFloorLogsAsTheProgramDoes();

private:
    QVariant scalar(const QString &sql);
    QString launcher() const;

    QTemporaryDir m_dir;
    QString m_previous;
    QString m_path;
};

void TestGenerator::init()
{
    QVERIFY(m_dir.isValid());
    m_previous = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    m_path = m_dir.filePath(QStringLiteral("SISWA.mdb"));
    QFile::remove(m_path);
}

void TestGenerator::cleanup()
{
    pel::dbConnection.close();
    QDir::setCurrent(m_previous);
}

QVariant TestGenerator::scalar(const QString &sql)
{
    QSqlQuery query(pel::dbConnection.database());
    if (!query.exec(sql) || !query.next())
        return {};
    return query.value(0);
}

QString TestGenerator::launcher() const
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/pelitaksa-bench-shell");
}

void TestGenerator::fillsTheTables()
{
    QString error;
    QVERIFY2(pel::bench::generateDatabase(m_path, {12, 5, 3}, &error), qPrintable(error));
    QVERIFY(pel::OpenDatabase().ok());

    QCOMPARE(scalar("select count(*) from SISWA").toInt(), 12);
    QCOMPARE(scalar("select count(*) from Pelajaran").toInt(), 5);
    QCOMPARE(scalar("select count(*) from Nilai").toInt(), 36);
    QCOMPARE(scalar("select min(NIS) || ' ' || max(NIS) from SISWA").toString(), QStringLiteral("0000001 0000012"));
    // Each student: one registration number and three different subjects.
    QCOMPARE(scalar("select count(*) from (select Nis from Nilai group by Nis "
                    "having count(distinct KdMatpel) = 3 and count(distinct Noreg) = 1)")
                 .toInt(),
             12);
    // Every grade joins its student and subject, with the subject's credits.
    QCOMPARE(scalar("select count(*) from Nilai n join SISWA s on s.NIS = n.Nis "
                    "join Pelajaran p on p.KdMatpel = n.KdMatpel and p.SKS = n.SKS")
                 .toInt(),
             36);
    // The derived values are the grading rule's.
    QSqlQuery grades(pel::dbConnection.database());
    QVERIFY(grades.exec("select Nilangka, Nilhu, Bobot, Mutu, Prediket, Ket, SKS from Nilai"));
    while (grades.next()) {
        const pel::Grade grade = pel::GradeForScore(grades.value(0).toDouble());
        QCOMPARE(grades.value(1).toString(), grade.letter);
        QCOMPARE(grades.value(2).toDouble(), double(grade.weight));
        QCOMPARE(grades.value(3).toDouble(), pel::QualityPoints(grade.weight, grades.value(6).toDouble()));
        QCOMPARE(grades.value(4).toString(), grade.predicate);
        QCOMPARE(grades.value(5).toString(), grade.remark);
    }
    QCOMPARE(scalar("select level from t_petugas where userid = 'manager' and password = 'manager123'").toString(),
             QStringLiteral("Manager"));
}

void TestGenerator::refusesBadSizesAndExistingFiles_data()
{
    QTest::addColumn<int>("students");
    QTest::addColumn<int>("subjects");
    QTest::addColumn<int>("grades");
    QTest::addColumn<bool>("fileThere");
    QTest::newRow("more grades than subjects") << 3 << 2 << 3 << false;
    QTest::newRow("no subject") << 3 << 0 << 0 << false;
    QTest::newRow("negative students") << -1 << 2 << 1 << false;
    QTest::newRow("file already there") << 3 << 2 << 1 << true;
}

void TestGenerator::refusesBadSizesAndExistingFiles()
{
    QFETCH(int, students);
    QFETCH(int, subjects);
    QFETCH(int, grades);
    QFETCH(bool, fileThere);
    if (fileThere) {
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    }
    QString error;
    QVERIFY(!pel::bench::generateDatabase(m_path, {students, subjects, grades}, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(QFile::exists(m_path), fileThere);
    if (fileThere) {
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep me"));
    }
}

// The floor texts have the report's lines: as many, and the same header,
// page breaks and rows where the program's cells fit.
void TestGenerator::floorsMatchTheReports()
{
    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
        QSKIP("sqlite3 is not installed");
    QString error;
    QVERIFY2(pel::bench::generateDatabase(m_path, {12, 5, 3}, &error), qPrintable(error));
    QVERIFY(pel::OpenDatabase().ok());

    const struct
    {
        pel::bench::Floor floor;
        pel::reports::ReportResult (*run)(const pel::db::Connection &, const QDate &,
                                          const pel::reports::FileReportOptions &);
        QString floorFile;
        QString reportFile;
        int headerLines; // the first page break follows them and five rows
        int pageBreakLines;
    } reports[] = {
        {pel::bench::Floor::StudentList, pel::reports::writeStudentList, "floor-Data Siswa.txt", "Data Siswa.txt", 8, 9},
        {pel::bench::Floor::IpkList, pel::reports::writeIpkList, "floor-IPK.txt", "IPK.txt", 9, 11},
    };
    for (const auto &report : reports) {
        const pel::reports::ReportResult result = report.run(pel::dbConnection, QDate::currentDate(), {});
        QVERIFY2(result.done(), qPrintable(pel::db::failureMessage(result.result)));
        // Every one of the 12 students has grades: both reports have 12 rows.
        const int rows = 12;
        const pel::bench::ShellRun run = pel::bench::runShell(
            launcher(), m_path, pel::bench::floorScript(report.floor, pel::bench::studentNis(5), rows).text);
        QVERIFY2(run.ok, qPrintable(run.error));
        QVERIFY(run.seconds > 0);
        QVERIFY(run.peakMegabytes > 0);

        QFile floorFile(report.floorFile), reportFile(report.reportFile);
        QVERIFY(floorFile.open(QIODevice::ReadOnly));
        QVERIFY(reportFile.open(QIODevice::ReadOnly));
        const QList<QByteArray> floorLines = floorFile.readAll().split('\n');
        const QList<QByteArray> reportLines = reportFile.readAll().split('\n');
        QCOMPARE(floorLines.size(), reportLines.size());
        // Header, the first page break and the footer are the same text.
        for (int line = 0; line < report.headerLines; ++line)
            QCOMPARE(floorLines.at(line), reportLines.at(line));
        for (int line = report.headerLines + 5; line < report.headerLines + 5 + report.pageBreakLines; ++line)
            QCOMPARE(floorLines.at(line), reportLines.at(line));
        for (qsizetype line = floorLines.size() - 11; line < floorLines.size(); ++line)
            QCOMPARE(floorLines.at(line), reportLines.at(line));
    }
    // The quick floors run as scripts of repeated statements.
    for (pel::bench::Floor floor : {pel::bench::Floor::GradeStatement, pel::bench::Floor::SaveGradeRow,
                                    pel::bench::Floor::StudentLookup, pel::bench::Floor::SearchAll}) {
        const pel::bench::FloorScript script = pel::bench::floorScript(floor, pel::bench::studentNis(5));
        QVERIFY(script.repeats >= 1);
        const pel::bench::ShellRun run = pel::bench::runShell(launcher(), m_path, script.text);
        QVERIFY2(run.ok, qPrintable(run.error));
    }
    // The statistics floors write the tool's CSV figures: the same cells.
    for (const auto &[floor, view] : {std::pair{pel::bench::Floor::StatsSubjects, pel::stats::View::Subjects},
                                      std::pair{pel::bench::Floor::StatsIpk, pel::stats::View::Ipk},
                                      std::pair{pel::bench::Floor::StatsIntake, pel::stats::View::Intake},
                                      std::pair{pel::bench::Floor::StatsInstructors, pel::stats::View::Instructors}}) {
        const pel::bench::ShellRun run =
            pel::bench::runShell(launcher(), m_path, pel::bench::floorScript(floor, QString()).text);
        QVERIFY2(run.ok, qPrintable(run.error));
        pel::stats::Table table;
        QVERIFY(pel::stats::readView(pel::dbConnection, view, {}, &table).ok());
        QFile shell(QStringLiteral("floor-stats.csv"));
        QVERIFY(shell.open(QIODevice::ReadOnly));
        QCOMPARE(csvCells(shell.readAll()), csvCells(pel::stats::csvText(table)));
    }
    // The save's floor takes its rows away again.
    QCOMPARE(scalar("select count(*) from Nilai").toInt(), 36);
}

// The import's floor writes what the program's import writes: the rows and,
// for each, its row in the audit trail.
void TestGenerator::importFloorLogsAsTheProgramDoes()
{
    if (QStandardPaths::findExecutable(QStringLiteral("sqlite3")).isEmpty())
        QSKIP("sqlite3 is not installed");
    QString error;
    QVERIFY2(pel::bench::generateDatabase(m_path, {12, 5, 3}, &error), qPrintable(error));
    QFile csv(m_dir.filePath(QStringLiteral("siswa.csv")));
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write("NIS,NamaSiswa\n9000001,ANI\n9000002,BUDI\n9000003,CICI\n");
    csv.close();
    const QString copy = m_dir.filePath(QStringLiteral("floor.mdb"));
    QVERIFY(QFile::copy(m_path, copy));

    const pel::bench::ShellRun run = pel::bench::runShell(
        launcher(), copy, pel::bench::importFloorScript(csv.fileName(), QStringLiteral("SISWA")));
    QVERIFY2(run.ok, qPrintable(run.error));
    {
        pel::db::Connection floor;
        QVERIFY(floor.open(copy).ok());
        QSqlQuery query(floor.database());
        QVERIFY(query.exec("select count(*), min(kunci), max(kunci) from t_log where tabel = 'SISWA' and aksi = 'insert' "
                           "and userid is null"));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 3);
        QCOMPARE(query.value(1).toString(), QStringLiteral("9000001"));
        QCOMPARE(query.value(2).toString(), QStringLiteral("9000003"));
    }

    // The program's import of the same file into the same database writes as many.
    QVERIFY(pel::OpenDatabase().ok());
    const pel::transfer::ImportReport report =
        pel::transfer::importFile(pel::dbConnection, pel::transfer::Table::Students, csv.fileName(), {});
    QVERIFY(report.accepted());
    QCOMPARE(scalar("select count(*) from t_log where tabel = 'SISWA' and aksi = 'insert'").toInt(), 3);
}

QTEST_GUILESS_MAIN(TestGenerator)
#include "tst_generator.moc"
