// The reports' store: every statement text as the reports send it, the NIS
// reads of the report screen, and the row stream of the file reports.
#include "common/module1.h"
#include "reports/nislist.h"
#include "reports/reportstore.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <cmath>

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
    void ipkTotalsFromOneStatement();
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
    QVERIFY(store::allNis(dbConnection, &all).ok());
    QCOMPARE(all.size(), 1000);
    QCOMPARE(all.first(), QStringLiteral("0"));
    QCOMPARE(all.at(1), QStringLiteral("7919"));

    NisListModel model(dbConnection);
    QVERIFY(model.start().ok());
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
    const db::Result refused = model.start();
    QVERIFY2(refused.reason.contains(QStringLiteral("siswa"), Qt::CaseInsensitive), qPrintable(refused.reason));
    QCOMPARE(store::allNis(dbConnection, &all).kind, db::Result::Kind::Failure);
}

void TestReportStore::rowStream()
{
    test::TestDatabase db;
    db.addStudent(QStringLiteral("B2"), QStringLiteral("NAN"));
    db.addStudent(QStringLiteral("A1"), QStringLiteral("INF"));
    db.exec(QStringLiteral("update SISWA set TelpHp = NULL"));
    store::RowStream rows;
    QVERIFY(rows.open(dbConnection, store::studentListSql()).ok());
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
    QVERIFY(store::ipkTotals(dbConnection, QStringLiteral("A1"), &credits, &points).ok());
    QVERIFY(credits.isNull() && points.isNull());

    const db::Result refused = rows.open(dbConnection, QStringLiteral("select * from nothing"));
    QCOMPARE(refused.kind, db::Result::Kind::Failure);
    QVERIFY2(refused.reason.contains(QStringLiteral("nothing")), qPrintable(refused.reason));
}

void TestReportStore::ipkTotalsFromOneStatement()
{
    // The IPK list's sums read from one grouped statement are, number for
    // number, those of the per-student statement: random credits and points
    // (halves, tenths, negatives, missing ones), grade rows of all students
    // interleaved, a NIS spelt in two letter cases, grades of a NIS that
    // names no student.
    test::TestDatabase db;
    QRandomGenerator random(20260612);
    db.exec(QStringLiteral("begin"));
    QStringList students;
    for (int i = 0; i < 300; ++i) {
        students << QStringLiteral("s%1").arg(random.bounded(100000), 5, 10, QLatin1Char('0'));
        if (i % 50 == 0)
            students.last().replace(0, 1, QLatin1Char('S'));
        students.removeDuplicates();
    }
    for (const QString &nis : std::as_const(students))
        db.addStudent(nis);
    db.exec(QStringLiteral("commit"));
    db.exec(test::onPostgres() ? QStringLiteral("alter table Nilai drop constraint nilai_nis_fkey")
                               : QStringLiteral("PRAGMA foreign_keys = OFF"));
    db.exec(QStringLiteral("begin"));
    QSqlQuery insert(dbConnection.database());
    QVERIFY(insert.prepare(QStringLiteral("insert into Nilai (Noreg, Nis, KdMatpel, SKS, Mutu) values (?, ?, 'MP', ?, ?)")));
    const auto number = [&random](bool negative) -> QVariant {
        switch (random.bounded(6)) {
        case 0:
            return QVariant(); // missing
        case 1:
            return random.bounded(20) + 0.5; // a half
        case 2:
            return random.bounded(100) / 10.0; // tenths, not exact in binary
        case 3:
            return (negative ? -1 : 1) * (random.bounded(40) / 4.0);
        default:
            return random.bounded(1000) / 7.0;
        }
    };
    for (int row = 0; row < 4000; ++row) {
        QString nis = row % 97 == 0 ? QStringLiteral("X-NOBODY") : students.at(random.bounded(int(students.size())));
        if (row % 3 == 0)
            nis = nis.toUpper(); // the same student, spelt otherwise
        insert.addBindValue(QString::number(row));
        insert.addBindValue(nis);
        insert.addBindValue(number(false)); // credits are never negative
        insert.addBindValue(number(true));
        QVERIFY2(insert.exec(), qPrintable(insert.lastError().text()));
    }
    db.exec(QStringLiteral("commit"));

    store::RowStream rows;
    QVERIFY(store::openIpkStudents(dbConnection, &rows).ok());
    QStringList listed;
    store::IpkTotals inOrder(dbConnection);
    int halves = 0;
    while (rows.next()) {
        const QVariant nis = rows.value(0);
        listed << nis.toString();
        QVariant credits, points, oneCredits, onePoints;
        QVERIFY(inOrder.totals(nis, &credits, &points).ok());
        QVERIFY(store::ipkTotals(dbConnection, nis.toString(), &oneCredits, &onePoints).ok());
        QCOMPARE(credits.isNull(), oneCredits.isNull());
        QCOMPARE(points.isNull(), onePoints.isNull());
        // Bit for bit, so that the report's rounding of halves cannot differ.
        QCOMPARE(credits.toDouble(), oneCredits.toDouble());
        QCOMPARE(points.toDouble(), onePoints.toDouble());
        const double fraction = points.toDouble() - std::floor(points.toDouble());
        halves += fraction == 0.5 ? 1 : 0;
    }
    QVERIFY(rows.result().ok());
    QCOMPARE(rows.recordCount(), int(listed.size()));
    QCOMPARE(listed.size(), students.size());
    QVERIFY(halves > 0);

    // Asked for in another order, each student still gets its own sums.
    store::IpkTotals reversed(dbConnection);
    for (auto nis = listed.crbegin(); nis != listed.crend(); ++nis) {
        QVariant credits, points, oneCredits, onePoints;
        QVERIFY(reversed.totals(*nis, &credits, &points).ok());
        QVERIFY(store::ipkTotals(dbConnection, *nis, &oneCredits, &onePoints).ok());
        QCOMPARE(credits.toDouble(), oneCredits.toDouble());
        QCOMPARE(points.toDouble(), onePoints.toDouble());
    }
}

QTEST_MAIN(TestReportStore)
#include "tst_reportstore.moc"
