#include "reports/printing.h"

#include "app/clock.h"
#include "ui/messages.h"
#include "ui/printing.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace pel::reports {

namespace {

constexpr qreal PointsPerMm = 72.0 / 25.4;

// Font measures are taken on the font enlarged this many times, at a pixel
// size, so that they do not depend on any screen's or printer's resolution
// and hinting; divided back they are points.
constexpr qreal MeasureScale = 100.0;

struct FontMeasures
{
    QFont font;
    QFontMetricsF metrics;
    explicit FontMeasures(const QFont &base)
        : font(enlarged(base)), metrics(font)
    {
    }
    static QFont enlarged(const QFont &base)
    {
        QFont big(base);
        big.setPixelSize(qRound(base.pointSizeF() * MeasureScale));
        return big;
    }
    qreal ascentPt() const { return metrics.ascent() / MeasureScale; }
    qreal lineSpacingPt() const { return metrics.lineSpacing() / MeasureScale; }
    qreal widthPt(const QString &line) const { return metrics.horizontalAdvance(line) / MeasureScale; }
};

// Blanks at the end of a line print nothing, so they may run into the margin.
QString withoutTrailingBlanks(const QString &line)
{
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1).isSpace())
        --end;
    return line.left(end);
}

QMarginsF sheetMargins()
{
    return QMarginsF(SheetMarginMm, SheetMarginMm, SheetMarginMm, SheetMarginMm);
}

} // namespace

// ---- Sheets ---------------------------------------------------------------

QFont printFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(8);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

QStringList reportLines(const QString &text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = text.split(lineEnd);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

SheetPlan planSheets(QSizeF paperPt, qreal marginPt, qreal widestLinePt, qreal lineSpacingPt,
                     std::optional<QPageLayout::Orientation> orientation)
{
    const qreal shortSide = std::min(paperPt.width(), paperPt.height());
    const qreal longSide = std::max(paperPt.width(), paperPt.height());
    const auto area = [&](QPageLayout::Orientation o) {
        return o == QPageLayout::Portrait ? QSizeF(shortSide - 2 * marginPt, longSide - 2 * marginPt)
                                          : QSizeF(longSide - 2 * marginPt, shortSide - 2 * marginPt);
    };
    // A tiny allowance keeps a line that fits exactly from counting as too wide.
    constexpr qreal epsilon = 1e-6;

    SheetPlan plan;
    plan.orientation = orientation ? *orientation
                                   : (widestLinePt <= area(QPageLayout::Portrait).width() + epsilon
                                          ? QPageLayout::Portrait
                                          : QPageLayout::Landscape);
    const QSizeF printable = area(plan.orientation);
    if (widestLinePt > printable.width() + epsilon && widestLinePt > 0)
        plan.scale = printable.width() / widestLinePt;
    if (lineSpacingPt > 0)
        plan.linesPerSheet = std::max(1, int(std::floor(printable.height() / (lineSpacingPt * plan.scale) + epsilon)));
    return plan;
}

QList<QStringList> fillSheets(const QStringList &lines, int linesPerSheet)
{
    QList<QStringList> sheets;
    const int perSheet = std::max(1, linesPerSheet);
    for (qsizetype first = 0; first < lines.size(); first += perSheet)
        sheets.append(lines.mid(first, perSheet));
    return sheets;
}

SheetLayout layoutSheets(const QString &text, const QFont &font, const QPageSize &paper,
                         std::optional<QPageLayout::Orientation> orientation)
{
    const FontMeasures measures(font);
    const QStringList lines = reportLines(text);
    qreal widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, measures.widthPt(withoutTrailingBlanks(line)));

    SheetLayout layout;
    layout.ascentPt = measures.ascentPt();
    layout.lineSpacingPt = measures.lineSpacingPt();
    layout.plan = planSheets(paper.size(QPageSize::Point), SheetMarginMm * PointsPerMm, widest,
                             layout.lineSpacingPt, orientation);
    layout.pageLayout = QPageLayout(paper, layout.plan.orientation, sheetMargins(), QPageLayout::Millimeter);
    layout.sheets = fillSheets(lines, layout.plan.linesPerSheet);
    return layout;
}

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

std::optional<QString> writePdf(const QString &path, const QString &text)
{
    const QFont font = printFont();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    bool painted = false;
    {
        QPdfWriter writer(&file);
        writer.setCreator(ui::ApplicationTitle);
        writer.setTitle(QFileInfo(path).completeBaseName());
        // The same paper a printer is given by default, in the orientation
        // the report needs.
        writer.setPageLayout(layoutSheets(text, font, QPageSize(QPageSize::A4)).pageLayout);
        painted = paintSheets(writer, text, font);
    }
    if (!painted) {
        file.cancelWriting();
        return QStringLiteral("Dokumen PDF tidak dapat dibuat");
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

QString proposedPdfName(const QString &text, const QDate &date)
{
    // Each report kind is known by a heading line only it carries.
    static const QList<std::pair<QString, QString>> kinds = {
        {QStringLiteral("LAPORAN DATA SISWA"), QStringLiteral("Data Siswa")},
        {QStringLiteral("Indeks Prestasi :"), QStringLiteral("Nilai Siswa")},
        {QStringLiteral("S E R T I F I K A T"), QStringLiteral("Sertifikat")},
        {QStringLiteral("DAFTAR IPK SISWA"), QStringLiteral("IPK")},
    };
    QString kind;
    int found = 0;
    for (const auto &[heading, name] : kinds) {
        if (text.contains(heading)) {
            kind = name;
            ++found;
        }
    }
    if (found != 1)
        kind = QStringLiteral("Laporan");
    return kind + QLatin1Char(' ') + date.toString(QStringLiteral("dd-MM-yyyy")) + QStringLiteral(".pdf");
}

// ---- The printer seam -----------------------------------------------------

namespace {

std::optional<PrintError> printOnPrinter(QPrinter &printer, const QString &text, const QFont &font)
{
    if (!paintSheets(printer, text, font))
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

bool realPrintSetup(QPrinter &printer, QWidget *parent)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool realPrintPreview(QPrinter &printer, const std::function<void(QPrinter *)> &paint, QWidget *parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Pratinjau Cetak"));
    auto *preview = new QPrintPreviewWidget(&printer, &dialog);
    QObject::connect(preview, &QPrintPreviewWidget::paintRequested, &dialog, [&paint](QPrinter *p) { paint(p); });

    auto *pages = new QLabel(&dialog);
    auto *zoomIn = new QPushButton(QStringLiteral("Per&besar"), &dialog);
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

QString realSaveFileName(const QString &proposedPath, QWidget *parent)
{
    QFileDialog dialog(parent, QStringLiteral("Simpan PDF"), proposedPath, QStringLiteral("Dokumen PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.selectFile(proposedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

PrintJobHandler &jobHandler()
{
    static PrintJobHandler instance;
    return instance;
}

PrintSetupHandler &setupHandler()
{
    static PrintSetupHandler instance;
    return instance;
}

PrintPreviewHandler &previewHandler()
{
    static PrintPreviewHandler instance;
    return instance;
}

SaveFileNameHandler &saveNameHandler()
{
    static SaveFileNameHandler instance;
    return instance;
}

} // namespace

std::optional<PrintError> sendPrintJob(QPrinter &printer, const QString &text, const QFont &font)
{
    return jobHandler() ? jobHandler()(printer, text, font) : printOnPrinter(printer, text, font);
}

void setPrintJobHandler(PrintJobHandler handler)
{
    jobHandler() = std::move(handler);
}

bool showPrintSetup(QPrinter &printer, QWidget *parent)
{
    return setupHandler() ? setupHandler()(printer, parent) : realPrintSetup(printer, parent);
}

void setPrintSetupHandler(PrintSetupHandler handler)
{
    setupHandler() = std::move(handler);
}

bool showPrintPreview(QPrinter &printer, const std::function<void(QPrinter *)> &paint, QWidget *parent)
{
    return previewHandler() ? previewHandler()(printer, paint, parent) : realPrintPreview(printer, paint, parent);
}

void setPrintPreviewHandler(PrintPreviewHandler handler)
{
    previewHandler() = std::move(handler);
}

QString askSaveFileName(const QString &proposedPath, QWidget *parent)
{
    return saveNameHandler() ? saveNameHandler()(proposedPath, parent) : realSaveFileName(proposedPath, parent);
}

void setSaveFileNameHandler(SaveFileNameHandler handler)
{
    saveNameHandler() = std::move(handler);
}

// ---- The report screen's two buttons ----------------------------------------

namespace {

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

QString printerErrorMessage(const PrintError &error)
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

AfterPrint printViewerText(const QString &text, QWidget *parent)
{
    if (!PrinterInstalled()) {
        ui::showMessage(QStringLiteral("Belum ada printer terinstall di\rkomputer Anda. Silahkan install\r"
                                       "printer terlebih dulu!"),
                        QStringLiteral("Printer Belum Diinstall"), ui::Icon::Critical, ui::Buttons::Ok, parent);
        return AfterPrint::KeepText;
    }
    if (text.isEmpty()) {
        showNothingToPrint(parent);
        return AfterPrint::KeepText;
    }
    if (ui::showMessage(QStringLiteral("Hasil cetakan sudah benar?"), QStringLiteral("Cetak"), ui::Icon::Question,
                        ui::Buttons::YesNo, parent)
        != ui::Answer::Yes) {
        showPrintingCancelled(parent);
        return AfterPrint::ClearText;
    }

    const QFont font = printFont();
    QPrinter printer(QPrinter::HighResolution);
    // The setup dialog opens on the orientation the report needs.
    printer.setPageLayout(layoutSheets(text, font, printer.pageLayout().pageSize()).pageLayout);
    // Cancel in the setup dialog or in the preview sends nothing; the text
    // stays in the viewer so that it can be printed later.
    if (!showPrintSetup(printer, parent)
        || !showPrintPreview(printer, [&](QPrinter *device) { paintSheets(*device, text, font); }, parent)) {
        showPrintingCancelled(parent);
        return AfterPrint::KeepText;
    }
    if (const auto failure = sendPrintJob(printer, text, font)) {
        ui::showMessage(printerErrorMessage(*failure), QStringLiteral("PrinterError"), ui::Icon::Critical,
                        ui::Buttons::Ok, parent);
        return AfterPrint::KeepText;
    }
    return AfterPrint::ClearText;
}

QString saveViewerTextAsPdf(const QString &text, QWidget *parent)
{
    if (text.isEmpty()) {
        showNothingToPrint(parent);
        return {};
    }
    QString path = askSaveFileName(QDir::current().filePath(proposedPdfName(text, clock::today())), parent);
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        path += QStringLiteral(".pdf");
    if (const auto failure = writePdf(path, text)) {
        ui::showMessage(QStringLiteral("File PDF tidak dapat disimpan:\r") + QDir::toNativeSeparators(path)
                            + QLatin1Char('\r') + *failure,
                        QStringLiteral("Simpan PDF"), ui::Icon::Critical, ui::Buttons::Ok, parent);
        return {};
    }
    ui::showMessage(QStringLiteral("Laporan sudah disimpan sebagai PDF:\r") + QDir::toNativeSeparators(path),
                    QStringLiteral("Simpan PDF"), ui::Icon::Information, ui::Buttons::Ok, parent);
    return path;
}

} // namespace pel::reports
