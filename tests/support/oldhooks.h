#pragma once

#include "ui/messages.h"
#include "ui/printing.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

class QFont;
class QPrinter;
class QWidget;

// The separate test hooks that came before test::StandIn, kept so that tests
// written against them still build and run. The living stand-in asks a hook
// that is set before it answers itself; setting a hook while no stand-in
// lives installs one for the rest of the test program. New tests use a
// StandIn and these go once no test calls them.

namespace pel::ui {
using MessageHandler = std::function<Answer(const Message &)>;
void setMessageHandler(MessageHandler handler);
void setEndProgramHandler(std::function<void()> handler);
} // namespace pel::ui

namespace pel::clock {
void fix(const QDateTime &moment);
void release();
} // namespace pel::clock

namespace pel {
void setPrinterInstalledOverride(std::optional<bool> installed);
}

namespace pel::reports {
using PrintError = print::PrintError;
inline constexpr int PrinterNotStarted = print::PrinterNotStarted;
inline constexpr int PrinterFailed = print::PrinterFailed;
inline constexpr int PrinterAborted = print::PrinterAborted;

using PrintJobHandler = std::function<std::optional<PrintError>(QPrinter &printer, const QString &text,
                                                                const QFont &font)>;
using PrintSetupHandler = std::function<bool(QPrinter &printer, QWidget *parent)>;
using PrintPreviewHandler =
    std::function<bool(QPrinter &printer, const std::function<void(QPrinter *)> &paint, QWidget *parent)>;
using SaveFileNameHandler = std::function<QString(const QString &proposedPath, QWidget *parent)>;
void setPrintJobHandler(PrintJobHandler handler);
void setPrintSetupHandler(PrintSetupHandler handler);
void setPrintPreviewHandler(PrintPreviewHandler handler);
void setSaveFileNameHandler(SaveFileNameHandler handler);
} // namespace pel::reports

namespace pel::test {

// The hooks that are set; an empty one leaves the answer to the stand-in.
struct OldHooks
{
    ui::MessageHandler message;
    std::function<void()> endProgram;
    std::optional<QDateTime> clock;
    std::optional<bool> printerInstalled;
    reports::PrintJobHandler printJob;
    reports::PrintSetupHandler printSetup;
    reports::PrintPreviewHandler printPreview;
    reports::SaveFileNameHandler pdfFileName;
};
OldHooks &oldHooks();

} // namespace pel::test
