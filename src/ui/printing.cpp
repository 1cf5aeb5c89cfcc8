#include "ui/printing.h"

#include "db/filewriter.h"

#include "ui/messages.h"
#include "ui/printsheets.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace pel::print {

bool paintSheets(QPagedPaintDevice &device, const QString &text, const QFont &font)
{
    const QPageLayout current = device.pageLayout();
    const SheetLayout layout = layoutSheets(text, font, current.pageSize(), current.orientation());
    device.setPageLayout(layout.pageLayout);

    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // The painter draws in device dots; the font keeps its size in points on
    // the device, and the whole sheet is shrunk by the plan's scale.
    const qreal dotsPerPt = device.logicalDpiY() / 72.0;
    painter.scale(layout.plan.scale, layout.plan.scale);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (qsizetype s = 0; s < layout.sheets.size(); ++s) {
        if (s > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        const QStringList &sheet = layout.sheets.at(s);
        for (qsizetype l = 0; l < sheet.size(); ++l) {
            const qreal baselinePt = layout.ascentPt + l * layout.lineSpacingPt;
            painter.drawText(QPointF(0, baselinePt * dotsPerPt), sheet.at(l));
        }
    }
    return painter.end();
}

db::Result writePdf(const QString &path, const QString &text)
{
    const QFont font = printFont();
    db::FileWriter file(path);
    if (const db::Result opened = file.open(); !opened.ok())
        return opened;
    bool painted = false;
    {
        // The PDF writer fills the new private file the file writer made
        // for it, which takes the name only when it is complete.
        QPdfWriter writer(file.temporaryPath());
        writer.setCreator(ui::ApplicationTitle);
        writer.setTitle(QFileInfo(path).completeBaseName());
        // The same paper a printer is given by default, in the orientation
        // the report needs.
        writer.setPageLayout(layoutSheets(text, font, QPageSize(QPageSize::A4)).pageLayout);
        painted = paintSheets(writer, text, font);
    }
    if (!painted) {
        file.discard();
        return db::Result::failed(QStringLiteral("Dokumen PDF tidak dapat dibuat"));
    }
    return file.commit();
}

bool systemPrinterInstalled()
{
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    return !printer.isNull() && !printer.printerName().isEmpty();
}

std::optional<PrintError> printOnPrinter(QPrinter &printer, const QString &text, const QFont &font)
{
    return printDrawingOnPrinter(printer, [&](QPagedPaintDevice &device) { return paintSheets(device, text, font); });
}

std::optional<PrintError> printDrawingOnPrinter(QPrinter &printer,
                                                const std::function<bool(QPagedPaintDevice &)> &paint)
{
    if (!paint(printer))
        return PrintError{PrinterNotStarted, QStringLiteral("Printer tidak dapat memulai pencetakan")};
    switch (printer.printerState()) {
    case QPrinter::Error:
        return PrintError{PrinterFailed, QStringLiteral("Printer melaporkan kesalahan")};
    case QPrinter::Aborted:
        return PrintError{PrinterAborted, QStringLiteral("Pencetakan dibatalkan")};
    default:
        break;
    }
    return std::nullopt;
}

bool execPrintSetupDialog(QPrinter &printer, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool execPreviewDialog(QPrinter &printer, const std::function<void(QPrinter *)> &paint, QWidget *parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Pratinjau Cetak"));
    auto *preview = new QPrintPreviewWidget(&printer, &dialog);
    QObject::connect(preview, &QPrintPreviewWidget::paintRequested, &dialog, [&paint](QPrinter *p) { paint(p); });

    auto *pages = new QLabel(&dialog);
    // Each button its own Alt letter: Batal keeps B.
    auto *zoomIn = new QPushButton(QStringLiteral("Perb&esar"), &dialog);
    auto *zoomOut = new QPushButton(QStringLiteral("Per&kecil"), &dialog);
    auto *print = new QPushButton(QStringLiteral("&Cetak"), &dialog);
    auto *cancel = new QPushButton(QStringLiteral("&Batal"), &dialog);
    print->setDefault(true);
    QObject::connect(preview, &QPrintPreviewWidget::previewChanged, pages,
                     [pages, preview] { pages->setText(QStringLiteral("Jumlah halaman: %1").arg(preview->pageCount())); });
    QObject::connect(zoomIn, &QPushButton::clicked, preview, [preview] { preview->zoomIn(); });
    QObject::connect(zoomOut, &QPushButton::clicked, preview, [preview] { preview->zoomOut(); });
    QObject::connect(print, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(pages);
    buttons->addStretch();
    buttons->addWidget(zoomOut);
    buttons->addWidget(zoomIn);
    buttons->addWidget(print);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(preview, 1);
    layout->addLayout(buttons);
    dialog.resize(960, 720);
    preview->fitToWidth();
    return dialog.exec() == QDialog::Accepted;
}

namespace {

// A save dialog offering kinds of file, each a name filter and the ending
// a name typed without one gets while that kind is chosen.
QString execSaveDialog(const QString &title, const QString &proposedPath,
                       const QList<std::pair<QString, QString>> &kinds, QWidget *parent)
{
    QFileDialog dialog(parent, title, proposedPath);
    QStringList filters;
    for (const auto &kind : kinds)
        filters << kind.first;
    dialog.setNameFilters(filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(kinds.constFirst().second);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, kinds](const QString &filter) {
        for (const auto &kind : kinds)
            if (kind.first == filter)
                dialog.setDefaultSuffix(kind.second);
    });
    dialog.selectFile(proposedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString execPdfSaveDialog(const QString &proposedPath, QWidget *parent)
{
    return execSaveDialog(QStringLiteral("Simpan PDF"), proposedPath,
                          {{QStringLiteral("Dokumen PDF (*.pdf)"), QStringLiteral("pdf")}}, parent);
}

QString execPictureSaveDialog(const QString &proposedPath, QWidget *parent)
{
    return execSaveDialog(QStringLiteral("Simpan Gambar"), proposedPath,
                          {{QStringLiteral("Gambar PNG (*.png)"), QStringLiteral("png")},
                           {QStringLiteral("Dokumen PDF (*.pdf)"), QStringLiteral("pdf")}},
                          parent);
}

} // namespace pel::print
