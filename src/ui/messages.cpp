#include "ui/messages.h"

#include "db/failure.h"

#include "ui/surroundings.h"

#include <QApplication>
#include <QMessageBox>

namespace pel::ui {

namespace {

// A carriage return alone breaks the line; Qt's box wants "\n".
QString displayText(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QMessageBox::Icon toQt(Icon icon)
{
    switch (icon) {
    case Icon::Information: return QMessageBox::Information;
    case Icon::Question: return QMessageBox::Question;
    case Icon::Warning: return QMessageBox::Warning;
    case Icon::Critical: return QMessageBox::Critical;
    case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton toQt(Answer answer)
{
    switch (answer) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

} // namespace

Answer showMessage(const QString &text, const QString &title, Icon icon, Buttons buttons, QWidget *parent,
                   std::optional<Answer> defaultButton)
{
    const Answer enter = defaultButton ? *defaultButton : buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    const Message message{text, title.isEmpty() ? ApplicationTitle : title, icon, buttons, enter};
    return surroundings().message(message, parent);
}

void showFailure(const QString &first, const db::Result &result, const QString &title, Icon icon, QWidget *parent)
{
    showMessage(db::failureMessage(first, result), title, icon, Buttons::Ok, parent);
}

Answer execMessageBox(const Message &message, QWidget *parent)
{
    const Buttons buttons = message.buttons;
    QMessageBox box(toQt(message.icon), message.title, displayText(message.text), QMessageBox::NoButton,
                    parent ? parent : QApplication::activeWindow());
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    }
    box.setDefaultButton(toQt(message.defaultButton));
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: break;
    }
    return buttons == Buttons::YesNo ? Answer::No : buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

} // namespace pel::ui
