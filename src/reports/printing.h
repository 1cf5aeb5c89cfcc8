#pragma once

#include <QDate>
#include <QFont>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QPagedPaintDevice;
class QPrinter;
class QWidget;

// Printing the report viewer's text, its print preview, and saving it as a
// PDF file laid out exactly as it prints.
namespace pel::reports {

// ---- Sheets ---------------------------------------------------------------

// The font of every printed report: "Courier New", 8 points; where that font
// is missing the system's fixed-pitch font stands in, so columns stay aligned.
QFont printFont();

// The blank border of every sheet, in millimetres, on all four sides.
inline constexpr qreal SheetMarginMm = 10.0;

// The report's lines: the text split at its line ends (CR LF, or a lone LF or
// CR). A line end at the very end of the text starts no further line.
QStringList reportLines(const QString &text);

// How the lines go onto sheets of one paper size.
struct SheetPlan
{
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    // Fraction of the font's own size at which a sheet is drawn: 1 when the
    // widest line fits the sheet, less when the whole sheet has to be shrunk
    // so that no line is cut.
    qreal scale = 1.0;
    int linesPerSheet = 1;
};

// Plans the sheets from measures in points: the paper (portrait), the margin
// on each side, the widest line and the line spacing at the font's size.
// Without a given orientation, portrait is taken when the widest line fits
// across it, landscape otherwise.
SheetPlan planSheets(QSizeF paperPt, qreal marginPt, qreal widestLinePt, qreal lineSpacingPt,
                     std::optional<QPageLayout::Orientation> orientation = {});

// The report's lines cut into sheets of linesPerSheet lines, filled in order.
QList<QStringList> fillSheets(const QStringList &lines, int linesPerSheet);

// The whole layout of a text on a paper size with the font.
struct SheetLayout
{
    SheetPlan plan;
    QPageLayout pageLayout; // paper, orientation and margins
    qreal ascentPt = 0;     // at the font's own size
    qreal lineSpacingPt = 0;
    QList<QStringList> sheets;
};

SheetLayout layoutSheets(const QString &text, const QFont &font, const QPageSize &paper,
                         std::optional<QPageLayout::Orientation> orientation = {});

// Lays the text out on the device's paper in the device's orientation, gives
// the device that page layout, and draws every sheet. False when the device
// cannot be painted on (a printer that does not start the job, a file that
// cannot be written).
bool paintSheets(QPagedPaintDevice &device, const QString &text, const QFont &font);

// Writes the text as a PDF file on A4 paper, laid out as paintSheets lays it
// out (portrait, or landscape for wide reports). Returns the reason when the
// file cannot be written; the file is then left as it was.
std::optional<QString> writePdf(const QString &path, const QString &text);

// The file name offered when a report is saved as PDF: the kind of report the
// text holds, then the date, e.g. "Data Siswa 08-12-2026.pdf".
QString proposedPdfName(const QString &text, const QDate &date);

// ---- The printer seam -----------------------------------------------------

// A failure of the printer: its number and description.
struct PrintError
{
    int number = 0;
    QString description;
};

// Numbers of the printer's failures.
inline constexpr int PrinterNotStarted = 1; // the job could not be started
inline constexpr int PrinterFailed = 2;     // the printer reported an error during the job
inline constexpr int PrinterAborted = 3;    // the job was aborted

// Every print job goes through sendPrintJob(): it prints text on printer in
// font and returns the failure, if any. Tests replace the job by a handler
// (an empty handler restores real printing).
using PrintJobHandler = std::function<std::optional<PrintError>(QPrinter &printer, const QString &text,
                                                                const QFont &font)>;
std::optional<PrintError> sendPrintJob(QPrinter &printer, const QString &text, const QFont &font);
void setPrintJobHandler(PrintJobHandler handler);

// The print-setup dialog, where the operator picks the printer and its
// settings. Returns true when it was closed with its accepting button.
using PrintSetupHandler = std::function<bool(QPrinter &printer, QWidget *parent)>;
bool showPrintSetup(QPrinter &printer, QWidget *parent);
void setPrintSetupHandler(PrintSetupHandler handler);

// The print preview: shows the sheets that paint draws on the printer and
// returns true when the operator chooses to print them.
using PrintPreviewHandler =
    std::function<bool(QPrinter &printer, const std::function<void(QPrinter *)> &paint, QWidget *parent)>;
bool showPrintPreview(QPrinter &printer, const std::function<void(QPrinter *)> &paint, QWidget *parent);
void setPrintPreviewHandler(PrintPreviewHandler handler);

// The save dialog for a PDF file: proposes proposedPath and returns the
// chosen path, or an empty string when the operator cancels.
using SaveFileNameHandler = std::function<QString(const QString &proposedPath, QWidget *parent)>;
QString askSaveFileName(const QString &proposedPath, QWidget *parent);
void setSaveFileNameHandler(SaveFileNameHandler handler);

// ---- The report screen's two buttons ----------------------------------------

// The printer-error message: the error's number and description, then the
// advice lines, each line ended by a carriage return.
QString printerErrorMessage(const PrintError &error);

enum class AfterPrint { KeepText, ClearText };

// "&Cetak": prints the viewer's text after the checks, the question, the
// print-setup dialog and the preview, and tells whether the viewer is to be
// emptied afterwards.
AfterPrint printViewerText(const QString &text, QWidget *parent);

// "Simpan &PDF": asks for a file name and writes the viewer's text as PDF.
// Needs no printer. Returns the file written, or an empty string.
QString saveViewerTextAsPdf(const QString &text, QWidget *parent);

} // namespace pel::reports
