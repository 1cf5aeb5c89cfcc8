// The main window: start-up, login and access levels, logout, menus, the
// screen registry, the credits screen and the timers.
#include "app/FrmInfo.h"
#include "app/FrmUtama.h"
#include "app/startmessage.h"
#include "common/module1.h"
#include "grades/frmtransaksi.h"
#include "reports/frmLaporan.h"
#include "search/FrmCari.h"
#include "students/FrmEntri.h"
#include "subjects/frmentrymatpel.h"
#include "testsupport.h"
#include "ui/datebox.h"
#include "ui/keys.h"
#include "ui/screens.h"

#include <QAction>
#include <QApplication>
#include <QAbstractButton>
#include <QMainWindow>
#include <QScreen>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <unistd.h>

using namespace pel;
using test::child;

namespace {

const QDateTime Monday(QDate(2026, 12, 7), QTime(9, 30, 15));

struct MenuState
{
    bool file, proses, cari, laporan, utility;
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startUpState();
    void menuBarLayout();
    void loginGrantsByLevel_data();
    void loginGrantsByLevel();
    void blanksAroundUserIdGrantWithoutName();
    void emptyBoxesAreReported();
    void threeRefusalsEndTheProgramAcrossLogout();
    void cancelOnRefusalEndsTheProgram();
    void logoutLocksAgain();
    void cancelInLoginFrame();
    void startFailsWithoutDatabase();
    void startMessageSaysHowToMakeTheDatabase_data();
    void startMessageSaysHowToMakeTheDatabase();
    void startBacksUpOnceADay();
    void firstStartAnswersWhileBackupIsMade();
    void startRetriesWhileDatabaseInUse();
    void failedBackupWarnsAndWorkGoesOn();
    void startFailsOnForeignFile();
    void startFailsOnWriteProtectedFile();
    void registryKeepsOneScreen();
    void credits();
    void menuItemsOpenScreens();
    void timersMoveTexts();
    void passwordStarsSeparatorsAndInnerSize();
    void altLettersOpenTheMenus();
    void everyAltLetterActsOnce();
    void menuSeparatorsStandOut();
    void altLetterOfDisabledControlTypesNothing();
    void dateBoxesTakeATypedDate();
    void screensOpenCentredMainKeepsItsPlace();
    void clockInIndonesian();

private:
    FrmUtama *openMain();
    void login(FrmUtama *window, const QString &user, const QString &password);
    void closeAll();

    test::TestDatabase *m_db = nullptr;
    test::StandIn *m_messages = nullptr;
};

void TestMainWindow::init()
{
    m_db = new test::TestDatabase;
    m_db->addOperator(QStringLiteral("entri"), QStringLiteral("SITI"), QStringLiteral("e1"), QStringLiteral("Entri"));
    m_db->addOperator(QStringLiteral("op"), QStringLiteral("BAMBANG"), QStringLiteral("o1"), QStringLiteral("Operator"));
    m_db->addOperator(QStringLiteral("act"), QStringLiteral("DEWI"), QStringLiteral("a1"), QStringLiteral("Activasi"));
    m_db->addOperator(QStringLiteral("boss"), QStringLiteral("HARTONO"), QStringLiteral("m1"), QStringLiteral(" Manager "));
    m_db->addOperator(QStringLiteral("low"), QStringLiteral("LOWER"), QStringLiteral("l1"), QStringLiteral("manager"));
    m_messages = new test::StandIn(Monday);
}

void TestMainWindow::cleanup()
{
    closeAll();
    QLocale::setDefault(QLocale::system());
    delete m_messages;
    delete m_db;
}

void TestMainWindow::closeAll()
{
    if (auto *info = ui::openScreen<FrmInfo>())
        info->close();
    if (auto *main = ui::openScreen<FrmUtama>())
        main->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

FrmUtama *TestMainWindow::openMain()
{
    auto *window = static_cast<FrmUtama *>(ui::showMainWindow());
    [&] { QVERIFY(QTest::qWaitForWindowActive(window)); }();
    return window;
}

void TestMainWindow::login(FrmUtama *window, const QString &user, const QString &password)
{
    test::click(window, QStringLiteral("CmdLogin"));
    test::typeInto(window, QStringLiteral("txtUser"), user);
    test::pressEnter(window, QStringLiteral("txtUser"));
    test::typeInto(window, QStringLiteral("txtPass"), password);
    test::pressEnter(window, QStringLiteral("txtPass"));
    test::pressEnter(window, QStringLiteral("cmdOK"));
}

static MenuState menus(QWidget *window)
{
    auto enabled = [window](const char *name) {
        return child<QMenu>(window, QLatin1String(name))->menuAction()->isEnabled();
    };
    return {enabled("menu"), enabled("trans1"), enabled("Cardat"), enabled("report"), enabled("utility")};
}

static bool welcomeShown(QWidget *window)
{
    bool all = true, any = false;
    for (const char *name : {"Lbl2", "Label4", "Label1", "Line1", "Label6", "Label5"}) {
        const bool visible = child<QWidget>(window, QLatin1String(name))->isVisible();
        all = all && visible;
        any = any || visible;
    }
    if (all != any)
        qWarning("welcome block half shown");
    return all;
}

void TestMainWindow::startUpState()
{
    LoginAttempt = 7;
    FrmUtama *window = openMain();
    QCOMPARE(LoginAttempt, 1);
    const MenuState state = menus(window);
    QVERIFY(!state.file && !state.proses && !state.cari && !state.laporan && !state.utility);
    QVERIFY(child<QMenu>(window, QStringLiteral("Keluar"))->menuAction()->isEnabled());
    QCOMPARE(window->statusPanel(1), QStringLiteral("Silahkan Lakukan Login !"));
    QCOMPARE(window->statusPanel(2), QStringLiteral("Senin, 07-12-2026"));
    // The time of start, in the system's own time format.
    QVERIFY2(QRegularExpression(QStringLiteral("^09\\D30\\D15")).match(window->statusPanel(3)).hasMatch(),
             qPrintable(window->statusPanel(3)));
    QVERIFY(!welcomeShown(window));
    QVERIFY(child<QLabel>(window, QStringLiteral("datasiswa"))->isVisible());
    QVERIFY(!child<QGroupBox>(window, QStringLiteral("FrLogin"))->isVisible());
    QVERIFY(child<QPushButton>(window, QStringLiteral("CmdLogin"))->isEnabled());
    QVERIFY(child<QPushButton>(window, QStringLiteral("CmdLogout"))->isEnabled());
    QCOMPARE(window->windowTitle(), QString(155, QLatin1Char(' ')) + QStringLiteral("MIRSA PELITAKSA"));
    QCOMPARE(QSize(window->width(), window->height() - window->menuBar()->height()), QSize(792, 546));
    QCOMPARE(m_messages->count(), 0);
}

void TestMainWindow::menuBarLayout()
{
    FrmUtama *window = openMain();
    QStringList bar;
    for (QAction *action : window->menuBar()->actions())
        bar << action->objectName() + QLatin1Char('=') + action->text();
    QCOMPARE(bar, QStringList({"menu=&File", "jk=", "trans1=&Proses Data", "b=", "Cardat=&Cari data", "c=",
                               "report=&Laporan", "d=", "utility=&Utility", "e=", "Keluar=&Exit"}));
    auto items = [window](const char *menu) {
        QStringList result;
        for (QAction *action : child<QMenu>(window, QLatin1String(menu))->actions())
            result << action->objectName() + (action->isSeparator() ? QStringLiteral("|-") : QLatin1Char('=') + action->text());
        return result;
    };
    QCOMPARE(items("menu"), QStringList({"jjk|-", "entridatamaha=&Entry Data Siswa", "hh|-",
                                         "entryPelajaran=&Entry Data Mata Pelajaran", "a|-"}));
    QCOMPARE(items("trans1"), QStringList({"q|-", "entran1=&Enty Data Nilai", "entrankelas=Entri Nilai &Kelas", "ww|-"}));
    QCOMPARE(items("Cardat"), QStringList({"ey|-", "searchdata=&Cari Data", "line|-"}));
    QCOMPARE(items("report"), QStringList({"r|-", "reporttransaction=&Lihat Laporan", "reportstatistik=&Statistik Nilai"}));
    QCOMPARE(items("utility"), QStringList({"m|-", "prog=&Hak Cipta", "o|-", "imporekspor=&Impor / Ekspor Data"}));
    QCOMPARE(items("Keluar"), QStringList({"jjj|-", "ggg=Keluar", "fgg|-"}));
    QCOMPARE(child<QAction>(window, QStringLiteral("reporttransaction"))->shortcut(), QKeySequence(QStringLiteral("Ctrl+L")));
}

void TestMainWindow::loginGrantsByLevel_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<bool>>("enabled");
    QTest::addColumn<bool>("welcome");
    QTest::newRow("Entri") << "entri" << "e1" << "SITI" << QList<bool>{true, false, false, false, true} << true;
    QTest::newRow("Operator") << "op" << "o1" << "BAMBANG" << QList<bool>{false, false, true, false, true} << true;
    QTest::newRow("Activasi") << "act" << "a1" << "DEWI" << QList<bool>{false, true, false, true, true} << true;
    QTest::newRow("Manager, level with blanks") << "boss" << "m1" << "HARTONO" << QList<bool>{true, true, true, true, true} << true;
    QTest::newRow("unknown level") << "low" << "l1" << "LOWER" << QList<bool>{false, false, false, false, false} << false;
}

void TestMainWindow::loginGrantsByLevel()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, name);
    QFETCH(QList<bool>, enabled);
    QFETCH(bool, welcome);
    FrmUtama *window = openMain();
    login(window, user, password);
    QCOMPARE(m_messages->count(), 0);
    const MenuState state = menus(window);
    QCOMPARE((QList<bool>{state.file, state.proses, state.cari, state.laporan, state.utility}), enabled);
    QCOMPARE(welcomeShown(window), welcome);
    QCOMPARE(window->statusPanel(1), QStringLiteral("USER : ") + name);
    QCOMPARE(child<QLabel>(window, QStringLiteral("Label5"))->text(), QStringLiteral(": ") + name);
    QVERIFY(!child<QGroupBox>(window, QStringLiteral("FrLogin"))->isVisible());
    QVERIFY(!child<QPushButton>(window, QStringLiteral("CmdLogin"))->isEnabled());
    QVERIFY(child<QPushButton>(window, QStringLiteral("CmdLogout"))->isEnabled());
    QVERIFY(child<QLineEdit>(window, QStringLiteral("txtUser"))->text().isEmpty());
    QVERIFY(child<QLineEdit>(window, QStringLiteral("txtPass"))->text().isEmpty());
    QCOMPARE(LoginUserId, user);
}

void TestMainWindow::blanksAroundUserIdGrantWithoutName()
{
    FrmUtama *window = openMain();
    login(window, QStringLiteral("  boss "), QStringLiteral(" m1"));
    QCOMPARE(m_messages->count(), 0);
    QVERIFY(menus(window).file);
    QCOMPARE(window->statusPanel(1), QStringLiteral("Silahkan Lakukan Login !"));
    QCOMPARE(child<QLabel>(window, QStringLiteral("Label5"))->text(), QStringLiteral(":"));
}

void TestMainWindow::emptyBoxesAreReported()
{
    FrmUtama *window = openMain();
    test::click(window, QStringLiteral("CmdLogin"));
    auto *ok = child<QPushButton>(window, QStringLiteral("cmdOK"));
    auto *user = child<QLineEdit>(window, QStringLiteral("txtUser"));
    auto *pass = child<QLineEdit>(window, QStringLiteral("txtPass"));
    QVERIFY(child<QGroupBox>(window, QStringLiteral("FrLogin"))->isVisible());
    QVERIFY(user->hasFocus());

    test::pressEnter(window, QStringLiteral("txtUser"));
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().text, QStringLiteral("Anda Belum Mengisi User ID !"));
    QCOMPARE(m_messages->last().title, QStringLiteral("Info"));
    QCOMPARE(m_messages->last().icon, ui::Icon::Critical);
    QCOMPARE(m_messages->last().buttons, ui::Buttons::Ok);
    QVERIFY(user->hasFocus());
    QVERIFY(!ok->isEnabled());

    test::typeInto(window, QStringLiteral("txtUser"), QStringLiteral("boss"));
    test::pressEnter(window, QStringLiteral("txtUser"));
    QVERIFY(pass->hasFocus());
    test::pressEnter(window, QStringLiteral("txtPass"));
    QCOMPARE(m_messages->last().text, QStringLiteral("Anda Belum Mengisi Password!"));
    QCOMPARE(m_messages->last().title, QStringLiteral("Info"));
    QVERIFY(pass->hasFocus());
    QVERIFY(!ok->isEnabled());

    test::typeInto(window, QStringLiteral("txtPass"), QStringLiteral("m1"));
    test::pressEnter(window, QStringLiteral("txtPass"));
    QVERIFY(ok->isEnabled());
    QVERIFY(ok->hasFocus());
    // Any key in the user box locks the Login button again.
    QTest::keyClick(user, Qt::Key_A);
    QVERIFY(!ok->isEnabled());
}

void TestMainWindow::threeRefusalsEndTheProgramAcrossLogout()
{
    FrmUtama *window = openMain();
    login(window, QStringLiteral("boss"), QStringLiteral("wrong"));
    QCOMPARE(m_messages->last().text, QStringLiteral(" Hak Akses Anda Belum Terdaftar  !\r Login ke : 1"));
    QCOMPARE(m_messages->last().title, QStringLiteral("PELITAKSA"));
    QCOMPARE(m_messages->last().icon, ui::Icon::None);
    QCOMPARE(m_messages->last().buttons, ui::Buttons::OkCancel);
    QVERIFY(child<QGroupBox>(window, QStringLiteral("FrLogin"))->isVisible());
    QVERIFY(child<QLineEdit>(window, QStringLiteral("txtUser"))->text().isEmpty());
    QVERIFY(child<QLineEdit>(window, QStringLiteral("txtUser"))->hasFocus());
    QCOMPARE(LoginAttempt, 2);

    // Letter case counts in the check.
    test::typeInto(window, QStringLiteral("txtUser"), QStringLiteral("BOSS"));
    test::pressEnter(window, QStringLiteral("txtUser"));
    test::typeInto(window, QStringLiteral("txtPass"), QStringLiteral("m1"));
    test::pressEnter(window, QStringLiteral("txtPass"));
    test::pressEnter(window, QStringLiteral("cmdOK"));
    QCOMPARE(m_messages->last().text, QStringLiteral(" Hak Akses Anda Belum Terdaftar  !\r Login ke : 2"));
    QCOMPARE(LoginAttempt, 3);

    test::typeInto(window, QStringLiteral("txtUser"), QStringLiteral("boss"));
    test::pressEnter(window, QStringLiteral("txtUser"));
    test::typeInto(window, QStringLiteral("txtPass"), QStringLiteral("m1"));
    test::pressEnter(window, QStringLiteral("txtPass"));
    test::pressEnter(window, QStringLiteral("cmdOK"));
    QCOMPARE(m_messages->count(), 2);
    QVERIFY(menus(window).file);

    test::click(window, QStringLiteral("CmdLogout"));
    QCOMPARE(LoginAttempt, 3);
    login(window, QStringLiteral("nobody"), QStringLiteral("x"));
    QCOMPARE(m_messages->count(), 4);
    QCOMPARE(m_messages->messages().at(2).text, QStringLiteral(" Hak Akses Anda Belum Terdaftar  !\r Login ke : 3"));
    QCOMPARE(m_messages->last().text, QStringLiteral(" Anda tidak berhak mengakses program !!"));
    QCOMPARE(m_messages->last().title, QStringLiteral("Informasi User ID"));
    QCOMPARE(m_messages->last().icon, ui::Icon::Critical);
    QCOMPARE(m_messages->ends(), 1);
}

void TestMainWindow::cancelOnRefusalEndsTheProgram()
{
    FrmUtama *window = openMain();
    m_messages->plan(ui::Answer::Cancel);
    login(window, QStringLiteral("boss"), QStringLiteral("wrong"));
    QCOMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->ends(), 1);
    QCOMPARE(LoginAttempt, 1);
}

void TestMainWindow::logoutLocksAgain()
{
    FrmUtama *window = openMain();
    login(window, QStringLiteral("boss"), QStringLiteral("m1"));
    test::click(window, QStringLiteral("CmdLogout"));
    const MenuState state = menus(window);
    QVERIFY(!state.file && !state.proses && !state.cari && !state.laporan && !state.utility);
    QVERIFY(!welcomeShown(window));
    QCOMPARE(window->statusPanel(1), QStringLiteral("Silahkan Lakukan Login !"));
    QCOMPARE(child<QLabel>(window, QStringLiteral("Label5"))->text(), QStringLiteral(": HARTONO"));
    QVERIFY(child<QPushButton>(window, QStringLiteral("CmdLogin"))->isEnabled());
    QVERIFY(!child<QPushButton>(window, QStringLiteral("CmdLogout"))->isEnabled());
    QVERIFY(child<QPushButton>(window, QStringLiteral("CmdKeluar"))->isEnabled());
    test::click(window, QStringLiteral("CmdKeluar"));
    QCOMPARE(m_messages->ends(), 1);
}

void TestMainWindow::cancelInLoginFrame()
{
    FrmUtama *window = openMain();
    test::click(window, QStringLiteral("CmdLogin"));
    test::typeInto(window, QStringLiteral("txtUser"), QStringLiteral("boss"));
    test::click(window, QStringLiteral("cmdBatal"));
    QVERIFY(!child<QGroupBox>(window, QStringLiteral("FrLogin"))->isVisible());
    QVERIFY(child<QLineEdit>(window, QStringLiteral("txtUser"))->text().isEmpty());
    auto *loginButton = child<QPushButton>(window, QStringLiteral("CmdLogin"));
    QVERIFY(!loginButton->isEnabled());
    loginButton->click();
    QVERIFY(!child<QGroupBox>(window, QStringLiteral("FrLogin"))->isVisible());
}

void TestMainWindow::startFailsWithoutDatabase()
{
    dbConnection.close();
    // The file is gone, or the server holds no database of that name.
    QString missing = m_db->filePath();
    if (test::onPostgres()) {
        db::DatabaseTarget target = m_db->target();
        target.databaseName += QStringLiteral("_hilang");
        ChosenDatabase = target;
        missing = target.databaseName;
    } else {
        QVERIFY(QFile::remove(m_db->filePath()));
    }
    QVERIFY(!FrmUtama::start());
    QCOMPARE(m_messages->count(), 1);
    QVERIFY(m_messages->last().text.contains(missing));
    QCOMPARE(m_messages->last().icon, ui::Icon::Critical);
    QVERIFY(m_messages->last().text.endsWith(QStringLiteral("\rProgram tidak dapat dijalankan.")));
    if (!test::onPostgres()) {
        QVERIFY(!QFile::exists(m_db->filePath()));
        // A newcomer started from the menu learns how to make the file.
        const QStringList lines = m_messages->last().text.split(QLatin1Char('\r'));
        QVERIFY2(lines.contains(QStringLiteral("    cd %1 && pelitaksa-admin create").arg(QDir::currentPath())),
                 qPrintable(lines.join(u'|')));
        QVERIFY(lines.contains(QStringLiteral("    cd %1 && pelitaksa-admin demo").arg(QDir::currentPath())));
    } else {
        // A server database is made by its administrator; no file to create.
        QVERIFY(!m_messages->last().text.contains(QStringLiteral("pelitaksa-admin")));
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!ui::openScreen<FrmUtama>());
}

void TestMainWindow::startMessageSaysHowToMakeTheDatabase_data()
{
    QTest::addColumn<bool>("missing");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("command"); // the line of "create"; empty when none

    QTest::newRow("SISWA.mdb: made in its folder")
        << true << "/home/ani/SISWA.mdb" << "    cd /home/ani && pelitaksa-admin create";
    QTest::newRow("a folder with blanks and a quote, quoted")
        << true << "/data/Tata Usaha/Bu Ani's/SISWA.mdb"
        << "    cd '/data/Tata Usaha/Bu Ani'\\''s' && pelitaksa-admin create";
    QTest::newRow("another file name, given whole")
        << true << "/srv/kelas/lama.mdb" << "    pelitaksa-admin --db /srv/kelas/lama.mdb create";
    QTest::newRow("a file that is there: no advice") << false << "/home/ani/SISWA.mdb" << "";
}

void TestMainWindow::startMessageSaysHowToMakeTheDatabase()
{
    QFETCH(bool, missing);
    QFETCH(QString, path);
    QFETCH(QString, command);
    const QString reason = QStringLiteral("File %1 tidak ditemukan.\rSebab: file tidak ditemukan.").arg(path);
    const QStringList lines = app::startFailureMessage(reason, missing, path).split(QLatin1Char('\r'));
    QCOMPARE(lines.mid(0, 2), reason.split(QLatin1Char('\r')));
    QCOMPARE(lines.last(), QStringLiteral("Program tidak dapat dijalankan."));
    if (command.isEmpty()) {
        QCOMPARE(lines.size(), 3);
        return;
    }
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines.at(3), command);
    QCOMPARE(lines.at(5), command.chopped(int(qstrlen("create"))) + QStringLiteral("demo"));
}

// What the status bar says about the day's backup, or nothing when it is hidden.
static QString backupStatus(QWidget *window)
{
    auto *label = child<QLabel>(window, QStringLiteral("lblSalinan"));
    return label && label->isVisible() ? label->text() : QString();
}

void TestMainWindow::startBacksUpOnceADay()
{
    if (test::onPostgres())
        QSKIP("the daily copy is of the SQLite file; a server's database is saved by the server's tools");
    QVERIFY(FrmUtama::start());
    QTRY_COMPARE(backupStatus(ui::openScreen<FrmUtama>()), QStringLiteral("Salinan harian database sudah dibuat."));
    closeAll();
    QVERIFY(FrmUtama::start());
    test::settle();
    QCOMPARE(backupStatus(ui::openScreen<FrmUtama>()), QString()); // made already today
    const QDir backups(m_db->folder() + QStringLiteral("/backup"));
    QCOMPARE(backups.entryList(QDir::Files), QStringList({QStringLiteral("SISWA-20261207-093015.mdb")}));
    QCOMPARE(m_messages->count(), 0);
}

void TestMainWindow::firstStartAnswersWhileBackupIsMade()
{
    if (test::onPostgres())
        QSKIP("the daily copy is of the SQLite file; a server's database is saved by the server's tools");
    QVERIFY(FrmUtama::start());
    auto *window = ui::openScreen<FrmUtama>();
    QVERIFY(window->isVisible());
    QCOMPARE(QDir(m_db->folder() + QStringLiteral("/backup")).entryList(QDir::Files), QStringList());
    {
        // Another desk writes while the copy is to be made: the copy waits
        // for it, and the main window answers meanwhile.
        QSqlDatabase desk = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("desk"));
        desk.setDatabaseName(m_db->filePath());
        QVERIFY(desk.open());
        QVERIFY(QSqlQuery(desk).exec(QStringLiteral("BEGIN EXCLUSIVE")));
        test::settle();
        QCOMPARE(backupStatus(window), QStringLiteral("Salinan harian database sedang dibuat..."));
        test::click(window, QStringLiteral("CmdLogin"));
        test::typeInto(window, QStringLiteral("txtUser"), QStringLiteral("boss"));
        QCOMPARE(child<QLineEdit>(window, QStringLiteral("txtUser"))->text(), QStringLiteral("boss"));
        QTest::qWait(300);
        QCOMPARE(backupStatus(window), QStringLiteral("Salinan harian database sedang dibuat..."));
        QVERIFY(QSqlQuery(desk).exec(QStringLiteral("COMMIT")));
        desk.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("desk"));
    QTRY_COMPARE(backupStatus(window), QStringLiteral("Salinan harian database sudah dibuat."));
    QCOMPARE(m_messages->count(), 0);
    QCOMPARE(QDir(m_db->folder() + QStringLiteral("/backup")).entryList(QDir::Files),
             QStringList({QStringLiteral("SISWA-20261207-093015.mdb")}));
}

void TestMainWindow::startRetriesWhileDatabaseInUse()
{
    if (test::onPostgres())
        QSKIP("only an SQLite file is locked whole by another program; server desks take turns per write");
    dbConnection.close();
    {
        QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
        holder.setDatabaseName(m_db->filePath());
        QVERIFY(holder.open());
        QVERIFY(QSqlQuery(holder).exec(QStringLiteral("BEGIN EXCLUSIVE")));
        // The other program ends while the operator reads the message.
        m_messages->onMessage = [&holder](const ui::Message &) {
            holder.rollback();
            holder.close();
            return ui::Answer::Ok;
        };
        QVERIFY(FrmUtama::start());
        m_messages->onMessage = {};
    }
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
    const QStringList shown = m_messages->texts();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown.first().contains(QStringLiteral("sedang dipakai program lain")), qPrintable(shown.first()));
    QVERIFY(shown.first().contains(m_db->filePath()));
    QVERIFY(dbConnection.isOpen());
}

void TestMainWindow::failedBackupWarnsAndWorkGoesOn()
{
    if (test::onPostgres())
        QSKIP("the daily copy is of the SQLite file; a server's database is saved by the server's tools");
    // A file where the backup folder should be.
    QFile blocker(m_db->folder() + QStringLiteral("/backup"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(FrmUtama::start());
    auto *window = ui::openScreen<FrmUtama>();
    QVERIFY(window && window->isVisible());
    QTRY_COMPARE(m_messages->count(), 1);
    QCOMPARE(m_messages->last().icon, ui::Icon::Warning);
    QVERIFY(m_messages->last().text.contains(QStringLiteral("pekerjaan dapat dilanjutkan")));
    QCOMPARE(backupStatus(window), QStringLiteral("Salinan harian database gagal dibuat."));
    login(window, QStringLiteral("boss"), QStringLiteral("m1"));
    QVERIFY(menus(window).file);
}

void TestMainWindow::startFailsOnWriteProtectedFile()
{
    if (test::onPostgres())
        QSKIP("about the SQLite file's permissions");
    if (geteuid() == 0)
        QSKIP("root writes to write-protected files");
    dbConnection.close();
    QVERIFY(QFile::setPermissions(m_db->filePath(), QFile::ReadOwner | QFile::ReadGroup));
    QVERIFY(!FrmUtama::start());
    QCOMPARE(m_messages->count(), 1);
    QVERIFY(m_messages->last().text.contains(m_db->filePath()));
    QVERIFY(m_messages->last().text.contains(QStringLiteral("tidak dapat ditulisi")));
    QFile::setPermissions(m_db->filePath(), QFile::ReadOwner | QFile::WriteOwner);
}

void TestMainWindow::startFailsOnForeignFile()
{
    if (test::onPostgres())
        QSKIP("about a file of another program in the SQLite file's place");
    dbConnection.close();
    QVERIFY(QFile::remove(m_db->filePath()));
    QFile foreign(m_db->filePath());
    QVERIFY(foreign.open(QIODevice::WriteOnly));
    // The start of a database file of another engine.
    foreign.write(QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(2048, 'x'));
    foreign.close();
    QVERIFY(!FrmUtama::start());
    QCOMPARE(m_messages->count(), 1);
    QVERIFY(m_messages->last().text.contains(m_db->filePath()));
    QCOMPARE(QFileInfo(m_db->filePath()).size(), qint64(2068));

    // An SQLite file without this program's tables is refused as well.
    QVERIFY(QFile::remove(m_db->filePath()));
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(m_db->filePath());
        QVERIFY(other.open());
        QSqlQuery(other).exec(QStringLiteral("create table SISWA (x)"));
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    QVERIFY(!FrmUtama::start());
    QVERIFY2(m_messages->last().text.contains(QStringLiteral("Pelajaran")), qPrintable(m_messages->last().text));
}

void TestMainWindow::registryKeepsOneScreen()
{
    FrmUtama *first = openMain();
    QCOMPARE(ui::showMainWindow(), first);
    QCOMPARE(ui::openScreen<FrmUtama>(), first);
    login(first, QStringLiteral("boss"), QStringLiteral("m1"));
    ui::hideMainWindow();
    QVERIFY(!first->isVisible());
    QCOMPARE(ui::showMainWindow(), first);
    QVERIFY(menus(first).file);

    // Keluar closes the main window; a later show builds a fresh, locked one.
    first->findChild<QAction *>(QStringLiteral("ggg"))->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!ui::openScreen<FrmUtama>());
    LoginAttempt = 3;
    FrmUtama *second = openMain();
    QVERIFY(!menus(second).file);
    QCOMPARE(LoginAttempt, 1);
}

void TestMainWindow::credits()
{
    FrmUtama *window = openMain();
    login(window, QStringLiteral("boss"), QStringLiteral("m1"));
    child<QAction>(window, QStringLiteral("prog"))->trigger();
    FrmInfo *info = ui::openScreen<FrmInfo>();
    QVERIFY(info && info->isVisible());
    QVERIFY(window->isVisible());
    QCOMPARE(info->windowTitle(), QStringLiteral("Programer"));
    QCOMPARE(info->size(), QSize(567, 566));
    auto *img = child<QLabel>(info, QStringLiteral("img"));
    QCOMPARE(img->size(), QSize(578, 845));
    QCOMPARE(img->pos(), QPoint(8, 512));

    QCOMPARE(info->pictureTopTwips(), 7680);
    info->Timer1_Timer();
    QCOMPARE(info->pictureTopTwips(), 7650);
    for (int i = 0; i < 255; ++i)
        info->Timer1_Timer();
    QCOMPARE(info->pictureTopTwips(), 0);
    info->Timer1_Timer();
    QCOMPARE(info->pictureTopTwips(), info->height() * 15);

    // With the credits open, Keluar leaves the program running; Exit on the
    // credits brings up a fresh, locked main window.
    child<QAction>(window, QStringLiteral("ggg"))->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!ui::openScreen<FrmUtama>());
    test::click(info, QStringLiteral("Command1"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!ui::openScreen<FrmInfo>());
    FrmUtama *fresh = ui::openScreen<FrmUtama>();
    QVERIFY(fresh && fresh->isVisible());
    QVERIFY(!menus(fresh).utility);
}

void TestMainWindow::menuItemsOpenScreens()
{
    FrmUtama *window = openMain();
    login(window, QStringLiteral("boss"), QStringLiteral("m1"));
    auto open = [window](const char *item) {
        child<QAction>(window, QLatin1String(item))->trigger();
        QCoreApplication::processEvents();
    };
    auto focusedName = []() {
        QWidget *focused = QApplication::focusWidget();
        return focused ? focused->objectName() : QString();
    };

    open("entridatamaha");
    QVERIFY(ui::openScreen<FrmEntri>());
    QVERIFY(QTest::qWaitForWindowActive(ui::openScreen<FrmEntri>()));
    QCOMPARE(focusedName(), QStringLiteral("txtnis"));
    QVERIFY(!window->isVisible());
    test::click(ui::openScreen<FrmEntri>(), QStringLiteral("cmdKeluar"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!ui::openScreen<FrmEntri>());
    QVERIFY(window->isVisible());

    open("entran1");
    QVERIFY(QTest::qWaitForWindowActive(ui::openScreen<frmtransaksi>()));
    QCOMPARE(focusedName(), QStringLiteral("txtNoreg"));
    QVERIFY(!window->isVisible());
    test::click(ui::openScreen<frmtransaksi>(), QStringLiteral("cmdKeluar"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window->isVisible());

    // The close box of a screen that hid the main window brings it back too.
    open("entran1");
    QVERIFY(!window->isVisible());
    ui::openScreen<frmtransaksi>()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window->isVisible());
    QCOMPARE(ui::openScreen<FrmUtama>(), window);

    open("entryPelajaran");
    QVERIFY(QTest::qWaitForWindowActive(ui::openScreen<frmentrymatpel>()));
    QCOMPARE(focusedName(), QStringLiteral("txtkopel"));
    QVERIFY(window->isVisible());
    ui::openScreen<frmentrymatpel>()->close();

    // The search item shows only the NIS button, every time it is chosen.
    open("searchdata");
    FrmCari *search = ui::openScreen<FrmCari>();
    QVERIFY(QTest::qWaitForWindowActive(search));
    QCOMPARE(focusedName(), QStringLiteral("textData"));
    QVERIFY(window->isVisible());
    const QStringList others{"cmdalamat", "cmdasalsekolah", "Cmdjeniskelamin", "Cmdagama", "cmdtptlahir",
                             "CmdTglMasuk", "CmdProgram", "CmdJekel", "Cmdnama", "cmdtgllahir"};
    child<QWidget>(search, QStringLiteral("Cmdnama"))->show();
    open("searchdata");
    QCOMPARE(ui::openScreen<FrmCari>(), search);
    QVERIFY(child<QWidget>(search, QStringLiteral("cmdnis"))->isEnabled());
    for (const QString &name : others)
        QVERIFY2(child<QWidget>(search, name)->isHidden(), qPrintable(name));
    search->close();

    open("reporttransaction");
    QVERIFY(ui::openScreen<frmLaporan>());
    QVERIFY(window->isVisible());
    ui::openScreen<frmLaporan>()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestMainWindow::timersMoveTexts()
{
    FrmUtama *window = openMain();
    const QString caption = window->windowTitle();
    window->Timer3_Timer();
    QCOMPARE(window->windowTitle(), caption.mid(1) + caption.left(1));
    for (int i = 1; i < caption.size(); ++i)
        window->Timer3_Timer();
    QCOMPARE(window->windowTitle(), caption);

    window->Timer4_Timer();
    QCOMPARE(child<QLabel>(window, QStringLiteral("Label29"))->text(), QStringLiteral("09:30:15"));
    QVERIFY(child<QLabel>(window, QStringLiteral("Label28"))->text().contains(QStringLiteral("12")));

    // The test moves the title tick by tick itself.
    child<QTimer>(window, QStringLiteral("Timer2"))->stop();
    auto *title = child<QLabel>(window, QStringLiteral("Label8"));
    const int width = window->centralWidget()->width();
    QCOMPARE(title->x(), width);
    window->Timer2_Timer();
    QCOMPARE(title->x(), (width * 15 - 100) / 15);
    int ticks = 1;
    while (title->x() * 15 > (width - title->width()) * 15 && ticks < 10000) {
        window->Timer2_Timer();
        ++ticks;
    }
    const int restingAt = title->x();
    // The rest: ticks do not move it, and the window keeps answering.
    window->Timer2_Timer();
    window->Timer2_Timer();
    QCOMPARE(title->x(), restingAt);
    test::click(window, QStringLiteral("CmdLogin"));
    QVERIFY(child<QGroupBox>(window, QStringLiteral("FrLogin"))->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(title->x(), width, FrmUtama::TitlePauseMs + 3000);
}

void TestMainWindow::passwordStarsSeparatorsAndInnerSize()
{
    FrmUtama *window = openMain();
    test::click(window, QStringLiteral("CmdLogin"));
    test::typeInto(window, QStringLiteral("txtPass"), QStringLiteral("m1 x"));
    QCOMPARE(child<QLineEdit>(window, QStringLiteral("txtPass"))->displayText(), QStringLiteral("****"));
    // Enter hands the focus to the Login button, which shows its focus mark.
    test::pressEnter(window, QStringLiteral("txtPass"));
    QCOMPARE(QApplication::focusWidget(), child<QWidget>(window, QStringLiteral("cmdOK")));
    QVERIFY(test::showsFocusMark(QApplication::focusWidget()));

    // The separators at the top and bottom of each menu take their room.
    for (const char *name : {"menu", "trans1", "Cardat", "report", "utility", "Keluar"}) {
        auto *menu = child<QMenu>(window, QLatin1String(name));
        for (QAction *action : menu->actions())
            if (action->isSeparator())
                QVERIFY2(menu->actionGeometry(action).height() > 0, qPrintable(action->objectName()));
    }

    // The inner 546 pixels (startUpState) end with the status bar.
    const QWidget *bar = window->statusBar();
    QCOMPARE(bar->geometry().bottom(), window->height() - 1);
    QCOMPARE(window->centralWidget()->height() + bar->height(), 546);
}

// Presses Alt with letter in window, as the operator does.
static void pressAlt(QWidget *window, Qt::Key letter)
{
    QTest::keyClick(window->windowHandle(), letter, Qt::AltModifier);
    QTest::qWait(300); // a button pressed by its letter clicks after a short animation
}

void TestMainWindow::altLettersOpenTheMenus()
{
    FrmUtama *window = openMain();
    test::click(window, QStringLiteral("CmdLogin"));
    int pressed = 0;
    for (const char *name : {"CmdKeluar", "cmdOK", "cmdBatal"})
        connect(child<QPushButton>(window, QLatin1String(name)), &QPushButton::clicked, this, [&pressed] { ++pressed; });

    // Alt+E opens the Exit menu, at once, and never ends the program.
    for (int i = 0; i < 2; ++i) {
        pressAlt(window, Qt::Key_E);
        QCOMPARE(QApplication::activePopupWidget(), child<QMenu>(window, QStringLiteral("Keluar")));
        QApplication::activePopupWidget()->close();
    }
    QCOMPARE(m_messages->ends(), 0);

    // Logged in, Alt+L and Alt+C open the report and search menus.
    login(window, QStringLiteral("boss"), QStringLiteral("m1"));
    pressed = 0;
    const QList<QPair<Qt::Key, const char *>> menus{{Qt::Key_L, "report"}, {Qt::Key_C, "Cardat"}};
    for (const auto &[letter, menu] : menus) {
        pressAlt(window, letter);
        QCOMPARE(QApplication::activePopupWidget(), child<QMenu>(window, QLatin1String(menu)));
        QApplication::activePopupWidget()->close();
    }
    QCOMPARE(pressed, 0);
    QCOMPARE(m_messages->ends(), 0);

    // In the File menu both items underline E: the first one opens.
    auto *file = child<QMenu>(window, QStringLiteral("menu"));
    file->popup(window->mapToGlobal(QPoint(0, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(file));
    QTest::keyClick(file, Qt::Key_E);
    QCoreApplication::processEvents();
    QVERIFY(ui::openScreen<FrmEntri>());
    QVERIFY(!ui::openScreen<frmentrymatpel>());
    QVERIFY(!file->isVisible());
    ui::openScreen<FrmEntri>()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The Alt letters of the menu bar and of the buttons that can be seen in
// window, with the letters that more than one of them claim.
static QStringList clashingLetters(QWidget *window)
{
    QStringList letters;
    if (auto *main = qobject_cast<QMainWindow *>(window))
        for (QAction *action : main->menuBar()->actions())
            if (!action->text().isEmpty())
                letters << QKeySequence::mnemonic(action->text()).toString();
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
        if (button->isVisibleTo(window) && !button->shortcut().isEmpty())
            letters << button->shortcut().toString();
    QStringList clashes;
    for (const QString &letter : letters)
        if (letters.count(letter) > 1 && !clashes.contains(letter))
            clashes << letter;
    return clashes;
}

void TestMainWindow::everyAltLetterActsOnce()
{
    FrmUtama *window = openMain();
    login(window, QStringLiteral("boss"), QStringLiteral("m1"));
    test::click(window, QStringLiteral("CmdLogout"));
    test::click(window, QStringLiteral("CmdLogin"));
    QVERIFY(child<QGroupBox>(window, QStringLiteral("FrLogin"))->isVisible());
    QCOMPARE(clashingLetters(window), QStringList());
    login(window, QStringLiteral("boss"), QStringLiteral("m1"));

    for (const char *item :
         {"entridatamaha", "entryPelajaran", "entran1", "searchdata", "reporttransaction", "reportstatistik", "prog"}) {
        child<QAction>(window, QLatin1String(item))->trigger();
        QWidget *screen = QApplication::activeWindow();
        QCoreApplication::processEvents();
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top != window && top->isVisible() && !qobject_cast<QMenu *>(top))
                screen = top;
        QVERIFY2(screen && screen != window, item);
        QVERIFY2(clashingLetters(screen).isEmpty(), qPrintable(clashingLetters(screen).join(QLatin1Char(' '))));
        screen->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ui::showMainWindow();
    }

    // On the report screen Alt+D runs the first "&Data..." button, every time.
    child<QAction>(window, QStringLiteral("reporttransaction"))->trigger();
    frmLaporan *reports = ui::openScreen<frmLaporan>();
    QVERIFY(QTest::qWaitForWindowActive(reports));
    QStringList clicked;
    for (const char *name : {"cmdLihat", "cmdLht", "cmdIPK"})
        connect(child<QPushButton>(reports, QLatin1String(name)), &QPushButton::clicked, this,
                [&clicked, name] { clicked << QLatin1String(name); });
    pressAlt(reports, Qt::Key_D);
    pressAlt(reports, Qt::Key_D);
    QCOMPARE(clicked, QStringList({"cmdLihat", "cmdLihat"}));
    reports->close();
}

// Every screen the data menus open, in the menus' order.
static const QList<const char *> DataScreens{"entridatamaha", "entryPelajaran", "entran1", "entrankelas",
                                             "searchdata",    "reporttransaction", "imporekspor"};

// Presses Alt with each of letters in every box of screen the operator can
// type into; none of them may change a box or press a button.
static void altLettersTypeNothing(QWidget *screen, const QList<Qt::Key> &letters)
{
    int clicks = 0;
    for (QAbstractButton *button : screen->findChildren<QAbstractButton *>())
        QObject::connect(button, &QAbstractButton::clicked, screen, [&clicks] { ++clicks; });
    int boxes = 0;
    for (QLineEdit *box : screen->findChildren<QLineEdit *>()) {
        if (!box->isVisible() || !box->isEnabled() || box->isReadOnly() || box->focusPolicy() == Qt::NoFocus)
            continue;
        ++boxes;
        ui::moveFocus(box);
        QVERIFY(box->hasFocus());
        box->deselect();
        const QString before = box->text();
        for (const Qt::Key letter : letters) {
            QTest::keyClick(screen->windowHandle(), letter, Qt::AltModifier);
            QVERIFY2(box->text() == before, qPrintable(QStringLiteral("%1 in %2: \"%3\"")
                                                          .arg(QKeySequence(letter).toString(), box->objectName(),
                                                               box->text())));
        }
    }
    QVERIFY2(boxes > 0, qPrintable(screen->objectName()));
    QTest::qWait(300); // a button pressed by its letter clicks after a short animation
    QCOMPARE(clicks, 0);
}

void TestMainWindow::menuSeparatorsStandOut()
{
    FrmUtama *window = openMain();
    login(window, QStringLiteral("boss"), QStringLiteral("m1"));
    int separators = 0;
    for (QMenu *menu : window->menuBar()->findChildren<QMenu *>()) {
        if (menu->objectName().isEmpty())
            continue; // the menu bar's own overflow menu
        menu->popup(window->mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        const QImage shown = menu->grab().toImage().scaled(menu->size());
        for (QAction *action : menu->actions()) {
            if (!action->isSeparator())
                continue;
            ++separators;
            // The line against the menu's background beside it: the middle
            // half of the separator's place, the menu's frame left out.
            const QRect place = menu->actionGeometry(action) & shown.rect().adjusted(0, 1, 0, -1);
            int darkest = 255;
            int lightest = 0;
            for (int y = place.top(); y <= place.bottom(); ++y) {
                for (int x = place.left() + place.width() / 4; x <= place.right() - place.width() / 4; ++x) {
                    darkest = std::min(darkest, qGray(shown.pixel(x, y)));
                    lightest = std::max(lightest, qGray(shown.pixel(x, y)));
                }
            }
            QVERIFY2(lightest - darkest >= 100, qPrintable(QStringLiteral("%1 in %2: %3 against %4")
                                                               .arg(action->objectName(), menu->objectName())
                                                               .arg(darkest)
                                                               .arg(lightest)));
        }
        menu->close();
    }
    QCOMPARE(separators, 12);
}

void TestMainWindow::altLetterOfDisabledControlTypesNothing()
{
    // Before a login: the five data menus and "Log &In" are disabled, and no
    // control has Q.
    FrmUtama *window = openMain();
    test::click(window, QStringLiteral("CmdLogin"));
    altLettersTypeNothing(window, {Qt::Key_F, Qt::Key_P, Qt::Key_C, Qt::Key_L, Qt::Key_U, Qt::Key_I, Qt::Key_Q});
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!QApplication::activePopupWidget());

    // On every data screen, with all its buttons disabled.
    login(window, QStringLiteral("boss"), QStringLiteral("m1"));
    for (const char *item : DataScreens) {
        child<QAction>(window, QLatin1String(item))->trigger();
        QWidget *screen = test::openedScreen(window);
        QVERIFY2(screen && QTest::qWaitForWindowActive(screen), item);
        QList<Qt::Key> letters{Qt::Key_Q};
        for (QAbstractButton *button : screen->findChildren<QAbstractButton *>()) {
            const QKeySequence letter = QKeySequence::mnemonic(button->text());
            if (!letter.isEmpty())
                letters << Qt::Key(letter[0].key());
            button->setEnabled(false);
        }
        if (item == QLatin1String("reporttransaction")) // its NIS box shows after "&Data Nilai Siswa"
            child<QWidget>(screen, QStringLiteral("frBantu1"))->show();
        altLettersTypeNothing(screen, letters);
        if (QTest::currentTestFailed())
            return;
        screen->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ui::showMainWindow();
    }
}

void TestMainWindow::dateBoxesTakeATypedDate()
{
    // The Enter flow moves the focus into a date box that shows today's
    // date (or the bare mask); a date typed then replaces what it shows.
    FrmUtama *window = openMain();
    login(window, QStringLiteral("boss"), QStringLiteral("m1"));
    int seen = 0;
    for (const char *item : DataScreens) {
        child<QAction>(window, QLatin1String(item))->trigger();
        QWidget *screen = test::openedScreen(window);
        QVERIFY2(screen && QTest::qWaitForWindowActive(screen), item);
        for (ui::DateBox *box : screen->findChildren<ui::DateBox *>()) {
            ++seen;
            ui::moveFocus(box);
            test::typeAtFocus(QStringLiteral("02012026"));
            QVERIFY2(box->text() == QStringLiteral("02-01-2026"), qPrintable(box->objectName() + box->text()));
        }
        screen->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ui::showMainWindow();
    }
    QCOMPARE(seen, 5); // two on the student screen, one each on the subject and both grade screens
}

void TestMainWindow::screensOpenCentredMainKeepsItsPlace()
{
    FrmUtama *window = openMain();
    login(window, QStringLiteral("boss"), QStringLiteral("m1"));
    // The main window stands where the system put it. A screen that hides it
    // closes: it comes back at that place, pinned there so that the window
    // system does not place it anew.
    QVERIFY(!window->testAttribute(Qt::WA_Moved));
    const QPoint systemPlace = window->pos();
    child<QAction>(window, QStringLiteral("entran1"))->trigger();
    QVERIFY(!window->isVisible());
    ui::openScreen<frmtransaksi>()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(window->isVisible());
    QCOMPARE(window->pos(), systemPlace);
    QVERIFY(window->testAttribute(Qt::WA_Moved));

    // Off the desktop's top edge, so that the screens taller than the main
    // window have room above it as well.
    window->move(0, 110);
    QTRY_COMPARE(window->pos(), QPoint(0, 110));
    const QRect available = window->screen()->availableGeometry();
    for (const char *item : {"entridatamaha", "entryPelajaran", "entran1", "searchdata", "reporttransaction"}) {
        const QPoint mainPlace = window->pos();
        const QPoint mainCentre = window->geometry().center();
        child<QAction>(window, QLatin1String(item))->trigger();
        QWidget *screen = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top != window && top->isVisible() && !qobject_cast<QMenu *>(top))
                screen = top;
        QVERIFY2(screen, item);
        QVERIFY(QTest::qWaitForWindowExposed(screen));
        // Centred over the main window, in each direction where the desktop
        // leaves room for it.
        const QRect inner = screen->geometry();
        if (inner.width() + 20 < available.width())
            QVERIFY2(qAbs(inner.center().x() - mainCentre.x()) <= 1, item);
        if (inner.height() + 2 * 110 < available.height())
            QVERIFY2(qAbs(inner.center().y() - mainCentre.y()) <= 1, item);
        QVERIFY2(available.contains(screen->frameGeometry().topLeft()), item);

        // When the screen closes, the main window is back at its place.
        screen->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window->isVisible());
        QCOMPARE(window->pos(), mainPlace);
    }
}

void TestMainWindow::clockInIndonesian()
{
    QLocale::setDefault(QLocale(QLocale::Indonesian, QLocale::Indonesia));
    FrmUtama *window = openMain();
    window->Timer4_Timer();
    QVERIFY2(child<QLabel>(window, QStringLiteral("Label28"))->text().startsWith(QStringLiteral("Senin, 12")),
             qPrintable(child<QLabel>(window, QStringLiteral("Label28"))->text()));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
