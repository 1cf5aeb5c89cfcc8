#include "ui/letterhead.h"

#include <QLabel>
#include <QVBoxLayout>

namespace pel::ui {

Letterhead::Letterhead(const QString &title, QWidget *parent, const QStringList &labelNames)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Letterhead"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QStringList texts = LetterheadLines;
    texts << title;
    for (int i = 0; i < texts.size(); ++i) {
        auto *label = new QLabel(texts.at(i), this);
        label->setAlignment(Qt::AlignHCenter);
        QFont font = label->font();
        font.setBold(i == 0 || i == 1 || i == texts.size() - 1);
        if (i == 1 || i == texts.size() - 1)
            font.setPointSize(font.pointSize() + 4);
        label->setFont(font);
        label->setObjectName(labelNames.value(i));
        layout->addWidget(label);
        m_labels << label;
    }
}

} // namespace pel::ui
