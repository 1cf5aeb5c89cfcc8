#pragma once

#include "env/clock.h"
#include "ui/messages.h"
#include "ui/printing.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QFont;
class QPagedPaintDevice;
class QPrinter;
class QWidget;

// What the program asks of its surroundings: the operator's answers to
// message boxes and dialogs, the end of the program, the beep, the clock,
// the printers and the print jobs. The real surroundings answer by default;
// a test installs a stand-in for as long as it runs.
namespace pel::ui {

class Surroundings : public env::Clock
{
public:
    // Messages: shows message over parent and returns the button pressed.
    virtual Answer message(const Message &message, QWidget *parent) = 0;

    // The end of the program: every screen closes and the event loop stops.
    virtual void endProgram() = 0;

    // The system's beep.
    virtual void beep() = 0;

    // Printers: whether the system's default printer can be queried, and the
    // print-setup dialog, where the operator picks the printer and its
    // settings (true when it was closed with its accepting button).
    virtual bool printerInstalled() = 0;
    virtual bool printSetup(QPrinter &printer, QWidget *parent) = 0;

    // Print jobs: the preview shows the sheets that paint draws on the
    // printer and tells whether the operator chose to print them; printJob()
    // sends text in font to the printer and returns its failure, if any; the
    // save dialog of a PDF file proposes proposedPath and returns the chosen
    // path, or an empty string when the operator cancels.
    virtual bool printPreview(QPrinter &printer, const std::function<void(QPrinter *)> &paint, QWidget *parent) = 0;
    virtual std::optional<print::PrintError> printJob(QPrinter &printer, const QString &text, const QFont &font) = 0;
    virtual QString pdfFileName(const QString &proposedPath, QWidget *parent) = 0;

    // Drawings: printDrawing() sends the sheets that paint draws to the
    // printer and returns its failure, if any; the save dialog of a picture
    // (PNG or PDF) proposes proposedPath and returns the chosen path, or an
    // empty string when the operator cancels.
    virtual std::optional<print::PrintError> printDrawing(QPrinter &printer,
                                                          const std::function<bool(QPagedPaintDevice &)> &paint) = 0;
    virtual QString pictureFileName(const QString &proposedPath, QWidget *parent) = 0;
    // The file dialog of a data file to read or write: it opens at
    // proposedPath, offers filters ("Excel (*.xlsx)", the first one chosen)
    // and returns the chosen path, or an empty string when the operator
    // cancels.
    virtual QString dataFileName(const QString &title, const QString &proposedPath, const QStringList &filters,
                                 QWidget *parent) = 0;
};

// The surroundings in use: the installed ones, or the real ones.
Surroundings &surroundings();
// The real surroundings: the system's boxes, dialogs, printers and clock.
Surroundings &realSurroundings();
// The installed surroundings, or nullptr when the real ones answer.
Surroundings *installedSurroundings();
// Installs surroundings, clock included; nullptr brings the real ones back.
void installSurroundings(Surroundings *surroundings);

} // namespace pel::ui
