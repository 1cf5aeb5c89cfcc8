#pragma once

#include "common/access.h"
#include "transfer/tables.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace pel {

// "Impor / Ekspor Data": moves students, subjects or grades between the
// database and Excel or CSV files; it proposes Excel for a file that will be
// edited in a spreadsheet, and says why. The operator picks the table and the
// file, checks the file (every row is checked and shown, every problem
// listed), then imports it; or exports the table. The rights come from the
// login's menus: import of students and subjects with those of "&File",
// grades with those of "&Proses Data", export with any data menu.
class FrmTransfer : public QWidget
{
    Q_OBJECT
public:
    explicit FrmTransfer(QWidget *parent = nullptr);

    void setRights(const MenuRights &rights);

    // Handlers, named after their control and event.
    void cmbTabel_Click();
    void cmdPilih_Click();
    void cmdPeriksa_Click();
    void cmdImpor_Click();
    void cmdEkspor_Click();
    void cmdKeluar_Click();

    // How many checked rows the grid shows.
    static constexpr int PreviewRows = 500;

private:
    transfer::Table table() const;
    char separator() const;
    void updateButtons();
    void forgetCheck();
    void showProgress(qint64 done, qint64 total);
    bool runImport(bool dryRun);

    MenuRights m_rights;
    bool m_checked = false; // the file as it stands passed a check

    QComboBox *cmbTabel;
    QLineEdit *txtFile;
    QPushButton *cmdPilih;
    QComboBox *cmbPemisah;
    QCheckBox *chkUpdate;
    QPushButton *cmdPeriksa;
    QPushButton *cmdImpor;
    QPushButton *cmdEkspor;
    QPushButton *cmdKeluar;
    QLabel *lblSyarat; // what a check still lacks, while it lacks something
    QLabel *lblSaran;
    QLabel *lblRingkasan;
    QTableView *grdBaris;
    QStandardItemModel *m_rows;
    QPlainTextEdit *txtMasalah;
    QProgressBar *prgProses;
};

} // namespace pel
