#pragma once

#include <QDate>
#include <QList>
#include <QPageLayout>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QWidget;

namespace pel::print {
struct PrintError;
}

// The report screen's two commands: "&Cetak" prints the viewer's text and
// "Simpan &PDF" saves it as a PDF file laid out exactly as it prints. The
// screen gives the text and the kinds of report it shows; the sheets and the
// devices are in ui/printsheets.h and ui/printing.h.
namespace pel::reports {

// The reports the viewer can show.
enum class ReportKind { StudentList, GradeStatement, Certificate, IpkList };

// The file name offered when a report is saved as PDF: the kind of report
// shown, then the date, e.g. "Data Siswa 08-12-2026.pdf". Reports of more
// than one kind, or of none, are offered as "Laporan".
QString proposedPdfName(const QList<ReportKind> &shown, const QDate &date);

// The printer-error message: the error's number and description, then the
// advice lines, each line ended by a carriage return.
QString printerErrorMessage(const print::PrintError &error);

enum class AfterPrint { KeepText, ClearText };

// "&Cetak": prints text after the checks, the question, the print-setup
// dialog and the preview, and tells whether the viewer is to be emptied
// afterwards.
AfterPrint printViewerText(const QString &text, QWidget *parent);

// "Cetak" of a drawing rather than a text (the statistics screen's chart and
// table): the same checks, question, setup dialog, preview and printer-error
// message as printViewerText, on the printer's paper in the orientation
// given, with the margins of the reports; paint draws every sheet on the
// device it is given. empty: there is nothing to print yet. True when the
// drawing went to the printer.
bool printDrawing(bool empty, QPageLayout::Orientation orientation,
                  const std::function<bool(QPagedPaintDevice &)> &paint, QWidget *parent);

// "Simpan &PDF": asks for a file name, proposing one after the kinds of
// report shown, and writes text as PDF. Needs no printer. Returns the file
// written, or an empty string.
QString saveViewerTextAsPdf(const QString &text, const QList<ReportKind> &shown, QWidget *parent);

} // namespace pel::reports
