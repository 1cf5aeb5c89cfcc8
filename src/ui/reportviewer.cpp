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

void ReportViewer::setText(QString text)
{
    m_text = std::move(text);
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
    m_text += text;
    // The last line may grow: index again from its start.
    indexFrom(from);
    m_anchor = m_caret = m_text.size();
    viewport()->update();
}

void ReportViewer::indexFrom(qsizetype from)
{
    const QChar *data = m_text.constData();
    const qsizetype size = m_text.size();
    qsizetype start = from;
    for (qsizetype i = from; i < size; ++i) {
        if (data[i] == QLatin1Char('\n')) {
            const qsizetype end = i > start && data[i - 1] == QLatin1Char('\r') ? i - 1 : i;
            m_widestLine = std::max(m_widestLine, int(end - start));
            start = i + 1;
            m_lineStarts << start;
        }
    }
    m_widestLine = std::max(m_widestLine, int(size - start));
    updateScrollBars();
}

qsizetype ReportViewer::lineEnd(int index) const
{
    if (index + 1 >= m_lineStarts.size())
        return m_text.size();
    qsizetype end = m_lineStarts.at(index + 1) - 1; // the LF
    if (end > m_lineStarts.at(index) && m_text.at(end - 1) == QLatin1Char('\r'))
        --end;
    return end;
}

QString ReportViewer::line(int index) const
{
    if (index < 0 || index >= m_lineStarts.size())
        return {};
    return m_text.mid(m_lineStarts.at(index), lineEnd(index) - m_lineStarts.at(index));
}

int ReportViewer::lineOf(qsizetype offset) const
{
    const auto it = std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), offset);
    return int(it - m_lineStarts.cbegin()) - 1;
}

int ReportViewer::firstVisibleLine() const
{
    return verticalScrollBar()->value();
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
        updateScrollBars();
    }
}

qreal ReportViewer::advance() const
{
    return QFontMetricsF(font()).horizontalAdvance(QLatin1Char('M'));
}

void ReportViewer::paintLine(QPainter &painter, QPointF origin, qsizetype from, qsizetype to)
{
    const int count = int(to - from);
    if (count <= 0)
        return;
    if (!m_rawFont.isValid())
        m_rawFont = QRawFont::fromFont(font());
    m_glyphs.resize(count);
    int glyphs = count;
    if (!m_rawFont.isValid()
        || !m_rawFont.glyphIndexesForChars(m_text.constData() + from, count, m_glyphs.data(), &glyphs)
        || glyphs != count) {
        // Characters outside the basic plane, or no font to take glyphs
        // from: the painter shapes the line itself.
        painter.drawText(origin, m_text.mid(from, count));
        return;
    }
    const qreal step = advance();
    m_positions.resize(count);
    for (int i = 0; i < count; ++i)
        m_positions[i] = QPointF(origin.x() + i * step, origin.y());
    QGlyphRun run;
    run.setRawFont(m_rawFont);
    run.setRawData(m_glyphs.constData(), m_positions.constData(), count);
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
    while (from > 0 && !m_text.at(from - 1).isSpace())
        --from;
    while (to < m_text.size() && !m_text.at(to).isSpace())
        ++to;
    m_anchor = from;
    m_caret = to;
    viewport()->update();
}

QString ReportViewer::selectedText() const
{
    const qsizetype from = std::min(m_anchor, m_caret);
    return m_text.mid(from, std::max(m_anchor, m_caret) - from);
}

void ReportViewer::selectAll()
{
    m_anchor = 0;
    m_caret = m_text.size();
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

bool ReportViewer::find(const QString &needle)
{
    if (needle.isEmpty() || m_text.isEmpty())
        return false;
    const qsizetype from = std::max(m_anchor, m_caret);
    qsizetype at = m_text.indexOf(needle, from, Qt::CaseInsensitive);
    if (at < 0)
        at = m_text.indexOf(needle, 0, Qt::CaseInsensitive);
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
            m_caret = std::min(m_text.size(), m_caret + 1);
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
