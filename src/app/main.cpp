#include "app/FrmUtama.h"
#include "app/programoptions.h"
#include "common/module1.h"
#include "db/databaseurl.h"
#include "ui/messages.h"
#include "ui/screens.h"
#include "ui/translations.h"

#include <QApplication>

#ifdef PELITAKSA_BENCH_HOOKS
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QWindow>

namespace {

// Ends the program when the key it waits for reaches the main window.
class EndOnKey : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F35)
            QCoreApplication::exit(0);
        return false;
    }
};

// Built into the benchmark build only (PELITAKSA_BENCH=ON), so that the
// whole process can be timed to its main window: with PELITAKSA_BENCH_EXIT
// set, the program ends as soon as the main window is on the screen; when
// it reads "login:USER:PASSWORD", after logging in with them; when it reads
// "key", once the main window, on the screen, has answered a key pressed
// then (the key waits behind whatever work holds the window's thread).
void endOnceShownForBenchmark()
{
    const QString exit = qEnvironmentVariable("PELITAKSA_BENCH_EXIT");
    if (exit.isEmpty())
        return;
    auto *poll = new QTimer(qApp);
    poll->setInterval(0);
    QObject::connect(poll, &QTimer::timeout, qApp, [poll, exit] {
        pel::FrmUtama *window = pel::ui::openScreen<pel::FrmUtama>();
        if (!window || !window->windowHandle() || !window->windowHandle()->isExposed())
            return;
        poll->stop();
        if (exit == QLatin1String("key")) {
            window->installEventFilter(new EndOnKey(window));
            QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyPress, Qt::Key_F35, Qt::NoModifier));
            return;
        }
        const QStringList login = exit.split(QLatin1Char(':'));
        if (login.size() == 3 && login.at(0) == QLatin1String("login")) {
            window->CmdLogin_Click();
            window->findChild<QLineEdit *>(QStringLiteral("txtUser"))->setText(login.at(1));
            window->findChild<QLineEdit *>(QStringLiteral("txtPass"))->setText(login.at(2));
            window->cmdOK_Click();
        }
        QCoreApplication::exit(0);
    });
    poll->start();
}

} // namespace
#endif

int main(int argc, char *argv[])
{
    // The help and the version are answered before any window system is
    // asked for, so they need no display; nor do they open a database.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (pel::app::asksForHelpOrVersion(arguments)) {
        const QCoreApplication answer(argc, argv);
        return pel::app::readProgramOptions(QCoreApplication::arguments()).exitCode.value_or(0);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PELITAKSA"));
    // The buttons and dialogs of the toolkit speak Indonesian, as the screens do.
    pel::ui::useIndonesianQtTexts();
    // The program ends when its last screen closes, as the main window's
    // "Keluar" leaves any other open screen running.
    QApplication::setQuitOnLastWindowClosed(true);
    // --database URL (or --database=URL) names the database; without it the
    // environment, pelitaksa.ini or SISWA.mdb here decide. QApplication has
    // taken its own options (-platform, -style, ...) out already.
    const pel::app::ProgramOptions options = pel::app::readProgramOptions(QApplication::arguments());
    if (options.exitCode)
        return *options.exitCode;
    const QString databaseOption = options.database;
    const pel::db::DatabaseChoice choice = pel::db::chooseDatabase(databaseOption);
    if (!choice.ok()) {
        pel::ui::showMessage(choice.error + QStringLiteral("\rProgram tidak dapat dijalankan."), QString(),
                             pel::ui::Icon::Critical, pel::ui::Buttons::Ok);
        return 1;
    }
    pel::ChosenDatabase = choice.target;
    if (!pel::FrmUtama::start())
        return 1;
#ifdef PELITAKSA_BENCH_HOOKS
    endOnceShownForBenchmark();
#endif
    return QApplication::exec();
}
