// The screen parts every screen shares: the masked date box, the Enter-key
// flow, the message seam, the letterhead and the report viewer.
#include "testsupport.h"
#include "ui/boxes.h"
#include "ui/datebox.h"
#include "ui/keys.h"
#include "ui/letterhead.h"
#include "ui/messages.h"
#include "ui/reportviewer.h"

#include <QFocusEvent>
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
    void focusMarkFromTheFirstMove();
    void filledBoxShowsItsStart();
    void messageSeamKeepsTextAndTitle();
    void letterhead();
    void viewerKeepsText_data();
    void viewerKeepsText();
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

void TestScreenParts::focusMarkFromTheFirstMove()
{
    QWidget screen;
    auto *layout = new QVBoxLayout(&screen);
    auto *box = new QLineEdit(&screen);
    auto *save = new QPushButton(QStringLiteral("&Save"), &screen);
    layout->addWidget(box);
    layout->addWidget(save);
    Qt::FocusReason reason = Qt::OtherFocusReason;
    struct Recorder : QObject
    {
        Qt::FocusReason *reason;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::FocusIn)
                *reason = static_cast<QFocusEvent *>(event)->reason();
            return false;
        }
    } recorder;
    recorder.reason = &reason;
    save->installEventFilter(&recorder);
    ui::enterMovesTo(box, save, QStringLiteral("Isi dulu !"), true);
    screen.show();
    QVERIFY(QTest::qWaitForWindowActive(&screen));

    // No Tab has been pressed in this window: the first move by Enter shows
    // the button's focus mark all the same.
    box->setFocus(Qt::MouseFocusReason);
    QTest::keyClicks(box, QStringLiteral("x"));
    QTest::keyClick(box, Qt::Key_Return);
    QVERIFY(save->hasFocus());
    QCOMPARE(reason, Qt::TabFocusReason);
    QVERIFY(test::showsFocusMark(save));
}

void TestScreenParts::filledBoxShowsItsStart()
{
    QWidget screen;
    auto *box = new QLineEdit(&screen);
    box->setFixedWidth(60);
    screen.show();
    const QString longText = QStringLiteral("PENGANTAR KOMPUTER DAN APLIKASI PERKANTORAN");
    box->setText(longText);
    QVERIFY(test::firstShownCharacter(box) > 0); // what the toolkit alone shows
    ui::fill(box, longText);
    QCOMPARE(box->text(), longText);
    QCOMPARE(test::firstShownCharacter(box), 0);

    // Enter turns the text into capitals and still shows its start.
    auto *next = new QLineEdit(&screen);
    ui::enterMovesTo(box, next, QStringLiteral("Isi dulu !"), true);
    box->setText(longText.toLower());
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(box->text(), longText);
    QCOMPARE(test::firstShownCharacter(box), 0);
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

void TestScreenParts::viewerKeepsText_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << QStringLiteral("SITI AMINAH");
    QTest::newRow("Latin-1 letters") << QStringLiteral("JOS\u00c9 \u00d1U\u00d1EZ \u00e9\u00ff");
    QTest::newRow("beyond Latin-1") << QStringLiteral("\u0141UKASZ \u4e2d\u6587");
}

void TestScreenParts::viewerKeepsText()
{
    // The viewer gives back exactly the text it was given, however it keeps
    // it, and finds, selects and copies in it by characters.
    QFETCH(QString, name);
    QString text;
    for (int i = 0; i < 600; ++i)
        text += QStringLiteral(" %1  BARIS %2").arg(i, 4).arg(QString(150, QLatin1Char('.'))) + QStringLiteral("\r\n");
    text += QStringLiteral(" NAMA: ") + name + QStringLiteral("\r\n TAMAT");
    ui::ReportViewer viewer;

    viewer.setUtf8(text.toUtf8());
    QCOMPARE(viewer.text(), text);
    QCOMPARE(viewer.lineCount(), 602);
    QCOMPARE(viewer.line(600), QStringLiteral(" NAMA: ") + name);
    // Found past the first 64 Ki characters, letter case ignored.
    QVERIFY(viewer.find(name.toLower()));
    QCOMPARE(viewer.selectedText(), name);
    QVERIFY(viewer.find(QStringLiteral("baris")));
    QCOMPARE(viewer.selectedText(), QStringLiteral("BARIS"));

    viewer.setText(QStringLiteral("A\r\n"));
    viewer.appendText(name);
    viewer.appendText(QStringLiteral("\r\nB"));
    QCOMPARE(viewer.text(), QStringLiteral("A\r\n") + name + QStringLiteral("\r\nB"));
    QCOMPARE(viewer.line(1), name);
    viewer.selectAll();
    QCOMPARE(viewer.selectedText(), viewer.text());
    viewer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&viewer));
    viewer.clear();
    QCOMPARE(viewer.text(), QString());
    QCOMPARE(viewer.lineCount(), 1);
}

QTEST_MAIN(TestScreenParts)
#include "tst_screenparts.moc"
