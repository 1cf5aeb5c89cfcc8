#pragma once

#include <QStringList>
#include <QWidget>

class QLabel;

namespace pel::ui {

// The institution's four letterhead lines that head every entry screen.
inline const QStringList LetterheadLines{
    QStringLiteral("YAYASAN PELITAKSA BUDIMAJU "),
    QStringLiteral("MIRSA PELITAKSA"),
    QStringLiteral("NIRWA STUDI - NIRWA CAD - NIRWA COM"),
    QStringLiteral("Jl. Teratai Baru Raya No. 117 Telp. (0700) 55501 Lirak"),
};

// The letterhead block: the four lines and the screen's own title below them.
// labelNames, when given, names the five labels (four lines, then the title).
class Letterhead : public QWidget
{
    Q_OBJECT
public:
    explicit Letterhead(const QString &title, QWidget *parent = nullptr,
                        const QStringList &labelNames = {});

    QLabel *line(int index) const { return m_labels.value(index); }
    QLabel *title() const { return m_labels.value(LetterheadLines.size()); }

private:
    QList<QLabel *> m_labels;
};

} // namespace pel::ui
