// The figures of the four statistics views on a small database whose every
// number is worked out here by hand: keys that differ in letter case count
// as one, dates are read as dates (a day that does not exist is no date),
// means are exact decimal arithmetic, and the IPK is the IPK list's own. The
// expected CSV is one text for both engines: the same bytes from each.
#include "common/module1.h"
#include "stats/statsstore.h"
#include "stats/statstext.h"
#include "testsupport.h"

#include <QTest>

using namespace pel;

Q_DECLARE_METATYPE(pel::stats::View)
Q_DECLARE_METATYPE(pel::stats::Filter)

namespace {

void addStudent(const QString &nis, const QString &programme, const QString &level, const QString &entered)
{
    test::execShared(QStringLiteral("insert into SISWA values (?, 'SISWA', 'LIRAK', '01-02-2000', 'JL', 'LAKI-LAKI', "
                                    "'ISLAM', ?, ?, ?, 'SMA', '08')"),
                     {nis, entered, programme, level});
}

// A grade row: date, NIS, programme, level, code, credits, instructor,
// score (null for none), letter, points, remark.
void addGrade(const QString &date, const QString &nis, const QString &programme, const QString &level,
              const QString &code, double credits, const QString &instructor, const QVariant &score,
              const QString &letter, double points, const QString &remark)
{
    test::execShared(QStringLiteral("insert into Nilai (Noreg, TglProses, Nis, Program, Jenjang, KdMatpel, SKS, Tentor, "
                                    "Nilangka, Nilhu, Bobot, Mutu, Prediket, Ket) values ('1', ?, ?, ?, ?, ?, ?, ?, "
                                    "?, ?, 0, ?, 'P', ?)"),
                     {date, nis, programme, level, code, credits, instructor, score, letter, points, remark});
}

stats::Filter period(const QString &from, const QString &to)
{
    stats::Filter filter;
    filter.from = QDate::fromString(from, QStringLiteral("dd-MM-yyyy"));
    filter.to = QDate::fromString(to, QStringLiteral("dd-MM-yyyy"));
    return filter;
}

} // namespace

class TestStatsStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void figures_data();
    void figures();
    void emptyTables();
    void sharesBesideCounts();
    void ipkStatementIsTheListsOwn();

private:
    std::unique_ptr<test::TestDatabase> m_db;
};

void TestStatsStore::init()
{
    m_db = std::make_unique<test::TestDatabase>();
    addStudent(QStringLiteral("S1"), QStringLiteral("KOMPUTER"), QStringLiteral("DASAR"), QStringLiteral("05-01-2026"));
    addStudent(QStringLiteral("S2"), QStringLiteral("komputer"), QStringLiteral("dasar"), QStringLiteral("17-01-2026"));
    addStudent(QStringLiteral("S3"), QStringLiteral("DESAIN"), QStringLiteral("MENENGAH"), QStringLiteral("29-02-2023"));
    addStudent(QStringLiteral("S4"), QStringLiteral("DESAIN"), QStringLiteral("MENENGAH"), QStringLiteral("29-02-2024"));
    addStudent(QStringLiteral("S5"), QStringLiteral("AKUNTANSI"), QStringLiteral("DASAR"), QStringLiteral("1-2-2024"));
    addStudent(QStringLiteral("S6"), QStringLiteral("AKUNTANSI"), QStringLiteral("DASAR"), QStringLiteral("07-07-2025"));
    m_db->addSubject(QStringLiteral("MP01"), QStringLiteral("MATEMATIKA"), 2);
    m_db->addSubject(QStringLiteral("MP02"), QStringLiteral("FISIKA"), 3);
    const QString k = QStringLiteral("KOMPUTER"), d = QStringLiteral("DASAR"), s = QStringLiteral("DESAIN"),
                  m = QStringLiteral("MENENGAH");
    addGrade("10-01-2026", "S1", k, d, "MP01", 2, "BUDI", 85.1, "A", 8, "Lulus");
    addGrade("11-01-2026", "S2", "komputer", d, "mp01", 2, "budi", 85.15, "a", 8, "LULUS");
    // The 31st of February is no date: in no limited period.
    addGrade("31-02-2026", "S3", s, m, "MP01", 2, "SARI", 50, "D", 2, "Failed");
    addGrade("15-03-2026", "S4", s, m, "MP02", 3, "SARI", 72, "B", 9, "Lulus");
    addGrade("15-03-2026", "S4", s, m, "MP09", 3, "SARI", QVariant(QMetaType::fromType<double>()), "E", 0, "Failed");
    addGrade("20-12-2025", "S1", k, d, "MP02", 3, "BUDI", 64.5, "C", 6, "Lulus");
    addGrade("01-04-2026", "S6", "AKUNTANSI", d, "MP02", 0, "SARI", 30, "E", 0, "Failed");
}

void TestStatsStore::cleanup()
{
    m_db.reset();
}

void TestStatsStore::figures_data()
{
    QTest::addColumn<stats::View>("view");
    QTest::addColumn<stats::Filter>("filter");
    QTest::addColumn<QString>("csv");

    // MP01 and mp01 are one subject, shown as MP01; 85.1, 85.15 and 50 make
    // 73.41666..., MP02's 72, 64.5 and 30 make 55.5; MP09 has no score and
    // no name.
    QTest::newRow("subjects") << stats::View::Subjects << stats::Filter{}
                              << "KdMatpel,NmMatpel,Jumlah,RataRata,A,B,C,D,E,Lulus\n"
                                 "MP01,MATEMATIKA,3,73.42,2,0,0,1,0,2\n"
                                 "MP02,FISIKA,3,55.50,0,1,1,0,1,2\n"
                                 "MP09,,1,,0,0,0,0,1,0\n";
    // The grade row's own programme, in any case: 85.1 and 85.15 average
    // 85.125, a half, rounded away from zero.
    stats::Filter komputer;
    komputer.programme = QStringLiteral("Komputer");
    QTest::newRow("subjects of a programme") << stats::View::Subjects << komputer
                                             << "KdMatpel,NmMatpel,Jumlah,RataRata,A,B,C,D,E,Lulus\n"
                                                "MP01,MATEMATIKA,2,85.13,2,0,0,0,0,2\n"
                                                "MP02,FISIKA,1,64.50,0,0,1,0,0,1\n";
    QTest::newRow("subjects of a period") << stats::View::Subjects << period("01-01-2026", "31-03-2026")
                                          << "KdMatpel,NmMatpel,Jumlah,RataRata,A,B,C,D,E,Lulus\n"
                                             "MP01,MATEMATIKA,2,85.13,2,0,0,0,0,2\n"
                                             "MP02,FISIKA,1,72.00,0,1,0,0,0,1\n"
                                             "MP09,,1,,0,0,0,0,1,0\n";
    stats::Filter level;
    level.level = QStringLiteral("menengah");
    QTest::newRow("subjects of a level") << stats::View::Subjects << level
                                         << "KdMatpel,NmMatpel,Jumlah,RataRata,A,B,C,D,E,Lulus\n"
                                            "MP01,MATEMATIKA,1,50.00,0,0,0,1,0,0\n"
                                            "MP02,FISIKA,1,72.00,0,1,0,0,0,1\n"
                                            "MP09,,1,,0,0,0,0,1,0\n";
    QTest::newRow("instructors") << stats::View::Instructors << stats::Filter{}
                                 << "Tentor,Jumlah,RataRata,Lulus\n"
                                    "BUDI,3,78.25,3\n"
                                    "SARI,4,50.67,1\n";
    // By month of entry; 29-02-2023 and 1-2-2024 are no dates.
    QTest::newRow("intake") << stats::View::Intake << stats::Filter{}
                            << "Tahun,Bulan,Program,Jumlah\n"
                               "2024,2,DESAIN,1\n"
                               "2025,7,AKUNTANSI,1\n"
                               "2026,1,KOMPUTER,2\n"
                               "tanpa tanggal,,AKUNTANSI,1\n"
                               "tanpa tanggal,,DESAIN,1\n";
    QTest::newRow("intake of a period") << stats::View::Intake << period("01-01-2025", QString())
                                        << "Tahun,Bulan,Program,Jumlah\n"
                                           "2025,7,AKUNTANSI,1\n"
                                           "2026,1,KOMPUTER,2\n";
    // S1: 14 points over 5 credits, 2.80; S2: 8 over 2, 4.00; S3: 1.00; S4:
    // 9 over 6, 1.50; S6: no credits, "-" in the list, 0.00 here; S5 has no
    // grades and is not in the list.
    QTest::newRow("ipk") << stats::View::Ipk << stats::Filter{}
                         << "Program,Level,Jumlah,RataRataIPK,0.00-0.99,1.00-1.99,2.00-2.49,2.50-2.99,3.00-3.49,3.50-4.00\n"
                            "AKUNTANSI,DASAR,1,0.00,1,0,0,0,0,0\n"
                            "DESAIN,MENENGAH,2,1.25,0,2,0,0,0,0\n"
                            "KOMPUTER,DASAR,2,3.40,0,0,0,1,0,1\n";
    // The students graded within the period, each with his whole index.
    QTest::newRow("ipk of a period") << stats::View::Ipk << period("01-01-2026", "31-03-2026")
                                     << "Program,Level,Jumlah,RataRataIPK,0.00-0.99,1.00-1.99,2.00-2.49,2.50-2.99,"
                                        "3.00-3.49,3.50-4.00\n"
                                        "DESAIN,MENENGAH,1,1.50,0,1,0,0,0,0\n"
                                        "KOMPUTER,DASAR,2,3.40,0,0,0,1,0,1\n";
    QTest::newRow("ipk of a programme") << stats::View::Ipk << komputer
                                        << "Program,Level,Jumlah,RataRataIPK,0.00-0.99,1.00-1.99,2.00-2.49,2.50-2.99,"
                                           "3.00-3.49,3.50-4.00\n"
                                           "KOMPUTER,DASAR,2,3.40,0,0,0,1,0,1\n";
}

void TestStatsStore::figures()
{
    QFETCH(stats::View, view);
    QFETCH(stats::Filter, filter);
    QFETCH(QString, csv);
    stats::Table table;
    const db::Result read = stats::readView(dbConnection, view, filter, &table);
    QVERIFY2(read.ok(), qPrintable(read.reason));
    QCOMPARE(QString::fromUtf8(stats::csvText(table)), QString(csv).replace(QLatin1String("\n"), QLatin1String("\r\n")));
}

void TestStatsStore::emptyTables()
{
    m_db.reset();
    m_db = std::make_unique<test::TestDatabase>();
    for (const stats::View view : {stats::View::Subjects, stats::View::Ipk, stats::View::Intake, stats::View::Instructors}) {
        stats::Table table;
        const db::Result read = stats::readView(dbConnection, view, period("01-01-2026", "31-12-2026"), &table);
        QVERIFY2(read.ok(), qPrintable(read.reason));
        QVERIFY(table.rows.isEmpty());
        QCOMPARE(stats::csvText(table).count("\r\n"), 1);
    }
}

void TestStatsStore::sharesBesideCounts()
{
    stats::Table table;
    QVERIFY(stats::readView(dbConnection, stats::View::Subjects, {}, &table).ok());
    // Of seven rows MP01 has three (42.9 %), two of them A (66.7 %).
    const QString text = stats::fixedWidthText(table, {}, QLatin1Char('.'));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.at(0), QStringLiteral(" STATISTIK NILAI - NILAI PER MATA PELAJARAN"));
    QCOMPARE(lines.at(1), QStringLiteral(" Program: (Semua)   Level: (Semua)   Periode: semua tanggal"));
    QVERIFY2(lines.at(3).startsWith(QStringLiteral(" KdMatpel  NmMatpel    Jumlah  Jumlah %  RataRata  A   A %  B")),
             qPrintable(lines.at(3)));
    QVERIFY2(lines.at(4).startsWith(QStringLiteral(" --------  ----------  ------  --------  --------  -  ----  -")),
             qPrintable(lines.at(4)));
    QVERIFY2(lines.at(5).startsWith(QStringLiteral(" MP01      MATEMATIKA       3      42.9     73.42  2  66.7  0")),
             qPrintable(lines.at(5)));
    const QString copy = stats::tabSeparatedText(table, QLatin1Char(','));
    QVERIFY(copy.startsWith(QStringLiteral("KdMatpel\tNmMatpel\tJumlah\tJumlah %\tRataRata\tA\tA %")));
    QVERIFY2(copy.contains(QStringLiteral("\nMP01\tMATEMATIKA\t3\t42,9\t73,42\t2\t66,7\t")), qPrintable(copy));
}

void TestStatsStore::ipkStatementIsTheListsOwn()
{
    QCOMPARE(stats::ipkRowsSql(false, {}),
             QStringLiteral("select s.NIS, s.ProgamJurusan, s.LevelTahap, t.VSKS, t.VNILAI from (SELECT nilai.nis, "
                            "sum(nilai.sks)AS VSKS, sum(nilai.mutu)AS VNILAI from nilai indexed by NilaiNis group by "
                            "nilai.nis) t join SISWA s on s.NIS = t.nis"));
    QVERIFY(stats::ipkRowsSql(true, period("01-01-2026", QString()))
                .endsWith(QStringLiteral(" where exists (select 1 from Nilai p where p.Nis = s.NIS and (")
                          + stats::serverDateKeySql(QStringLiteral("p.TglProses")) + QStringLiteral(") >= ?)")));
}

QTEST_MAIN(TestStatsStore)
#include "tst_statsstore.moc"
