#pragma once

#include <QAbstractScrollArea>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>

class QLineEdit;
class QPainter;

// A read-only viewer for long fixed-width text. It keeps the text once, as it
// was given (lines end with CR LF or LF), never wraps a line, and paints only
// the lines in view, so a report of a hundred thousand rows shows at once.
// The operator can select with the mouse or the keyboard, copy (Ctrl+C),
// select all (Ctrl+A) and find (Ctrl+F, then Enter or F3 for the next match).
namespace pel::ui {

class ReportViewer : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit ReportViewer(QWidget *parent = nullptr);

    // The whole text, exactly as it was set and appended.
    const QString &text() const { return m_text; }
    void setText(QString text);
    void appendText(const QString &text);
    void clear() { setText(QString()); }

    int lineCount() const { return int(m_lineStarts.size()); }
    // The line's text without its line break.
    QString line(int index) const;
    // The selected text, line breaks as in the text.
    QString selectedText() const;
    void selectAll();
    // Selects the next occurrence of needle after the selection (letter case
    // ignored), from the top again after the last one, and scrolls to it.
    bool find(const QString &needle);
    // The line at the top of the view.
    int firstVisibleLine() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void indexFrom(qsizetype from);
    qsizetype lineEnd(int index) const; // offset where the line's break begins
    qsizetype offsetAt(const QPoint &viewportPoint) const;
    int lineOf(qsizetype offset) const;
    void scrollToOffset(qsizetype offset);
    void updateScrollBars();
    void copy() const;
    qreal advance() const; // the width of one character of the fixed-width font
    void paintLine(QPainter &painter, QPointF origin, qsizetype from, qsizetype to);

    QString m_text;
    QList<qsizetype> m_lineStarts; // offset of each line's first character
    int m_widestLine = 0;          // in characters
    qsizetype m_anchor = 0;        // selection: from anchor to caret
    qsizetype m_caret = 0;
    QLineEdit *m_findBox = nullptr;
    // The font's glyphs, drawn at fixed steps: a report line needs no
    // shaping, which would cost more than all the rest of a repaint.
    QRawFont m_rawFont;
    QList<quint32> m_glyphs;
    QList<QPointF> m_positions;
};

} // namespace pel::ui
