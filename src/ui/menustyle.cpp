#include "ui/menustyle.h"

#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include <algorithm>

namespace pel::ui {

namespace {

// The application's style, but with a separator line that can be seen.
class SeparatorStyle : public QProxyStyle
{
public:
    // Room for the line clear of the menu's border, also at its top and bottom.
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override
    {
        QSize needed = QProxyStyle::sizeFromContents(type, option, size, widget);
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (type == CT_MenuItem && item && item->menuItemType == QStyleOptionMenuItem::Separator)
            needed.setHeight(std::max(needed.height(), 7));
        return needed;
    }

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (element != CE_MenuItem || !item || item->menuItemType != QStyleOptionMenuItem::Separator) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        // Halfway between the menu's text and its background: plain to see,
        // yet lighter than the items' text.
        const QColor text = item->palette.color(QPalette::Text);
        const QColor base = item->palette.color(QPalette::Base);
        const QColor line((text.red() + base.red()) / 2, (text.green() + base.green()) / 2,
                          (text.blue() + base.blue()) / 2);
        painter->save();
        const int margin = 4;
        const int y = item->rect.center().y();
        painter->setPen(QPen(line, 1));
        painter->drawLine(item->rect.left() + margin, y, item->rect.right() - margin, y);
        painter->restore();
    }
};

} // namespace

void showSeparatorsClearly(QMenu *menu)
{
    auto *style = new SeparatorStyle;
    style->setParent(menu);
    menu->setStyle(style);
}

} // namespace pel::ui
