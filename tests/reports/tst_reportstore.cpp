// The reports' store: every statement text as the reports send it, the NIS
// reads of the report screen, and the row stream of the file reports.
#include "common/module1.h"
#include "reports/nislist.h"
#include "reports/reportstore.h"
#include "testsupport.h"

#include <QTest>

using namespace pel;
using namespace pel::reports;

class TestReportStore : public QObject
{
    Q_OBJECT
private slots:
    void statements_data();
    void statements();
    void nisInTableOrder();
    void rowStream();
};

void TestReportStore::statements_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("expected");
    QTest::newRow("NIS lists") << store::reportStudentsSql() << QStringLiteral("select * from siswa");
    QTest::newRow("student list") << store::studentListSql() << QStringLiteral("select * from SISWA order by NIS asc");
    QTest::newRow("grade statement")
        << store::gradeStatementSql(QStringLiteral("2001"))
        << QStringLiteral("select nilai.sks, nilai.jenjang,nilai.program, nilai.Bobot,nilai.nilangka, nilai.nilhu,"
                          "nilai.mutu,nilai.Prediket, siswa.nis,siswa.NamaSiswa, pelajaran.kdMatpel, "
                          "pelajaran.NmMatpel from nilai,siswa,pelajaran where(nilai.nis=siswa.nis)and "
                          "(nilai.KdMatpel=pelajaran.KdMatpel)and (siswa.nis='2001')");
    QTest::newRow("certificate")
        << store::certificateSql(QStringLiteral("2001"))
        << QStringLiteral("select nilai.sks, nilai.jenjang,nilai.program, nilai.Bobot,nilai.nilangka, nilai.nilhu,"
                          "nilai.Prediket, siswa.nis,siswa.NamaSiswa, pelajaran.kdMatpel, pelajaran.NmMatpel from "
                          "nilai,siswa,pelajaran where(nilai.nis=siswa.nis)and (nilai.KdMatpel=pelajaran.KdMatpel)and "
                          "(siswa.nis='2001')");
    QTest::newRow("IPK students")
        << store::ipkStudentsSql()
        << QStringLiteral("select distinct(nilai.nis), siswa.namasiswa from nilai,SISWA where(nilai.nis=siswa.nis) "
                          "group by nilai.nis,siswa.namasiswa");
    QTest::newRow("IPK totals")
        << store::ipkTotalsSql(QStringLiteral("2001"))
        << QStringLiteral("SELECT sum(nilai.sks)AS VSKS, sum(nilai.mutu)AS VNILAI from nilai where(nilai.nis='2001')");
    QTest::newRow("a quote stays inside the NIS")
        << store::ipkTotalsSql(QStringLiteral("O'1"))
        << QStringLiteral("SELECT sum(nilai.sks)AS VSKS, sum(nilai.mutu)AS VNILAI from nilai where(nilai.nis='O''1')");
}

void TestReportStore::statements()
{
    QFETCH(QString, sql);
    QFETCH(QString, expected);
    QCOMPARE(sql, expected);
}

void TestReportStore::nisInTableOrder()
{
    // The screen's lists, read a page at a time, hold what the specified
    // statement gives, in its order, also past the first pages.
    test::TestDatabase db;
    db.exec(QStringLiteral("begin"));
    for (int i = 0; i < 1000; ++i)
        db.addStudent(QString::number((i * 7919) % 100000));
    db.exec(QStringLiteral("commit"));
    QStringList all;
    QVERIFY(store::allNis(&all).ok());
    QCOMPARE(all.size(), 1000);
    QCOMPARE(all.first(), QStringLiteral("0"));
    QCOMPARE(all.at(1), QStringLiteral("7919"));

    NisListModel model;
    QString error;
    QVERIFY(model.start(&error));
    QVERIFY(model.rowCount() < 1000);
    while (model.canFetchMore({}))
        model.fetchMore({});
    QStringList paged;
    for (int row = 0; row < model.rowCount(); ++row)
        paged << model.data(model.index(row), Qt::DisplayRole).toString();
    QCOMPARE(paged, all);

    // A table that cannot be read is said, with the database's reason.
    db.exec(QStringLiteral("drop table Nilai"));
    db.exec(QStringLiteral("drop table SISWA"));
    QVERIFY(!model.start(&error));
    QVERIFY2(error.contains(QStringLiteral("siswa"), Qt::CaseInsensitive), qPrintable(error));
    QCOMPARE(store::allNis(&all).kind, db::Result::Kind::Failure);
}

void TestReportStore::rowStream()
{
    test::TestDatabase db;
    db.addStudent(QStringLiteral("B2"), QStringLiteral("NAN"));
    db.addStudent(QStringLiteral("A1"), QStringLiteral("INF"));
    db.exec(QStringLiteral("update SISWA set TelpHp = NULL"));
    store::RowStream rows;
    QVERIFY(rows.open(store::studentListSql()).ok());
    QCOMPARE(rows.recordCount(), 2);
    const int nis = rows.fieldIndex(QStringLiteral("nis"));
    const int name = rows.fieldIndex(QStringLiteral("NAMASISWA"));
    const int phone = rows.fieldIndex(QStringLiteral("TelpHp"));
    QVERIFY(nis >= 0 && name >= 0 && phone >= 0);
    QCOMPARE(rows.fieldIndex(QStringLiteral("nope")), -1);
    QVERIFY(rows.next());
    QCOMPARE(rows.value(nis), QVariant(QStringLiteral("A1")));
    QCOMPARE(rows.value(name), QVariant(QStringLiteral("INF")));
    QVERIFY(rows.value(phone).isNull());
    QVERIFY(rows.next());
    QCOMPARE(rows.value(name).toString(), QStringLiteral("NAN"));
    QVERIFY(!rows.next());
    QVERIFY(rows.result().ok());

    QVariant credits, points;
    QVERIFY(store::ipkTotals(QStringLiteral("A1"), &credits, &points).ok());
    QVERIFY(credits.isNull() && points.isNull());

    const db::Result refused = rows.open(QStringLiteral("select * from nothing"));
    QCOMPARE(refused.kind, db::Result::Kind::Failure);
    QVERIFY2(refused.reason.contains(QStringLiteral("nothing")), qPrintable(refused.reason));
}

QTEST_MAIN(TestReportStore)
#include "tst_reportstore.moc"
