// The four report texts compared whole with texts laid out here column by
// column, the report files byte for byte, and the reports' failures.
#include "common/module1.h"
#include "db/recordset.h"
#include "reports/reportstore.h"
#include "db/failure.h"
#include "reports/reportline.h"
#include "reports/reportrunner.h"
#include "reports/reporttext.h"
#include "testsupport.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLocale>
#include <QTest>

using namespace pel;
using namespace pel::reports;

namespace {

const QDate Today(2026, 3, 9);
const QString TodayText = QStringLiteral("09-03-2026");

QString sp(int count)
{
    return QString(count, QLatin1Char(' '));
}

QString rep(char c, int count)
{
    return QString(count, QLatin1Char(c));
}

// A line of at least `width` characters with each text starting at its column.
QString at(int width, std::initializer_list<std::pair<int, QString>> pieces)
{
    QString line = sp(width);
    for (const auto &[column, text] : pieces) {
        if (line.size() < column + text.size())
            line.append(sp(int(column + text.size() - line.size())));
        line.replace(column, text.size(), text);
    }
    return line;
}

// Each line followed by CR LF.
QString lines(const QStringList &list)
{
    QString text;
    for (const QString &line : list)
        text += line + QStringLiteral("\r\n");
    return text;
}

QString decimal(const QString &whole, const QString &fraction)
{
    return whole + QLocale::system().decimalPoint() + fraction;
}

// ---- student list, as laid out column by column ----

const QString StudentHeading = QStringLiteral(
    " NO.   NIS      NM SISWA         TPT LAHIR      TGL LAHIR    ALAMAT                    JENIS KELAMIN    AGAMA"
    "       TGL MASUK   PROG JURUSAN       LEVEL            ASAL                 TELP         ");

QString studentHeader()
{
    return lines({QStringLiteral(" YAYASAN PELITAKSA BUDIMAJU"),
                  QStringLiteral(" Jl Teratai Baruraya No. 12A Lirak telp.(0700) 55501 "), QStringLiteral(" "),
                  sp(61) + QStringLiteral("LAPORAN DATA SISWA YAYASAN PELITAKSA BUDIMAJU "),
                  sp(128) + QStringLiteral("Halaman: 01"), QLatin1Char(' ') + rep('=', 192), StudentHeading,
                  QLatin1Char(' ') + rep('-', 192)});
}

// A student as TestDatabase::addStudent stores it.
QString studentRow(int number, const QString &nis, const QString &name)
{
    return at(197, {{1, QString::number(number)}, {7, nis}, {16, name}, {33, QStringLiteral("JAKARTA")},
                    {48, QStringLiteral("01-02-2000")}, {61, QStringLiteral("JL. MAWAR 1")},
                    {88, QStringLiteral("LAKI-LAKI")}, {104, QStringLiteral("ISLAM")},
                    {116, QStringLiteral("01-07-2020")}, {129, QStringLiteral("KOMPUTER")},
                    {146, QStringLiteral("DASAR")}, {162, QStringLiteral("SMA 1")}, {183, QStringLiteral("0812")}})
           + QStringLiteral("\r\n");
}

QString studentBreak(int rows, const QString &label)
{
    return lines({QLatin1Char(' ') + rep('-', 192),
                  QStringLiteral(" Sub Total= ") + QString::number(rows).leftJustified(7),
                  QLatin1Char(' ') + rep('=', 192), QStringLiteral(" Dipindahkan  "), QStringLiteral(" "),
                  sp(129) + QStringLiteral("Halaman: ") + label, QLatin1Char(' ') + rep('=', 192), StudentHeading,
                  QLatin1Char(' ') + rep('-', 192)});
}

QString studentFooter(int rows)
{
    return lines({QLatin1Char(' ') + rep('-', 192), QStringLiteral(" Total= ") + QString::number(rows).leftJustified(4),
                  QLatin1Char(' ') + rep('=', 192), QStringLiteral(" "),
                  QStringLiteral("    DIBUAT OLEH,") + sp(140) + QStringLiteral("LIRAK,") + TodayText,
                  QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "),
                  QStringLiteral(" ( PETUGAS ENTRI ) ") + sp(139) + QStringLiteral("( PIMPINAN )        ")});
}

QString nisOf(int i)
{
    return QString::number(1000 + i);
}

QString nameOf(int i)
{
    return QStringLiteral("SISWA %1").arg(i, 2, 10, QLatin1Char('0'));
}

// The student list of students 1..count, as addStudents() stores them.
QString expectedStudentList(int count)
{
    QString text = studentHeader();
    for (int i = 1; i <= count; ++i) {
        if (i > 1 && (i - 1) % 5 == 0)
            text += studentBreak(i - 1, QStringLiteral("%1").arg((i - 1) / 5 + 1, 2, 10, QLatin1Char('0')));
        text += studentRow(i, nisOf(i), nameOf(i));
    }
    return text + studentFooter(count);
}

// Students 1..count, stored in reverse so that the list has to sort them.
void addStudents(test::TestDatabase &db, int count)
{
    for (int i = count; i >= 1; --i)
        db.addStudent(nisOf(i), nameOf(i));
}

// ---- grade statement and certificate ----

void addGrade(const QString &nis, const QString &code, double sks, double score,
              const QString &letter, double weight, double points, const QString &remark)
{
    test::execShared(QStringLiteral("insert into Nilai values ('R1', '09-03-2026', ?, 'KOMPUTER', 'DASAR', ?, ?, "
                                    "'BUDI', ?, ?, ?, ?, ?, '')"),
                     {nis, code, sks, score, letter, weight, points, remark});
}

QString statementHeader(const QString &name, const QString &nis)
{
    return lines({sp(45) + QStringLiteral("MIRSA PELITAKSA"), sp(40) + QStringLiteral("YAYASAN PELITAKSA BUDIMAJU"),
                  sp(28) + QStringLiteral("Jl. Teratai Baruraya No 12A Lirak Telp. (0700)55501"),
                  QLatin1Char(' ') + rep('_', 104), QStringLiteral(" "),
                  sp(40) + QStringLiteral("Nama Siswa    : ") + name, sp(40) + QStringLiteral("NIS           : ") + nis,
                  sp(40) + QStringLiteral("Jenjang Study : DASAR"), sp(40) + QStringLiteral("Program Study : KOMPUTER"),
                  QLatin1Char(' ') + rep('-', 104),
                  QStringLiteral(" No.   Kode      Mata Pelajaran        SKS    Nilai Angka    Nilai Huruf     Bobot"
                                 "    Mutu    Keterangan       "),
                  QLatin1Char(' ') + rep('-', 104)});
}

QString statementRow(int number, const QString &code, const QString &subject, const QString &sks,
                     const QString &score, const QString &letter, const QString &weight, const QString &points,
                     const QString &remark)
{
    return at(114, {{1, QString::number(number)}, {7, code}, {17, subject}, {39, sks}, {49, score}, {65, letter},
                    {79, weight}, {86, points}, {94, remark}})
           + QStringLiteral("\r\n");
}

QString statementFooter(const QString &totals, const QString &index)
{
    return lines({QLatin1Char(' ') + rep('-', 104), totals, QLatin1Char(' ') + rep('-', 104), QStringLiteral(" "),
                  QStringLiteral(" Indeks Prestasi : ") + index, sp(76) + QStringLiteral("Lirak,") + TodayText,
                  sp(81) + QStringLiteral("Diketahui,"), QString(), QString(), QString()})
           + sp(79) + QStringLiteral("( PIMPINAN )");
}

QString certificateHeader(const QString &nis, const QString &name)
{
    const QString boxRule = QStringLiteral(" +") + rep('-', 71) + QLatin1Char('+');
    return lines({sp(33) + QStringLiteral("MIRSA PELITAKSA"), sp(27) + QStringLiteral("YAYASAN PELITAKSA BUDIMAJU"),
                  sp(13) + QStringLiteral("Jl. Teratai Baruraya No. 12A Lirak Telp.(0700)55501"),
                  sp(31) + QStringLiteral("S E R T I F I K A T   "), QLatin1Char(' ') + rep('_', 72), QStringLiteral(" "),
                  sp(29) + QStringLiteral("NIS           : ") + nis, sp(29) + QStringLiteral("Nama Siswa    : ") + name,
                  sp(29) + QStringLiteral("Jenjang Study : DASAR"), sp(29) + QStringLiteral("Program Study : KOMPUTER"),
                  boxRule,
                  QStringLiteral(" |  No.     Mata Pelajaran           Nilai Angka        Keterangan       |"),
                  boxRule});
}

QString certificateRow(int number, const QString &subject, const QString &score, const QString &remark)
{
    return at(74, {{0, QStringLiteral(" |")}, {4, QString::number(number)}, {12, subject}, {39, score}, {56, remark},
                   {72, QStringLiteral(" |")}})
           + QStringLiteral("\r\n");
}

QString certificateFooter(const QString &totalLine)
{
    const QString boxRule = QStringLiteral(" +") + rep('-', 71) + QLatin1Char('+');
    return lines({boxRule, totalLine, boxRule, QStringLiteral(" "), QStringLiteral(" "),
                  sp(41) + QStringLiteral("Lirak,") + TodayText, sp(45) + QStringLiteral("Diketahui,"), QString(),
                  QString(), QString()})
           + sp(43) + QStringLiteral("( PIMPINAN )");
}

// ---- IPK list ----

QString ipkHeader()
{
    return lines({QStringLiteral(" YAYASAN PELITAKSA BUDIMAJU"),
                  QStringLiteral(" JL Teratai Baruraya No. 12A Lirak Telp.(0700)55501"), QStringLiteral(" "),
                  QStringLiteral(" "), sp(24) + QStringLiteral("DAFTAR IPK SISWA "),
                  sp(117) + QStringLiteral("Halaman: 01"), QLatin1Char(' ') + rep('=', 62),
                  QStringLiteral(" NO.  NIS      NM SISWA          SKS       BOBOT     IPK       "),
                  QLatin1Char(' ') + rep('-', 62)});
}

QString ipkLine(int number, const QString &nis, const QString &name, const QString &credits, const QString &points,
                const QString &ipk)
{
    return at(56, {{1, QString::number(number)}, {6, nis}, {15, name}, {34, credits}, {44, points}, {52, ipk}})
           + QStringLiteral("\r\n");
}

QString ipkBreak(int rows, const QString &label)
{
    return lines({QLatin1Char(' ') + rep('-', 62), QStringLiteral(" Sub Total= ") + QString::number(rows).leftJustified(7),
                  QLatin1Char(' ') + rep('=', 62), QStringLiteral(" Dipindahkan  "), QStringLiteral(" "),
                  QStringLiteral(" "), QStringLiteral(" "), sp(40) + QStringLiteral("Halaman: ") + label,
                  QLatin1Char(' ') + rep('=', 62),
                  QStringLiteral(" NO.  NIS      NM SISWA          SKS       NILAI     IPK       "),
                  QLatin1Char(' ') + rep('-', 62)});
}

QString ipkFooterText(int rows)
{
    return lines({QLatin1Char(' ') + rep('-', 62), QStringLiteral(" Total= ") + QString::number(rows).leftJustified(4),
                  QLatin1Char(' ') + rep('=', 62), QStringLiteral(" "),
                  QStringLiteral("  PETUGAS ENTRI,") + sp(29) + QStringLiteral("Lirak,") + TodayText,
                  sp(49) + QStringLiteral("Diketahui,"), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "),
                  QStringLiteral(" ( WIDARSAN )      ") + sp(29) + QStringLiteral("( PIMPINAN )      ")});
}

// Twelve students, each with credits 8; the first three with quality-point
// sums 23, 22.5 and 23.5, the others 16.
double pointsOf(int i)
{
    return i == 1 ? 23 : i == 2 ? 22.5 : i == 3 ? 23.5 : 16;
}

QString expectedIpkList()
{
    const QStringList shown{QStringLiteral("23"), QStringLiteral("22"), QStringLiteral("24")};
    const QStringList ipk{decimal(QStringLiteral("2"), QStringLiteral("88")), decimal(QStringLiteral("2"), QStringLiteral("75")),
                          decimal(QStringLiteral("3"), QStringLiteral("00"))};
    QString text = ipkHeader();
    for (int i = 1; i <= 12; ++i) {
        if (i == 6)
            text += ipkBreak(5, QStringLiteral("02"));
        if (i == 11)
            text += ipkBreak(10, QStringLiteral("03"));
        text += ipkLine(i, nisOf(i), nameOf(i), QStringLiteral("8"), i <= 3 ? shown.at(i - 1) : QStringLiteral("16"),
                        i <= 3 ? ipk.at(i - 1) : decimal(QStringLiteral("2"), QStringLiteral("00")));
    }
    return text + ipkFooterText(12);
}

// The twelve students of the IPK list, each credit sum split over two grades.
void addIpkStudents(test::TestDatabase &db)
{
    db.addSubject(QStringLiteral("M1"));
    db.addSubject(QStringLiteral("M2"));
    for (int i = 1; i <= 12; ++i) {
        db.addStudent(nisOf(i), nameOf(i));
        addGrade(nisOf(i), QStringLiteral("M1"), 5, 80, QStringLiteral("A"), 4, pointsOf(i) - 10, QStringLiteral("Baik"));
        addGrade(nisOf(i), QStringLiteral("M2"), 3, 70, QStringLiteral("B"), 3, 10, QStringLiteral("Baik"));
    }
    db.addStudent(QStringLiteral("9999"), QStringLiteral("TANPA NILAI"));
}

QByteArray fileBytes(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT
private slots:
    void pageLabels_data();
    void pageLabels();
    void wholeSums_data();
    void wholeSums();
    void reportLineKeepsColumns_data();
    void reportLineKeepsColumns();

    void studentList_data();
    void studentList();
    void studentListCutsLongTexts();
    void storedNanAndInfPrintAsStored();
    void gradeStatement();
    void gradeStatementWithoutCredits();
    void certificate();
    void ipkList();
    void ipkListDecisions_data();
    void ipkListDecisions();

    void runnersAndFiles();
    void fileHoldsReportSoFar();
    void fileFailures_data();
    void fileFailures();
    void plantedLinkIsReplaced_data();
    void plantedLinkIsReplaced();
    void noDataAndQuotedNis();
};

void TestReports::pageLabels_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("label");
    QTest::newRow("1") << 1 << QStringLiteral("01");
    QTest::newRow("2") << 2 << QStringLiteral("02");
    QTest::newRow("9") << 9 << QStringLiteral("09");
    QTest::newRow("10") << 10 << QStringLiteral("10");
    QTest::newRow("123") << 123 << QStringLiteral("123");
}

void TestReports::pageLabels()
{
    QFETCH(int, page);
    QFETCH(QString, label);
    QCOMPARE(pageLabel(page), label);
}

void TestReports::wholeSums_data()
{
    QTest::addColumn<QVariant>("sum");
    QTest::addColumn<QVariant>("whole");
    QTest::newRow("22.5 to 22") << QVariant(22.5) << QVariant(qint64(22));
    QTest::newRow("23.5 to 24") << QVariant(23.5) << QVariant(qint64(24));
    QTest::newRow("22.6 to 23") << QVariant(22.6) << QVariant(qint64(23));
    QTest::newRow("beyond 16 bits") << QVariant(40000.5) << QVariant(qint64(40000));
    QTest::newRow("missing") << QVariant() << QVariant();
}

void TestReports::wholeSums()
{
    QFETCH(QVariant, sum);
    QFETCH(QVariant, whole);
    QCOMPARE(wholeSum(sum), whole);
}

void TestReports::reportLineKeepsColumns_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    using Fit = ReportLine::Fit;
    QTest::newRow("fits")
        << ReportLine().text(u" ").left(5, QStringLiteral("###"), 2, Fit::Whole).left(QStringLiteral("AB"), QStringLiteral("####"), 1, Fit::Text).str()
        << QStringLiteral(" 5    AB   ");
    QTest::newRow("missing value keeps its cell")
        << ReportLine().left(QVariant(), QStringLiteral("###"), 1, Fit::Whole).text(u"X").str() << QStringLiteral("    X");
    QTest::newRow("text cut before next column")
        << ReportLine().left(QStringLiteral("ABCDEFGH"), QStringLiteral("####"), 2, Fit::Text).text(u"X").str()
        << QStringLiteral("ABCDE X");
    QTest::newRow("text spills into its gap")
        << ReportLine().left(QStringLiteral("ABCDE"), QStringLiteral("####"), 3, Fit::Text).text(u"X").str()
        << QStringLiteral("ABCDE  X");
    QTest::newRow("number takes its gap")
        << ReportLine().left(12345, QStringLiteral("###"), 3, Fit::Whole).text(u"X").str() << QStringLiteral("12345 X");
    QTest::newRow("number pushes the line")
        << ReportLine().left(1234567, QStringLiteral("###"), 2, Fit::Whole).left(1, QStringLiteral("#"), 1, Fit::Whole).str()
        << QStringLiteral("1234567 1 ");
    QTest::newRow("right-aligned grows left")
        << ReportLine().text(u"T:").spaces(4).right(12345, QStringLiteral("###"), 2).text(u"|").str()
        << QStringLiteral("T:  12345  |");
    QTest::newRow("numeric text is not cut")
        << ReportLine().left(QStringLiteral("123456"), QStringLiteral("###"), 1, Fit::Text).str()
        << QStringLiteral("123456 ");
}

void TestReports::reportLineKeepsColumns()
{
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(line, expected);
}

void TestReports::studentList_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("5: no page break") << 5;
    QTest::newRow("6: one page break") << 6;
    QTest::newRow("11: two page breaks") << 11;
}

void TestReports::studentList()
{
    QFETCH(int, count);
    test::TestDatabase db;
    addStudents(db, count);
    const ReportResult result = writeStudentList(dbConnection, Today);
    QVERIFY2(result.done(), qPrintable(db::failureMessage(result.result)));
    QCOMPARE(result.text, expectedStudentList(count));
}

void TestReports::studentListCutsLongTexts()
{
    test::TestDatabase db;
    const QString name = QStringLiteral("ABCDEFGHIJKLMNOPQRST");        // 20: cut to 15
    const QString place = QStringLiteral("PANGKALAN BALAI RAYA");      // 20: cut to 14, one space stays
    const QString address = QStringLiteral("JL. PANGERAN DIPONEGORO NO. 117 B"); // cut to 25
    const QString school = QStringLiteral("SMA NEGERI 1 KOTA LIRAK UTARA"); // cut to 20, one space stays
    QVERIFY(test::execShared(QStringLiteral("insert into SISWA values ('77', ?, ?, '1-2-2000', ?, 'PEREMPUAN', "
                                            "'KATOLIK', '01-07-2020', 'AKUNTANSI', 'MAHIR', ?, NULL)"),
                             {name, place, address, school}));
    const QString row = at(197, {{1, QStringLiteral("1")}, {7, QStringLiteral("77")}, {16, name.left(15)},
                                 {33, place.left(14)}, {48, QStringLiteral("01-02-2000")}, {61, address.left(25)},
                                 {88, QStringLiteral("PEREMPUAN")}, {104, QStringLiteral("KATOLIK")},
                                 {116, QStringLiteral("01-07-2020")}, {129, QStringLiteral("AKUNTANSI")},
                                 {146, QStringLiteral("MAHIR")}, {162, school.left(20)}});
    QCOMPARE(row.size(), 197);
    QCOMPARE(writeStudentList(dbConnection, Today).text, studentHeader() + row + QStringLiteral("\r\n") + studentFooter(1));
}

void TestReports::storedNanAndInfPrintAsStored()
{
    // Texts that a number parser would take for "not a number" or infinity
    // are a name and a place here.
    test::TestDatabase db;
    db.exec(QStringLiteral("insert into SISWA values ('12', 'NAN', 'inf', '1-2-2000', 'Infinity', 'LAKI-LAKI', "
                           "'ISLAM', '01-07-2020', 'NaN', '-INF', 'SMA 1', '0812')"));
    const ReportResult result = writeStudentList(dbConnection, Today);
    QVERIFY2(result.done(), qPrintable(db::failureMessage(result.result)));
    QVERIFY2(result.text.contains(QStringLiteral(" 12       NAN") + sp(14) + QStringLiteral("inf") + sp(12)
                                  + QStringLiteral("01-02-2000   Infinity")),
             qPrintable(result.text));
    QVERIFY(result.text.contains(QStringLiteral("01-07-2020   NaN") + sp(14) + QStringLiteral("-INF")));
}

void TestReports::gradeStatement()
{
    test::TestDatabase db;
    db.addStudent(QStringLiteral("2001"), QStringLiteral("BUDI SANTOSO"));
    db.addSubject(QStringLiteral("M1"), QStringLiteral("MATEMATIKA"), 2);
    db.addSubject(QStringLiteral("M2"), QStringLiteral("BAHASA INGGRIS DASAR LANJUT"), 3);
    db.addSubject(QStringLiteral("M3"), QStringLiteral("FISIKA"), 3);
    addGrade(QStringLiteral("2001"), QStringLiteral("M1"), 2, 85, QStringLiteral("A"), 4, 8, QStringLiteral("Sangat Baik"));
    addGrade(QStringLiteral("2001"), QStringLiteral("M2"), 3, 70.4, QStringLiteral("B"), 3, 9, QStringLiteral("Baik"));
    addGrade(QStringLiteral("2001"), QStringLiteral("M3"), 3, 60, QStringLiteral("C"), 2, 6, QStringLiteral("Cukup"));

    const QString expected =
        statementHeader(QStringLiteral("BUDI SANTOSO"), QStringLiteral("2001"))
        + statementRow(1, QStringLiteral("M1"), QStringLiteral("MATEMATIKA"), QStringLiteral("2"), QStringLiteral("85"),
                       QStringLiteral("A"), QStringLiteral("4"), QStringLiteral("8"), QStringLiteral("Sangat Baik"))
        + statementRow(2, QStringLiteral("M2"), QStringLiteral("BAHASA INGGRIS DASAR"), QStringLiteral("3"),
                       QStringLiteral("70"), QStringLiteral("B"), QStringLiteral("3"), QStringLiteral("9"), QStringLiteral("Baik"))
        + statementRow(3, QStringLiteral("M3"), QStringLiteral("FISIKA"), QStringLiteral("3"), QStringLiteral("60"),
                       QStringLiteral("C"), QStringLiteral("2"), QStringLiteral("6"), QStringLiteral("Cukup"))
        + statementFooter(QStringLiteral(" Total   :       ") + sp(20) + QStringLiteral("  8") + sp(37)
                              + QStringLiteral("  9") + sp(5) + QStringLiteral(" 23") + sp(10),
                          decimal(QStringLiteral("2"), QStringLiteral("88")));
    const ReportResult result = runGradeStatement(dbConnection, QStringLiteral("2001"), Today);
    QVERIFY(result.done());
    QCOMPARE(result.text, expected);
}

void TestReports::gradeStatementWithoutCredits()
{
    // Credits of 0 leave no index to compute: a dash stands in its cell.
    // Totals of 1000 and more grow to the left and keep the columns after them.
    test::TestDatabase db;
    db.addStudent(QStringLiteral("2002"), QStringLiteral("ANI"));
    db.addSubject(QStringLiteral("M1"), QStringLiteral("PRAKTIK"), 0);
    addGrade(QStringLiteral("2002"), QStringLiteral("M1"), 0, 90, QStringLiteral("A"), 1234, 0, QStringLiteral("Sangat Baik"));
    const QString expected =
        statementHeader(QStringLiteral("ANI"), QStringLiteral("2002"))
        + at(114, {{1, QStringLiteral("1")}, {7, QStringLiteral("M1")}, {17, QStringLiteral("PRAKTIK")},
                   {49, QStringLiteral("90")}, {65, QStringLiteral("A")}, {79, QStringLiteral("1234")},
                   {94, QStringLiteral("Sangat Baik")}})
        + QStringLiteral("\r\n")
        + statementFooter(QStringLiteral(" Total   :       ") + sp(20) + QStringLiteral("  0") + sp(36)
                              + QStringLiteral("1234") + sp(5) + QStringLiteral("  0") + sp(10),
                          QStringLiteral("   -"));
    const ReportResult result = runGradeStatement(dbConnection, QStringLiteral("2002"), Today);
    QVERIFY(result.done());
    QCOMPARE(result.text, expected);
}

void TestReports::certificate()
{
    test::TestDatabase db;
    db.addStudent(QStringLiteral("2001"), QStringLiteral("BUDI SANTOSO"));
    db.addSubject(QStringLiteral("M1"), QStringLiteral("MATEMATIKA"), 2);
    db.addSubject(QStringLiteral("M2"), QStringLiteral("FISIKA"), 3);
    addGrade(QStringLiteral("2001"), QStringLiteral("M1"), 2, 79.6, QStringLiteral("B"), 3, 6, QStringLiteral("Memuaskan"));
    addGrade(QStringLiteral("2001"), QStringLiteral("M2"), 3, 79.6, QStringLiteral("B"), 3, 9, QStringLiteral("Sangat Memuaskan"));
    // Shown 80 and 80; the total adds the stored 79.6 and 79.6.
    const QString expected = certificateHeader(QStringLiteral("2001"), QStringLiteral("BUDI SANTOSO"))
                             + certificateRow(1, QStringLiteral("MATEMATIKA"), QStringLiteral("80"), QStringLiteral("Memuaskan"))
                             + certificateRow(2, QStringLiteral("FISIKA"), QStringLiteral("80"), QStringLiteral("Sangat Memuaskan"))
                             + certificateFooter(QStringLiteral(" | Total   :       ") + sp(20) + QStringLiteral("159")
                                                 + sp(30) + QStringLiteral(" |"));
    const ReportResult result = runCertificate(dbConnection, QStringLiteral("2001"), Today);
    QVERIFY(result.done());
    QCOMPARE(result.text, expected);

    // A dozen subjects reach a total of 1000: it grows to the left inside the box.
    for (int i = 3; i <= 13; ++i) {
        db.addSubject(QStringLiteral("X%1").arg(i), QStringLiteral("MATPEL %1").arg(i));
        addGrade(QStringLiteral("2001"), QStringLiteral("X%1").arg(i), 2, 90, QStringLiteral("A"), 4, 8, QStringLiteral("Sangat Baik"));
    }
    const QString many = runCertificate(dbConnection, QStringLiteral("2001"), Today).text;
    QVERIFY(many.contains(QStringLiteral("\r\n | Total   :       ") + sp(19) + QStringLiteral("1149") + sp(30)
                          + QStringLiteral(" |\r\n")));
}

void TestReports::ipkList()
{
    test::TestDatabase db;
    addIpkStudents(db);
    const ReportResult result = writeIpkList(dbConnection, Today);
    QVERIFY2(result.done(), qPrintable(db::failureMessage(result.result)));
    QCOMPARE(result.text, expectedIpkList());
}

void TestReports::ipkListDecisions_data()
{
    QTest::addColumn<QVariant>("credits");
    QTest::addColumn<QVariant>("points");
    QTest::addColumn<QString>("row");
    QTest::newRow("no credits: no index") << QVariant(0.0) << QVariant(12.0)
                                         << ipkLine(1, QStringLiteral("5"), QStringLiteral("A"), QString(), QStringLiteral("12"), QStringLiteral("-"));
    QTest::newRow("missing sums") << QVariant() << QVariant()
                                  << ipkLine(1, QStringLiteral("5"), QStringLiteral("A"), QString(), QString(), QStringLiteral("-"));
    QTest::newRow("beyond 16 bits, columns kept")
        << QVariant(35000.0) << QVariant(70000.4)
        << ipkLine(1, QStringLiteral("5"), QStringLiteral("A"), QStringLiteral("35000"), QStringLiteral("70000"),
                   decimal(QStringLiteral("2"), QStringLiteral("00")));
    QTest::newRow("name of 15 fits its gap")
        << QVariant(4.0) << QVariant(8.0)
        << ipkLine(1, QStringLiteral("5"), QStringLiteral("A"), QStringLiteral("4"), QStringLiteral("8"),
                   decimal(QStringLiteral("2"), QStringLiteral("00")));
}

void TestReports::ipkListDecisions()
{
    QFETCH(QVariant, credits);
    QFETCH(QVariant, points);
    QFETCH(QString, row);
    QCOMPARE(ipkRow(IpkEntry{QStringLiteral("5"), QStringLiteral("A"), credits, points}, 0), row);
    const QString longName = QStringLiteral("ABCDEFGHIJKLMNOPQ");
    QCOMPARE(ipkRow(IpkEntry{QStringLiteral("5"), longName, 4.0, 8.0}, 0),
             ipkLine(1, QStringLiteral("5"), longName.left(15), QStringLiteral("4"), QStringLiteral("8"),
                     decimal(QStringLiteral("2"), QStringLiteral("00"))));
}

void TestReports::runnersAndFiles()
{
    test::TestDatabase db;
    addStudents(db, 11);
    ReportResult result = writeStudentList(dbConnection, Today);
    QVERIFY2(result.done(), qPrintable(db::failureMessage(result.result)));
    QCOMPARE(result.text, expectedStudentList(11));
    QCOMPARE(fileBytes(QStringLiteral("Data Siswa.txt")), (expectedStudentList(11) + QStringLiteral("\r\n")).toUtf8());

    test::TestDatabase db2;
    addIpkStudents(db2);
    result = writeIpkList(dbConnection, Today);
    QVERIFY2(result.done(), qPrintable(db::failureMessage(result.result)));
    QCOMPARE(result.text, expectedIpkList());
    QCOMPARE(fileBytes(QStringLiteral("IPK.txt")), (expectedIpkList() + QStringLiteral("\r\n")).toUtf8());
}

void TestReports::fileHoldsReportSoFar()
{
    // While a report is written its file keeps the previous whole report and
    // nothing partial lies in the folder; the new file takes the old one's
    // place only when complete, readable by its owner only.
    test::TestDatabase db;
    addStudents(db, 6);
    QVERIFY(writeStudentList(dbConnection, Today).done());
    const QByteArray previous = fileBytes(QStringLiteral("Data Siswa.txt"));
    QCOMPARE(previous, (expectedStudentList(6) + QStringLiteral("\r\n")).toUtf8());
    const QStringList folder = QDir().entryList(QDir::Files);
    for (int i = 7; i <= 11; ++i)
        db.addStudent(nisOf(i), nameOf(i));

    QList<QByteArray> named;
    QList<QStringList> listed;
    QList<int> reported;
    Progress progress;
    int total = 0;
    progress.started = [&](int count) { total = count; };
    progress.rowWritten = [&](int rows) {
        reported << rows;
        named << fileBytes(QStringLiteral("Data Siswa.txt"));
        QStringList files = QDir().entryList(QDir::Files);
        files.removeIf([](const QString &name) { return name.startsWith(QLatin1String("Data Siswa.txt.")); });
        listed << files;
    };
    const ReportResult result = writeStudentList(dbConnection, Today, {progress});
    QVERIFY(result.done());
    QCOMPARE(total, 11);
    QCOMPARE(reported, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    for (int i = 0; i < named.size(); ++i) {
        QCOMPARE(named.at(i), previous);
        QCOMPARE(listed.at(i), folder);
    }
    QCOMPARE(fileBytes(QStringLiteral("Data Siswa.txt")), (result.text + QStringLiteral("\r\n")).toUtf8());
    QCOMPARE(QDir().entryList(QDir::Files), folder);
    QCOMPARE(QFile::permissions(QStringLiteral("Data Siswa.txt")) & 0x0777,
             QFileDevice::ReadUser | QFileDevice::WriteUser);
}

void TestReports::fileFailures_data()
{
    QTest::addColumn<bool>("ipk");
    QTest::newRow("student list") << false;
    QTest::newRow("IPK list") << true;
}

void TestReports::fileFailures()
{
    // A folder in the way: the report cannot take its name; nothing is left behind.
    QFETCH(bool, ipk);
    test::TestDatabase db;
    addIpkStudents(db);
    const QString name = ipk ? IpkListFileName : StudentListFileName;
    QVERIFY(QDir().mkdir(name));
    const ReportResult result = ipk ? writeIpkList(dbConnection, Today) : writeStudentList(dbConnection, Today);
    QCOMPARE(result.result.origin, db::Result::Origin::File);
    QVERIFY(result.text.isEmpty());
    const QString error = db::failureMessage(result.result);
    QVERIFY2(error.contains(QLatin1Char('"') + name + QLatin1Char('"')), qPrintable(error));
    QCOMPARE(QDir().entryList({name + QStringLiteral(".*")}), QStringList());

    // The same report runs once the file can be written.
    QVERIFY(QDir().rmdir(name));
    QVERIFY((ipk ? writeIpkList(dbConnection, Today) : writeStudentList(dbConnection, Today)).done());
}

void TestReports::plantedLinkIsReplaced_data()
{
    QTest::addColumn<bool>("ipk");
    QTest::addColumn<QString>("target");
    QTest::newRow("student list, link to a file") << false << QStringLiteral("korban.txt");
    QTest::newRow("IPK list, link to a file") << true << QStringLiteral("korban.txt");
    QTest::newRow("student list, link to /dev/full") << false << QStringLiteral("/dev/full");
}

void TestReports::plantedLinkIsReplaced()
{
    QFETCH(bool, ipk);
    QFETCH(QString, target);
    test::TestDatabase db;
    addIpkStudents(db);
    const QString name = ipk ? IpkListFileName : StudentListFileName;
    if (!target.startsWith(QLatin1Char('/'))) {
        QFile victim(target);
        QVERIFY(victim.open(QIODevice::WriteOnly));
        victim.write("tetap");
    } else if (!QFile::exists(target)) {
        QSKIP("this system has no /dev/full");
    }
    QVERIFY(QFile::link(target, name));
    const ReportResult result = ipk ? writeIpkList(dbConnection, Today) : writeStudentList(dbConnection, Today);
    QVERIFY2(result.done(), qPrintable(db::failureMessage(result.result)));
    QVERIFY(!QFileInfo(name).isSymLink());
    QCOMPARE(fileBytes(name), (result.text + QStringLiteral("\r\n")).toUtf8());
    if (!target.startsWith(QLatin1Char('/')))
        QCOMPARE(fileBytes(target), QByteArray("tetap"));
}

void TestReports::noDataAndQuotedNis()
{
    test::TestDatabase db;
    QCOMPARE(writeStudentList(dbConnection, Today).result.kind, db::Result::Kind::NotFound);
    QCOMPARE(writeIpkList(dbConnection, Today).result.kind, db::Result::Kind::NotFound);
    QVERIFY(!QFile::exists(StudentListFileName));
    QVERIFY(!QFile::exists(IpkListFileName));

    db.addStudent(QStringLiteral("O'1"), QStringLiteral("O'NEIL"));
    db.addStudent(QStringLiteral("2"), QStringLiteral("DUA"));
    db.addSubject(QStringLiteral("M1"), QStringLiteral("MATEMATIKA"), 2);
    addGrade(QStringLiteral("O'1"), QStringLiteral("M1"), 2, 85, QStringLiteral("A"), 4, 8, QStringLiteral("Sangat Baik"));
    addGrade(QStringLiteral("2"), QStringLiteral("M1"), 2, 60, QStringLiteral("C"), 2, 4, QStringLiteral("Cukup"));

    QCOMPARE(store::gradeStatementSql(QStringLiteral("O'1")).right(18), QStringLiteral("(siswa.nis='O''1')"));
    ReportResult result = runGradeStatement(dbConnection, QStringLiteral("O'1"), Today);
    QVERIFY2(result.done(), qPrintable(db::failureMessage(result.result)));
    QVERIFY(result.text.startsWith(statementHeader(QStringLiteral("O'NEIL"), QStringLiteral("O'1"))));
    result = runCertificate(dbConnection, QStringLiteral("o'1"), Today);
    QVERIFY2(result.done(), qPrintable(db::failureMessage(result.result)));
    QVERIFY(result.text.contains(QStringLiteral("NIS           : O'1\r\n")));
    // A typed condition is only a NIS that no student has.
    QCOMPARE(runGradeStatement(dbConnection, QStringLiteral("x' or '1'='1"), Today).result.kind, db::Result::Kind::NotFound);
    QCOMPARE(runCertificate(dbConnection, QStringLiteral("9"), Today).result.kind, db::Result::Kind::NotFound);

    // The IPK list sums the quoted student's grades too.
    result = writeIpkList(dbConnection, Today);
    QVERIFY(result.done());
    QVERIFY(result.text.contains(ipkLine(2, QStringLiteral("O'1"), QStringLiteral("O'NEIL"), QStringLiteral("2"),
                                         QStringLiteral("8"), decimal(QStringLiteral("4"), QStringLiteral("00")))));

    // A refused statement brings the database's reason.
    db.exec(QStringLiteral("drop table Nilai"));
    result = writeIpkList(dbConnection, Today);
    QCOMPARE(result.result.origin, db::Result::Origin::Database);
    const QString error = db::failureMessage(result.result);
    QVERIFY2(error.contains(QStringLiteral("nilai"), Qt::CaseInsensitive), qPrintable(error));
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
