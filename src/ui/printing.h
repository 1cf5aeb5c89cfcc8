#pragma once

#include "db/result.h"

#include <QString>

#include <functional>
#include <optional>

class QFont;
class QPagedPaintDevice;
class QPrinter;
class QWidget;

// The print devices: the printer, the PDF file and the preview dialog, each
// drawing the sheets that printsheets.h plans. These are the real devices;
// screens reach the printer and the dialogs through ui::surroundings().
namespace pel::print {

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

// Lays the text out on the device's paper in the device's orientation, gives
// the device that page layout, and draws every sheet. False when the device
// cannot be painted on (a printer that does not start the job, a file that
// cannot be written).
bool paintSheets(QPagedPaintDevice &device, const QString &text, const QFont &font);

// Writes the text as a PDF file on A4 paper, laid out as paintSheets lays it
// out (portrait, or landscape for wide reports), through the file writer.
// On a failure the file is left as it was.
db::Result writePdf(const QString &path, const QString &text);

// True when the system's default printer can be queried; never shows anything.
bool systemPrinterInstalled();

// Prints text on printer in font; returns the printer's failure, if any.
std::optional<PrintError> printOnPrinter(QPrinter &printer, const QString &text, const QFont &font);
// Prints the sheets paint draws; returns the printer's failure, if any.
std::optional<PrintError> printDrawingOnPrinter(QPrinter &printer,
                                                const std::function<bool(QPagedPaintDevice &)> &paint);

// The system's print-setup dialog; true when it was accepted.
bool execPrintSetupDialog(QPrinter &printer, QWidget *parent);

// The preview dialog "Pratinjau Cetak": shows what paint draws and returns
// true when the operator presses its "&Cetak" button.
bool execPreviewDialog(QPrinter &printer, const std::function<void(QPrinter *)> &paint, QWidget *parent);

// The save dialog "Simpan PDF", opened on proposedPath; the chosen path, or
// an empty string when it was cancelled.
QString execPdfSaveDialog(const QString &proposedPath, QWidget *parent);

// The save dialog "Simpan Gambar" for a PNG picture or a PDF document,
// opened on proposedPath; the chosen path, or an empty string.
QString execPictureSaveDialog(const QString &proposedPath, QWidget *parent);

} // namespace pel::print
