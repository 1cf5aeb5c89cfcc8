// The administration tool's "stats" command: its CSV of the subjects and of
// the IPK equals figures worked out here from the same database (counts,
// letters and means from the grade rows, the indices from the IPK list
// report's own text), also for one programme, on either engine; the other
// two views equal the store's own; wrong command lines are refused.
#include "common/module1.h"
#include "grades/grading.h"
#include "stats/statstext.h"
#include "testsupport.h"

#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace pel;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runTool(const test::TestDatabase &db, const QStringList &args)
{
    Run run;
    QTemporaryDir folder;
    QProcess process;
    process.setWorkingDirectory(folder.path());
    process.start(qEnvironmentVariable("PELITAKSA_ADMIN"), QStringList{QStringLiteral("--database"), db.databaseArgument()} + args);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

// 30 students in programmes and levels written in several letter cases,
// three grades each; some codes and letters in small letters, some quality
// points with a half (the IPK list brings their sums to the even neighbour),
// and one student whose credits add up to 0 (a "-" in the list).
void fill(test::TestDatabase &db)
{
    const QStringList programmes{"KOMPUTER", "komputer", "DESAIN", "AKUNTANSI", "Komputer"};
    const QStringList levels{"DASAR", "dasar", "MAHIR"};
    const QList<std::pair<QString, double>> subjects{{"KOM01", 2}, {"KOM02", 3}, {"DSG01", 2}, {"AKT01", 4}};
    for (const auto &[code, credits] : subjects)
        db.addSubject(code, QStringLiteral("MATPEL ") + code, credits);
    const QString studentSql = QStringLiteral("insert into SISWA values (?, ?, 'LIRAK', '01-02-2000', 'JL', 'LAKI-LAKI', "
                                              "'ISLAM', ?, ?, ?, 'SMA', '08')");
    const QString gradeSql = QStringLiteral("insert into Nilai (Noreg, TglProses, Nis, Program, Jenjang, KdMatpel, SKS, "
                                            "Tentor, Nilangka, Nilhu, Bobot, Mutu, Prediket, Ket) values (?, ?, ?, ?, ?, "
                                            "?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (int i = 1; i <= 30; ++i) {
        const QString nis = QStringLiteral("T%1").arg(i, 2, 10, QLatin1Char('0'));
        const QString programme = programmes.at(i % programmes.size());
        const QString level = levels.at(i % levels.size());
        test::execShared(studentSql, {nis, QStringLiteral("SISWA %1").arg(i),
                            QStringLiteral("%1-%2-2025").arg(1 + i % 28, 2, 10, QLatin1Char('0')).arg(1 + i % 12, 2, 10, QLatin1Char('0')),
                            programme, level});
        for (int k = 0; k < 3; ++k) {
            const auto &[code, credits] = subjects.at((i + k) % subjects.size());
            const double score = 35 + (i * 17 + k * 29) % 66 + (i % 4 == 0 ? 0.25 : 0) + (k == 2 ? 0.5 : 0);
            const Grade grade = GradeForScore(score);
            const double points = QualityPoints(grade.weight, credits) + (i % 8 == 3 ? 0.5 : 0);
            test::execShared(gradeSql, {QString::number(i), QStringLiteral("%1-03-2026").arg(10 + k), nis, programme, level,
                              i % 6 == 1 && k == 0 ? code.toLower() : code, credits, QStringLiteral("BUDI"), score,
                              i % 7 == 0 ? grade.letter.toLower() : grade.letter, grade.weight, points,
                              grade.predicate, grade.remark});
        }
    }
    test::execShared(studentSql, {QStringLiteral("T99"), QStringLiteral("TANPA SKS"), QStringLiteral("01-01-2026"),
                        QStringLiteral("DESAIN"), QStringLiteral("MAHIR")});
    test::execShared(gradeSql, {QStringLiteral("99"), QStringLiteral("01-03-2026"), QStringLiteral("T99"), QStringLiteral("DESAIN"),
                      QStringLiteral("MAHIR"), QStringLiteral("KOM01"), 0.0, QStringLiteral("BUDI"), 30.0,
                      QStringLiteral("E"), 0, 0.0, QStringLiteral("Worst"), QStringLiteral("Failed")});
}

// Hundredths as the CSV writes them.
QString decimal(qint64 hundredths)
{
    return QStringLiteral("%1.%2").arg(hundredths / 100).arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

// A positive sum over a count, halves up.
qint64 halvesUp(qint64 sum, qint64 count)
{
    return (2 * sum + count) / (2 * count);
}

QByteArray csv(const QStringList &lines)
{
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

// The subjects' figures from the grade rows, for one programme or every one.
QByteArray expectedSubjects(const QString &programme)
{
    struct Figures
    {
        qint64 rows = 0, hundredths = 0, passed = 0;
        QMap<QString, qint64> letters;
    };
    QMap<QString, Figures> byCode;
    for (const QVariantList &row :
         test::sharedRows(QStringLiteral("select KdMatpel, Nilangka, Nilhu, Ket, Program from Nilai"))) {
        if (!programme.isEmpty() && row.at(4).toString().compare(programme, Qt::CaseInsensitive) != 0)
            continue;
        Figures &figures = byCode[row.at(0).toString().toUpper()];
        ++figures.rows;
        figures.hundredths += qRound64(row.at(1).toDouble() * 100);
        ++figures.letters[row.at(2).toString().toUpper()];
        figures.passed += row.at(3).toString().compare(QStringLiteral("Lulus"), Qt::CaseInsensitive) == 0;
    }
    QStringList lines{QStringLiteral("KdMatpel,NmMatpel,Jumlah,RataRata,A,B,C,D,E,Lulus")};
    // Upper-case codes sort as their small letters do here: letters and digits only.
    for (auto it = byCode.constBegin(); it != byCode.constEnd(); ++it) {
        QStringList cells{it.key(), QStringLiteral("MATPEL ") + it.key(), QString::number(it->rows),
                          decimal(halvesUp(it->hundredths, it->rows))};
        for (const char *letter : {"A", "B", "C", "D", "E"})
            cells << QString::number(it->letters.value(QLatin1String(letter)));
        cells << QString::number(it->passed);
        lines << cells.join(QLatin1Char(','));
    }
    return csv(lines);
}

// Every student's index as the IPK list report prints it: the digits of
// its last cell, 0 where that is blank or "-".
QMap<QString, qint64> printedIndices(const test::TestDatabase &db)
{
    QMap<QString, qint64> indices;
    const Run report = runTool(db, {QStringLiteral("report"), QStringLiteral("ipk")});
    [&] { QCOMPARE(report.exitCode, 0); }();
    for (const QString &line : QString::fromUtf8(report.out).split(QStringLiteral("\r\n"))) {
        bool row = false;
        line.mid(1, 4).trimmed().toInt(&row);
        if (!row)
            continue;
        qint64 hundredths = 0;
        for (const QChar c : line.mid(52))
            if (c.isDigit())
                hundredths = hundredths * 10 + c.digitValue();
        indices.insert(line.mid(6, 7).trimmed(), hundredths);
    }
    return indices;
}

QByteArray expectedIpk(const test::TestDatabase &db, const QString &programme)
{
    const QMap<QString, qint64> indices = printedIndices(db);
    struct Figures
    {
        QString programme, level;
        qint64 students = 0, hundredths = 0;
        qint64 bands[6] = {};
    };
    QMap<QString, Figures> byClass;
    for (const QVariantList &row : test::sharedRows(QStringLiteral("select NIS, ProgamJurusan, LevelTahap from SISWA"))) {
        if (!indices.contains(row.at(0).toString()))
            continue;
        if (!programme.isEmpty() && row.at(1).toString().compare(programme, Qt::CaseInsensitive) != 0)
            continue;
        Figures &figures = byClass[row.at(1).toString().toUpper() + QLatin1Char('|') + row.at(2).toString().toUpper()];
        figures.programme = row.at(1).toString().toUpper();
        figures.level = row.at(2).toString().toUpper();
        const qint64 ipk = indices.value(row.at(0).toString());
        ++figures.students;
        figures.hundredths += ipk;
        ++figures.bands[ipk < 100 ? 0 : ipk < 200 ? 1 : ipk < 250 ? 2 : ipk < 300 ? 3 : ipk < 350 ? 4 : 5];
    }
    QStringList lines{QStringLiteral("Program,Level,Jumlah,RataRataIPK,0.00-0.99,1.00-1.99,2.00-2.49,2.50-2.99,"
                                     "3.00-3.49,3.50-4.00")};
    for (const Figures &figures : byClass) {
        QStringList cells{figures.programme, figures.level, QString::number(figures.students),
                          decimal(halvesUp(figures.hundredths, figures.students))};
        for (const qint64 band : figures.bands)
            cells << QString::number(band);
        lines << cells.join(QLatin1Char(','));
    }
    return csv(lines);
}

} // namespace

class TestAdminStats : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void figuresWorkedOutHere_data();
    void figuresWorkedOutHere();
    void otherViewsAreTheStores();
    void tableByDefault();
    void wrongCommandLines_data();
    void wrongCommandLines();
};

void TestAdminStats::initTestCase()
{
    const QString tool = qEnvironmentVariable("PELITAKSA_ADMIN");
    QVERIFY2(!tool.isEmpty() && QFile::exists(tool), "PELITAKSA_ADMIN must name the built pelitaksa-admin");
}

void TestAdminStats::figuresWorkedOutHere_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<QString>("programme");
    QTest::newRow("subjects") << "subjects" << QString();
    QTest::newRow("subjects of a programme") << "subjects" << "komputer";
    QTest::newRow("ipk") << "ipk" << QString();
    QTest::newRow("ipk of a programme") << "ipk" << "Komputer";
}

void TestAdminStats::figuresWorkedOutHere()
{
    QFETCH(QString, view);
    QFETCH(QString, programme);
    test::TestDatabase db;
    fill(db);
    QStringList args{QStringLiteral("stats"), view, QStringLiteral("--csv")};
    if (!programme.isEmpty())
        args << QStringLiteral("--program") << programme;
    const Run run = runTool(db, args);
    QVERIFY2(run.exitCode == 0, run.err.constData());
    const QByteArray expected = view == QLatin1String("ipk") ? expectedIpk(db, programme) : expectedSubjects(programme);
    QVERIFY(expected.count("\r\n") > 2);
    QCOMPARE(run.out, expected);
}

void TestAdminStats::otherViewsAreTheStores()
{
    test::TestDatabase db;
    fill(db);
    stats::Filter filter;
    filter.level = QStringLiteral("DASAR");
    filter.from = QDate(2025, 3, 1);
    filter.to = QDate(2026, 3, 10);
    for (const auto &[name, view] : {std::pair{"intake", stats::View::Intake},
                                     std::pair{"instructors", stats::View::Instructors}}) {
        stats::Table table;
        QVERIFY(stats::readView(dbConnection, view, filter, &table).ok());
        QVERIFY(!table.rows.isEmpty());
        const Run run = runTool(db, {QStringLiteral("stats"), QLatin1String(name), QStringLiteral("--level"),
                                     QStringLiteral("dasar"), QStringLiteral("--from"), QStringLiteral("01-03-2025"),
                                     QStringLiteral("--to"), QStringLiteral("10-03-2026"), QStringLiteral("--csv")});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(run.out, stats::csvText(table));
    }
}

void TestAdminStats::tableByDefault()
{
    test::TestDatabase db;
    fill(db);
    const Run run = runTool(db, {QStringLiteral("stats"), QStringLiteral("instructors"), QStringLiteral("--from"),
                                 QStringLiteral("11-03-2026")});
    QVERIFY2(run.exitCode == 0, run.err.constData());
    const QStringList lines = QString::fromUtf8(run.out).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.value(0), QStringLiteral(" STATISTIK NILAI - NILAI PER INSTRUKTUR"));
    QCOMPARE(lines.value(1), QStringLiteral(" Program: (Semua)   Level: (Semua)   Periode: sejak 11-03-2026"));
    QCOMPARE(lines.value(3), QStringLiteral(" Tentor  Jumlah  Jumlah %  RataRata  Lulus  Lulus %"));
    // Every row of the 11th and 12th: all BUDI's.
    QVERIFY2(lines.value(5).startsWith(QStringLiteral(" BUDI        60     100")), qPrintable(lines.value(5)));
}

void TestAdminStats::wrongCommandLines_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("says");
    QTest::newRow("no view") << QStringList{"stats"} << "statistik mana?";
    QTest::newRow("unknown view") << QStringList{"stats", "nilai"} << "statistik tidak dikenal: nilai";
    QTest::newRow("no such day") << QStringList{"stats", "subjects", "--from", "31-02-2026"}
                                 << "tanggal tidak dikenal: 31-02-2026";
    QTest::newRow("period backwards") << QStringList{"stats", "ipk", "--from", "02-02-2026", "--to", "01-02-2026"}
                                      << "--from jatuh sesudah --to";
    QTest::newRow("value missing") << QStringList{"stats", "intake", "--program"} << "--program butuh nilai";
    QTest::newRow("unknown option") << QStringList{"stats", "subjects", "--json"} << "argumen tidak dikenal: --json";
}

void TestAdminStats::wrongCommandLines()
{
    QFETCH(QStringList, args);
    QFETCH(QString, says);
    test::TestDatabase db;
    const Run run = runTool(db, args);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(QString::fromUtf8(run.err).contains(says), run.err.constData());
    QVERIFY(run.out.isEmpty());
}

QTEST_MAIN(TestAdminStats)
#include "tst_adminstats.moc"
