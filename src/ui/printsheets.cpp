#include "ui/printsheets.h"

#include "reports/reporttext.h"

#include <QFontMetricsF>
#include <QMarginsF>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace pel::print {

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

} // namespace

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

QList<QStringList> reportPages(const QStringList &lines)
{
    QList<QStringList> pages;
    qsizetype first = 0;
    QList<qsizetype> ends = reports::laterPageStarts(lines);
    ends.append(lines.size());
    for (const qsizetype end : ends) {
        QStringList page = lines.mid(first, end - first);
        while (!page.isEmpty() && page.last().trimmed().isEmpty())
            page.removeLast();
        pages.append(page);
        first = end;
    }
    return pages;
}

SheetPlan planSheets(QSizeF paperPt, qreal marginPt, qreal widestLinePt, qreal lineSpacingPt,
                     std::optional<QPageLayout::Orientation> orientation, int tallestPageLines)
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
    if (widestLinePt > 0)
        plan.scale = printable.width() / widestLinePt;
    if (tallestPageLines > 0 && lineSpacingPt > 0)
        plan.scale = std::min(plan.scale, printable.height() / (tallestPageLines * lineSpacingPt));
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
    const QList<QStringList> pages = reportPages(lines);
    int tallest = 0;
    if (pages.size() > 1)
        for (const QStringList &page : pages)
            tallest = std::max(tallest, int(page.size()));

    SheetLayout layout;
    layout.ascentPt = measures.ascentPt();
    layout.lineSpacingPt = measures.lineSpacingPt();
    layout.plan = planSheets(paper.size(QPageSize::Point), SheetMarginMm * PointsPerMm, widest,
                             layout.lineSpacingPt, orientation, tallest);
    layout.pageLayout = QPageLayout(paper, layout.plan.orientation,
                                    QMarginsF(SheetMarginMm, SheetMarginMm, SheetMarginMm, SheetMarginMm),
                                    QPageLayout::Millimeter);
    for (const QStringList &page : pages)
        layout.sheets += fillSheets(page, layout.plan.linesPerSheet);
    return layout;
}

} // namespace pel::print
