// The screens on an X desktop with a window manager (run through
// scripts/desktop-test): the main window keeps its place however often a
// screen hides and shows it, every screen opens inside the desktop, and the
// real delete question is answered with Alt+T and Alt+Y.
#include "app/FrmUtama.h"
#include "common/module1.h"
#include "grades/frmtransaksi.h"
#include "students/FrmEntri.h"
#include "subjects/frmentrymatpel.h"
#include "testsupport.h"
#include "ui/screens.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace pel;
using test::child;

namespace {

// A window is placed once the window manager has framed it: its frame is
// larger than its inner area.
bool framed(QWidget *window)
{
    return window->isVisible() && window->frameGeometry() != window->geometry();
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void mainWindowKeepsItsPlace();
    void screensOpenInsideTheDesktop();
    void deleteQuestionAnsweredByAltLetters();

private:
    FrmUtama *openMainLoggedIn();

    std::unique_ptr<test::TestDatabase> m_db;
};

void TestDesktop::init()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X desktop: run through scripts/desktop-test");
    m_db = std::make_unique<test::TestDatabase>();
    m_db->addOperator(QStringLiteral("boss"), QStringLiteral("HARTONO"), QStringLiteral("m1"), QStringLiteral("Manager"));
}

void TestDesktop::cleanup()
{
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->isVisible() && !qobject_cast<FrmUtama *>(top))
            top->close();
    if (auto *main = ui::openScreen<FrmUtama>())
        main->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_db.reset();
}

FrmUtama *TestDesktop::openMainLoggedIn()
{
    test::StandIn messages;
    auto *window = static_cast<FrmUtama *>(ui::showMainWindow());
    if (!QTest::qWaitForWindowActive(window))
        qWarning("main window not active");
    test::click(window, QStringLiteral("CmdLogin"));
    test::typeInto(window, QStringLiteral("txtUser"), QStringLiteral("boss"));
    test::pressEnter(window, QStringLiteral("txtUser"));
    test::typeInto(window, QStringLiteral("txtPass"), QStringLiteral("m1"));
    test::pressEnter(window, QStringLiteral("txtPass"));
    test::pressEnter(window, QStringLiteral("cmdOK"));
    return window;
}

void TestDesktop::mainWindowKeepsItsPlace()
{
    FrmUtama *window = openMainLoggedIn();
    QTRY_VERIFY(framed(window));
    const QRect place = window->geometry();
    // The two screens that hide the main window, each opened and left
    // with its Exit button, again and again.
    for (int round = 1; round <= 3; ++round) {
        for (const char *item : {"entridatamaha", "entran1"}) {
            child<QAction>(window, QLatin1String(item))->trigger();
            QWidget *screen = test::openedScreen(window);
            QVERIFY2(screen, item);
            QVERIFY(QTest::qWaitForWindowExposed(screen));
            QVERIFY(!window->isVisible());
            test::click(screen, QStringLiteral("cmdKeluar"));
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QTRY_VERIFY(framed(window));
            QTRY_COMPARE(window->geometry(), place);
        }
    }
}

void TestDesktop::screensOpenInsideTheDesktop()
{
    FrmUtama *window = openMainLoggedIn();
    QTRY_VERIFY(framed(window));
    // The main window low on the right, partly off the desktop: a screen
    // centred over it would reach beyond the edges.
    const QRect desktop = window->screen()->availableGeometry();
    window->move(desktop.right() - window->frameGeometry().width() / 2, desktop.bottom() - 200);
    QTRY_VERIFY(window->frameGeometry().right() > desktop.right());
    for (const char *item : {"entryPelajaran", "entrankelas", "searchdata", "reporttransaction", "imporekspor"}) {
        child<QAction>(window, QLatin1String(item))->trigger();
        QWidget *screen = test::openedScreen(window);
        QVERIFY2(screen, item);
        QVERIFY(QTest::qWaitForWindowExposed(screen));
        QTRY_VERIFY(framed(screen));
        QVERIFY2(desktop.contains(screen->frameGeometry()),
                 qPrintable(QStringLiteral("%1: %2,%3 %4x%5").arg(QLatin1String(item)).arg(screen->frameGeometry().x())
                                .arg(screen->frameGeometry().y()).arg(screen->frameGeometry().width())
                                .arg(screen->frameGeometry().height())));
        screen->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void TestDesktop::deleteQuestionAnsweredByAltLetters()
{
    m_db->addSubject(QStringLiteral("MP01"), QStringLiteral("FISIKA"));
    frmentrymatpel *screen = ui::showScreen<frmentrymatpel>();
    QVERIFY(QTest::qWaitForWindowActive(screen));
    const auto subjects = [this] { return m_db->scalar(QStringLiteral("select count(*) from Pelajaran")).toInt(); };
    // Answers each box the system shows with the next of keys, as the
    // operator presses them once the box is there: pressed again until the
    // box goes, since the desktop takes a moment to give a new box the
    // keyboard.
    QList<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
    QStringList asked;
    QPointer<QMessageBox> answering;
    std::pair<Qt::Key, Qt::KeyboardModifiers> answer;
    int presses = 0;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || !box->isActiveWindow())
            return;
        if (box != answering) {
            if (keys.isEmpty())
                return;
            QStringList buttons;
            for (QAbstractButton *button : box->buttons())
                buttons << button->text();
            asked << box->text() + QLatin1Char('|') + buttons.join(QLatin1Char(' '));
            answering = box;
            answer = keys.takeFirst();
            presses = 0;
        }
        // A key that the box does not take leaves it to be closed here, so
        // that the test goes on and reports what was asked.
        if (++presses > 100) {
            box->done(-1);
            return;
        }
        QTest::keyClick(box->windowHandle(), answer.first, answer.second);
    });
    poll.start(50);

    test::typeInto(screen, QStringLiteral("txtkopel"), QStringLiteral("MP01"));
    keys = {{Qt::Key_T, Qt::AltModifier}};
    test::click(screen, QStringLiteral("CmdDelete"));
    QCOMPARE(subjects(), 1);
    QVERIFY2(asked.value(0).startsWith(QStringLiteral("Benar data akan dihapus ?|")), qPrintable(asked.value(0)));
    QVERIFY2(asked.value(0).contains(QStringLiteral("&Tidak")), qPrintable(asked.value(0)));

    test::typeInto(screen, QStringLiteral("txtkopel"), QStringLiteral("MP01"));
    keys = {{Qt::Key_Y, Qt::AltModifier}, {Qt::Key_Return, Qt::NoModifier}};
    test::click(screen, QStringLiteral("CmdDelete"));
    QVERIFY2(subjects() == 0, qPrintable(asked.join(QLatin1Char('/'))));
    QCOMPARE(asked.size(), 3);
    QVERIFY2(asked.at(2).startsWith(QStringLiteral("Data telah dihapus|")), qPrintable(asked.at(2)));
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
