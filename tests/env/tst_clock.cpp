// The clock: the moment a stand-in fixes, and the clock labels in English and
// Indonesian settings.
#include "env/clock.h"
#include "testsupport.h"

#include <QLocale>
#include <QTest>

using namespace pel;

class TestClock : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::system()); }
    void fixedMoment();
    void labels_data();
    void labels();
};

void TestClock::fixedMoment()
{
    const QDateTime moment(QDate(2026, 12, 7), QTime(14, 5, 9));
    {
        test::StandIn standIn(moment);
        QCOMPARE(clock::now(), moment);
        QCOMPARE(clock::today(), QDate(2026, 12, 7));
        {
            // A stand-in over another answers until it goes.
            test::StandIn inner(moment.addDays(1));
            QCOMPARE(clock::today(), QDate(2026, 12, 8));
        }
        QCOMPARE(clock::today(), QDate(2026, 12, 7));
        standIn.releaseClock();
        QVERIFY(qAbs(clock::now().secsTo(QDateTime::currentDateTime())) < 60);
        standIn.fixClock(moment);
        QCOMPARE(clock::now(), moment);
    }
    QVERIFY(qAbs(clock::now().secsTo(QDateTime::currentDateTime())) < 60);
}

void TestClock::labels_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("date");
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << "Monday, 12/07/2026";
    QTest::newRow("Indonesian") << QLocale(QLocale::Indonesian, QLocale::Indonesia) << "Senin, 12/07/2026";
    QTest::newRow("German separator") << QLocale(QLocale::German, QLocale::Germany) << "Montag, 12.07.2026";
    QTest::newRow("C, blanks only") << QLocale::c() << "Monday, 12/07/2026";
}

void TestClock::labels()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, date);
    QLocale::setDefault(locale);
    const QDateTime moment(QDate(2026, 12, 7), QTime(14, 5, 9));
    QCOMPARE(clock::dayDateText(moment), date);
    QCOMPARE(clock::timeText(moment), QStringLiteral("14:05:09"));
    QCOMPARE(clock::timeText(QDateTime(QDate(2026, 1, 2), QTime(0, 0, 1))), QStringLiteral("00:00:01"));
}

QTEST_APPLESS_MAIN(TestClock)
#include "tst_clock.moc"
