#include "ui/surroundings.h"

#include "ui/printing.h"
#include "ui/screens.h"

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>

namespace pel::ui {

namespace {

// The system's own boxes, dialogs, printers and clock.
class RealSurroundings : public Surroundings
{
public:
    QDateTime now() override { return QDateTime::currentDateTime(); }
    Answer message(const Message &message, QWidget *parent) override { return execMessageBox(message, parent); }
    void endProgram() override { closeAllAndQuit(); }
    void beep() override { QApplication::beep(); }
    bool printerInstalled() override { return print::systemPrinterInstalled(); }
    bool printSetup(QPrinter &printer, QWidget *parent) override { return print::execPrintSetupDialog(printer, parent); }
    bool printPreview(QPrinter &printer, const std::function<void(QPrinter *)> &paint, QWidget *parent) override
    {
        return print::execPreviewDialog(printer, paint, parent);
    }
    std::optional<print::PrintError> printJob(QPrinter &printer, const QString &text, const QFont &font) override
    {
        return print::printOnPrinter(printer, text, font);
    }
    QString pdfFileName(const QString &proposedPath, QWidget *parent) override
    {
        return print::execPdfSaveDialog(proposedPath, parent);
    }
    std::optional<print::PrintError> printDrawing(QPrinter &printer,
                                                  const std::function<bool(QPagedPaintDevice &)> &paint) override
    {
        return print::printDrawingOnPrinter(printer, paint);
    }
    QString pictureFileName(const QString &proposedPath, QWidget *parent) override
    {
        return print::execPictureSaveDialog(proposedPath, parent);
    }
    QString dataFileName(const QString &title, const QString &proposedPath, const QStringList &filters,
                         QWidget *parent) override
    {
        // A file to read or to write: an existing one is not questioned here.
        return QFileDialog::getSaveFileName(parent, title, proposedPath, filters.join(QStringLiteral(";;")), nullptr,
                                            QFileDialog::DontConfirmOverwrite);
    }
};

Surroundings *installed = nullptr;

} // namespace

Surroundings &realSurroundings()
{
    static RealSurroundings real;
    return real;
}

Surroundings &surroundings()
{
    return installed ? *installed : realSurroundings();
}

Surroundings *installedSurroundings()
{
    return installed;
}

void installSurroundings(Surroundings *surroundings)
{
    installed = surroundings;
    // The core reads the clock without widgets: it follows the same choice.
    env::installClock(surroundings);
}

} // namespace pel::ui
