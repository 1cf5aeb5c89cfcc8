#pragma once

#include "common/operatorstore.h"

#include <QMainWindow>
#include <QStringList>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;

namespace pel {

namespace db {
class DailyBackup;
struct Result;
}

// The main window: menus, login frame, "Main Menu" buttons, clock, status
// bar and the two moving texts. Its constructor is the start-up sequence.
class FrmUtama : public QMainWindow
{
    Q_OBJECT
public:
    explicit FrmUtama(QWidget *parent = nullptr);

    // Opens the main window through the screen registry. When the database
    // cannot be opened, says so, naming the file, and returns false.
    static bool start();
    // Starts the copy of the database into its backup folder when no copy
    // of today is there yet. The copy is made in the background while the
    // window answers; the status bar says when it is made, and a failed
    // copy warns the operator.
    void backUpOncePerDay();

    // The text of status bar panel 1, 2 or 3.
    QString statusPanel(int panel) const;

    // Handlers, named after their control and event.
    void CmdLogin_Click();
    void CmdLogout_Click();
    void CmdKeluar_Click();
    void cmdOK_Click();
    void cmdBatal_Click();
    bool txtUser_KeyPress(int key);
    bool txtPass_KeyPress(int key);
    void entridatamaha_Click();
    void entryPelajaran_Click();
    void entran1_Click();
    void entrankelas_Click();
    void searchdata_Click();
    void reporttransaction_Click();
    void reportstatistik_Click();
    void prog_Click();
    void imporekspor_Click();
    void ggg_Click();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();

    // The title's rest after it has slid fully into view.
    static constexpr int TitlePauseMs = 1500;

private:
    // How the opening of the database at start-up went.
    db::Result m_opened;

    void buildMenus();
    void buildContents();
    void setWelcomeVisible(bool visible);
    void setMenusEnabled(bool file, bool proses, bool cari, bool laporan, bool utility);
    void refuseLogin();
    void grantLogin(const Operator &granted);
    void backupFinished(const db::Result &result);

    QMenu *menu = nullptr;
    QMenu *trans1 = nullptr;
    QMenu *Cardat = nullptr;
    QMenu *report = nullptr;
    QMenu *utility = nullptr;
    QMenu *Keluar = nullptr;

    QFrame *Fram = nullptr;
    QLabel *Label28 = nullptr;
    QLabel *Label29 = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *datasiswa = nullptr;
    QLabel *Lbl2 = nullptr;
    QLabel *Label4 = nullptr;
    QFrame *Line1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label5 = nullptr;

    QGroupBox *FrLogin = nullptr;
    QLineEdit *txtUser = nullptr;
    QLineEdit *txtPass = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdBatal = nullptr;
    QGroupBox *Frame3 = nullptr;
    QPushButton *CmdLogin = nullptr;
    QPushButton *CmdLogout = nullptr;
    QPushButton *CmdKeluar = nullptr;

    QList<QLabel *> m_panels;
    QLabel *lblSalinan = nullptr; // the day's backup, while there is something to say
    db::DailyBackup *m_backup = nullptr;
    QTimer *Timer2 = nullptr;
    QTimer *Timer3 = nullptr;
    QTimer *Timer4 = nullptr;
    int m_titleLeftTwips = 0;
    bool m_titleResting = false;
};

} // namespace pel
