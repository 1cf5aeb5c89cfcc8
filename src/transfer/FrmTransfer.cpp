#include "transfer/FrmTransfer.h"

#include "common/module1.h"
#include "db/failure.h"
#include "transfer/exporter.h"
#include "transfer/importer.h"
#include "ui/messages.h"
#include "ui/named.h"
#include "ui/surroundings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace pel {

namespace {

const QString Title = QStringLiteral("Impor / Ekspor Data");

// Why a workbook is the file to edit in a spreadsheet program.
const QString XlsxAdvice = QStringLiteral(
    "Untuk mengedit data di spreadsheet, pakai file .xlsx: NIS, kode dan nomor telepon tetap teks sehingga nol di "
    "depannya tidak hilang, tanggal tetap tanggal, dan angka desimal tidak terpecah. File .csv yang dibuka lalu "
    "disimpan ulang oleh spreadsheet bisa kehilangan semua itu.");

} // namespace

FrmTransfer::FrmTransfer(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FrmTransfer"));
    setWindowTitle(Title);
    resize(860, 600);

    cmbTabel = ui::named<QComboBox>(QStringLiteral("cmbTabel"), this);
    for (transfer::Table t : {transfer::Table::Students, transfer::Table::Subjects, transfer::Table::Grades})
        cmbTabel->addItem(transfer::tableCaption(t), int(t));
    txtFile = ui::named<QLineEdit>(QStringLiteral("txtFile"), this);
    cmdPilih = ui::named<QPushButton>(QStringLiteral("cmdPilih"), this, QStringLiteral("&Pilih File..."));
    cmbPemisah = ui::named<QComboBox>(QStringLiteral("cmbPemisah"), this);
    cmbPemisah->addItem(QStringLiteral("Titik koma ( ; )"), QStringLiteral(";"));
    cmbPemisah->addItem(QStringLiteral("Koma ( , )"), QStringLiteral(","));
    chkUpdate = ui::named<QCheckBox>(QStringLiteral("chkUpdate"), this,
                                     QStringLiteral("&Ubah data yang kuncinya sudah tersimpan"));
    cmdPeriksa = ui::named<QPushButton>(QStringLiteral("cmdPeriksa"), this, QStringLiteral("Pe&riksa"));
    cmdImpor = ui::named<QPushButton>(QStringLiteral("cmdImpor"), this, QStringLiteral("&Impor"));
    cmdEkspor = ui::named<QPushButton>(QStringLiteral("cmdEkspor"), this, QStringLiteral("E&kspor"));
    cmdKeluar = ui::named<QPushButton>(QStringLiteral("cmdKeluar"), this, QStringLiteral("&Exit"));
    lblSyarat = ui::named<QLabel>(QStringLiteral("lblSyarat"), this);
    lblSyarat->setWordWrap(true);
    lblSaran = ui::named<QLabel>(QStringLiteral("lblSaran"), this, XlsxAdvice);
    lblSaran->setWordWrap(true);
    lblRingkasan = ui::named<QLabel>(QStringLiteral("lblRingkasan"), this);
    lblRingkasan->setWordWrap(true);
    m_rows = new QStandardItemModel(this);
    grdBaris = ui::named<QTableView>(QStringLiteral("grdBaris"), this);
    grdBaris->setModel(m_rows);
    grdBaris->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One line a row, each column as wide as its widest value: a name is
    // read whole, never broken over two lines.
    grdBaris->setWordWrap(false);
    grdBaris->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdBaris->verticalHeader()->setDefaultSectionSize(grdBaris->fontMetrics().height() + 6);
    txtMasalah = ui::named<QPlainTextEdit>(QStringLiteral("txtMasalah"), this);
    txtMasalah->setReadOnly(true);
    txtMasalah->setLineWrapMode(QPlainTextEdit::NoWrap);
    prgProses = ui::named<QProgressBar>(QStringLiteral("prgProses"), this);
    prgProses->setRange(0, 1000);
    prgProses->setValue(0);

    auto *form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("Tabel"), this), 0, 0);
    form->addWidget(cmbTabel, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("File (.xlsx atau .csv)"), this), 1, 0);
    form->addWidget(txtFile, 1, 1);
    form->addWidget(cmdPilih, 1, 2);
    form->addWidget(new QLabel(QStringLiteral("Pemisah CSV ekspor"), this), 2, 0);
    form->addWidget(cmbPemisah, 2, 1);
    form->addWidget(chkUpdate, 3, 1);
    form->addWidget(lblSaran, 4, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {cmdPeriksa, cmdImpor, cmdEkspor, cmdKeluar})
        buttons->addWidget(button);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(lblSyarat);
    layout->addWidget(prgProses);
    layout->addWidget(lblRingkasan);
    layout->addWidget(new QLabel(QStringLiteral("Baris yang diperiksa"), this));
    layout->addWidget(grdBaris, 3);
    layout->addWidget(new QLabel(QStringLiteral("Masalah"), this));
    layout->addWidget(txtMasalah, 2);

    connect(cmbTabel, &QComboBox::currentIndexChanged, this, &FrmTransfer::cmbTabel_Click);
    connect(txtFile, &QLineEdit::textChanged, this, &FrmTransfer::forgetCheck);
    connect(chkUpdate, &QCheckBox::toggled, this, &FrmTransfer::forgetCheck);
    connect(cmdPilih, &QPushButton::clicked, this, &FrmTransfer::cmdPilih_Click);
    connect(cmdPeriksa, &QPushButton::clicked, this, &FrmTransfer::cmdPeriksa_Click);
    connect(cmdImpor, &QPushButton::clicked, this, &FrmTransfer::cmdImpor_Click);
    connect(cmdEkspor, &QPushButton::clicked, this, &FrmTransfer::cmdEkspor_Click);
    connect(cmdKeluar, &QPushButton::clicked, this, &FrmTransfer::cmdKeluar_Click);
    updateButtons();
}

void FrmTransfer::setRights(const MenuRights &rights)
{
    m_rights = rights;
    updateButtons();
}

transfer::Table FrmTransfer::table() const
{
    return transfer::Table(cmbTabel->currentData().toInt());
}

char FrmTransfer::separator() const
{
    return cmbPemisah->currentData().toString().at(0).toLatin1();
}

void FrmTransfer::updateButtons()
{
    const bool import = transfer::mayImport(m_rights, table());
    const QString missing = transfer::missingForCheck(m_rights, table(), txtFile->text());
    lblSyarat->setText(missing);
    lblSyarat->setVisible(!missing.isEmpty());
    cmdPeriksa->setToolTip(missing);
    cmdPeriksa->setEnabled(import);
    cmdImpor->setEnabled(import && m_checked);
    cmdEkspor->setEnabled(transfer::mayExport(m_rights));
    chkUpdate->setEnabled(import);
}

void FrmTransfer::forgetCheck()
{
    m_checked = false;
    updateButtons();
}

void FrmTransfer::cmbTabel_Click()
{
    m_rows->clear();
    txtMasalah->clear();
    lblRingkasan->clear();
    forgetCheck();
}

// Proposes a workbook named after the table: the format that keeps keys,
// telephone numbers, dates and decimals when the file is edited.
void FrmTransfer::cmdPilih_Click()
{
    const QString proposed = txtFile->text().isEmpty()
                                 ? QDir::current().filePath(transfer::sqlTableName(table()) + QStringLiteral(".xlsx"))
                                 : txtFile->text();
    const QString path = ui::surroundings().dataFileName(
        Title, proposed, {QStringLiteral("Excel (*.xlsx)"), QStringLiteral("CSV (*.csv)")}, this);
    if (!path.isEmpty())
        txtFile->setText(path);
}

void FrmTransfer::showProgress(qint64 done, qint64 total)
{
    prgProses->setValue(total > 0 ? int(done * 1000 / total) : 1000);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool FrmTransfer::runImport(bool dryRun)
{
    const QString path = txtFile->text();
    if (path.isEmpty() || !transfer::formatForPath(path)) {
        ui::showMessage(QStringLiteral("Pilih file .xlsx atau .csv yang akan diimpor."), Title, ui::Icon::Critical);
        return false;
    }
    transfer::ImportOptions options;
    options.dryRun = dryRun;
    options.update = chkUpdate->isChecked();
    options.previewRows = PreviewRows;
    options.progress = [this](qint64 done, qint64 total) { showProgress(done, total); };
    prgProses->setValue(0);
    setEnabled(false);
    const transfer::ImportReport report = transfer::importFile(dbConnection, table(), path, options);
    setEnabled(true);

    m_rows->clear();
    m_rows->setHorizontalHeaderLabels(report.previewColumns);
    for (const QStringList &row : report.previewRows) {
        QList<QStandardItem *> items;
        for (const QString &value : row)
            items << new QStandardItem(value);
        m_rows->appendRow(items);
    }
    grdBaris->resizeColumnsToContents();
    QStringList lines;
    for (const transfer::Problem &problem : report.problems)
        lines << transfer::problemText(problem);
    txtMasalah->setPlainText(lines.join(QLatin1Char('\n')));

    if (!report.problems.isEmpty()) {
        lblRingkasan->setText(QStringLiteral("%1 baris dibaca, %2 masalah. Perbaiki file, lalu periksa lagi; "
                                             "tidak ada data yang disimpan.")
                                  .arg(report.rows)
                                  .arg(report.problems.size()));
    } else if (!report.result.ok()) {
        const QString message = db::failureMessage(report.result);
        lblRingkasan->setText(message);
        ui::showMessage(message, Title, ui::Icon::Critical);
    } else if (dryRun) {
        lblRingkasan->setText(QStringLiteral("%1 baris diperiksa, semuanya lolos: %2 baru, %3 diubah.")
                                  .arg(report.rows)
                                  .arg(report.inserted)
                                  .arg(report.updated));
    } else {
        lblRingkasan->setText(QStringLiteral("%1 baris diimpor: %2 baru, %3 diubah.")
                                  .arg(report.rows)
                                  .arg(report.inserted)
                                  .arg(report.updated));
    }
    updateButtons();
    return report.accepted();
}

void FrmTransfer::cmdPeriksa_Click()
{
    if (!transfer::mayImport(m_rights, table()))
        return;
    m_checked = runImport(true);
    updateButtons();
}

void FrmTransfer::cmdImpor_Click()
{
    if (!transfer::mayImport(m_rights, table()) || !m_checked)
        return;
    m_checked = false;
    if (runImport(false))
        ui::showMessage(QStringLiteral("Data %1 sudah diimpor.").arg(transfer::tableCaption(table())), Title,
                        ui::Icon::Information);
    updateButtons();
}

void FrmTransfer::cmdEkspor_Click()
{
    if (!transfer::mayExport(m_rights))
        return;
    const QString path = txtFile->text();
    if (path.isEmpty() || !transfer::formatForPath(path)) {
        ui::showMessage(QStringLiteral("Nama file ekspor harus berakhiran .csv atau .xlsx."), Title,
                        ui::Icon::Critical);
        return;
    }
    if (QFileInfo::exists(path)
        && ui::showMessage(QStringLiteral("File %1 sudah ada. Timpa?").arg(path), Title, ui::Icon::Question,
                           ui::Buttons::YesNo) != ui::Answer::Yes)
        return;
    prgProses->setRange(0, 0);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const db::Result result = transfer::exportTable(dbConnection, table(), path, separator());
    prgProses->setRange(0, 1000);
    prgProses->setValue(result.ok() ? 1000 : 0);
    if (!result.ok()) {
        const QString message = db::failureMessage(result);
        lblRingkasan->setText(message);
        ui::showMessage(message, Title, ui::Icon::Critical);
        return;
    }
    lblRingkasan->setText(QStringLiteral("%1 baris ditulis ke %2.").arg(result.rowsAffected).arg(path));
    ui::showMessage(QStringLiteral("Data %1 sudah diekspor ke %2.").arg(transfer::tableCaption(table()), path), Title,
                    ui::Icon::Information);
}

void FrmTransfer::cmdKeluar_Click()
{
    close();
}

} // namespace pel
