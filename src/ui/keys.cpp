#include "ui/keys.h"

#include "ui/messages.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>

namespace pel::ui {

namespace {

class KeyFilter : public QObject
{
public:
    KeyFilter(QObject *parent, std::function<bool(QKeyEvent *)> handler)
        : QObject(parent), m_handler(std::move(handler))
    {
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        return m_handler(static_cast<QKeyEvent *>(event));
    }

private:
    std::function<bool(QKeyEvent *)> m_handler;
};

} // namespace

bool isEnter(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

void onKeyPress(QWidget *widget, std::function<bool(QKeyEvent *)> handler)
{
    widget->installEventFilter(new KeyFilter(widget, std::move(handler)));
}

void onEnter(QWidget *widget, std::function<void()> handler)
{
    onKeyPress(widget, [handler = std::move(handler)](QKeyEvent *event) {
        if (!isEnter(event))
            return false;
        handler();
        return true;
    });
}

void pressOnEnter(QAbstractButton *button)
{
    onEnter(button, [button] {
        if (button->isEnabled())
            button->click();
    });
}

void pressOnEnterAll(QWidget *root)
{
    for (QAbstractButton *button : root->findChildren<QAbstractButton *>())
        pressOnEnter(button);
}

void selectWholeText(QWidget *widget)
{
    if (auto *box = qobject_cast<QLineEdit *>(widget))
        box->selectAll();
    else if (auto *combo = qobject_cast<QComboBox *>(widget); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}

void focusAndSelect(QWidget *widget)
{
    widget->setFocus(Qt::OtherFocusReason);
    selectWholeText(widget);
}

void enterMovesTo(QLineEdit *box, QWidget *next, const QString &emptyMessage, bool upperCase)
{
    onEnter(box, [box, next, emptyMessage, upperCase] {
        if (box->text().isEmpty()) {
            showMessage(emptyMessage, QStringLiteral("Pesan"), Icon::Critical, Buttons::Ok, box->window());
            box->setFocus(Qt::OtherFocusReason);
            return;
        }
        if (upperCase)
            box->setText(box->text().toUpper());
        next->setFocus(Qt::OtherFocusReason);
    });
}

} // namespace pel::ui
