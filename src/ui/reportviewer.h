#pragma once

#include <QAbstractScrollArea>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>

class QLineEdit;
class QPainter;

// A read-only viewer for long fixed-width text. It keeps the text once, as it
// was given (lines end with CR LF or LF), one byte a character while every
// character is Latin-1 (as report text is), never wraps a line, and paints
// only the lines in view, so a report of a hundred thousand rows shows at
// once and takes little more memory than its file.
// The operator can select with the mouse or the keyboard, copy (Ctrl+C),
// select all (Ctrl+A) and find (Ctrl+F, then Enter or F3 for the next match).
namespace pel::ui {

class ReportViewer : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit ReportViewer(QWidget *parent = nullptr);

    // The whole text, exactly as it was set and appended.
    QString text() const;
    void setText(const QString &text);
    // The same from UTF-8 bytes, taken over without a copy where it can.
    void setUtf8(QByteArray bytes);
    void appendText(const QString &text);
    void clear();

    int lineCount() const { return int(m_lineStarts.size()); }
    // The line's text without its line break.
    QString line(int index) const;
    // The selected text, line breaks as in the text.
    QString selectedText() const;
    void selectAll();
    // Selects the next occurrence of needle after the selection (letter case
    // ignored), from the top again after the last one, and scrolls to it.
    bool find(const QString &needle);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The text's size in characters, one character, a piece.
    qsizetype size() const { return m_wide ? m_text.size() : m_narrow.size(); }
    QChar charAt(qsizetype offset) const
    {
        return m_wide ? m_text.at(offset) : QChar(uchar(m_narrow.at(offset)));
    }
    QString mid(qsizetype from, qsizetype count) const;
    void takeText(); // after the text changed: index it afresh, nothing selected
    // Where needle is next, from offset from, letter case ignored; -1 when nowhere.
    qsizetype indexOf(const QString &needle, qsizetype from) const;
    void indexFrom(qsizetype from);
    qsizetype lineEnd(int index) const; // offset where the line's break begins
    qsizetype offsetAt(const QPoint &viewportPoint) const;
    int lineOf(qsizetype offset) const;
    void scrollToOffset(qsizetype offset);
    void updateScrollBars();
    void copy() const;
    qreal advance() const; // the width of one character of the fixed-width font
    void paintLine(QPainter &painter, QPointF origin, qsizetype from, qsizetype to);

    // The text: m_narrow, a byte a character (Latin-1), until a character
    // beyond Latin-1 comes; then m_text, with m_wide set.
    QByteArray m_narrow;
    QString m_text;
    bool m_wide = false;
    QList<qsizetype> m_lineStarts; // offset of each line's first character
    int m_widestLine = 0;          // in characters
    qsizetype m_anchor = 0;        // selection: from anchor to caret
    qsizetype m_caret = 0;
    QLineEdit *m_findBox = nullptr;
    // The font's glyphs, drawn at fixed steps: a report line needs no
    // shaping, which would cost more than all the rest of a repaint.
    QRawFont m_rawFont;
    QList<quint32> m_glyphs;
    QList<quint32> m_latin1Glyphs; // the glyph of each Latin-1 character
    mutable qreal m_advance = -1;  // advance(), once known for the font
    QList<QPointF> m_positions;
};

} // namespace pel::ui
