// The rules the statistics count by: what is a date, how scores make a
// mean, how means and shares round, where an index falls, and the index as
// the IPK list prints it.
#include "stats/statsrules.h"
#include "stats/statsstore.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace pel;

class TestStatsRules : public QObject
{
    Q_OBJECT
private slots:
    void dates_data();
    void dates();
    void periods();
    void scores_data();
    void scores();
    void rounding_data();
    void rounding();
    void bands_data();
    void bands();
    void printedIndex_data();
    void printedIndex();
    void keysFoldAsciiOnly();
};

void TestStatsRules::dates_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("key");
    QTest::newRow("a day") << QByteArray("07-12-2026") << 20261207;
    QTest::newRow("leap day") << QByteArray("29-02-2024") << 20240229;
    QTest::newRow("no leap day") << QByteArray("29-02-2023") << 0;
    QTest::newRow("century, no leap") << QByteArray("29-02-1900") << 0;
    QTest::newRow("400 years, leap") << QByteArray("29-02-2000") << 20000229;
    QTest::newRow("31 in a 30-day month") << QByteArray("31-04-2024") << 0;
    QTest::newRow("day 0") << QByteArray("00-01-2024") << 0;
    QTest::newRow("month 13") << QByteArray("01-13-2024") << 0;
    QTest::newRow("year 0") << QByteArray("01-01-0000") << 0;
    QTest::newRow("last day") << QByteArray("31-12-9999") << 99991231;
    QTest::newRow("short parts") << QByteArray("1-2-2024") << 0;
    QTest::newRow("slashes") << QByteArray("01/02/2024") << 0;
    QTest::newRow("trailing blank") << QByteArray("01-02-2024 ") << 0;
    QTest::newRow("mask prompts") << QByteArray("__-__-____") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
}

void TestStatsRules::dates()
{
    QFETCH(QByteArray, text);
    QFETCH(int, key);
    QCOMPARE(stats::dateKey(text), key);
}

void TestStatsRules::periods()
{
    const stats::Period open;
    QVERIFY(open.holds(0));
    QVERIFY(open.holds(20260101));
    const stats::Period year{20260101, 20261231};
    QVERIFY(year.holds(20260101));
    QVERIFY(year.holds(20261231));
    QVERIFY(!year.holds(20251231));
    QVERIFY(!year.holds(20270101));
    // A row without a date lies in no limited period.
    QVERIFY(!year.holds(0));
    QVERIFY(!stats::Period({20260101, 0}).holds(0));
    QVERIFY(stats::Period({0, 20260101}).holds(19990101));
    QCOMPARE(stats::dateKey(QDate(2026, 3, 9)), 20260309);
    QCOMPARE(stats::dateKey(QDate()), 0);
}

void TestStatsRules::scores_data()
{
    QTest::addColumn<double>("score");
    QTest::addColumn<qint64>("millionths");
    QTest::addColumn<bool>("known");
    QTest::newRow("whole") << 85.0 << qint64(85000000) << true;
    QTest::newRow("typed decimal") << 85.1 << qint64(85100000) << true;
    QTest::newRow("another") << 85.15 << qint64(85150000) << true;
    QTest::newRow("negative") << -1.25 << qint64(-1250000) << true;
    QTest::newRow("beyond millionths, up") << 0.0000015 << qint64(2) << true;
    QTest::newRow("just below the limit") << 999999999.5 << qint64(999999999500000) << true;
    QTest::newRow("the limit") << 1e9 << qint64(0) << false;
    QTest::newRow("below minus the limit") << -1e10 << qint64(0) << false;
    QTest::newRow("not a number") << std::nan("") << qint64(0) << false;
}

void TestStatsRules::scores()
{
    QFETCH(double, score);
    QFETCH(qint64, millionths);
    QFETCH(bool, known);
    const auto result = stats::scoreMillionths(score);
    QCOMPARE(result.has_value(), known);
    if (known)
        QCOMPARE(*result, millionths);
}

void TestStatsRules::rounding_data()
{
    QTest::addColumn<qint64>("numerator");
    QTest::addColumn<qint64>("denominator");
    QTest::addColumn<qint64>("quotient");
    QTest::newRow("half up") << qint64(5) << qint64(2) << qint64(3);
    QTest::newRow("half down, away from zero") << qint64(-5) << qint64(2) << qint64(-3);
    QTest::newRow("below half") << qint64(4) << qint64(3) << qint64(1);
    QTest::newRow("above half") << qint64(5) << qint64(3) << qint64(2);
    QTest::newRow("negative below half") << qint64(-4) << qint64(3) << qint64(-1);
    QTest::newRow("zero") << qint64(0) << qint64(7) << qint64(0);
    QTest::newRow("largest sum") << std::numeric_limits<qint64>::max() << qint64(1)
                                 << std::numeric_limits<qint64>::max();
    // The means: 85.1 and 85.15 are 85.125 on average, so 85.13.
    QTest::newRow("mean on a half") << qint64(170250000) << qint64(2 * 10000) << qint64(8513);
    QTest::newRow("mean of three") << qint64(220250000) << qint64(3 * 10000) << qint64(7342);
}

void TestStatsRules::rounding()
{
    QFETCH(qint64, numerator);
    QFETCH(qint64, denominator);
    QFETCH(qint64, quotient);
    QCOMPARE(stats::roundedQuotient(numerator, denominator), quotient);
    if (denominator % 10000 == 0)
        QCOMPARE(stats::meanHundredths(numerator, denominator / 10000), quotient);
}

void TestStatsRules::bands_data()
{
    QTest::addColumn<qint64>("hundredths");
    QTest::addColumn<int>("band");
    QTest::addColumn<QString>("label");
    QTest::newRow("0.00") << qint64(0) << 0 << "0.00-0.99";
    QTest::newRow("0.99") << qint64(99) << 0 << "0.00-0.99";
    QTest::newRow("1.00") << qint64(100) << 1 << "1.00-1.99";
    QTest::newRow("1.99") << qint64(199) << 1 << "1.00-1.99";
    QTest::newRow("2.00") << qint64(200) << 2 << "2.00-2.49";
    QTest::newRow("2.49") << qint64(249) << 2 << "2.00-2.49";
    QTest::newRow("2.50") << qint64(250) << 3 << "2.50-2.99";
    QTest::newRow("2.99") << qint64(299) << 3 << "2.50-2.99";
    QTest::newRow("3.00") << qint64(300) << 4 << "3.00-3.49";
    QTest::newRow("3.49") << qint64(349) << 4 << "3.00-3.49";
    QTest::newRow("3.50") << qint64(350) << 5 << "3.50-4.00";
    QTest::newRow("4.00") << qint64(400) << 5 << "3.50-4.00";
    QTest::newRow("above 4.00") << qint64(500) << 5 << "3.50-4.00";
}

void TestStatsRules::bands()
{
    QFETCH(qint64, hundredths);
    QFETCH(int, band);
    QFETCH(QString, label);
    QCOMPARE(stats::ipkBand(hundredths), band);
    QCOMPARE(stats::ipkBandLabel(band), label);
    QCOMPARE(stats::shareTenths(1, 8), qint64(125));
    QCOMPARE(stats::shareTenths(1, 16), qint64(63));
    QCOMPARE(stats::shareTenths(2, 3), qint64(667));
}

void TestStatsRules::printedIndex_data()
{
    QTest::addColumn<QVariant>("credits");
    QTest::addColumn<QVariant>("points");
    QTest::addColumn<qint64>("hundredths");
    // The IPK list's own examples: 23 points over 8 credits print 2.88; a
    // sum of 22.5 counts as 22 and one of 23.5 as 24.
    QTest::newRow("2.88") << QVariant(8.0) << QVariant(23.0) << qint64(288);
    QTest::newRow("22.5 counts 22") << QVariant(8.0) << QVariant(22.5) << qint64(275);
    QTest::newRow("23.5 counts 24") << QVariant(8.0) << QVariant(23.5) << qint64(300);
    QTest::newRow("two thirds") << QVariant(3.0) << QVariant(2.0) << qint64(67);
    QTest::newRow("no credits, \"-\"") << QVariant(0.0) << QVariant(5.0) << qint64(0);
    QTest::newRow("a missing sum, \"-\"") << QVariant() << QVariant(5.0) << qint64(0);
    QTest::newRow("below zero, blank") << QVariant(5.0) << QVariant(-5.0) << qint64(0);
    QTest::newRow("whole numbers") << QVariant(qint64(4)) << QVariant(qint64(16)) << qint64(400);
}

void TestStatsRules::printedIndex()
{
    QFETCH(QVariant, credits);
    QFETCH(QVariant, points);
    QFETCH(qint64, hundredths);
    QCOMPARE(stats::printedIpkHundredths(credits, points), hundredths);
}

void TestStatsRules::keysFoldAsciiOnly()
{
    QCOMPARE(stats::foldedKey("NIRWA Com-1"), QByteArray("nirwa com-1"));
    // Beyond ASCII a letter stays as it is, as SQLite's NOCASE leaves it.
    QCOMPARE(stats::foldedKey(QStringLiteral("ÉCOLE").toUtf8()), QStringLiteral("École").toUtf8());
}

QTEST_GUILESS_MAIN(TestStatsRules)
#include "tst_statsrules.moc"
