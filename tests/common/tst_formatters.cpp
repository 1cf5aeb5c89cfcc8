// The report cell formatters: every picture rule and the boundaries of a cell.
#include "common/formatters.h"

#include <QDate>
#include <QLocale>
#include <QTest>

using namespace pel;

class TestFormatters : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void init() { QLocale::setDefault(QLocale::c()); }
    void padRight_data();
    void padRight();
    void padLeft_data();
    void padLeft();
    void positive_data();
    void positive();
    void indonesianSeparators();
};

void TestFormatters::padRight_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("cell");
    QTest::newRow("whole number") << QVariant(5) << "###" << "5  ";
    QTest::newRow("name shorter than mask") << QVariant("ABC") << "####" << "ABC ";
    QTest::newRow("zero") << QVariant(0) << "###" << "   ";
    QTest::newRow("negative") << QVariant(-5) << "###" << "   ";
    QTest::newRow("null") << QVariant() << "#####" << "     ";
    QTest::newRow("empty text") << QVariant(QString()) << "#####" << "     ";
    QTest::newRow("text not a number") << QVariant("( PIMPINAN )") << "####################"
                                       << "( PIMPINAN )        ";
    QTest::newRow("exactly as wide") << QVariant(123) << "###" << "123";
    QTest::newRow("wider number kept whole") << QVariant(12345) << "###" << "12345";
    QTest::newRow("wider text kept whole") << QVariant("ABCDE") << "###" << "ABCDE";
    QTest::newRow("hash rounds half away from zero") << QVariant(2.5) << "###" << "3  ";
    QTest::newRow("hash rounds down") << QVariant(2.49) << "###" << "2  ";
    QTest::newRow("hash prints nothing for a value rounding to zero") << QVariant(0.4) << "###" << "   ";
    QTest::newRow("text reading as number") << QVariant("12") << "####" << "12  ";
    QTest::newRow("text keeps leading zeros") << QVariant("0812") << "######" << "0812  ";
    QTest::newRow("numeric text keeps its decimals") << QVariant("2.5") << "###" << "2.5";
    QTest::newRow("text reading as zero") << QVariant("0") << "###" << "   ";
    QTest::newRow("text reading as negative") << QVariant("-3") << "###" << "   ";
    QTest::newRow("grouping") << QVariant(1234) << "###,###" << "1,234  ";
    QTest::newRow("grouping not needed") << QVariant(11) << "###,###" << "11     ";
    QTest::newRow("date value") << QVariant(QDate(2026, 12, 7)) << "dd-mm-yyyy" << "07-12-2026";
    QTest::newRow("text reading as date") << QVariant("7-2-2026") << "dd-mm-yyyy" << "07-02-2026";
    QTest::newRow("text not a date") << QVariant("BESOK") << "dd-mm-yyyy" << "BESOK     ";
    QTest::newRow("zeros always print") << QVariant(7) << "000" << "007";
    QTest::newRow("decimals") << QVariant(2.875) << "0.00" << "2.88";
    QTest::newRow("optional decimals trimmed") << QVariant(2.5) << "#.##" << "2.5 ";
}

void TestFormatters::padRight()
{
    QFETCH(QVariant, value);
    QFETCH(QString, mask);
    QFETCH(QString, cell);
    QCOMPARE(PadRightFormat(value, mask), cell);
}

void TestFormatters::padLeft_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("cell");
    QTest::newRow("whole number") << QVariant(12) << "###" << " 12";
    QTest::newRow("zero with hashes") << QVariant(0) << "###" << "  0";
    QTest::newRow("zero with decimals") << QVariant(0) << "0.00" << "   0";
    QTest::newRow("null") << QVariant() << "###" << "  0";
    QTest::newRow("negative") << QVariant(-2.5) << "0.00" << "   0";
    QTest::newRow("index") << QVariant(23.0 / 8.0) << "0.00" << "2.88";
    QTest::newRow("index below one") << QVariant(0.5) << "0.00" << "0.50";
    QTest::newRow("index whole") << QVariant(4.0) << "0.00" << "4.00";
    QTest::newRow("total") << QVariant(23.0) << "###" << " 23";
    QTest::newRow("total rounds") << QVariant(22.5) << "###" << " 23";
    QTest::newRow("exactly as wide") << QVariant(999) << "###" << "999";
    QTest::newRow("wider kept whole") << QVariant(1000) << "###" << "1000";
    QTest::newRow("wide index kept whole") << QVariant(123.456) << "0.00" << "123.46";
    QTest::newRow("large grouping") << QVariant(1234567.0) << "#,###,###" << "1,234,567";
}

void TestFormatters::padLeft()
{
    QFETCH(QVariant, value);
    QFETCH(QString, mask);
    QFETCH(QString, cell);
    QCOMPARE(PadLeftFormat(value, mask), cell);
}

void TestFormatters::positive_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("positive");
    QTest::newRow("above zero") << QVariant(0.01) << true;
    QTest::newRow("zero") << QVariant(0.0) << false;
    QTest::newRow("below zero") << QVariant(-1) << false;
    QTest::newRow("date") << QVariant(QDate(2000, 1, 1)) << true;
    QTest::newRow("text") << QVariant("ABC") << true;
    QTest::newRow("numeric text") << QVariant(" 5 ") << true;
    QTest::newRow("zero text") << QVariant("0.0") << false;
    QTest::newRow("empty") << QVariant(QString()) << false;
    QTest::newRow("null") << QVariant() << false;
}

void TestFormatters::positive()
{
    QFETCH(QVariant, value);
    QFETCH(bool, positive);
    QCOMPARE(IsPositiveValue(value), positive);
}

void TestFormatters::indonesianSeparators()
{
    QLocale::setDefault(QLocale(QLocale::Indonesian, QLocale::Indonesia));
    QCOMPARE(PadLeftFormat(23.0 / 8.0, QStringLiteral("0.00")), QStringLiteral("2,88"));
    QCOMPARE(PadRightFormat(1234, QStringLiteral("###,###")), QStringLiteral("1.234  "));
    // A text reading as a number counts as positive in either notation, and prints as stored.
    QCOMPARE(PadLeftFormat(QStringLiteral("2,5"), QStringLiteral("0.00")), QStringLiteral(" 2,5"));
    QCOMPARE(PadLeftFormat(QStringLiteral("0,0"), QStringLiteral("0.00")), QStringLiteral("   0"));
}

QTEST_APPLESS_MAIN(TestFormatters)
#include "tst_formatters.moc"
