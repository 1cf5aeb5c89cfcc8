// Export of the three tables to CSV and Excel, and import with its row checks.
#include "common/module1.h"
#include "db/connection.h"
#include "db/failure.h"
#include "db/schema.h"
#include "pgtestsupport.h"
#include "spreadsheetfiles.h"
#include "testsupport.h"
#include "transfer/csv.h"
#include "transfer/exporter.h"
#include "transfer/importer.h"
#include "transfer/xlsxreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

#include <minizip/zip.h>

#include <memory>

using namespace pel;
using transfer::Table;

class TestTransfer : public QObject
{
    Q_OBJECT
private slots:
    void roundTripIntoEmptyDatabase_data();
    void roundTripIntoEmptyDatabase();
    void excelSheetKeepsTextsAsText();
    void badFileRefusedWhole_data();
    void badFileRefusedWhole();
    void gradesTakeDerivedValuesFromTheRule();
    void studentsUpperCasedAndUpdated();
    void filesKeepFormulasAsTextAndNeverGoThroughALink();
    void spreadsheetFilesComeHome_data();
    void spreadsheetFilesComeHome();
    void spreadsheetDamageRefused_data();
    void spreadsheetDamageRefused();
    void headerColumns_data();
    void headerColumns();
    void workbookCellsReadByType();
    void exportedWorkbookKeepsTypes();

private:
    void fill(test::TestDatabase &db);
    void fillRecords(test::TestDatabase &db);
};

// The order rows were stored in: SQLite's rowid, a server's Urutan.
static QString storedOrder()
{
    return test::onPostgres() ? QStringLiteral("Urutan") : QStringLiteral("rowid");
}

static QList<QVariantList> tableRows(const db::Connection &conn, const QString &table)
{
    QSqlQuery query(conn.database());
    if (!query.exec(QStringLiteral("select %1 from %2 order by %3")
                        .arg(db::schemaColumns(table).join(QStringLiteral(", ")), table, storedOrder())))
        qWarning("%s", qPrintable(query.lastError().text()));
    QList<QVariantList> rows;
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i);
        rows << row;
    }
    return rows;
}

static QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

static bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Students, subjects and grades as the screens store them, with what a file
// must carry through: leading zeros, quotes, separators and line breaks
// inside values, non-ASCII names, empty cells, fractions.
void TestTransfer::fill(test::TestDatabase &db)
{
    db.exec(QStringLiteral(
        "insert into SISWA values ('0012', 'JOS\u00c9 \u00d1U\u00d1EZ', 'BANDUNG', '01-02-2004', 'JL. A, NO. 5; RT 1', "
        "'LAKI-LAKI', 'ISLAM', '05-01-2026', 'KOMPUTER', 'DASAR', 'SMA 1', '0812000111')"));
    db.exec(QStringLiteral(
        "insert into SISWA values ('A-7', 'O\"\"NEIL D''ARCY', '', '', 'BARIS 1\nBARIS 2', '', '', '__-__-____', "
        "'DESAIN', 'MAHIR', '', '')"));
    db.exec(QStringLiteral("insert into SISWA values ('0013', '\u015e\u00dcKR\u00dc', 'MEDAN', '09-09-2004', '', "
                           "'PEREMPUAN', 'HINDU', '06-01-2026', 'KOMPUTER', 'DASAR', '', '+62 812')"));
    db.exec(QStringLiteral("insert into Pelajaran values ('KOM01', 'PENGANTAR', '02-01-2026', 'LAB 1', 'IR. SUTRISNO', 2.5)"));
    db.exec(QStringLiteral("insert into Pelajaran values ('007', 'DESAIN \"DASAR\"', '', '', '', 3)"));
    db.exec(QStringLiteral("insert into Nilai values ('41', '15-06-2026', '0012', 'KOMPUTER', 'DASAR', 'KOM01', 2.5, "
                           "'IR. SUTRISNO', 65.25, 'C', 2, 5, 'Good', 'Lulus')"));
    db.exec(QStringLiteral("insert into Nilai values ('41', '15-06-2026', '0012', 'KOMPUTER', 'DASAR', '007', 3, "
                           "'', 100, 'A', 4, 12, 'Excellent', 'Lulus')"));
    db.exec(QStringLiteral("insert into Nilai values ('0007', '', 'A-7', 'DESAIN', 'MAHIR', 'KOM01', 2, "
                           "'LAMA', 39, 'E', 0, 0, 'Worst', 'Failed')"));
}

void TestTransfer::roundTripIntoEmptyDatabase_data()
{
    QTest::addColumn<char>("separator");
    QTest::newRow("comma") << ',';
    QTest::newRow("semicolon") << ';';
}

void TestTransfer::roundTripIntoEmptyDatabase()
{
    QFETCH(char, separator);
    test::TestDatabase source;
    fill(source);
    // An empty database beside it: a second file, or a second database on the server.
    std::unique_ptr<test::PgTestDatabase> server;
    db::DatabaseTarget empty;
    if (test::onPostgres()) {
        server = std::make_unique<test::PgTestDatabase>(true, false);
        empty = server->target();
    } else {
        empty.filePath = source.folder() + QStringLiteral("/kosong.mdb");
        QVERIFY(db::createDatabase(empty.filePath).ok());
    }
    db::Connection target;
    QVERIFY(target.open(empty).ok());

    // Subjects and students first: the grades refer to them.
    for (Table table : {Table::Subjects, Table::Students, Table::Grades}) {
        const QString file = source.folder() + QLatin1Char('/') + transfer::sqlTableName(table) + QStringLiteral(".csv");
        const db::Result exported = transfer::exportTable(dbConnection, table, file, separator);
        QVERIFY2(exported.ok(), qPrintable(exported.reason));
        QVERIFY(readFile(file).startsWith(transfer::Utf8Bom));
        if (table == Table::Subjects)
            QVERIFY(readFile(file).contains(separator + QByteArray(separator == ';' ? "\"2,5\"" : "2.5") + "\r\n"));
        const transfer::ImportReport report = transfer::importFile(target, table, file, {});
        QVERIFY2(report.accepted(), qPrintable(report.problems.isEmpty() ? report.result.reason
                                                                          : transfer::problemText(report.problems.first())));
        QCOMPARE(report.inserted, exported.rowsAffected);
        const QString name = transfer::sqlTableName(table);
        QCOMPARE(tableRows(target, name), tableRows(dbConnection, name));
        // Exported again, the copy gives the same file.
        const QString again = file + QStringLiteral(".again.csv");
        QVERIFY(transfer::exportTable(target, table, again, separator).ok());
        QCOMPARE(readFile(again), readFile(file));
    }
}

void TestTransfer::excelSheetKeepsTextsAsText()
{
    test::TestDatabase db;
    fill(db);
    const QString path = db.folder() + QStringLiteral("/siswa.xlsx");
    QVERIFY(writeFile(path, "an older file"));
    const db::Result result = transfer::exportTable(dbConnection, Table::Subjects, path);
    QVERIFY2(result.ok(), qPrintable(result.reason));
    QCOMPARE(QDir(db.folder()).entryList({QStringLiteral("siswa.xlsx*")}, QDir::Files),
             QStringList{QStringLiteral("siswa.xlsx")}); // no temporary file left

    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, QStringLiteral("xl/worksheets/sheet1.xml")});
    QVERIFY(unzip.waitForFinished(30000));
    QCOMPARE(unzip.exitCode(), 0);
    const QString xml = QString::fromUtf8(unzip.readAllStandardOutput());

    // A text cell holds its text as written; a number cell its number.
    auto cell = [&xml](const QString &ref) {
        const QRegularExpression re(QStringLiteral("<c r=\"%1\"[^>]*>.*?</c>").arg(ref));
        return re.match(xml).captured(0);
    };
    QVERIFY2(cell("A1").contains("t=\"inlineStr\"") && cell("A1").contains(">KdMatpel<"), qPrintable(cell("A1")));
    QVERIFY2(cell("F1").contains(">SKS<"), qPrintable(cell("F1")));
    QVERIFY2(cell("A3").contains("t=\"inlineStr\"") && cell("A3").contains(">007<"), qPrintable(cell("A3")));
    QVERIFY2(cell("B3").contains("DESAIN &quot;DASAR&quot;") || cell("B3").contains("DESAIN \"DASAR\""),
             qPrintable(cell("B3")));
    QVERIFY2(!cell("F2").contains("t=") && cell("F2").contains("<v>2.5</v>"), qPrintable(cell("F2")));
    QVERIFY2(xml.contains(QRegularExpression("<pane [^>]*ySplit=\"1\"[^>]*state=\"frozen\"")), qPrintable(xml));
    QVERIFY2(xml.contains("<autoFilter ref=\"A1:F3\""), qPrintable(xml));
}

void TestTransfer::badFileRefusedWhole_data()
{
    QTest::addColumn<int>("table");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QList<int>>("lines");

    QTest::newRow("students")
        << int(Table::Students)
        << QByteArray("nis;NAMASISWA;TglLahir\r\n"
                      "2001;ANI;01-02-2004\r\n"   // 2: good
                      "2002;BUDI;31-02-2004\r\n"  // 3: no such day
                      "2001;CICI;2004-02-01\r\n"  // 4: NIS already on line 2
                      "2003;\"DODI;01-01-2004\r\n" // 5: quote never closed
                      "2004;EKA;1-1-2004\r\n"      // 6: not dd-mm-yyyy
                      "0012;FANI;01-01-2004\r\n"   // 7: already stored
                      "2005;GITA\r\n")             // 8: a cell short
        << QList<int>{3, 4, 5, 6, 7, 8};
    QTest::newRow("grades")
        << int(Table::Grades)
        << QByteArray("Nis,KdMatpel,Nilangka,TglProses\n"
                      "0012,KOM01,80,01-07-2026\n"      // 2: good
                      "0012,KOM01,8O,01-07-2026\n"      // 3: not a number
                      "0013,XYZ99,70,01-07-2026\n"      // 4: unknown subject
                      "9999,KOM01,70,01-07-2026\n"      // 5: unknown student
                      "0013,KOM01,70,32-07-2026\n"      // 6: bad date
                      "0013,\"KOM01,70,01-07-2026\n"    // 7: quote never closed
                      "0013,007,1.000,5,01-07-2026\n")  // 8: a cell too many
        << QList<int>{3, 4, 5, 6, 7, 8};
    // The check is the write: what the database or the numbering would
    // refuse, the dry run refuses too.
    QTest::newRow("subjects: negative credit units")
        << int(Table::Subjects) << QByteArray("KdMatpel,NmMatpel,SKS\nM9,BARU,3\nM8,MINUS,-5\n") << QList<int>{3};
    QTest::newRow("subjects: new ones without credit units")
        << int(Table::Subjects) << QByteArray("KdMatpel,NmMatpel\nM9,BARU\nkom01,DIUBAH\n") << QList<int>{2, 3};
    QTest::newRow("grades: one pair twice, letter case aside")
        << int(Table::Grades) << QByteArray("Noreg,Nis,KdMatpel,Nilangka\n50,0012,KOM01,80\n50,0012,kom01,70\n")
        << QList<int>{3};
    QTest::newRow("grades: another student's number")
        << int(Table::Grades)
        << QByteArray("Noreg,Nis,KdMatpel,Nilangka\n51,0012,KOM01,80\n51,0013,007,70\n41,0013,KOM01,60\n")
        << QList<int>{3, 4};
    QTest::newRow("not UTF-8: the line of the first foreign byte")
        << int(Table::Students) << QByteArray("NIS,NamaSiswa\n1,ANI\n2,JOS\xC9\n") << QList<int>{3};
}

void TestTransfer::badFileRefusedWhole()
{
    QFETCH(int, table);
    QFETCH(QByteArray, data);
    QFETCH(QList<int>, lines);
    test::TestDatabase db;
    fill(db);
    const QString name = transfer::sqlTableName(Table(table));
    const QList<QVariantList> before = tableRows(dbConnection, name);

    for (bool dryRun : {true, false}) {
        transfer::ImportOptions options;
        options.dryRun = dryRun;
        const transfer::ImportReport report = transfer::importCsv(dbConnection, Table(table), data, options);
        QVERIFY(!report.accepted());
        QCOMPARE(report.result.kind, db::Result::Kind::BadValue);
        QList<int> refused;
        for (const transfer::Problem &problem : report.problems) {
            QVERIFY(!problem.reason.isEmpty());
            refused << problem.line;
        }
        QCOMPARE(refused, lines);
        QCOMPARE(tableRows(dbConnection, name), before);
    }
    // The report as a CSV file names the same lines.
    const transfer::ImportReport report = transfer::importCsv(dbConnection, Table(table), data, {});
    const QByteArray csv = transfer::problemsCsv(report.problems);
    QVERIFY(csv.contains("Baris,Kolom,Nilai,Alasan\r\n"));
    for (int line : lines)
        QVERIFY2(csv.contains("\r\n" + QByteArray::number(line) + ','), csv.constData());
}

void TestTransfer::gradesTakeDerivedValuesFromTheRule()
{
    test::TestDatabase db;
    fill(db);
    test::StandIn clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
    db.addStudent(QStringLiteral("0099"));
    db.exec(QStringLiteral("update SISWA set ProgamJurusan = 'AKUNTANSI', LevelTahap = 'DASAR' where NIS = '0099'"));
    // Stored registrations: 41 and 0007; the last row's is 0007, so the next drawn is 8.
    const QByteArray file("Noreg,Nis,KdMatpel,Nilangka,Nilhu,Mutu\n"
                          ",0013,KOM01,\"79,5\",A,99\n" // the file's letter and points are ignored
                          ",0099,KOM01,85,,\n"
                          ",0013,007,60,,\n"
                          "9,0099,007,45,,\n");
    const transfer::ImportReport report = transfer::importCsv(dbConnection, Table::Grades, file, {});
    QVERIFY2(report.accepted(), qPrintable(report.problems.isEmpty() ? report.result.reason
                                                                      : transfer::problemText(report.problems.first())));
    const QList<QVariantList> rows = db.rows(QStringLiteral(
        "select Noreg, TglProses, Nis, Program, Jenjang, KdMatpel, SKS, Tentor, Nilangka, Nilhu, Bobot, Mutu, Prediket, "
        "Ket from Nilai where %1 > 3 order by %1").arg(storedOrder()));
    QCOMPARE(rows.size(), 4);
    // One new number per student, 9 skipped because the file uses it.
    const QVariantList first{"8", "07-12-2026", "0013", "KOMPUTER", "DASAR", "KOM01", 2.5, "IR. SUTRISNO",
                             79.5, "A", 4.0, 10.0, "Excellent", "Lulus"};
    QCOMPARE(rows[0], first);
    QCOMPARE(rows[1].mid(0, 3), (QVariantList{"10", "07-12-2026", "0099"}));
    QCOMPARE(rows[1].mid(3, 2), (QVariantList{"AKUNTANSI", "DASAR"}));
    QCOMPARE(rows[1].mid(9), (QVariantList{"A", 4.0, 10.0, "Excellent", "Lulus"}));
    QCOMPARE(rows[2].mid(0, 1), (QVariantList{"8"}));
    QCOMPARE(rows[2].mid(6, 2), (QVariantList{3.0, ""}));
    QCOMPARE(rows[3].mid(0, 1), (QVariantList{"9"}));
    QCOMPARE(rows[3].mid(9), (QVariantList{"D", 1.0, 3.0, "Bad", "Failed"}));

    // A registration of another student is refused; one already holding the
    // subject is refused unless updated.
    QCOMPARE(transfer::importCsv(dbConnection, Table::Grades, "Noreg,Nis,KdMatpel,Nilangka\n41,0013,KOM01,70\n", {})
                 .problems.value(0).column,
             QStringLiteral("Noreg"));
    const QByteArray again("Noreg,Nis,KdMatpel,Nilangka\n41,0012,KOM01,70\n");
    QCOMPARE(transfer::importCsv(dbConnection, Table::Grades, again, {}).problems.size(), 1);
    transfer::ImportOptions update;
    update.update = true;
    const transfer::ImportReport updated = transfer::importCsv(dbConnection, Table::Grades, again, update);
    QVERIFY(updated.accepted());
    QCOMPARE(updated.updated, 1);
    QCOMPARE(db.rows(QStringLiteral("select Nilangka, Nilhu, Mutu from Nilai where Noreg = '41' and KdMatpel = 'KOM01'")),
             (QList<QVariantList>{{70.0, "B", 7.5}}));
}

void TestTransfer::studentsUpperCasedAndUpdated()
{
    test::TestDatabase db;
    fill(db);
    const QByteArray file("\xEF\xBB\xBFNis,NamaSiswa,TglLahir,Alamat\r\n"
                          "ab-1,jos\xC3\xA9 budi,2004-03-12,jl. mawar\r\n");
    transfer::ImportReport report = transfer::importCsv(dbConnection, Table::Students, file, {});
    QVERIFY(report.accepted());
    QCOMPARE(db.rows(QStringLiteral("select NIS, NamaSiswa, TglLahir, Alamat, TelpHp from SISWA where NIS = 'ab-1'")),
             (QList<QVariantList>{{"ab-1", QStringLiteral("JOS\u00c9 BUDI"), "12-03-2004", "JL. MAWAR", ""}}));

    // Stored key (in other letter case): refused, or with update only the
    // file's columns change.
    const QByteArray change("NIS;Alamat\nAB-1;jl. melati\n");
    report = transfer::importCsv(dbConnection, Table::Students, change, {});
    QCOMPARE(report.problems.size(), 1);
    QCOMPARE(report.problems[0].line, 2);
    transfer::ImportOptions update;
    update.update = true;
    report = transfer::importCsv(dbConnection, Table::Students, change, update);
    QVERIFY(report.accepted());
    QCOMPARE(report.updated, 1);
    QCOMPARE(db.rows(QStringLiteral("select NIS, NamaSiswa, Alamat from SISWA where NIS = 'ab-1'")),
             (QList<QVariantList>{{"ab-1", QStringLiteral("JOS\u00c9 BUDI"), "JL. MELATI"}}));
}

// The CSV export and the errors file: a text a spreadsheet would run as a
// formula is written as a text and comes back unchanged; a link planted at
// the file's name is replaced, never written through, and the file is its
// owner's alone.
void TestTransfer::filesKeepFormulasAsTextAndNeverGoThroughALink()
{
    test::TestDatabase db;
    const QStringList names{QStringLiteral("=HYPERLINK(\"HTTP://X\",\"Y\")"), QStringLiteral("@SUM(A1)"),
                            QStringLiteral("+1+1"), QStringLiteral("-2"), QStringLiteral("'=A1"),
                            QStringLiteral("\tTAB"), QStringLiteral("O'NEIL")};
    for (int i = 0; i < names.size(); ++i)
        QVERIFY(db.exec(QStringLiteral("insert into SISWA (NIS, NamaSiswa) values ('F%1', %2)")
                            .arg(i)
                            .arg(QLatin1Char('\'') + QString(names.at(i)).replace(QLatin1Char('\''), QStringLiteral("''"))
                                 + QLatin1Char('\''))));
    QVERIFY(writeFile(QStringLiteral("korban.txt"), "tetap"));
    QVERIFY(QFile::link(QStringLiteral("korban.txt"), QStringLiteral("siswa.csv")));
    QVERIFY(QFile::link(QStringLiteral("tidak-ada.txt"), QStringLiteral("masalah.csv")));

    const db::Result exported = transfer::exportTable(dbConnection, Table::Students, QStringLiteral("siswa.csv"));
    QVERIFY2(exported.ok(), qPrintable(db::failureMessage(exported)));
    QVERIFY(!QFileInfo(QStringLiteral("siswa.csv")).isSymLink());
    QCOMPARE(readFile(QStringLiteral("korban.txt")), QByteArray("tetap"));
    QCOMPARE(QFile::permissions(QStringLiteral("siswa.csv")) & 0x0777, QFileDevice::ReadUser | QFileDevice::WriteUser);
    const QByteArray csv = readFile(QStringLiteral("siswa.csv"));
    for (const char *cell : {"F0,\"'=HYPERLINK(", "F1,'@SUM(A1)", "F2,'+1+1", "F3,'-2", "F4,''=A1", "F5,'\tTAB",
                             "F6,O'NEIL,"})
        QVERIFY2(csv.contains(cell), cell);

    // Imported back, every name is as it was.
    QVERIFY(db.exec(QStringLiteral("delete from SISWA")));
    const transfer::ImportReport report =
        transfer::importFile(dbConnection, Table::Students, QStringLiteral("siswa.csv"), {});
    QVERIFY2(report.accepted(), qPrintable(db::failureMessage(report.result)));
    QStringList stored;
    for (const QVariantList &row : db.rows(QStringLiteral("select NamaSiswa from SISWA order by NIS")))
        stored << row.value(0).toString();
    QCOMPARE(stored, names);

    const db::Result written = transfer::writeProblemsFile(
        QStringLiteral("masalah.csv"), {{2, QStringLiteral("NamaSiswa"), QStringLiteral("=1+1"), QStringLiteral("x")}});
    QVERIFY2(written.ok(), qPrintable(db::failureMessage(written)));
    QVERIFY(!QFileInfo(QStringLiteral("masalah.csv")).isSymLink());
    QVERIFY(!QFile::exists(QStringLiteral("tidak-ada.txt")));
    QCOMPARE(QFile::permissions(QStringLiteral("masalah.csv")) & 0x0777, QFileDevice::ReadUser | QFileDevice::WriteUser);
    QVERIFY(readFile(QStringLiteral("masalah.csv")).contains("2,NamaSiswa,'=1+1,x"));
}

// The rows the spreadsheet files were exported from.
void TestTransfer::fillRecords(test::TestDatabase &db)
{
    const QStringList statements = test::spreadsheetRecords();
    QVERIFY(!statements.isEmpty());
    for (const QString &statement : statements)
        QVERIFY2(db.exec(statement), qPrintable(statement));
}

static QString firstProblem(const transfer::ImportReport &report)
{
    return report.problems.isEmpty() ? db::failureMessage(report.result) : transfer::problemText(report.problems.first());
}

void TestTransfer::spreadsheetFilesComeHome_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("table");
    QTest::addColumn<int>("rows");
    // Exports saved again by the spreadsheet: workbooks keep text as text,
    // dates as dates and numbers as numbers; a workbook saved as CSV keeps
    // its text cells as written.
    QTest::newRow("students.xlsx") << "students.xlsx" << int(Table::Students) << 4;
    QTest::newRow("subjects.xlsx") << "subjects.xlsx" << int(Table::Subjects) << 2;
    QTest::newRow("grades.xlsx") << "grades.xlsx" << int(Table::Grades) << 3;
    QTest::newRow("students.xlsx saved as CSV") << "students-from-xlsx.csv" << int(Table::Students) << 4;
}

void TestTransfer::spreadsheetFilesComeHome()
{
    QFETCH(QString, file);
    QFETCH(int, table);
    QFETCH(int, rows);
    test::TestDatabase db;
    fillRecords(db);
    const QString name = transfer::sqlTableName(Table(table));
    const QList<QVariantList> before = tableRows(dbConnection, name);
    QCOMPARE(before.size(), rows);

    transfer::ImportOptions update;
    update.update = true;
    const transfer::ImportReport report = transfer::importFile(dbConnection, Table(table), test::spreadsheetFile(file), update);
    QVERIFY2(report.accepted(), qPrintable(firstProblem(report)));
    QCOMPARE(report.updated, rows);
    QCOMPARE(report.inserted, 0);
    // Zeros, telephone numbers, dates and decimals as they were.
    QCOMPARE(tableRows(dbConnection, name), before);
}

void TestTransfer::spreadsheetDamageRefused_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("table");
    // "line column: what the reason begins with"
    QTest::addColumn<QStringList>("problems");
    const QString zeros = QStringLiteral("nol di depan hilang (yang tersimpan \"%1\"): disimpan sebagai angka oleh "
                                         "spreadsheet; simpan kolom sebagai teks atau pakai file .xlsx");
    const QString phone = QStringLiteral("nomor telepon tanpa 0 di depan: disimpan sebagai angka oleh spreadsheet");
    const QString unnamed = QStringLiteral("kolom tanpa judul berisi data");
    const QString shortYear = QStringLiteral("tahun ditulis dengan dua angka");
    QTest::newRow("students, ';'") << "students-semicolon.csv" << int(Table::Students)
                                   << QStringList{"2 TelpHp: " + phone, "2 NIS: " + zeros.arg("0012"),
                                                  "3 NIS: " + zeros.arg("0013"), "4 TelpHp: " + phone};
    // The decimal commas stay in their cells: only the keys are wrong.
    const QStringList gradeKeys{"2 Nis: " + zeros.arg("0012"), "3 Nis: " + zeros.arg("0012"),
                                "3 KdMatpel: " + zeros.arg("007"), "4 Noreg: " + zeros.arg("0007")};
    QTest::newRow("grades, ';'") << "grades-semicolon.csv" << int(Table::Grades) << gradeKeys;
    QTest::newRow("grades, ','") << "grades-comma.csv" << int(Table::Grades) << gradeKeys;
    // Decimal commas a spreadsheet split: the cells pushed past the header
    // are named by their place.
    QTest::newRow("grades, ';', decimal commas unquoted")
        << "grades-semicolon-unquoted.csv" << int(Table::Grades)
        << QStringList{"2 ke-17: " + unnamed, "2 ke-18: " + unnamed, "2 ke-19: " + unnamed,
                       "3 Nis: " + zeros.arg("0012"), "3 KdMatpel: " + zeros.arg("007"), "4 ke-17: " + unnamed};
    QTest::newRow("typed dates saved in the short form")
        << "dates-typed.csv" << int(Table::Students)
        << QStringList{"2 TglLahir: " + shortYear, "2 TglMasuk: " + shortYear};
}

void TestTransfer::spreadsheetDamageRefused()
{
    QFETCH(QString, file);
    QFETCH(int, table);
    QFETCH(QStringList, problems);
    test::TestDatabase db;
    fillRecords(db);
    const QString name = transfer::sqlTableName(Table(table));
    const QList<QVariantList> before = tableRows(dbConnection, name);
    for (bool dryRun : {true, false}) {
        transfer::ImportOptions options;
        options.update = true;
        options.dryRun = dryRun;
        const transfer::ImportReport report =
            transfer::importFile(dbConnection, Table(table), test::spreadsheetFile(file), options);
        QCOMPARE(report.result.kind, db::Result::Kind::BadValue);
        QCOMPARE(report.problems.size(), problems.size());
        for (qsizetype i = 0; i < problems.size(); ++i) {
            const transfer::Problem &p = report.problems[i];
            const QString seen = QStringLiteral("%1 %2: %3").arg(p.line).arg(p.column, p.reason);
            QVERIFY2(seen.startsWith(problems[i]), qPrintable(seen));
        }
        QCOMPARE(tableRows(dbConnection, name), before);
    }
}

void TestTransfer::headerColumns_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("problem"); // "line column", empty when accepted
    QTest::newRow("an empty column at the end, as a spreadsheet saves it")
        << QByteArray("NIS;NamaSiswa;TglLahir;\r\n9001;ANI;01/08/2006;\r\n9002;BUDI;1/8/2006\r\n") << QString();
    QTest::newRow("an empty column between") << QByteArray("NIS,,NamaSiswa\n9001,,ANI\n") << QString();
    QTest::newRow("an unnamed column with something below")
        << QByteArray("NIS;NamaSiswa;;\n9001;ANI;;\n9002;BUDI;;X\n") << "3 ke-4";
    QTest::newRow("an unknown column") << QByteArray("NIS;Nama Siswa\n9001;ANI\n") << "1 Nama Siswa";
    QTest::newRow("a cell past the header") << QByteArray("NIS;NamaSiswa\n9001;ANI;X\n") << "2 ";
    QTest::newRow("a cell short of the named columns") << QByteArray("NIS;NamaSiswa;\n9001\n") << "2 ";
}

void TestTransfer::headerColumns()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, problem);
    test::TestDatabase db;
    const transfer::ImportReport report = transfer::importCsv(dbConnection, Table::Students, data, {});
    if (problem.isEmpty()) {
        QVERIFY2(report.accepted(), qPrintable(firstProblem(report)));
        QCOMPARE(db.rows(QStringLiteral("select NIS, NamaSiswa from SISWA order by NIS")).value(0),
                 (QVariantList{"9001", "ANI"}));
        // A date as a spreadsheet shows it is stored as the screens store it.
        if (data.contains("TglLahir"))
            QCOMPARE(db.rows(QStringLiteral("select TglLahir from SISWA order by NIS")),
                     (QList<QVariantList>{{"01-08-2006"}, {"01-08-2006"}}));
        return;
    }
    QCOMPARE(report.problems.size(), 1);
    QCOMPARE(QStringLiteral("%1 %2").arg(report.problems[0].line).arg(report.problems[0].column), problem);
    QVERIFY(!report.problems[0].reason.isEmpty());
}

namespace {

// A workbook written part by part, as spreadsheet programs lay them out:
// sheets named in workbook.xml, found through its relationships.
bool writeWorkbook(const QString &path, const QList<QPair<QString, QByteArray>> &sheets, const QByteArray &strings,
                   const QByteArray &styles, bool date1904 = false)
{
    zipFile zip = zipOpen(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    bool ok = true;
    auto part = [&](const QString &name, const QByteArray &bytes) {
        ok = ok && zipOpenNewFileInZip(zip, name.toUtf8().constData(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                                       Z_DEFLATED, Z_DEFAULT_COMPRESSION) == ZIP_OK
             && zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size())) == ZIP_OK
             && zipCloseFileInZip(zip) == ZIP_OK;
    };
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    part("_rels/.rels", "<Relationships><Relationship Id=\"rId1\" Type=\"" + rel
                            + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    QByteArray book = "<workbook xmlns:r=\"" + rel + "\"><workbookPr date1904=\"" + (date1904 ? "1" : "0")
                      + "\"/><sheets>";
    QByteArray rels = "<Relationships><Relationship Id=\"rS\" Type=\"" + rel
                      + "/sharedStrings\" Target=\"sharedStrings.xml\"/><Relationship Id=\"rT\" Type=\"" + rel
                      + "/styles\" Target=\"/xl/styles.xml\"/>";
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        book += "<sheet name=\"" + sheets[i].first.toUtf8() + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + rel + "/worksheet\" Target=\"worksheets/sheet" + n
                + ".xml\"/>";
        part("xl/worksheets/sheet" + n + ".xml", "<worksheet><sheetData>" + sheets[i].second + "</sheetData></worksheet>");
    }
    part("xl/workbook.xml", book + "</sheets></workbook>");
    part("xl/_rels/workbook.xml.rels", rels + "</Relationships>");
    part("xl/sharedStrings.xml", "<sst>" + strings + "</sst>");
    part("xl/styles.xml", "<styleSheet>" + styles + "</styleSheet>");
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}

// Styles: 0 general, 1 a date (built-in 14), 2 zeros to four digits, 3 a
// date with a locale and escaped separators, 4 text.
const QByteArray Styles = "<numFmts><numFmt numFmtId=\"164\" formatCode=\"0000\"/>"
                          "<numFmt numFmtId=\"165\" formatCode=\"[$-421]DD\\/MM\\/YYYY\"/></numFmts>"
                          "<cellStyleXfs><xf numFmtId=\"14\"/></cellStyleXfs>"
                          "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"14\"/><xf numFmtId=\"164\"/>"
                          "<xf numFmtId=\"165\"/><xf numFmtId=\"49\"/></cellXfs>";

} // namespace

// Every kind of cell a spreadsheet writes, read by its type: texts shared
// or inline, numbers, logical values, dates, formulas and their errors.
void TestTransfer::workbookCellsReadByType()
{
    test::TestDatabase db;
    fill(db); // 0012 and 0013 are stored
    const QString path = db.folder() + QStringLiteral("/siswa.xlsx");
    const QByteArray strings =
        "<si><t>NIS</t></si><si><t>NamaSiswa</t></si><si><t>TglLahir</t></si><si><t>Alamat</t></si>"
        "<si><t>TelpHp</t></si><si><t>ani</t></si><si><t>B-6</t></si>"
        "<si><r><t>JO</t></r><r><t xml:space=\"preserve\">S\xC3\x89 B</t></r><rPh><t>x</t></rPh></si>"
        "<si><t>12/03/2004</t></si><si><t>BARIS 1_x000D_\nBARIS 2</t></si>";
    const QByteArray siswa =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"inlineStr\"><is><t>NamaSiswa</t></is></c>"
        "<c r=\"C1\" t=\"s\"><v>2</v></c><c r=\"D1\" t=\"s\"><v>3</v></c><c r=\"E1\" t=\"s\"><v>4</v></c></row>"
        // 2: a code typed as a number, a date cell, a logical value, a phone as text
        "<row r=\"2\"><c r=\"A2\"><v>123</v></c><c r=\"B2\" t=\"s\"><v>5</v></c><c r=\"C2\" s=\"1\"><v>38930</v></c>"
        "<c r=\"D2\" t=\"b\"><v>1</v></c><c r=\"E2\" t=\"inlineStr\"><is><t>081234567890</t></is></c></row>"
        // 3: a number shown with its zeros is the stored key
        "<row r=\"3\"><c r=\"A3\" s=\"2\"><v>12</v></c><c r=\"D3\" t=\"s\"><v>9</v></c></row>"
        // 4: a key that lost its zeros; 5: a fraction as a key
        "<row r=\"4\"><c r=\"A4\" s=\"4\"><v>13</v></c></row>"
        "<row r=\"5\"><c r=\"A5\"><v>74.5</v></c></row>"
        // 6: a phone turned into a number; 7: a formula's error
        "<row r=\"6\"><c r=\"A6\" t=\"s\"><v>6</v></c><c r=\"E6\"><v>81234567890</v></c></row>"
        "<row r=\"7\"><c r=\"A7\" t=\"str\"><v>B-7</v></c><c r=\"D7\" t=\"e\"><f>NA()</f><v>#N/A</v></c></row>"
        // 8: an ISO date cell and a formula's text; 9: a date in a text column
        "<row r=\"8\"><c r=\"A8\" t=\"inlineStr\"><is><t>B-8</t></is></c><c r=\"C8\" t=\"d\"><v>2006-08-01T00:00:00</v></c>"
        "<c r=\"D8\" t=\"str\"><f>UPPER(\"jl. rumus\")</f><v>JL. RUMUS</v></c></row>"
        "<row r=\"9\"><c r=\"A9\" t=\"inlineStr\"><is><t>B-9</t></is></c><c r=\"B9\" s=\"1\"><v>45000</v></c></row>"
        // 10: a date and time in a format of its own; 12, after an empty
        // row: cells left out between, a text of runs, a date as text
        "<row r=\"10\"><c r=\"A10\" t=\"inlineStr\"><is><t>B-10</t></is></c><c r=\"C10\" s=\"3\"><v>38930.75</v></c></row>"
        "<row r=\"12\"><c r=\"A12\" t=\"inlineStr\"><is><t>B-12</t></is></c><c r=\"B12\" t=\"s\"><v>7</v></c>"
        "<c r=\"C12\" t=\"s\"><v>8</v></c></row>";
    // The sheet named after the table is read, whatever stands before it.
    QVERIFY(writeWorkbook(path, {{"Catatan", "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>5</v></c></row>"}, {"siswa", siswa}},
                          strings, Styles));

    transfer::ImportOptions options;
    options.update = true;
    options.previewRows = 10;
    const transfer::ImportReport report = transfer::importFile(dbConnection, Table::Students, path, options);
    QStringList problems;
    for (const transfer::Problem &p : report.problems)
        problems << QStringLiteral("%1 %2 %3: %4").arg(p.line).arg(p.column, p.value, p.reason.section(QLatin1Char(':'), 0, 0));
    QCOMPARE(problems, (QStringList{"4 NIS 13: nol di depan hilang (yang tersimpan \"0013\")",
                                    "5 NIS 74.5: sel angka pada kolom teks",
                                    "6 TelpHp 81234567890: nomor telepon tanpa 0 di depan",
                                    "7 Alamat #N/A: sel berisi galat rumus",
                                    "9 NamaSiswa 15-03-2023: sel tanggal pada kolom teks; format kolom sebagai teks lalu "
                                    "ketik ulang nilainya"}));
    QVERIFY(report.problems[0].reason.endsWith(QStringLiteral("format kolom sebagai teks lalu ketik ulang nilainya")));
    QCOMPARE(report.rows, 10);

    // The rows that passed, as they would be stored (NIS, name, birth date, address, phone).
    auto shown = [](const QStringList &row) { return QStringList{row[0], row[1], row[3], row[4], row[11]}; };
    QCOMPARE(report.previewRows.size(), 5);
    QCOMPARE(shown(report.previewRows[0]), (QStringList{"123", "ANI", "01-08-2006", "TRUE", "081234567890"}));
    QCOMPARE(shown(report.previewRows[1]), (QStringList{"0012", "", "", "BARIS 1\r\nBARIS 2", ""}));
    QCOMPARE(shown(report.previewRows[2]), (QStringList{"B-8", "", "01-08-2006", "JL. RUMUS", ""}));
    QCOMPARE(shown(report.previewRows[3]), (QStringList{"B-10", "", "01-08-2006", "", ""}));
    QCOMPARE(shown(report.previewRows[4]), (QStringList{"B-12", QStringLiteral("JOS\u00c9 B"), "12-03-2004", "", ""}));

    // Without a sheet named after the table the first one is read; dates
    // of the 1904 system count from 1904.
    QVERIFY(writeWorkbook(path, {{"Lembar1", "<row r=\"1\"><c t=\"s\"><v>0</v></c><c t=\"s\"><v>2</v></c></row>"
                                             "<row r=\"2\"><c t=\"s\"><v>6</v></c><c s=\"1\"><v>37468</v></c></row>"}},
                          strings, Styles, true));
    const transfer::ImportReport first = transfer::importFile(dbConnection, Table::Students, path, options);
    QVERIFY2(first.accepted(), qPrintable(firstProblem(first)));
    QCOMPARE(first.previewRows.value(0).mid(0, 4), (QStringList{"B-6", "", "", "01-08-2006"}));

    // A file that is no workbook fails whole, naming the file.
    QVERIFY(writeFile(path, "NIS,NamaSiswa\n1,ANI\n"));
    const transfer::ImportReport none = transfer::importFile(dbConnection, Table::Students, path, options);
    QCOMPARE(none.result.kind, db::Result::Kind::Failure);
    QVERIFY2(db::failureMessage(none.result).contains(QStringLiteral("bukan workbook Excel (.xlsx)")),
             qPrintable(db::failureMessage(none.result)));
}

// An exported workbook read back: keys and phones text, dates date cells
// read as dd-mm-yyyy, numbers numbers; key and phone columns formatted as
// text and date columns as dates for what is typed below.
void TestTransfer::exportedWorkbookKeepsTypes()
{
    test::TestDatabase db;
    fillRecords(db);
    const QString path = db.folder() + QStringLiteral("/siswa.xlsx");
    QVERIFY(transfer::exportTable(dbConnection, Table::Students, path).ok());
    transfer::XlsxReader reader(path, QStringLiteral("SISWA"));
    QVERIFY(reader.open().ok());
    transfer::Record record;
    QCOMPARE(reader.next(record), transfer::RecordSource::Status::Record);
    QCOMPARE(record.text(0), QStringLiteral("NIS"));
    QCOMPARE(reader.next(record), transfer::RecordSource::Status::Record);
    QCOMPARE(record.line, 2);
    QCOMPARE(record.text(0), QStringLiteral("0012"));
    QCOMPARE(record.type(0), transfer::CellType::Text);
    QCOMPARE(record.text(3), QStringLiteral("01-08-2006"));
    QCOMPARE(record.type(3), transfer::CellType::Date);
    QCOMPARE(record.text(11), QStringLiteral("081234567890"));
    QCOMPARE(record.type(11), transfer::CellType::Text);

    QProcess unzip;
    auto part = [&](const char *name) {
        unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, QString::fromLatin1(name)});
        unzip.waitForFinished(30000);
        return QString::fromUtf8(unzip.readAllStandardOutput());
    };
    const QString sheet = part("xl/worksheets/sheet1.xml");
    const QString styles = part("xl/styles.xml");
    // The format of a whole column, by the style its <col> names.
    auto columnFormat = [&](int column) {
        const QRegularExpression col(QStringLiteral("<col min=\"%1\" max=\"%1\"[^>]*style=\"(\\d+)\"").arg(column));
        const int style = col.match(sheet).captured(1).toInt();
        const QString cellXfs = QRegularExpression(QStringLiteral("<cellXfs[^>]*>(.*)</cellXfs>"),
                                                   QRegularExpression::DotMatchesEverythingOption)
                                    .match(styles)
                                    .captured(1);
        const QString xf = cellXfs.split(QStringLiteral("<xf ")).value(style + 1);
        const QString id = QRegularExpression(QStringLiteral("numFmtId=\"(\\d+)\"")).match(xf).captured(1);
        if (id == QLatin1String("49"))
            return QStringLiteral("@");
        return QRegularExpression(QStringLiteral("<numFmt numFmtId=\"%1\" formatCode=\"([^\"]*)\"").arg(id))
            .match(styles)
            .captured(1);
    };
    QCOMPARE(columnFormat(1), QStringLiteral("@"));          // NIS
    QCOMPARE(columnFormat(4), QStringLiteral("dd-mm-yyyy")); // TglLahir
    QCOMPARE(columnFormat(12), QStringLiteral("@"));         // TelpHp

    // The template of grades: the columns an import reads, and no row.
    const QString blank = db.folder() + QStringLiteral("/nilai.xlsx");
    QVERIFY(transfer::writeTemplate(Table::Grades, blank).ok());
    transfer::XlsxReader header(blank, QStringLiteral("Nilai"));
    QVERIFY(header.open().ok());
    QCOMPARE(header.next(record), transfer::RecordSource::Status::Record);
    QStringList names;
    for (int i = 0; i < record.size(); ++i)
        names << record.text(i);
    QCOMPARE(names, transfer::templateColumnNames(Table::Grades));
    QCOMPARE(header.next(record), transfer::RecordSource::Status::End);
    const transfer::ImportReport empty = transfer::importFile(dbConnection, Table::Grades, blank, {});
    QVERIFY2(empty.accepted(), qPrintable(firstProblem(empty)));
    QCOMPARE(empty.rows, 0);
}

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
