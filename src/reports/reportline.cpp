#include "reports/reportline.h"

#include "common/formatters.h"

namespace pel::reports {

namespace {

// True for a text that reads as no number: only such values may be cut, as
// a shortened number would read as another value.
bool isPlainText(const QVariant &value)
{
    return value.typeId() == QMetaType::QString && !ReadsAsNumber(value);
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
    return lookup(u'<', value, mask, PadRightFormat);
}

QString CellCache::padLeft(const QVariant &value, const QString &mask)
{
    return lookup(u'>', value, mask, PadLeftFormat);
}

void ReportLine::padTo(int column, bool keepOne)
{
    if (m_line.size() < column)
        m_line.append(QString(column - m_line.size(), QLatin1Char(' ')));
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

QVariant firstChars(const QVariant &value, int count)
{
    if (value.typeId() != QMetaType::QString)
        return value;
    return value.toString().left(count);
}

} // namespace pel::reports
