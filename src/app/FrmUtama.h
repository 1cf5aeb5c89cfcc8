#pragma once

#include <QMainWindow>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QTimer;

namespace pel {

// The main window: menus, login frame, "Main Menu" buttons, clock, status
// bar and the two moving texts. Its constructor is the start-up sequence.
class FrmUtama : public QMainWindow
{
    Q_OBJECT
public:
    explicit FrmUtama(QWidget *parent = nullptr);

    // Shows the main window through the screen registry; when the database
    // cannot be opened, says so and returns false.
    static bool start();

    // Menu item handlers.
    void entridatamaha_Click();
    void entryPelajaran_Click();
    void entran1_Click();
    void searchdata_Click();
    void reporttransaction_Click();
    void prog_Click();
    void ggg_Click();
};

} // namespace pel
