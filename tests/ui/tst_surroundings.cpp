// The program's surroundings: the real message box presses its default
// button on Enter, Qt's own boxes and dialogs speak Indonesian, and a
// stand-in answers for everything while it lives.
#include "env/clock.h"
#include "testsupport.h"
#include "ui/messages.h"
#include "ui/screens.h"
#include "ui/surroundings.h"
#include "ui/translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace pel;

class TestSurroundings : public QObject
{
    Q_OBJECT
private slots:
    void enterPressesDefaultButton_data();
    void enterPressesDefaultButton();
    void qtTextsInIndonesian_data();
    void qtTextsInIndonesian();
    void dialogsInIndonesian();
    void standInAnswersWhileItLives();
    void innerStandInTakesOverUntilItGoes();
};

void TestSurroundings::enterPressesDefaultButton_data()
{
    QTest::addColumn<ui::Buttons>("buttons");
    QTest::addColumn<std::optional<ui::Answer>>("defaultButton");
    QTest::addColumn<ui::Answer>("answer");
    QTest::newRow("deletion question") << ui::Buttons::YesNo << std::optional(ui::Answer::No) << ui::Answer::No;
    QTest::newRow("other question") << ui::Buttons::YesNo << std::optional<ui::Answer>() << ui::Answer::Yes;
    QTest::newRow("ok or cancel") << ui::Buttons::OkCancel << std::optional<ui::Answer>() << ui::Answer::Ok;
    QTest::newRow("ok") << ui::Buttons::Ok << std::optional<ui::Answer>() << ui::Answer::Ok;
}

void TestSurroundings::enterPressesDefaultButton()
{
    QFETCH(ui::Buttons, buttons);
    QFETCH(std::optional<ui::Answer>, defaultButton);
    QFETCH(ui::Answer, answer);
    QVERIFY(!ui::installedSurroundings()); // the system's own box

    // Enter is pressed in the box once it shows.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&poll] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible()) {
                poll.stop();
                QTest::keyClick(box, Qt::Key_Return);
                return;
            }
        }
    });
    poll.start(10);
    QCOMPARE(ui::showMessage(QStringLiteral("Benar data akan dihapus ?"), {}, ui::Icon::None, buttons, nullptr,
                             defaultButton),
             answer);
}

// Runs act on the first dialog of type T once it shows.
template <class T>
void actWhenShown(QTimer &poll, std::function<void(T *)> act)
{
    QObject::connect(&poll, &QTimer::timeout, [&poll, act] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *dialog = qobject_cast<T *>(window); dialog && dialog->isVisible()) {
                poll.stop();
                act(dialog);
                return;
            }
        }
    });
    poll.start(10);
}

QStringList buttonTexts(QMessageBox *box)
{
    QStringList texts;
    for (QAbstractButton *button : box->buttons())
        texts << button->text();
    texts.sort();
    return texts;
}

void TestSurroundings::qtTextsInIndonesian_data()
{
    QTest::addColumn<ui::Buttons>("buttons");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<Qt::Key>("letter");
    QTest::addColumn<ui::Answer>("answer");
    QTest::newRow("deletion question, Alt+T") << ui::Buttons::YesNo << QStringList{"&Tidak", "&Ya"} << Qt::Key_T
                                              << ui::Answer::No;
    QTest::newRow("deletion question, Alt+Y") << ui::Buttons::YesNo << QStringList{"&Tidak", "&Ya"} << Qt::Key_Y
                                              << ui::Answer::Yes;
    QTest::newRow("ok or cancel, Alt+B") << ui::Buttons::OkCancel << QStringList{"&Batal", "OK"} << Qt::Key_B
                                         << ui::Answer::Cancel;
}

void TestSurroundings::qtTextsInIndonesian()
{
    QFETCH(ui::Buttons, buttons);
    QFETCH(QStringList, texts);
    QFETCH(Qt::Key, letter);
    QFETCH(ui::Answer, answer);
    QVERIFY(ui::useIndonesianQtTexts());
    QStringList shown;
    QTimer poll;
    actWhenShown<QMessageBox>(poll, [&shown, letter](QMessageBox *box) {
        shown = buttonTexts(box);
        QTest::keyClick(box->windowHandle(), letter, Qt::AltModifier);
    });
    // The delete question: No is what Enter answers.
    QCOMPARE(ui::showMessage(QStringLiteral("Benar data akan dihapus ?"), {}, ui::Icon::None, buttons, nullptr,
                             ui::Answer::No),
             answer);
    QCOMPARE(shown, texts);
}

void TestSurroundings::dialogsInIndonesian()
{
    QVERIFY(ui::useIndonesianQtTexts());
    // The file dialog, as the PDF's save dialog and the transfer screen open it.
    {
        QFileDialog dialog(nullptr, QStringLiteral("Simpan PDF"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        QCOMPARE(test::child<QLabel>(&dialog, QStringLiteral("lookInLabel"))->text(), QStringLiteral("Lihat di:"));
        QCOMPARE(test::child<QLabel>(&dialog, QStringLiteral("fileNameLabel"))->text(), QStringLiteral("&Nama file:"));
        QCOMPARE(test::child<QLabel>(&dialog, QStringLiteral("fileTypeLabel"))->text(), QStringLiteral("Jenis file:"));
        QStringList buttons;
        for (QAbstractButton *button : test::child<QDialogButtonBox>(&dialog, QStringLiteral("buttonBox"))->buttons())
            buttons << button->text();
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"&Batal", "&Simpan"}));
    }
    // The print-setup dialog and the page settings behind it.
    {
        QPrinter printer;
        QPrintDialog dialog(&printer);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Cetak"));
        QPageSetupDialog pages(&printer);
        QStringList labels;
        for (QLabel *label : pages.findChildren<QLabel *>())
            labels << label->text();
        QVERIFY2(labels.contains(QStringLiteral("Ukuran kertas:")), qPrintable(labels.join(QLatin1Char('|'))));
        QVERIFY(!labels.contains(QStringLiteral("Page size:")));
    }
}

void TestSurroundings::standInAnswersWhileItLives()
{
    {
        test::StandIn standIn(QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
        QCOMPARE(&ui::surroundings(), static_cast<ui::Surroundings *>(&standIn));
        QCOMPARE(clock::today(), QDate(2026, 12, 7)); // the core's clock follows

        standIn.plan(ui::Answer::No);
        QCOMPARE(ui::showMessage(QStringLiteral("A"), {}, ui::Icon::Question, ui::Buttons::YesNo), ui::Answer::No);
        QCOMPARE(ui::showMessage(QStringLiteral("B"), QStringLiteral("Judul"), ui::Icon::Question, ui::Buttons::YesNo),
                 ui::Answer::Yes);
        QCOMPARE(standIn.texts(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
        QCOMPARE(standIn.messages().at(0).title, ui::ApplicationTitle);
        QCOMPARE(standIn.messages().at(0).defaultButton, ui::Answer::Yes);
        QCOMPARE(standIn.last().title, QStringLiteral("Judul"));

        ui::endProgram(); // noted; the test goes on
        ui::surroundings().beep();
        QCOMPARE(standIn.ends(), 1);
        QCOMPARE(standIn.beeps(), 1);
    }
    QCOMPARE(&ui::surroundings(), &ui::realSurroundings());
    QVERIFY(!ui::installedSurroundings());
}

void TestSurroundings::innerStandInTakesOverUntilItGoes()
{
    test::StandIn outer(QDateTime(QDate(2026, 12, 7), QTime(9, 30)));
    {
        test::StandIn inner(QDateTime(QDate(2027, 1, 2), QTime(8, 0)));
        QCOMPARE(clock::today(), QDate(2027, 1, 2));
        ui::showMessage(QStringLiteral("A"));
        QCOMPARE(inner.count(), 1);
    }
    QCOMPARE(&ui::surroundings(), static_cast<ui::Surroundings *>(&outer));
    QCOMPARE(clock::today(), QDate(2026, 12, 7));
    QCOMPARE(outer.count(), 0);
}

QTEST_MAIN(TestSurroundings)
#include "tst_surroundings.moc"
