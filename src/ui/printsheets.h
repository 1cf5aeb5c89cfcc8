#pragma once

#include <QFont>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <optional>

// How a report's text goes onto sheets of paper: the font, the margins, the
// orientation, the scale and the page breaks. Each page of a file report
// (its "Halaman:" after a page-break block) starts a new sheet, and the text
// is set in the size at which its widest line fills the sheet's printable
// width. Pure functions of the text; the printer, the PDF file and the
// preview all draw what they plan.
namespace pel::print {

// The font of every printed report: "Courier New", 8 points; where that font
// is missing the system's fixed-pitch font stands in, so columns stay aligned.
QFont printFont();

// The blank border of every sheet, in millimetres, on all four sides.
inline constexpr qreal SheetMarginMm = 10.0;

// The report's lines: the text split at its line ends (CR LF, or a lone LF or
// CR). A line end at the very end of the text starts no further line.
QStringList reportLines(const QString &text);

// The report's pages: its lines cut where a later page of a file report
// begins, each page without the blank lines at its end. A text without page
// breaks is one page.
QList<QStringList> reportPages(const QStringList &lines);

// How the lines go onto sheets of one paper size.
struct SheetPlan
{
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    // The size at which a sheet is drawn, as a multiple of the font's own
    // size: the widest line fills the printable width, unless a report page
    // would then not fit one sheet's height.
    qreal scale = 1.0;
    int linesPerSheet = 1;
};

// Plans the sheets from measures in points: the paper (portrait), the margin
// on each side, the widest line and the line spacing at the font's own size,
// and the lines of the tallest report page (0 when the text has no page
// breaks and simply runs on from sheet to sheet). Without a given
// orientation, portrait is taken when the widest line fits across it at the
// font's own size, landscape otherwise.
SheetPlan planSheets(QSizeF paperPt, qreal marginPt, qreal widestLinePt, qreal lineSpacingPt,
                     std::optional<QPageLayout::Orientation> orientation = {}, int tallestPageLines = 0);

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

} // namespace pel::print
