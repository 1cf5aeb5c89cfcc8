#include "ui/menustyle.h"

#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

namespace pel::ui {

namespace {

// The application's style, but with a separator line that can be seen.
class SeparatorStyle : public QProxyStyle
{
public:
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
        if (element != CE_MenuItem || !item || item->menuItemType != QStyleOptionMenuItem::Separator) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        painter->save();
        painter->fillRect(item->rect, item->palette.window());
        const int margin = 4;
        const int y = item->rect.center().y();
        painter->setPen(QPen(item->palette.color(QPalette::Dark), 1));
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
