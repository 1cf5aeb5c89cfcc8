#include "app/FrmUtama.h"

#include "common/access.h"
#include "app/FrmInfo.h"
#include "app/startmessage.h"
#include "common/module1.h"
#include "db/backup.h"
#include "db/dailybackup.h"
#include "db/failure.h"
#include "env/clock.h"
#include "grades/frmnilaikelas.h"
#include "grades/frmtransaksi.h"
#include "reports/frmLaporan.h"
#include "search/FrmCari.h"
#include "stats/frmStatistik.h"
#include "students/FrmEntri.h"
#include "subjects/frmentrymatpel.h"
#include "transfer/FrmTransfer.h"
#include "ui/keys.h"
#include "ui/menustyle.h"
#include "ui/messages.h"
#include "ui/named.h"
#include "ui/screens.h"

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

namespace pel {

namespace {

constexpr int TwipsPerPixel = 15;
// The window's inner size, menu bar excluded, status bar included.
constexpr int InnerWidth = 11880 / TwipsPerPixel;
constexpr int InnerHeight = 8190 / TwipsPerPixel;
const QString WindowTitleText = QString(155, QLatin1Char(' ')) + QStringLiteral("MIRSA PELITAKSA");
const QString LockedStatus = QStringLiteral("Silahkan Lakukan Login !");

// Day names by weekday, Sunday first.
const QStringList DayNames{QStringLiteral("Minggu"), QStringLiteral("Senin"), QStringLiteral("Selasa"),
                           QStringLiteral("Rabu"),   QStringLiteral("Kamis"), QStringLiteral("Jumat"),
                           QStringLiteral("Sabtu")};

QString dayName(const QDate &date)
{
    return DayNames.at(date.dayOfWeek() % 7);
}

void focusNamed(QWidget *screen, const char *name)
{
    if (auto *control = screen->findChild<QWidget *>(QLatin1String(name)))
        ui::moveFocus(control);
}

void setMenuEnabled(QMenu *menu, bool enabled)
{
    menu->setEnabled(enabled);
    menu->menuAction()->setEnabled(enabled);
}

template <class T>
T *placed(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    T *control = ui::named<T>(QLatin1String(name), parent, text);
    control->setGeometry(geometry);
    return control;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    return placed<QLabel>(parent, name, text, geometry);
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    return placed<QPushButton>(parent, name, text, geometry);
}

} // namespace

FrmUtama::FrmUtama(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FrmUtama"));
    setWindowTitle(WindowTitleText);
    buildMenus();
    buildContents();

    // Start-up.
    LoginAttempt = 1;
    setMenuEnabled(menu, false);
    setMenuEnabled(report, false);
    setMenuEnabled(utility, false);
    m_opened = OpenDatabase();
    const QDateTime started = clock::now();
    m_panels[0]->setText(LockedStatus);
    m_panels[1]->setText(dayName(started.date()) + QStringLiteral(", ")
                         + started.date().toString(QStringLiteral("dd-MM-yyyy")));
    QString timeFormat = QLocale().timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    m_panels[2]->setText(started.time().toString(timeFormat.trimmed()));
    setWelcomeVisible(false);
    datasiswa->show();
    setMenuEnabled(Cardat, false);
    setMenuEnabled(trans1, false);

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer3 = new QTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer4 = new QTimer(this);
    Timer4->setObjectName(QStringLiteral("Timer4"));
    for (QTimer *timer : {Timer2, Timer3, Timer4})
        timer->setInterval(100);
    connect(Timer2, &QTimer::timeout, this, &FrmUtama::Timer2_Timer);
    connect(Timer3, &QTimer::timeout, this, &FrmUtama::Timer3_Timer);
    connect(Timer4, &QTimer::timeout, this, &FrmUtama::Timer4_Timer);
    Timer4_Timer();
    Timer2->start();
    Timer3->start();
    Timer4->start();
}

void FrmUtama::backUpOncePerDay()
{
    // The first start of a day copies the database, in the background. A
    // copy that fails is reported, and the work goes on.
    // A database on a server is backed up by the server's own tools.
    if (dbConnection.isPostgres() || m_backup)
        return;
    const QDateTime now = clock::now();
    if (!db::backupDue(dbConnection.filePath(), now.date()))
        return;
    m_backup = new db::DailyBackup(dbConnection.filePath(), now, db::backupsToKeep(), this);
    connect(m_backup, &db::DailyBackup::finished, this, &FrmUtama::backupFinished);
    lblSalinan->setText(QStringLiteral("Salinan harian database sedang dibuat..."));
    lblSalinan->show();
}

void FrmUtama::backupFinished(const db::Result &result)
{
    if (result.ok()) {
        lblSalinan->setText(QStringLiteral("Salinan harian database sudah dibuat."));
        return;
    }
    lblSalinan->setText(QStringLiteral("Salinan harian database gagal dibuat."));
    ui::showMessage(QStringLiteral("Salinan harian database gagal dibuat; pekerjaan dapat dilanjutkan.\r")
                        + db::failureMessage(result),
                    QString(), ui::Icon::Warning, ui::Buttons::Ok, this);
}

bool FrmUtama::start()
{
    ui::registerMainWindow<FrmUtama>();
    FrmUtama *window = ui::createScreen<FrmUtama>();
    // A database that another program holds may be free a moment later: the
    // operator may try again as often as wanted.
    while (!window->m_opened.ok() && window->m_opened.cause == db::Cause::InUse) {
        const ui::Answer again = ui::showMessage(db::failureMessage(window->m_opened) + QStringLiteral("\rCoba lagi?"),
                                                 QString(), ui::Icon::Warning, ui::Buttons::OkCancel);
        if (again != ui::Answer::Ok)
            break;
        window->m_opened = OpenDatabase();
    }
    if (!window->m_opened.ok()) {
        const bool fileMissing = !ChosenDatabase.isPostgres() && window->m_opened.cause == db::Cause::NotFound;
        ui::showMessage(app::startFailureMessage(db::failureMessage(window->m_opened), fileMissing,
                                                 dbConnection.filePath()),
                        QString(), ui::Icon::Critical, ui::Buttons::Ok);
        delete window;
        return false;
    }
    window->show();
    // The copy starts once the window answers: it never holds up the start.
    QTimer::singleShot(0, window, &FrmUtama::backUpOncePerDay);
    return true;
}

void FrmUtama::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto addMenu = [bar](const char *name, const QString &title) {
        QMenu *m = bar->addMenu(title);
        m->setObjectName(QLatin1String(name));
        // The separators at the top and bottom of a menu are drawn, not
        // folded away as the toolkit does by default.
        m->setSeparatorsCollapsible(false);
        ui::showSeparatorsClearly(m);
        ui::firstItemTakesLetter(m);
        m->menuAction()->setObjectName(QLatin1String(name));
        return m;
    };
    auto addGap = [this, bar](const char *name) {
        auto *gap = new QAction(QString(), this);
        gap->setObjectName(QLatin1String(name));
        bar->addAction(gap);
    };
    auto addSeparator = [](QMenu *m, const char *name) { m->addSeparator()->setObjectName(QLatin1String(name)); };
    auto addItem = [this](QMenu *m, const char *name, const QString &text, void (FrmUtama::*handler)()) {
        QAction *item = m->addAction(text);
        item->setObjectName(QLatin1String(name));
        connect(item, &QAction::triggered, this, handler);
        return item;
    };

    menu = addMenu("menu", QStringLiteral("&File"));
    addSeparator(menu, "jjk");
    addItem(menu, "entridatamaha", QStringLiteral("&Entry Data Siswa"), &FrmUtama::entridatamaha_Click);
    addSeparator(menu, "hh");
    addItem(menu, "entryPelajaran", QStringLiteral("&Entry Data Mata Pelajaran"), &FrmUtama::entryPelajaran_Click);
    addSeparator(menu, "a");
    addGap("jk");

    trans1 = addMenu("trans1", QStringLiteral("&Proses Data"));
    addSeparator(trans1, "q");
    addItem(trans1, "entran1", QStringLiteral("&Enty Data Nilai"), &FrmUtama::entran1_Click);
    addItem(trans1, "entrankelas", QStringLiteral("Entri Nilai &Kelas"), &FrmUtama::entrankelas_Click);
    addSeparator(trans1, "ww");
    addGap("b");

    Cardat = addMenu("Cardat", QStringLiteral("&Cari data"));
    addSeparator(Cardat, "ey");
    addItem(Cardat, "searchdata", QStringLiteral("&Cari Data"), &FrmUtama::searchdata_Click);
    addSeparator(Cardat, "line");
    addGap("c");

    report = addMenu("report", QStringLiteral("&Laporan"));
    addSeparator(report, "r");
    addItem(report, "reporttransaction", QStringLiteral("&Lihat Laporan"), &FrmUtama::reporttransaction_Click)
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    addItem(report, "reportstatistik", QStringLiteral("&Statistik Nilai"), &FrmUtama::reportstatistik_Click);
    addGap("d");

    utility = addMenu("utility", QStringLiteral("&Utility"));
    addSeparator(utility, "m");
    addItem(utility, "prog", QStringLiteral("&Hak Cipta"), &FrmUtama::prog_Click);
    addSeparator(utility, "o");
    addItem(utility, "imporekspor", QStringLiteral("&Impor / Ekspor Data"), &FrmUtama::imporekspor_Click);
    addGap("e");

    Keluar = addMenu("Keluar", QStringLiteral("&Exit"));
    addSeparator(Keluar, "jjj");
    addItem(Keluar, "ggg", QStringLiteral("Keluar"), &FrmUtama::ggg_Click);
    addSeparator(Keluar, "fgg");
}

void FrmUtama::buildContents()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("FrmUtamaClient"));
    central->setAutoFillBackground(true);
    QPalette palette = central->palette();
    palette.setColor(QPalette::Window, QColor(0, 0, 160));
    palette.setColor(QPalette::WindowText, Qt::white);
    central->setPalette(palette);
    setCentralWidget(central);

    QFont arial(QStringLiteral("Arial"), 10, QFont::Bold);
    Label28 = makeLabel(central, "Label28", QString(), QRect(8, 6, 360, 20));
    Label28->setFont(arial);
    Label29 = makeLabel(central, "Label29", QString(), QRect(672, 6, 110, 20));
    Label29->setFont(arial);
    Label29->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Fram = new QFrame(central);
    Fram->setObjectName(QStringLiteral("Fram"));
    Fram->setFrameShape(QFrame::Box);
    Fram->setGeometry(6, 32, 780, 430);

    datasiswa = makeLabel(central, "datasiswa", QStringLiteral("PENANGANAN DATA"), QRect(20, 44, 300, 28));
    datasiswa->setFont(QFont(QStringLiteral("Arial"), 16, QFont::Bold));
    datasiswa->hide();

    Lbl2 = makeLabel(central, "Lbl2", QStringLiteral("TEKNOLOGI INFORMASI"), QRect(330, 60, 420, 30));
    Lbl2->setFont(QFont(QStringLiteral("Arial"), 18, QFont::Bold));
    Label4 = makeLabel(central, "Label4", QStringLiteral("MIRSA PELITAKSA"), QRect(330, 92, 420, 26));
    Label4->setFont(QFont(QStringLiteral("Arial"), 14, QFont::Bold));
    Line1 = new QFrame(central);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setGeometry(330, 122, 420, 4);
    Label1 = makeLabel(central, "Label1", QStringLiteral("YAYASAN PELITAKSA BUDIMAJU"), QRect(330, 130, 420, 24));
    Label1->setFont(QFont(QStringLiteral("Arial"), 12, QFont::Bold));
    Label6 = makeLabel(central, "Label6", QStringLiteral("Selamat Bergabung Bapak / Ibu"), QRect(330, 180, 420, 24));
    Label6->setFont(QFont(QStringLiteral("Arial"), 12));
    Label5 = makeLabel(central, "Label5", QStringLiteral(":"), QRect(330, 206, 420, 24));
    Label5->setFont(QFont(QStringLiteral("Arial"), 12, QFont::Bold));

    Frame3 = new QGroupBox(QStringLiteral("Main Menu"), central);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Frame3->setGeometry(20, 90, 140, 140);
    CmdLogin = makeButton(Frame3, "CmdLogin", QStringLiteral("Log &In"), QRect(12, 24, 116, 30));
    CmdLogout = makeButton(Frame3, "CmdLogout", QStringLiteral("Log &Out"), QRect(12, 60, 116, 30));
    CmdKeluar = makeButton(Frame3, "CmdKeluar", QStringLiteral("&Exit"), QRect(12, 96, 116, 30));

    FrLogin = new QGroupBox(QStringLiteral("Aplication Login"), central);
    FrLogin->setObjectName(QStringLiteral("FrLogin"));
    FrLogin->setGeometry(20, 250, 280, 130);
    makeLabel(FrLogin, "Label2", QStringLiteral("User ID"), QRect(12, 26, 70, 22));
    txtUser = new QLineEdit(FrLogin);
    txtUser->setObjectName(QStringLiteral("txtUser"));
    txtUser->setGeometry(90, 26, 176, 22);
    makeLabel(FrLogin, "Label3", QStringLiteral("Password"), QRect(12, 56, 70, 22));
    txtPass = new QLineEdit(FrLogin);
    txtPass->setObjectName(QStringLiteral("txtPass"));
    txtPass->setEchoMode(QLineEdit::Password);
    // One "*" for each character, whatever the style would draw.
    txtPass->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    txtPass->setGeometry(90, 56, 176, 22);
    cmdOK = makeButton(FrLogin, "cmdOK", QStringLiteral("&Login"), QRect(90, 90, 84, 28));
    cmdBatal = makeButton(FrLogin, "cmdBatal", QStringLiteral("&Cancel"), QRect(182, 90, 84, 28));
    FrLogin->hide();

    Label8 = makeLabel(central, "Label8", QStringLiteral("SISTEM INFORMASI PENGOLAHAN DATA NILAI"), QRect());
    QFont title(QStringLiteral("Times New Roman"), 24, QFont::Bold);
    Label8->setFont(title);
    QPalette titlePalette = Label8->palette();
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    Label8->setPalette(titlePalette);
    Label8->adjustSize();
    m_titleLeftTwips = InnerWidth * TwipsPerPixel;
    Label8->move(m_titleLeftTwips / TwipsPerPixel, 470);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    setStatusBar(bar);
    for (int i = 0; i < 3; ++i) {
        auto *panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i + 1));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        bar->addWidget(panel, i == 0 ? 3 : 1);
        m_panels << panel;
    }
    lblSalinan = new QLabel(bar);
    lblSalinan->setObjectName(QStringLiteral("lblSalinan"));
    lblSalinan->hide();
    bar->addPermanentWidget(lblSalinan);
    // The window's inner size, below the menu bar, holds the status bar.
    bar->setFixedHeight(bar->sizeHint().height());
    central->setFixedSize(InnerWidth, InnerHeight - bar->height());

    connect(CmdLogin, &QPushButton::clicked, this, &FrmUtama::CmdLogin_Click);
    connect(CmdLogout, &QPushButton::clicked, this, &FrmUtama::CmdLogout_Click);
    connect(CmdKeluar, &QPushButton::clicked, this, &FrmUtama::CmdKeluar_Click);
    connect(cmdOK, &QPushButton::clicked, this, &FrmUtama::cmdOK_Click);
    connect(cmdBatal, &QPushButton::clicked, this, &FrmUtama::cmdBatal_Click);
    ui::onKeyPress(txtUser, [this](QKeyEvent *event) { return txtUser_KeyPress(event->key()); });
    ui::onKeyPress(txtPass, [this](QKeyEvent *event) { return txtPass_KeyPress(event->key()); });
    ui::pressOnEnterAll(central);
    // The menu bar owns Alt+E, Alt+L and Alt+C: "&Exit" opens its menu rather
    // than ending the program, "&Laporan" and "&Cari data" open theirs.
    for (QPushButton *button : {CmdKeluar, cmdOK, cmdBatal})
        ui::leaveLetterToFirst(button);
}

QString FrmUtama::statusPanel(int panel) const
{
    return m_panels.value(panel - 1) ? m_panels.value(panel - 1)->text() : QString();
}

void FrmUtama::setWelcomeVisible(bool visible)
{
    for (QWidget *widget : {static_cast<QWidget *>(Lbl2), static_cast<QWidget *>(Label4),
                            static_cast<QWidget *>(Label1), static_cast<QWidget *>(Line1),
                            static_cast<QWidget *>(Label6), static_cast<QWidget *>(Label5)})
        widget->setVisible(visible);
}

void FrmUtama::setMenusEnabled(bool file, bool proses, bool cari, bool laporan, bool utilityEnabled)
{
    setMenuEnabled(menu, file);
    setMenuEnabled(trans1, proses);
    setMenuEnabled(Cardat, cari);
    setMenuEnabled(report, laporan);
    setMenuEnabled(utility, utilityEnabled);
}

// ---- Login ----------------------------------------------------------------

void FrmUtama::CmdLogin_Click()
{
    FrLogin->show();
    CmdLogin->setEnabled(false);
    CmdLogout->setEnabled(true);
    ui::moveFocus(txtUser);
}

bool FrmUtama::txtUser_KeyPress(int key)
{
    cmdOK->setEnabled(false);
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    if (txtUser->text().isEmpty()) {
        ui::showMessage(QStringLiteral("Anda Belum Mengisi User ID !"), QStringLiteral("Info"), ui::Icon::Critical,
                        ui::Buttons::Ok, this);
        ui::moveFocus(txtUser);
    } else {
        ui::moveFocus(txtPass);
    }
    return true;
}

bool FrmUtama::txtPass_KeyPress(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    if (txtPass->text().isEmpty()) {
        ui::showMessage(QStringLiteral("Anda Belum Mengisi Password!"), QStringLiteral("Info"), ui::Icon::Critical,
                        ui::Buttons::Ok, this);
        ui::moveFocus(txtPass);
    } else {
        cmdOK->setEnabled(true);
        ui::moveFocus(cmdOK);
    }
    return true;
}

void FrmUtama::cmdOK_Click()
{
    FrLogin->hide();
    LoginUserId = txtUser->text();
    LoginPassword = txtPass->text();
    // A login that cannot reach the database says why and leaves the frame
    // with what was typed, so the operator can try again.
    if (const db::Result opened = OpenDatabase(); !opened.ok()) {
        ui::showMessage(db::failureMessage(opened), QString(), ui::Icon::Critical, ui::Buttons::Ok, this);
        FrLogin->show();
        return;
    }
    Operator granted;
    const db::Result checked = OperatorStore(dbConnection).checkLogin(LoginUserId, LoginPassword, &granted);
    if (checked.kind == db::Result::Kind::NotFound) {
        refuseLogin();
    } else if (!checked.ok()) {
        ui::showFailure(QStringLiteral("Daftar petugas tidak dapat dibaca."), checked, {}, ui::Icon::Critical, this);
        FrLogin->show();
    } else {
        grantLogin(granted);
    }
}

void FrmUtama::refuseLogin()
{
    FrLogin->show();
    const ui::Answer answer = ui::showMessage(QStringLiteral(" Hak Akses Anda Belum Terdaftar  !\r Login ke : ")
                                                  + QString::number(LoginAttempt),
                                              QString(), ui::Icon::None, ui::Buttons::OkCancel, this);
    if (answer != ui::Answer::Ok) {
        ui::endProgram();
        return;
    }
    if (LoginAttempt == 3) {
        ui::showMessage(QStringLiteral(" Anda tidak berhak mengakses program !!"), QStringLiteral("Informasi User ID"),
                        ui::Icon::Critical, ui::Buttons::Ok, this);
        ui::endProgram();
        return;
    }
    ++LoginAttempt;
    txtUser->clear();
    txtPass->clear();
    ui::moveFocus(txtUser);
}

void FrmUtama::grantLogin(const Operator &granted)
{
    if (const auto rights = rightsForLevel(granted.level)) {
        setMenusEnabled(rights->file, rights->proses, rights->cari, rights->laporan, rights->utility);
        setWelcomeVisible(true);
    }
    txtUser->clear();
    txtPass->clear();

    QString name;
    const db::Result named = OperatorStore(dbConnection).nameOf(LoginUserId, &name);
    if (named.ok()) {
        m_panels[0]->setText(QStringLiteral("USER : ") + name);
        Label5->setText(QStringLiteral(": ") + name);
    } else if (named.kind != db::Result::Kind::NotFound) {
        ui::showFailure(QStringLiteral("Nama petugas tidak dapat dibaca."), named, {}, ui::Icon::Critical, this);
    }
}

void FrmUtama::cmdBatal_Click()
{
    FrLogin->hide();
    txtUser->clear();
    txtPass->clear();
}

void FrmUtama::CmdLogout_Click()
{
    CmdLogout->setEnabled(false);
    CmdLogin->setEnabled(true);
    CmdKeluar->setEnabled(true);
    m_panels[0]->setText(LockedStatus);
    setMenuEnabled(menu, false);
    setMenuEnabled(Cardat, false);
    setMenuEnabled(utility, false);
    setWelcomeVisible(false);
    setMenuEnabled(trans1, false);
    setMenuEnabled(report, false);
    FrLogin->hide();
}

void FrmUtama::CmdKeluar_Click()
{
    ui::endProgram();
}

// ---- Menu items -------------------------------------------------------------

void FrmUtama::entridatamaha_Click()
{
    focusNamed(ui::showScreen<FrmEntri>(), "txtnis");
    ui::hideMainWindow();
}

void FrmUtama::entryPelajaran_Click()
{
    focusNamed(ui::showScreen<frmentrymatpel>(), "txtkopel");
}

void FrmUtama::entran1_Click()
{
    focusNamed(ui::showScreen<frmtransaksi>(), "txtNoreg");
    ui::hideMainWindow();
}

void FrmUtama::entrankelas_Click()
{
    focusNamed(ui::showScreen<frmnilaikelas>(), "txtkopel");
}

void FrmUtama::searchdata_Click()
{
    FrmCari *search = ui::showScreen<FrmCari>();
    focusNamed(search, "textData");
    search->resetSearchButtons();
}

void FrmUtama::reporttransaction_Click()
{
    frmLaporan *reports = ui::showScreen<frmLaporan>();
    if (QWidget *focused = reports->focusWidget())
        ui::selectWholeText(focused);
}

void FrmUtama::reportstatistik_Click()
{
    ui::focusAndSelect(ui::showScreen<frmStatistik>()->findChild<QWidget *>(QStringLiteral("cmbProgram")));
}

void FrmUtama::prog_Click()
{
    ui::showScreen<FrmInfo>();
}

// The transfer screen gets the rights of the menus the login opened.
void FrmUtama::imporekspor_Click()
{
    ui::showScreen<FrmTransfer>()->setRights(
        {menu->isEnabled(), trans1->isEnabled(), Cardat->isEnabled(), report->isEnabled(), utility->isEnabled()});
}

void FrmUtama::ggg_Click()
{
    close();
}

// ---- Timers -----------------------------------------------------------------

void FrmUtama::Timer2_Timer()
{
    if (m_titleResting)
        return;
    const int innerWidth = centralWidget()->width() * TwipsPerPixel;
    const int titleWidth = Label8->width() * TwipsPerPixel;
    if (m_titleLeftTwips > innerWidth - titleWidth) {
        m_titleLeftTwips -= 100;
        Label8->move(m_titleLeftTwips / TwipsPerPixel, Label8->y());
        return;
    }
    // Fully in view: rest, then start again just beyond the right edge. The
    // window keeps answering while the title rests.
    m_titleResting = true;
    QTimer::singleShot(TitlePauseMs, this, [this] {
        m_titleLeftTwips = centralWidget()->width() * TwipsPerPixel;
        Label8->move(m_titleLeftTwips / TwipsPerPixel, Label8->y());
        m_titleResting = false;
    });
}

void FrmUtama::Timer3_Timer()
{
    const QString caption = windowTitle();
    if (!caption.isEmpty())
        setWindowTitle(caption.mid(1) + caption.left(1));
}

void FrmUtama::Timer4_Timer()
{
    const QDateTime moment = clock::now();
    Label28->setText(clock::dayDateText(moment));
    Label29->setText(clock::timeText(moment));
}

} // namespace pel
