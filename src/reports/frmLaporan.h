#pragma once

#include "reports/printing.h"
#include "reports/reportrunner.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QDate;
class QFrame;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace pel {

namespace ui {
class ReportViewer;
}

namespace reports {
struct FileReportOptions;
struct ReportResult;
} // namespace reports

// "Laporan": the report screen. It shows the four reports in the viewer
// rtfLap2, appends per-student reports to what the viewer holds, and writes
// the two file reports.
class frmLaporan : public QWidget
{
    Q_OBJECT
public:
    explicit frmLaporan(QWidget *parent = nullptr);

    // The viewer's text as the reports wrote it, lines ending with CR LF.
    QString reportText() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void cmdLihat_Click();
    void cmdLht_Click();
    void cmdIPK_Click();
    void cmdSrt_Click();
    void cmdKsg_Click();
    void cmdCetak_Click(); // prints the viewer's text
    void cmdPdf_Click();   // saves the viewer's text as a PDF file
    void cmdExit_Click();
    void cmbNis_KeyPress();
    void cmbNis1_KeyPress();

    // Runs a file report with the progress bar and shows its whole text.
    void runFileReport(reports::ReportKind kind,
                       reports::ReportResult (*write)(const db::Connection &, const QDate &,
                                                      const reports::FileReportOptions &));
    // Runs a per-student report for the NIS in box and appends its text.
    void runStudentReport(reports::ReportKind kind,
                          reports::ReportResult (*run)(const db::Connection &, const QString &, const QDate &),
                          QComboBox *box);
    // Shows why a report gave no text.
    void showFailure(const reports::ReportResult &result);
    // Adds text at the end of the viewer, the caret placed at the end first.
    void appendToViewer(const QString &text);

    QLabel *LblJudul = nullptr;
    QFrame *Line1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QPushButton *cmdLihat = nullptr;
    QPushButton *cmdLht = nullptr;
    QPushButton *cmdIPK = nullptr;
    QPushButton *cmdSrt = nullptr;
    QPushButton *cmdKsg = nullptr;
    QPushButton *cmdCetak = nullptr;
    QPushButton *cmdPdf = nullptr;
    QPushButton *cmdExit = nullptr;
    QGroupBox *frBantu1 = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *cmbNis = nullptr;
    QLabel *lblInfo1 = nullptr;
    QComboBox *cmbNis1 = nullptr;
    QLabel *lblInfo2 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QComboBox *cmbPrinter1 = nullptr;
    QFrame *Frame5 = nullptr;
    ui::ReportViewer *rtfLap2 = nullptr;
    QProgressBar *prgBar3 = nullptr;

    bool m_busy = false; // a file report is being written
    QList<reports::ReportKind> m_shown; // the reports the viewer holds, in order
};

} // namespace pel
