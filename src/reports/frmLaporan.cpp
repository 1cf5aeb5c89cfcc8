#include "reports/frmLaporan.h"

#include "common/module1.h"
#include "db/failure.h"
#include "env/clock.h"
#include "reports/nislist.h"
#include "reports/printing.h"
#include "reports/reportrunner.h"
#include "ui/keys.h"
#include "ui/messages.h"
#include "ui/named.h"
#include "ui/reportviewer.h"
#include "ui/screens.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinterInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace pel {

namespace {

const QString NisHint = QStringLiteral("Untuk melihat nilai siswa, pilih NIS lalu tekan Enter ");

QPushButton *button(const QString &caption, const char *name, QWidget *parent)
{
    return ui::named<QPushButton>(QLatin1String(name), parent, caption);
}

QComboBox *nisBox(const char *name, QWidget *parent)
{
    QComboBox *box = ui::named<QComboBox>(QLatin1String(name), parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumContentsLength(12);
    return box;
}

} // namespace

frmLaporan::frmLaporan(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmLaporan"));
    setWindowTitle(QStringLiteral("Laporan"));
    resize(1000, 680);

    LblJudul = ui::named<QLabel>(QStringLiteral("LblJudul"), this, QStringLiteral("LAPORAN"));
    QFont titleFont = LblJudul->font();
    titleFont.setBold(true);
    titleFont.setPointSize(titleFont.pointSize() + 4);
    LblJudul->setFont(titleFont);
    Line1 = ui::named<QFrame>(QStringLiteral("Line1"), this);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    Frame2 = ui::named<QGroupBox>(QStringLiteral("Frame2"), this,
                                  QStringLiteral("[ Pilih laporan yang akan ditampilkan ]"));
    cmdLihat = button(QStringLiteral("&Data Siswa"), "cmdLihat", Frame2);
    cmdLht = button(QStringLiteral("&Data Nilai Siswa"), "cmdLht", Frame2);
    cmdIPK = button(QStringLiteral("&Data IPK Siswa"), "cmdIPK", Frame2);
    cmdSrt = button(QStringLiteral("&Sertifikat"), "cmdSrt", Frame2);
    cmdKsg = button(QStringLiteral("&Hapus Layar"), "cmdKsg", Frame2);
    cmdCetak = button(QStringLiteral("&Cetak"), "cmdCetak", Frame2);
    cmdPdf = button(QStringLiteral("Simpan &PDF"), "cmdPdf", Frame2);
    cmdExit = button(QStringLiteral("&Keluar"), "cmdExit", Frame2);
    // Alt+D belongs to the first of the three "&Data..." buttons.
    ui::leaveLetterToFirst(cmdLht);
    ui::leaveLetterToFirst(cmdIPK);
    auto *buttons = new QGridLayout(Frame2);
    buttons->addWidget(cmdLihat, 0, 0);
    buttons->addWidget(cmdLht, 0, 1);
    buttons->addWidget(cmdIPK, 0, 2);
    buttons->addWidget(cmdSrt, 0, 3);
    buttons->addWidget(cmdKsg, 1, 0);
    buttons->addWidget(cmdCetak, 1, 1);
    buttons->addWidget(cmdPdf, 1, 2);
    buttons->addWidget(cmdExit, 1, 3);

    // The two NIS boxes, and their hints, share one place; one pair shows at a time.
    frBantu1 = ui::named<QGroupBox>(QStringLiteral("frBantu1"), this, QStringLiteral("[ Pilih NIS ]"));
    Label1 = ui::named<QLabel>(QStringLiteral("Label1"), frBantu1, QStringLiteral("NIS"));
    cmbNis = nisBox("cmbNis", frBantu1);
    cmbNis1 = nisBox("cmbNis1", frBantu1);
    lblInfo1 = ui::named<QLabel>(QStringLiteral("lblInfo1"), frBantu1, NisHint);
    lblInfo2 = ui::named<QLabel>(QStringLiteral("lblInfo2"), frBantu1, NisHint);
    auto *nisPanel = new QGridLayout(frBantu1);
    nisPanel->addWidget(Label1, 0, 0);
    nisPanel->addWidget(cmbNis, 0, 1);
    nisPanel->addWidget(cmbNis1, 0, 1);
    nisPanel->addWidget(lblInfo1, 1, 0, 1, 2);
    nisPanel->addWidget(lblInfo2, 1, 0, 1, 2);
    frBantu1->hide();

    Frame1 = ui::named<QGroupBox>(QStringLiteral("Frame1"), this, QStringLiteral("Jenis Printer"));
    cmbPrinter1 = ui::named<QComboBox>(QStringLiteral("cmbPrinter1"), Frame1);
    cmbPrinter1->setMinimumContentsLength(20);
    (new QVBoxLayout(Frame1))->addWidget(cmbPrinter1);

    Frame5 = ui::named<QFrame>(QStringLiteral("Frame5"), this);
    Frame5->setFrameShape(QFrame::StyledPanel);
    // The viewer keeps the text once and never wraps a line (report lines
    // are up to about 200 characters).
    rtfLap2 = ui::named<ui::ReportViewer>(QStringLiteral("rtfLap2"), Frame5);
    QFont courier(QStringLiteral("Courier New"), 9);
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    rtfLap2->setFont(courier);
    prgBar3 = ui::named<QProgressBar>(QStringLiteral("prgBar3"), Frame5);
    prgBar3->hide();
    auto *viewer = new QVBoxLayout(Frame5);
    viewer->addWidget(rtfLap2, 1);
    viewer->addWidget(prgBar3);

    auto *top = new QHBoxLayout;
    top->addWidget(Frame2);
    top->addWidget(frBantu1);
    top->addStretch(1);
    top->addWidget(Frame1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LblJudul);
    layout->addWidget(Line1);
    layout->addLayout(top);
    layout->addWidget(Frame5, 1);

    connect(cmdLihat, &QPushButton::clicked, this, &frmLaporan::cmdLihat_Click);
    connect(cmdLht, &QPushButton::clicked, this, &frmLaporan::cmdLht_Click);
    connect(cmdIPK, &QPushButton::clicked, this, &frmLaporan::cmdIPK_Click);
    connect(cmdSrt, &QPushButton::clicked, this, &frmLaporan::cmdSrt_Click);
    connect(cmdKsg, &QPushButton::clicked, this, &frmLaporan::cmdKsg_Click);
    connect(cmdCetak, &QPushButton::clicked, this, &frmLaporan::cmdCetak_Click);
    connect(cmdPdf, &QPushButton::clicked, this, &frmLaporan::cmdPdf_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmLaporan::cmdExit_Click);
    ui::onEnter(cmbNis, [this] { cmbNis_KeyPress(); });
    ui::onEnter(cmbNis1, [this] { cmbNis1_KeyPress(); });
    ui::pressOnEnterAll(Frame2);

    Form_Load();
}

void frmLaporan::Form_Load()
{
    if (cmbPrinter1->count() == 0)
        cmbPrinter1->addItems(QPrinterInfo::availablePrinterNames());
    cmbPrinter1->setCurrentIndex(cmbPrinter1->findText(QPrinterInfo::defaultPrinterName()));

    // Both boxes list the same students from one model, read a page at a
    // time as the list is scrolled.
    auto *nisModel = new reports::NisListModel(dbConnection, this);
    if (const db::Result started = nisModel->start(); !started.ok()) {
        ui::showFailure(QStringLiteral("Daftar NIS tidak dapat dibaca dari database:"), started,
                        QStringLiteral("Kesalahan Database"), ui::Icon::Critical, this);
        return;
    }
    for (QComboBox *box : {cmbNis, cmbNis1}) {
        // The box's own completer would read the whole table as soon as the
        // box gets its list; its place is taken by one that completes from
        // the NIS read so far, as the box's own did, without letter case.
        box->setCompleter(nullptr);
        box->setModel(nisModel);
        auto *completer = new QCompleter(nisModel->readSoFar(), box);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        completer->setCompletionMode(QCompleter::InlineCompletion);
        box->setCompleter(completer);
    }
    // With no student the boxes stay empty; a typed NIS still runs its report.
    if (nisModel->rowCount() > 0) {
        cmbNis->setCurrentIndex(0);
        cmbNis1->setCurrentIndex(0);
    }
}

QString frmLaporan::reportText() const
{
    return rtfLap2->text();
}

void frmLaporan::appendToViewer(const QString &text)
{
    rtfLap2->appendText(text);
}

void frmLaporan::showFailure(const reports::ReportResult &result)
{
    if (result.done())
        return;
    if (result.result.kind == db::Result::Kind::NotFound)
        ui::showMessage(reports::NoDataMessage, reports::NoDataTitle, ui::Icon::Critical, ui::Buttons::Ok, this);
    else if (result.result.origin == db::Result::Origin::File)
        ui::showMessage(db::failureMessage(result.result) + QStringLiteral("\rLaporan tidak ditampilkan."),
                        QStringLiteral("Kesalahan File"), ui::Icon::Critical, ui::Buttons::Ok, this);
    else
        ui::showMessage(db::failureMessage(result.result), QStringLiteral("Kesalahan Database"), ui::Icon::Critical,
                        ui::Buttons::Ok, this);
}

void frmLaporan::runFileReport(reports::ReportKind kind,
                               reports::ReportResult (*write)(const db::Connection &, const QDate &,
                                                              const reports::FileReportOptions &))
{
    if (m_busy)
        return;
    m_busy = true;
    reports::FileReportOptions options;
    reports::Progress &progress = options.progress;
    progress.started = [this](int count) {
        // The header replaces whatever the viewer held; the old text goes
        // now, so that two whole-table reports are never held at once.
        rtfLap2->clear();
        m_shown.clear();
        prgBar3->setMinimum(0);
        prgBar3->setMaximum(count);
        prgBar3->setValue(0);
        rtfLap2->hide();
    };
    // The runner reports every hundredth of the rows or so.
    progress.rowWritten = [this](int rows) {
        prgBar3->setVisible(true);
        prgBar3->setValue(rows);
        // Keep the window painted; clicks and keys wait until the report is done.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    // The text comes as UTF-8, which the viewer keeps as it is.
    QByteArray text;
    options.keepText = false;
    options.utf8Text = &text;
    const reports::ReportResult result = write(dbConnection, clock::today(), options);
    if (result.done()) {
        rtfLap2->setUtf8(std::move(text));
        m_shown = {kind};
    }
    rtfLap2->show();
    prgBar3->setValue(0);
    prgBar3->hide();
    m_busy = false;
    showFailure(result);
}

void frmLaporan::runStudentReport(reports::ReportKind kind,
                                  reports::ReportResult (*run)(const db::Connection &, const QString &, const QDate &),
                                  QComboBox *box)
{
    const reports::ReportResult result = run(dbConnection, box->currentText(), clock::today());
    if (!result.done()) {
        showFailure(result);
        ui::moveFocus(box);
        return;
    }
    appendToViewer(result.text);
    m_shown.append(kind);
    // The focus goes where the text is, rather than on to whichever box
    // follows the hidden one.
    rtfLap2->setFocus(Qt::OtherFocusReason);
    frBantu1->hide();
}

void frmLaporan::cmdLihat_Click()
{
    runFileReport(reports::ReportKind::StudentList, reports::writeStudentList);
}

void frmLaporan::cmdIPK_Click()
{
    runFileReport(reports::ReportKind::IpkList, reports::writeIpkList);
}

void frmLaporan::cmdLht_Click()
{
    frBantu1->show();
    lblInfo2->hide();
    cmbNis1->hide();
    lblInfo1->show();
    cmbNis->show();
    ui::moveFocus(cmbNis);
}

void frmLaporan::cmdSrt_Click()
{
    frBantu1->show();
    lblInfo1->hide();
    cmbNis->hide();
    lblInfo2->show();
    cmbNis1->show();
    ui::moveFocus(cmbNis1);
}

void frmLaporan::cmbNis_KeyPress()
{
    runStudentReport(reports::ReportKind::GradeStatement, reports::runGradeStatement, cmbNis);
}

void frmLaporan::cmbNis1_KeyPress()
{
    runStudentReport(reports::ReportKind::Certificate, reports::runCertificate, cmbNis1);
}

void frmLaporan::cmdKsg_Click()
{
    rtfLap2->clear();
    m_shown.clear();
    frBantu1->hide();
}

void frmLaporan::cmdCetak_Click()
{
    if (reports::printViewerText(reportText(), this) == reports::AfterPrint::ClearText) {
        rtfLap2->clear();
        m_shown.clear();
    }
}

void frmLaporan::cmdPdf_Click()
{
    reports::saveViewerTextAsPdf(reportText(), m_shown, this);
}

void frmLaporan::cmdExit_Click()
{
    ui::closeAndShowMainWindow(this);
}

void frmLaporan::closeEvent(QCloseEvent *event)
{
    // A file report runs to its end before the screen can close.
    if (m_busy) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

} // namespace pel
