#include "reports/reportline.h"

#include "common/formatters.h"

#include <algorithm>

namespace pel::reports {

namespace {

// True for a text that reads as no number: only such values may be cut, as
// a shortened number would read as another value.
bool isPlainText(const QVariant &value)
{
    if (value.typeId() != QMetaType::QString)
        return false;
    // A letter first never reads as a number: no need to parse.
    const QString &text = *static_cast<const QString *>(value.constData());
    if (!text.isEmpty() && text.at(0).isLetter())
        return true;
    return !ReadsAsNumber(value);
}

} // namespace

QString CellCache::lookup(QChar side, const QVariant &value, const QString &mask,
                         QString (*format)(const QVariant &, const QString &))
{
    constexpr qsizetype Capacity = 4096;
    QString key = mask;
    key += side;
    key += QString::number(value.typeId());
    key += value.isNull() ? QChar(u'\0') : QChar(u'=');
    key += value.toString();
    const auto found = m_cells.constFind(key);
    if (found != m_cells.constEnd())
        return found.value();
    if (m_cells.size() >= Capacity)
        m_cells.clear();
    QString cell = format(value, mask);
    m_cells.insert(key, cell);
    return cell;
}

QString CellCache::padRight(const QVariant &value, const QString &mask)
{
    if (QString cell; QuickPadRight(value, mask, &cell))
        return cell;
    return lookup(u'<', value, mask, PadRightFormat);
}

QString CellCache::padLeft(const QVariant &value, const QString &mask)
{
    return lookup(u'>', value, mask, PadLeftFormat);
}

void ReportLine::padTo(int column, bool keepOne)
{
    if (m_line.size() < column)
        m_line.resize(column, QLatin1Char(' '));
    else if (keepOne)
        m_line.append(QLatin1Char(' '));
}

ReportLine &ReportLine::text(QStringView piece)
{
    m_line.append(piece);
    m_column += int(piece.size());
    return *this;
}

ReportLine &ReportLine::spaces(int count)
{
    m_column += count;
    padTo(m_column, count > 0 && m_line.size() >= m_column);
    return *this;
}

ReportLine &ReportLine::left(const QVariant &value, const QString &mask, int after, Fit fit)
{
    const int width = int(mask.size());
    const int next = m_column + width + after;
    // A text starting with a letter (a name, a place) is its own cell: put
    // straight into the line, cut and padded as below, without a cell of its own.
    if (value.typeId() == QMetaType::QString) {
        const QString &text = *static_cast<const QString *>(value.constData());
        if (!text.isEmpty() && text.at(0).isLetter()) {
            qsizetype size = text.size();
            if (fit == Fit::Text && size > width)
                size = std::min<qsizetype>(size, qMax(next - (after > 0 ? 1 : 0) - int(m_line.size()), width));
            m_line.append(QStringView(text).first(size));
            if (size < width)
                m_line.resize(m_line.size() + (width - size), QLatin1Char(' '));
            m_column = next;
            if (after > 0)
                padTo(next, true);
            return *this;
        }
    }
    QString cell = m_cache ? m_cache->padRight(value, mask) : PadRightFormat(value, mask);
    if (fit == Fit::Text && cell.size() > width && isPlainText(value)) {
        const int room = qMax(next - (after > 0 ? 1 : 0) - int(m_line.size()), width);
        if (cell.size() > room)
            cell.truncate(room);
    }
    m_line.append(cell);
    m_column = next;
    if (after > 0)
        padTo(next, true);
    return *this;
}

ReportLine &ReportLine::right(const QVariant &value, const QString &mask, int after)
{
    return rightText(m_cache ? m_cache->padLeft(value, mask) : PadLeftFormat(value, mask), int(mask.size()), after);
}

ReportLine &ReportLine::rightText(const QString &cell, int width, int after)
{
    const int over = int(cell.size()) - width;
    if (over > 0) {
        // Grow to the left into the spaces before the cell, keeping one.
        int blanks = 0;
        while (blanks < m_line.size() && m_line.at(m_line.size() - 1 - blanks) == QLatin1Char(' '))
            ++blanks;
        m_line.chop(qMin(over, qMax(blanks - 1, 0)));
    }
    m_line.append(cell);
    m_column += width + after;
    if (after > 0)
        padTo(m_column, true);
    return *this;
}

QString ReportLine::withBreak() const
{
    return m_line + Crlf;
}

QString ReportLine::takeWithBreak()
{
    m_line.append(Crlf);
    return std::move(m_line);
}

QVariant firstChars(const QVariant &value, int count)
{
    if (value.typeId() != QMetaType::QString)
        return value;
    return value.toString().left(count);
}

} // namespace pel::reports
