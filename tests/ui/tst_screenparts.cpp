// The screen parts every screen shares: the masked date box, the Enter-key
// flow, the message seam and the letterhead.
#include "testsupport.h"
#include "ui/datebox.h"
#include "ui/keys.h"
#include "ui/letterhead.h"
#include "ui/messages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace pel;

class TestScreenParts : public QObject
{
    Q_OBJECT
private slots:
    void dateBoxKeepsPrompts();
    void dateBoxCanHold_data();
    void dateBoxCanHold();
    void enterFlow();
    void enterPressesFocusedButton();
    void messageSeamKeepsTextAndTitle();
    void letterhead();
};

void TestScreenParts::dateBoxKeepsPrompts()
{
    ui::DateBox box;
    QCOMPARE(box.text(), QStringLiteral("__-__-____"));
    box.setDate(QDate(2026, 12, 7));
    QCOMPARE(box.text(), QStringLiteral("07-12-2026"));
    box.clearToMask();
    QCOMPARE(box.text(), ui::DateBox::Empty);
    box.setFocus();
    QTest::keyClicks(&box, QStringLiteral("0712"));
    QCOMPARE(box.text(), QStringLiteral("07-12-____"));
    // Letters find no place in the mask.
    QTest::keyClicks(&box, QStringLiteral("ab2"));
    QCOMPARE(box.text(), QStringLiteral("07-12-2___"));
}

void TestScreenParts::dateBoxCanHold_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fits");
    QTest::newRow("date") << "07-12-2026" << true;
    QTest::newRow("untouched") << "__-__-____" << true;
    QTest::newRow("half typed") << "1_-0_-2___" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("year first") << "2026-12-07" << false;
    QTest::newRow("slashes") << "07/12/2026" << false;
    QTest::newRow("short year") << "07-12-26" << false;
    QTest::newRow("letters") << "ab-cd-efgh" << false;
    QTest::newRow("trailing blank") << "07-12-2026 " << false;
    QTest::newRow("too long") << "07-12-20260" << false;
}

void TestScreenParts::dateBoxCanHold()
{
    QFETCH(QString, text);
    QFETCH(bool, fits);
    QCOMPARE(ui::DateBox::canHold(text), fits);
    if (fits) {
        ui::DateBox box;
        box.setText(text);
        QCOMPARE(box.text(), text.isEmpty() ? ui::DateBox::Empty : text);
    }
}

void TestScreenParts::enterFlow()
{
    test::StandIn messages;
    QWidget screen;
    auto *layout = new QVBoxLayout(&screen);
    auto *first = new QLineEdit(&screen);
    auto *second = new QLineEdit(&screen);
    layout->addWidget(first);
    layout->addWidget(second);
    ui::enterMovesTo(first, second, QStringLiteral("Isi dulu !"), true);
    screen.show();
    QVERIFY(QTest::qWaitForWindowActive(&screen));

    first->setFocus();
    QTest::keyClick(first, Qt::Key_Return);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, QStringLiteral("Isi dulu !"));
    QCOMPARE(messages.last().title, QStringLiteral("Pesan"));
    QCOMPARE(messages.last().icon, ui::Icon::Critical);
    QVERIFY(first->hasFocus());

    QTest::keyClicks(first, QStringLiteral("o'neil"));
    QTest::keyClick(first, Qt::Key_Enter);
    QCOMPARE(first->text(), QStringLiteral("O'NEIL"));
    QVERIFY(second->hasFocus());
    QCOMPARE(messages.count(), 1);

    ui::focusAndSelect(first);
    QCOMPARE(first->selectedText(), QStringLiteral("O'NEIL"));
}

void TestScreenParts::enterPressesFocusedButton()
{
    QWidget screen;
    auto *button = new QPushButton(QStringLiteral("&Save"), &screen);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    ui::pressOnEnterAll(&screen);
    QTest::keyClick(button, Qt::Key_Return);
    QTest::keyClick(button, Qt::Key_Enter);
    QCOMPARE(clicks, 2);
    button->setEnabled(false);
    QTest::keyClick(button, Qt::Key_Return);
    QCOMPARE(clicks, 2);
}

void TestScreenParts::messageSeamKeepsTextAndTitle()
{
    test::StandIn messages;
    messages.plan(ui::Answer::No);
    const ui::Answer answer = ui::showMessage(QStringLiteral(" Baris satu\r baris dua  !"), QString(),
                                              ui::Icon::Question, ui::Buttons::YesNo);
    QCOMPARE(answer, ui::Answer::No);
    QCOMPARE(messages.last().text, QStringLiteral(" Baris satu\r baris dua  !"));
    QCOMPARE(messages.last().title, QStringLiteral("PELITAKSA"));
    QCOMPARE(messages.last().buttons, ui::Buttons::YesNo);
    QCOMPARE(ui::showMessage(QStringLiteral("x"), QStringLiteral("Info")), ui::Answer::Ok);
    QCOMPARE(messages.last().title, QStringLiteral("Info"));
}

void TestScreenParts::letterhead()
{
    ui::Letterhead head(QStringLiteral("ENTRY DATA PELAJARAN"), nullptr,
                        {"Label1", "Label2", "Label3", "Label4", "Label6"});
    QCOMPARE(head.line(0)->text(), QStringLiteral("YAYASAN PELITAKSA BUDIMAJU "));
    QCOMPARE(head.line(3)->text(), QStringLiteral("Jl. Teratai Baru Raya No. 117 Telp. (0700) 55501 Lirak"));
    QCOMPARE(head.title()->text(), QStringLiteral("ENTRY DATA PELAJARAN"));
    QCOMPARE(head.findChild<QLabel *>(QStringLiteral("Label6")), head.title());
}

QTEST_MAIN(TestScreenParts)
#include "tst_screenparts.moc"
