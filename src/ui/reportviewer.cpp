#include "ui/reportviewer.h"

#include <QApplication>
#include <QClipboard>
#include <QGlyphRun>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cstring>

namespace pel::ui {

ReportViewer::ReportViewer(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    m_lineStarts << 0;

    m_findBox = new QLineEdit(this);
    m_findBox->setObjectName(QStringLiteral("findBox"));
    m_findBox->setPlaceholderText(QStringLiteral("Cari..."));
    m_findBox->hide();
    connect(m_findBox, &QLineEdit::returnPressed, this, [this] { find(m_findBox->text()); });
}

namespace {

// Whether every character of text is Latin-1.
bool isLatin1(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
}

// UTF-8 bytes turned, in place, into one byte a character while their
// characters are Latin-1. Gives -1 when all were; otherwise the offset of the
// first byte left as it was, after *converted Latin-1 bytes.
qsizetype utf8ToLatin1(QByteArray &bytes, qsizetype *converted)
{
    const auto *from = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype first = 0;
    while (first < size && from[first] < 0x80)
        ++first;
    *converted = first;
    if (first == size)
        return -1; // plain ASCII, as report text mostly is
    char *to = bytes.data();
    from = reinterpret_cast<const unsigned char *>(to);
    qsizetype out = first;
    for (qsizetype in = first; in < size; ++in) {
        const unsigned char byte = from[in];
        if (byte < 0x80) {
            to[out++] = char(byte);
        } else if ((byte == 0xC2 || byte == 0xC3) && in + 1 < size && (from[in + 1] & 0xC0) == 0x80) {
            to[out++] = char(((byte & 0x1F) << 6) | (from[in + 1] & 0x3F));
            ++in;
        } else {
            *converted = out;
            return in;
        }
    }
    bytes.truncate(out);
    *converted = out;
    return -1;
}

} // namespace

void ReportViewer::setText(const QString &text)
{
    m_wide = !isLatin1(text);
    m_text = m_wide ? text : QString();
    m_narrow = m_wide ? QByteArray() : text.toLatin1();
    takeText();
}

void ReportViewer::setUtf8(QByteArray bytes)
{
    qsizetype converted = 0;
    const qsizetype rest = utf8ToLatin1(bytes, &converted);
    m_wide = rest >= 0;
    if (m_wide) {
        m_text = QString::fromLatin1(bytes.constData(), converted)
                 + QString::fromUtf8(bytes.constData() + rest, bytes.size() - rest);
        m_narrow = QByteArray();
    } else {
        m_text = QString();
        m_narrow = std::move(bytes);
    }
    takeText();
}

void ReportViewer::clear()
{
    m_wide = false;
    m_text = QString();
    m_narrow = QByteArray();
    takeText();
}

QString ReportViewer::text() const
{
    return m_wide ? m_text : QString::fromLatin1(m_narrow);
}

QString ReportViewer::mid(qsizetype from, qsizetype count) const
{
    if (m_wide)
        return m_text.mid(from, count);
    from = std::clamp<qsizetype>(from, 0, m_narrow.size());
    count = std::clamp<qsizetype>(count, 0, m_narrow.size() - from);
    return QString::fromLatin1(m_narrow.constData() + from, count);
}

void ReportViewer::takeText()
{
    m_lineStarts.clear();
    m_lineStarts << 0;
    m_widestLine = 0;
    m_anchor = m_caret = 0;
    indexFrom(0);
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

void ReportViewer::appendText(const QString &text)
{
    const qsizetype from = m_lineStarts.last();
    if (!m_wide && isLatin1(text)) {
        m_narrow += text.toLatin1();
    } else {
        if (!m_wide) {
            m_text = QString::fromLatin1(m_narrow);
            m_narrow = QByteArray();
            m_wide = true;
        }
        m_text += text;
    }
    // The last line may grow: index again from its start.
    indexFrom(from);
    m_anchor = m_caret = size();
    viewport()->update();
}

void ReportViewer::indexFrom(qsizetype from)
{
    const qsizetype total = size();
    qsizetype start = from;
    const auto lineBreak = [&](qsizetype i, bool crBefore) {
        const qsizetype end = crBefore && i > start ? i - 1 : i;
        m_widestLine = std::max(m_widestLine, int(end - start));
        start = i + 1;
        m_lineStarts << start;
    };
    if (m_wide) {
        const QChar *data = m_text.constData();
        for (qsizetype i = from; i < total; ++i)
            if (data[i] == QLatin1Char('\n'))
                lineBreak(i, i > start && data[i - 1] == QLatin1Char('\r'));
    } else {
        const char *data = m_narrow.constData();
        for (const char *at = data + from; at < data + total;) {
            const auto *found = static_cast<const char *>(std::memchr(at, '\n', size_t(data + total - at)));
            if (!found)
                break;
            const qsizetype i = found - data;
            lineBreak(i, i > start && data[i - 1] == '\r');
            at = found + 1;
        }
    }
    m_widestLine = std::max(m_widestLine, int(total - start));
    updateScrollBars();
}

qsizetype ReportViewer::lineEnd(int index) const
{
    if (index + 1 >= m_lineStarts.size())
        return size();
    qsizetype end = m_lineStarts.at(index + 1) - 1; // the LF
    if (end > m_lineStarts.at(index) && charAt(end - 1) == QLatin1Char('\r'))
        --end;
    return end;
}

QString ReportViewer::line(int index) const
{
    if (index < 0 || index >= m_lineStarts.size())
        return {};
    return mid(m_lineStarts.at(index), lineEnd(index) - m_lineStarts.at(index));
}

int ReportViewer::lineOf(qsizetype offset) const
{
    const auto it = std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), offset);
    return int(it - m_lineStarts.cbegin()) - 1;
}

void ReportViewer::updateScrollBars()
{
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.lineSpacing();
    const int visibleLines = std::max(1, viewport()->height() / std::max(1, lineHeight));
    verticalScrollBar()->setRange(0, std::max(0, int(m_lineStarts.size()) - visibleLines));
    verticalScrollBar()->setPageStep(visibleLines);
    verticalScrollBar()->setSingleStep(1);
    const int width = int(advance() * (m_widestLine + 1)) + 8;
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(int(advance() * 4));
}

void ReportViewer::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    m_findBox->setGeometry(width() - 220, 2, 200, m_findBox->sizeHint().height());
}

void ReportViewer::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_rawFont = QRawFont();
        m_advance = -1;
        updateScrollBars();
    }
}

qreal ReportViewer::advance() const
{
    if (m_advance < 0)
        m_advance = QFontMetricsF(font()).horizontalAdvance(QLatin1Char('M'));
    return m_advance;
}

void ReportViewer::paintLine(QPainter &painter, QPointF origin, qsizetype from, qsizetype to)
{
    const int count = int(to - from);
    if (count <= 0)
        return;
    if (!m_rawFont.isValid()) {
        m_rawFont = QRawFont::fromFont(font());
        m_latin1Glyphs.clear();
    }
    m_glyphs.resize(count);
    int glyphs = count;
    if (m_rawFont.isValid() && !m_wide) {
        // A byte a character: each one's glyph from a table made once for the font.
        if (m_latin1Glyphs.isEmpty()) {
            QString all(256, Qt::Uninitialized);
            for (int c = 0; c < 256; ++c)
                all[c] = QChar(c);
            m_latin1Glyphs.resize(256);
            int made = 256;
            if (!m_rawFont.glyphIndexesForChars(all.constData(), 256, m_latin1Glyphs.data(), &made) || made != 256)
                m_latin1Glyphs.fill(0);
        }
        const auto *bytes = reinterpret_cast<const uchar *>(m_narrow.constData()) + from;
        for (int i = 0; i < count; ++i)
            m_glyphs[i] = m_latin1Glyphs.at(bytes[i]);
    } else if (!m_rawFont.isValid()
               || !m_rawFont.glyphIndexesForChars(m_text.constData() + from, count, m_glyphs.data(), &glyphs)
               || glyphs != count) {
        // Characters outside the basic plane, or no font to take glyphs
        // from: the painter shapes the line itself.
        painter.drawText(origin, mid(from, count));
        return;
    }
    // Blanks, most of a report line, draw nothing: only the other glyphs
    // go to the painter, each in its column.
    const qreal step = advance();
    m_positions.resize(count);
    int drawn = 0;
    for (int i = 0; i < count; ++i) {
        if (charAt(from + i) == QLatin1Char(' '))
            continue;
        m_glyphs[drawn] = m_glyphs.at(i);
        m_positions[drawn++] = QPointF(origin.x() + i * step, origin.y());
    }
    if (drawn == 0)
        return;
    QGlyphRun run;
    run.setRawFont(m_rawFont);
    run.setRawData(m_glyphs.constData(), m_positions.constData(), drawn);
    painter.drawGlyphRun(QPointF(), run);
}

void ReportViewer::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.setFont(font());
    const QFontMetrics metrics(font());
    const int lineHeight = metrics.lineSpacing();
    const qreal charWidth = advance();
    const qreal x0 = 4 - horizontalScrollBar()->value();
    const int first = verticalScrollBar()->value();
    const int count = viewport()->height() / std::max(1, lineHeight) + 2;
    const qsizetype selFrom = std::min(m_anchor, m_caret);
    const qsizetype selTo = std::max(m_anchor, m_caret);
    const QPalette &colors = palette();
    painter.setPen(colors.color(QPalette::Text));
    // Only the columns in view are drawn.
    const qsizetype firstColumn = std::max<qsizetype>(0, qsizetype((-x0) / charWidth) - 1);
    const qsizetype columns = qsizetype(viewport()->width() / charWidth) + 3;
    for (int i = 0; i < count && first + i < m_lineStarts.size(); ++i) {
        const int index = first + i;
        const qsizetype start = m_lineStarts.at(index);
        const qsizetype end = lineEnd(index);
        const int top = i * lineHeight;
        if (selFrom < selTo && selFrom <= end && selTo > start) {
            const qsizetype a = std::max(selFrom, start) - start;
            const qsizetype b = std::min(selTo, end + 1) - start; // the break counts as one place
            painter.fillRect(QRectF(x0 + a * charWidth, top, (b - a) * charWidth, lineHeight), colors.highlight());
        }
        const qsizetype from = std::min(start + firstColumn, end);
        const qsizetype to = std::min(from + columns, end);
        paintLine(painter, QPointF(x0 + (from - start) * charWidth, top + metrics.ascent()), from, to);
    }
}

qsizetype ReportViewer::offsetAt(const QPoint &point) const
{
    const QFontMetrics metrics(font());
    const int lineHeight = std::max(1, metrics.lineSpacing());
    const qreal charWidth = std::max<qreal>(1, advance());
    const int index = std::clamp(verticalScrollBar()->value() + point.y() / lineHeight, 0,
                                 int(m_lineStarts.size()) - 1);
    const qsizetype column =
        std::max<qsizetype>(0, qsizetype((point.x() - 4 + horizontalScrollBar()->value()) / charWidth + 0.5));
    return std::min(m_lineStarts.at(index) + column, lineEnd(index));
}

void ReportViewer::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    m_caret = offsetAt(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier))
        m_anchor = m_caret;
    viewport()->update();
}

void ReportViewer::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    m_caret = offsetAt(event->position().toPoint());
    viewport()->update();
}

void ReportViewer::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A double click selects the word under the pointer.
    const qsizetype at = offsetAt(event->position().toPoint());
    qsizetype from = at, to = at;
    while (from > 0 && !charAt(from - 1).isSpace())
        --from;
    while (to < size() && !charAt(to).isSpace())
        ++to;
    m_anchor = from;
    m_caret = to;
    viewport()->update();
}

QString ReportViewer::selectedText() const
{
    const qsizetype from = std::min(m_anchor, m_caret);
    return mid(from, std::max(m_anchor, m_caret) - from);
}

void ReportViewer::selectAll()
{
    m_anchor = 0;
    m_caret = size();
    viewport()->update();
}

void ReportViewer::copy() const
{
    if (m_anchor != m_caret)
        QApplication::clipboard()->setText(selectedText());
}

void ReportViewer::scrollToOffset(qsizetype offset)
{
    const int index = lineOf(offset);
    QScrollBar *bar = verticalScrollBar();
    if (index < bar->value() || index >= bar->value() + bar->pageStep())
        bar->setValue(index - bar->pageStep() / 2);
    const qreal charWidth = advance();
    const int x = int((offset - m_lineStarts.at(index)) * charWidth);
    QScrollBar *across = horizontalScrollBar();
    if (x < across->value() || x > across->value() + viewport()->width() - charWidth * 4)
        across->setValue(x - viewport()->width() / 2);
}

qsizetype ReportViewer::indexOf(const QString &needle, qsizetype from) const
{
    if (m_wide)
        return m_text.indexOf(needle, from, Qt::CaseInsensitive);
    // A piece at a time, each overlapping the next by the needle's length,
    // so that the whole text is never widened at once.
    constexpr qsizetype Piece = 1 << 16;
    for (qsizetype start = from; start < m_narrow.size(); start += Piece) {
        const qsizetype found = mid(start, Piece + needle.size() - 1).indexOf(needle, 0, Qt::CaseInsensitive);
        if (found >= 0)
            return start + found;
    }
    return -1;
}

bool ReportViewer::find(const QString &needle)
{
    if (needle.isEmpty() || size() == 0)
        return false;
    const qsizetype from = std::max(m_anchor, m_caret);
    qsizetype at = indexOf(needle, from);
    if (at < 0)
        at = indexOf(needle, 0);
    if (at < 0)
        return false;
    m_anchor = at;
    m_caret = at + needle.size();
    scrollToOffset(at);
    viewport()->update();
    return true;
}

void ReportViewer::keyPressEvent(QKeyEvent *event)
{
    if (event == QKeySequence::Copy) {
        copy();
        return;
    }
    if (event == QKeySequence::SelectAll) {
        selectAll();
        return;
    }
    if (event == QKeySequence::Find) {
        m_findBox->show();
        m_findBox->raise();
        m_findBox->setFocus(Qt::ShortcutFocusReason);
        m_findBox->selectAll();
        return;
    }
    if (event == QKeySequence::FindNext) {
        find(m_findBox->text());
        return;
    }
    if (event->key() == Qt::Key_Escape && m_findBox->isVisible()) {
        m_findBox->hide();
        return;
    }
    // Shift with the arrows moves the caret end of the selection.
    if (event->modifiers() & Qt::ShiftModifier) {
        const int index = lineOf(m_caret);
        const qsizetype column = m_caret - m_lineStarts.at(index);
        switch (event->key()) {
        case Qt::Key_Left:
            m_caret = std::max<qsizetype>(0, m_caret - 1);
            break;
        case Qt::Key_Right:
            m_caret = std::min(size(), m_caret + 1);
            break;
        case Qt::Key_Up:
            if (index > 0)
                m_caret = std::min(m_lineStarts.at(index - 1) + column, lineEnd(index - 1));
            break;
        case Qt::Key_Down:
            if (index + 1 < m_lineStarts.size())
                m_caret = std::min(m_lineStarts.at(index + 1) + column, lineEnd(index + 1));
            break;
        case Qt::Key_End:
            m_caret = lineEnd(index);
            break;
        case Qt::Key_Home:
            m_caret = m_lineStarts.at(index);
            break;
        default:
            return QAbstractScrollArea::keyPressEvent(event);
        }
        scrollToOffset(m_caret);
        viewport()->update();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

} // namespace pel::ui
