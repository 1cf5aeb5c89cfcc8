#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

// One line of a fixed-width report, built left to right from literal pieces
// and value cells. Every piece has its place: the place that follows from
// the widths before it. When everything fits, a line is exactly the pieces
// joined. A value wider than its cell keeps the following columns in place
// where it can:
// - a text (a name, a place, a remark) is cut so that at least one space
//   stays before the next column;
// - a number or a key (NIS, subject code) is never cut, since a shortened one
//   would read as another value; it takes the spaces after it (keeping one)
//   and pushes the rest of the line only when those run out;
// - a right-aligned number grows to the left into the spaces before it.
namespace pel::reports {

// Remembers formatted cells during one report: a report of many rows formats
// the same places, dates, credits and remarks over and over, and each cell
// is still made by the shared formatters. Kept small: when full it starts
// afresh, so values seen once cost no memory.
class CellCache
{
public:
    QString padRight(const QVariant &value, const QString &mask);
    QString padLeft(const QVariant &value, const QString &mask);

private:
    QString lookup(QChar side, const QVariant &value, const QString &mask,
                   QString (*format)(const QVariant &, const QString &));
    QHash<QString, QString> m_cells;
};

class ReportLine
{
public:
    enum class Fit { Text, Whole };

    // cache, when given, must outlive the line.
    explicit ReportLine(CellCache *cache = nullptr) : m_cache(cache) { m_line.reserve(256); }

    // Literal text, such as a label or a rule.
    ReportLine &text(QStringView piece);
    // count spaces (at least one when an earlier value pushed the line).
    ReportLine &spaces(int count);
    // A left-aligned cell (PadRightFormat) followed by `after` spaces.
    ReportLine &left(const QVariant &value, const QString &mask, int after, Fit fit);
    // A right-aligned cell (PadLeftFormat) followed by `after` spaces.
    ReportLine &right(const QVariant &value, const QString &mask, int after);
    // A cell already formatted to be right-aligned in `width` characters.
    ReportLine &rightText(const QString &cell, int width, int after);

    // The line with CR LF after it, or without.
    QString withBreak() const;
    // The line with CR LF after it, taken out of this one (left empty).
    QString takeWithBreak();
    const QString &str() const { return m_line; }

private:
    void padTo(int column, bool keepOne);

    CellCache *m_cache = nullptr;
    QString m_line;
    int m_column = 0; // where the line would stand if every value fitted
};

// The first `count` characters of a value's text, or the value itself when
// it is missing or not text; reports cut names and addresses this way
// before they place them.
QVariant firstChars(const QVariant &value, int count);

// A report line break.
inline constexpr QLatin1StringView Crlf{"\r\n"};

} // namespace pel::reports
