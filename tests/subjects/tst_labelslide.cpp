// The steps of the subject screen's moving label.
#include "subjects/labelslide.h"

#include <QTest>

using namespace pel;

class TestLabelSlide : public QObject
{
    Q_OBJECT
private slots:
    void slideSteps_data();
    void slideSteps();
};

void TestLabelSlide::slideSteps_data()
{
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("labelWidth");
    QTest::addColumn<int>("innerWidth");
    QTest::addColumn<int>("next"); // -1: rests
    QTest::newRow("at the right edge") << 9000 << 3000 << 9000 << 8900;
    QTest::newRow("one twip out") << 6001 << 3000 << 9000 << 5901;
    QTest::newRow("just inside") << 6000 << 3000 << 9000 << -1;
    QTest::newRow("near the left edge") << 120 << 3000 << 9000 << -1;
    QTest::newRow("label wider than screen") << -500 << 9500 << 9000 << -1;
    QTest::newRow("label wider, still out") << -400 << 9500 << 9000 << -500;
}

void TestLabelSlide::slideSteps()
{
    QFETCH(int, left);
    QFETCH(int, labelWidth);
    QFETCH(int, innerWidth);
    QFETCH(int, next);
    const std::optional<int> step = subjects::nextSlideLeft(left, labelWidth, innerWidth);
    QCOMPARE(step.has_value(), next != -1);
    if (step)
        QCOMPARE(*step, next);
}

QTEST_GUILESS_MAIN(TestLabelSlide)
#include "tst_labelslide.moc"
