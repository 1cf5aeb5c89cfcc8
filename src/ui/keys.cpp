#include "ui/keys.h"

#include "ui/boxes.h"
#include "ui/messages.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QObject>
#include <QPointer>

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

void moveFocus(QWidget *widget)
{
    // The style draws the focus mark only in a window that carries this mark;
    // the toolkit sets it for Tab pressed by the operator, not for a focus
    // given by the program.
    widget->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    widget->setFocus(qobject_cast<QAbstractButton *>(widget) ? Qt::TabFocusReason : Qt::OtherFocusReason);
}

void leaveLetterToFirst(QAbstractButton *button)
{
    button->setShortcut(QKeySequence());
}

namespace {

// The underlined letter of a caption ("&Entry" gives e), or a null QChar.
QChar underlinedLetter(const QString &caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&'))
            continue;
        if (caption.at(i + 1) != QLatin1Char('&'))
            return caption.at(i + 1).toLower();
        ++i; // "&&" is a plain ampersand
    }
    return {};
}

} // namespace

void firstItemTakesLetter(QMenu *menu)
{
    onKeyPress(menu, [menu](QKeyEvent *event) {
        const QString typed = event->text();
        if (typed.size() != 1 || !typed.at(0).isLetterOrNumber()
            || (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
            return false;
        QList<QAction *> sharing;
        for (QAction *item : menu->actions())
            if (!item->isSeparator() && item->isVisible() && item->isEnabled()
                && underlinedLetter(item->text()) == typed.at(0).toLower())
                sharing << item;
        if (sharing.size() < 2)
            return false; // one item: the menu chooses it itself
        // Chosen as Enter chooses the highlighted item, closing the menus.
        menu->setActiveAction(sharing.first());
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &enter);
        return true;
    });
}

bool isAltLetter(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (!(modifiers & Qt::AltModifier) || (modifiers & (Qt::ControlModifier | Qt::MetaModifier)))
        return false;
    const QString typed = event->text();
    return typed.size() == 1 && typed.at(0).isLetterOrNumber();
}

namespace {

// Sees each key before the widget it goes to. A shortcut that an enabled
// control (or menu) owns has already been taken by then, so an Alt letter
// that still arrives belongs to nobody who can act on it.
class AltLetterFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !receiver->isWidgetType())
            return false;
        // An open menu reads its own letters.
        if (qobject_cast<QMenu *>(receiver))
            return false;
        return isAltLetter(static_cast<QKeyEvent *>(event));
    }
};

} // namespace

void dropUnclaimedAltLetters()
{
    static QPointer<AltLetterFilter> filter;
    if (filter || !QCoreApplication::instance())
        return;
    filter = new AltLetterFilter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
}

void focusAndSelect(QWidget *widget)
{
    moveFocus(widget);
    selectWholeText(widget);
}

void enterMovesTo(QLineEdit *box, QWidget *next, const QString &emptyMessage, bool upperCase)
{
    onEnter(box, [box, next, emptyMessage, upperCase] {
        if (box->text().isEmpty()) {
            showMessage(emptyMessage, QStringLiteral("Pesan"), Icon::Critical, Buttons::Ok, box->window());
            moveFocus(box);
            return;
        }
        if (upperCase)
            fill(box, box->text().toUpper());
        moveFocus(next);
    });
}

} // namespace pel::ui
