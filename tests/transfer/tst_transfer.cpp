// Export of the three tables to CSV and Excel, and import with its row checks.
#include "common/module1.h"
#include "db/connection.h"
#include "db/schema.h"
#include "pgtestsupport.h"
#include "testsupport.h"
#include "transfer/csv.h"
#include "transfer/exporter.h"
#include "transfer/importer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

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

private:
    void fill(test::TestDatabase &db);
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
        const QString file = source.folder() + QLatin1Char('/') + transfer::tableName(table) + QStringLiteral(".csv");
        const db::Result exported = transfer::exportTable(dbConnection, table, file, separator);
        QVERIFY2(exported.ok(), qPrintable(exported.reason));
        QVERIFY(readFile(file).startsWith(transfer::Utf8Bom));
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

QTEST_GUILESS_MAIN(TestTransfer)
#include "tst_transfer.moc"
