// The grading rule, the quality points and the numbers of the grade boxes,
// in the default locale and in Indonesian (decimal comma).
#include "common/formatters.h"
#include "grades/gradenumbers.h"
#include "grades/gradestore.h"
#include "grades/grading.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

using namespace pel;

namespace {

// Makes Indonesian the default locale while it lives.
class IndonesianLocale
{
public:
    IndonesianLocale() { QLocale::setDefault(QLocale(QLocale::Indonesian, QLocale::Indonesia)); }
    ~IndonesianLocale() { QLocale::setDefault(m_previous); }

private:
    QLocale m_previous;
};

} // namespace

class TestGrading : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void gradeForScore_data();
    void gradeForScore();
    void qualityPoints_data();
    void qualityPoints();
    void readNumber_data();
    void readNumber();
    void indonesianNumbers();
    void nextNumberAfter_data();
    void nextNumberAfter();
};

void TestGrading::initTestCase()
{
    // The rows below are written with a decimal point.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestGrading::gradeForScore_data()
{
    QTest::addColumn<double>("score");
    QTest::addColumn<QString>("letter");
    QTest::addColumn<int>("weight");
    QTest::addColumn<QString>("predicate");
    QTest::addColumn<QString>("remark");

    const auto row = [](const char *name, double score, const char *letter, int weight, const char *predicate,
                        const char *remark) {
        QTest::newRow(name) << score << QString::fromLatin1(letter) << weight << QString::fromLatin1(predicate)
                            << QString::fromLatin1(remark);
    };
    row("100", 100, "A", 4, "Excellent", "Lulus");
    row("80", 80, "A", 4, "Excellent", "Lulus");
    row("85.5", 85.5, "A", 4, "Excellent", "Lulus");
    row("79", 79, "B", 3, "Very Good", "Lulus");
    row("70", 70, "B", 3, "Very Good", "Lulus");
    row("69", 69, "C", 2, "Good", "Lulus");
    row("65.25", 65.25, "C", 2, "Good", "Lulus");
    row("60", 60, "C", 2, "Good", "Lulus");
    row("59", 59, "D", 1, "Bad", "Failed");
    row("40.1", 40.1, "D", 1, "Bad", "Failed");
    row("40", 40, "D", 1, "Bad", "Failed");
    row("39", 39, "E", 0, "Worst", "Failed");
    row("0", 0, "E", 0, "Worst", "Failed");
    row("-5", -5, "E", 0, "Worst", "Failed");
    row("100.5", 100.5, "E", 0, "Worst", "Failed");
    row("150", 150, "E", 0, "Worst", "Failed");
    // A score is graded as the reports print it: rounded to a whole number,
    // halves away from zero.
    row("79.6", 79.6, "A", 4, "Excellent", "Lulus");
    row("79.5", 79.5, "A", 4, "Excellent", "Lulus");
    row("79.4", 79.4, "B", 3, "Very Good", "Lulus");
    row("79.99", 79.99, "A", 4, "Excellent", "Lulus");
    row("69.5", 69.5, "B", 3, "Very Good", "Lulus");
    row("69.49", 69.49, "C", 2, "Good", "Lulus");
    row("59.5", 59.5, "C", 2, "Good", "Lulus");
    row("59.4", 59.4, "D", 1, "Bad", "Failed");
    row("39.5", 39.5, "D", 1, "Bad", "Failed");
    row("39.49", 39.49, "E", 0, "Worst", "Failed");
    row("100.4", 100.4, "A", 4, "Excellent", "Lulus");
    row("100.01", 100.01, "A", 4, "Excellent", "Lulus");
    row("-0.5", -0.5, "E", 0, "Worst", "Failed");
    row("nan", std::nan(""), "E", 0, "Worst", "Failed");
}

void TestGrading::gradeForScore()
{
    QFETCH(double, score);
    const Grade grade = GradeForScore(score);
    QTEST(grade.letter, "letter");
    QTEST(grade.weight, "weight");
    QTEST(grade.predicate, "predicate");
    QTEST(grade.remark, "remark");

    // The reports print the score through the "###" cell: the whole number
    // they show earns the same letter as the score itself.
    if (std::isfinite(score) && score > 0) {
        bool whole = false;
        const double printed = PadRightFormat(score, QStringLiteral("###")).trimmed().toDouble(&whole);
        QVERIFY(whole);
        QCOMPARE(GradeForScore(printed).letter, grade.letter);
    }
}

void TestGrading::qualityPoints_data()
{
    QTest::addColumn<double>("weight");
    QTest::addColumn<double>("credits");
    QTest::addColumn<QString>("text");
    QTest::newRow("4x3") << 4.0 << 3.0 << QStringLiteral("12");
    QTest::newRow("weight 0") << 0.0 << 3.0 << QStringLiteral("0");
    QTest::newRow("weight 0, negative credits") << 0.0 << -3.0 << QStringLiteral("0");
    QTest::newRow("3x2.5") << 3.0 << 2.5 << QStringLiteral("7.5");
    QTest::newRow("binary fraction") << 3.0 << 0.1 << QStringLiteral("0.3");
    QTest::newRow("15 digits") << 4.0 << 1.2345678901234567 << QStringLiteral("4.93827156049383");
    QTest::newRow("thousands without separator") << 4.0 << 300.0 << QStringLiteral("1200");
}

void TestGrading::qualityPoints()
{
    QFETCH(double, weight);
    QFETCH(double, credits);
    QTEST(FormatQualityPoints(QualityPoints(weight, credits)), "text");
}

void TestGrading::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");
    QTest::newRow("whole") << QStringLiteral("65") << true << 65.0;
    QTest::newRow("blanks around") << QStringLiteral("  65.25 ") << true << 65.25;
    QTest::newRow("negative") << QStringLiteral("-5") << true << -5.0;
    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("blanks only") << QStringLiteral("   ") << false << 0.0;
    QTest::newRow("letters") << QStringLiteral("abc") << false << 0.0;
    QTest::newRow("digits and letters") << QStringLiteral("65a") << false << 0.0;
    QTest::newRow("two separators") << QStringLiteral("6.5.5") << false << 0.0;
    QTest::newRow("group separator") << QStringLiteral("1,000") << false << 0.0;
    QTest::newRow("infinity") << QStringLiteral("inf") << false << 0.0;
    QTest::newRow("not a number") << QStringLiteral("nan") << false << 0.0;
    QTest::newRow("too large") << QStringLiteral("1e999") << false << 0.0;
}

void TestGrading::readNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    const std::optional<double> number = grades::ReadNumber(text);
    QCOMPARE(number.has_value(), isNumber);
    if (isNumber)
        QCOMPARE(*number, value);
    // A text that is no number is stored as typed, for the database to refuse.
    QCOMPARE(grades::StoredNumber(text), isNumber ? QString::number(value) : text);
}

void TestGrading::indonesianNumbers()
{
    IndonesianLocale indonesian;
    QCOMPARE(FormatQualityPoints(QualityPoints(3, 2.5)), QStringLiteral("7,5"));
    QCOMPARE(FormatQualityPoints(QualityPoints(4, 300)), QStringLiteral("1200"));
    QCOMPARE(grades::ReadNumber(QStringLiteral(" 65,25 ")), std::optional<double>(65.25));
    QCOMPARE(grades::ReadNumber(QStringLiteral("7,5")), std::optional<double>(7.5));
    // A point is the group separator there: "1.000" is refused, not a thousand.
    QVERIFY(!grades::ReadNumber(QStringLiteral("1.000")));
    QVERIFY(!grades::ReadNumber(QStringLiteral("6,5,5")));
    // Shown with a comma, stored with a point.
    QCOMPARE(grades::StoredNumber(QStringLiteral("65,25")), QStringLiteral("65.25"));
    QCOMPARE(grades::StoredNumber(FormatQualityPoints(0.1 * 3)), QStringLiteral("0.3"));
}

void TestGrading::nextNumberAfter_data()
{
    QTest::addColumn<QVariant>("last");
    QTest::addColumn<QString>("next");
    QTest::newRow("whole") << QVariant(QStringLiteral("41")) << QStringLiteral("42");
    QTest::newRow("carry") << QVariant(QStringLiteral("99")) << QStringLiteral("100");
    QTest::newRow("leading zeros") << QVariant(QStringLiteral("0041")) << QStringLiteral("42");
    QTest::newRow("blanks around") << QVariant(QStringLiteral(" 41 ")) << QStringLiteral("42");
    QTest::newRow("stored as number") << QVariant(7) << QStringLiteral("8");
    QTest::newRow("no value") << QVariant() << QStringLiteral("1");
    QTest::newRow("empty") << QVariant(QString()) << QStringLiteral("1");
    QTest::newRow("prefix keeps width") << QVariant(QStringLiteral("REG-009")) << QStringLiteral("REG-010");
    QTest::newRow("prefix widens") << QVariant(QStringLiteral("A99")) << QStringLiteral("A100");
    QTest::newRow("fraction") << QVariant(QStringLiteral("7.5")) << QStringLiteral("7.6");
    QTest::newRow("no digits at end") << QVariant(QStringLiteral("A")) << QStringLiteral("A1");
    QTest::newRow("beyond 64 bits") << QVariant(QStringLiteral("99999999999999999999"))
                                    << QStringLiteral("100000000000000000000");
    QTest::newRow("largest 64-bit") << QVariant(QString::number(std::numeric_limits<qlonglong>::max()))
                                    << QStringLiteral("9223372036854775808");
}

void TestGrading::nextNumberAfter()
{
    QFETCH(QVariant, last);
    QTEST(grades::NextNumberAfter(last), "next");
}

QTEST_GUILESS_MAIN(TestGrading)
#include "tst_grading.moc"
