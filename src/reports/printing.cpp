#include "reports/printing.h"

#include "db/result.h"
#include "env/clock.h"
#include "ui/messages.h"
#include "ui/printing.h"
#include "ui/printsheets.h"
#include "ui/surroundings.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QStringList>

namespace pel::reports {

namespace {

QString kindName(ReportKind kind)
{
    switch (kind) {
    case ReportKind::StudentList: return QStringLiteral("Data Siswa");
    case ReportKind::GradeStatement: return QStringLiteral("Nilai Siswa");
    case ReportKind::Certificate: return QStringLiteral("Sertifikat");
    case ReportKind::IpkList: return QStringLiteral("IPK");
    }
    return QStringLiteral("Laporan");
}

void showNothingToPrint(QWidget *parent)
{
    ui::showMessage(QStringLiteral("Belum Ada Informasi Yang Akan Dicetak!\rTampilkan Data Yang Akan Dicetak."),
                    QStringLiteral("Data Tidak Ada"), ui::Icon::Critical, ui::Buttons::Ok, parent);
}

void showPrintingCancelled(QWidget *parent)
{
    ui::showMessage(QStringLiteral("Pencetakan ke Printer Batal.. "), QStringLiteral("Informasi"),
                    ui::Icon::Information, ui::Buttons::Ok, parent);
}

} // namespace

QString proposedPdfName(const QList<ReportKind> &shown, const QDate &date)
{
    QString kind = QStringLiteral("Laporan");
    if (!shown.isEmpty() && shown.count(shown.first()) == shown.size())
        kind = kindName(shown.first());
    return kind + QLatin1Char(' ') + date.toString(QStringLiteral("dd-MM-yyyy")) + QStringLiteral(".pdf");
}

QString printerErrorMessage(const print::PrintError &error)
{
    const QStringList lines = {
        QStringLiteral("Kesalahan nomor: ") + QString::number(error.number) + QStringLiteral(". Keterangan: ")
            + error.description,
        QString(),
        QStringLiteral("Kemungkinan printer belum diaktifkan"),
        QStringLiteral("atau kertas habis/belum dipasang!"),
        QStringLiteral("Nyalakan printer atau pasang kertas,"),
        QStringLiteral("lalu klik menu Cetak kembali!,"),
    };
    return lines.join(QLatin1Char('\r')) + QLatin1Char('\r');
}

namespace {

enum class PrintOutcome { Printed, Declined, Kept };

// The steps of every "&Cetak": the printer check, the nothing-to-print
// message, the question, the setup dialog opened on the page layout that
// layoutFor gives for the printer's paper, the preview of what paint draws,
// and job on the printer so set up; a failure of the printer is shown.
// Declined: the operator answered No. Kept: nothing was printed, for any
// other reason.
PrintOutcome printSheets(bool empty, const std::function<QPageLayout(const QPageSize &)> &layoutFor,
                         const std::function<bool(QPagedPaintDevice &)> &paint,
                         const std::function<std::optional<print::PrintError>(QPrinter &)> &job, QWidget *parent)
{
    ui::Surroundings &surroundings = ui::surroundings();
    if (!surroundings.printerInstalled()) {
        ui::showMessage(QStringLiteral("Belum ada printer terinstall di\rkomputer Anda. Silahkan install\r"
                                       "printer terlebih dulu!"),
                        QStringLiteral("Printer Belum Diinstall"), ui::Icon::Critical, ui::Buttons::Ok, parent);
        return PrintOutcome::Kept;
    }
    if (empty) {
        showNothingToPrint(parent);
        return PrintOutcome::Kept;
    }
    if (ui::showMessage(QStringLiteral("Hasil cetakan sudah benar?"), QStringLiteral("Cetak"), ui::Icon::Question,
                        ui::Buttons::YesNo, parent)
        != ui::Answer::Yes) {
        showPrintingCancelled(parent);
        return PrintOutcome::Declined;
    }

    QPrinter printer(QPrinter::HighResolution);
    // The setup dialog opens on the orientation the sheets need.
    printer.setPageLayout(layoutFor(printer.pageLayout().pageSize()));
    // Cancel in the setup dialog or in the preview sends nothing.
    if (!surroundings.printSetup(printer, parent)
        || !surroundings.printPreview(
            printer, [&](QPrinter *device) { paint(*device); }, parent)) {
        showPrintingCancelled(parent);
        return PrintOutcome::Kept;
    }
    if (const auto failure = job(printer)) {
        ui::showMessage(printerErrorMessage(*failure), QStringLiteral("PrinterError"), ui::Icon::Critical,
                        ui::Buttons::Ok, parent);
        return PrintOutcome::Kept;
    }
    return PrintOutcome::Printed;
}

} // namespace

AfterPrint printViewerText(const QString &text, QWidget *parent)
{
    const QFont font = print::printFont();
    const PrintOutcome outcome = printSheets(
        text.isEmpty(), [&](const QPageSize &paper) { return print::layoutSheets(text, font, paper).pageLayout; },
        [&](QPagedPaintDevice &device) { return print::paintSheets(device, text, font); },
        [&](QPrinter &printer) { return ui::surroundings().printJob(printer, text, font); }, parent);
    // Answered No, the text goes; cancelled or refused, it stays in the
    // viewer so that it can be printed later.
    return outcome == PrintOutcome::Kept ? AfterPrint::KeepText : AfterPrint::ClearText;
}

bool printDrawing(bool empty, QPageLayout::Orientation orientation,
                  const std::function<bool(QPagedPaintDevice &)> &paint, QWidget *parent)
{
    const auto layoutFor = [orientation](const QPageSize &paper) {
        const qreal margin = print::SheetMarginMm;
        return QPageLayout(paper, orientation, QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter);
    };
    return printSheets(
               empty, layoutFor, paint,
               [&](QPrinter &printer) { return ui::surroundings().printDrawing(printer, paint); }, parent)
           == PrintOutcome::Printed;
}

QString saveViewerTextAsPdf(const QString &text, const QList<ReportKind> &shown, QWidget *parent)
{
    if (text.isEmpty()) {
        showNothingToPrint(parent);
        return {};
    }
    QString path = ui::surroundings().pdfFileName(QDir::current().filePath(proposedPdfName(shown, clock::today())),
                                                  parent);
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".pdf");
    if (const db::Result written = print::writePdf(path, text); !written.ok()) {
        ui::showFailure(QStringLiteral("File PDF tidak dapat disimpan:\r") + QDir::toNativeSeparators(path), written,
                        QStringLiteral("Simpan PDF"), ui::Icon::Critical, parent);
        return {};
    }
    ui::showMessage(QStringLiteral("Laporan sudah disimpan sebagai PDF:\r") + QDir::toNativeSeparators(path),
                    QStringLiteral("Simpan PDF"), ui::Icon::Information, ui::Buttons::Ok, parent);
    return path;
}

} // namespace pel::reports
