#include "ui/messages.h"

#include <QApplication>
#include <QMessageBox>

namespace pel::ui {

namespace {

MessageHandler &handler()
{
    static MessageHandler instance;
    return instance;
}

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

} // namespace

void setMessageHandler(MessageHandler newHandler)
{
    handler() = std::move(newHandler);
}

Answer showMessage(const QString &text, const QString &title, Icon icon, Buttons buttons, QWidget *parent)
{
    const Message message{text, title.isEmpty() ? ApplicationTitle : title, icon, buttons};
    if (handler())
        return handler()(message);

    QMessageBox box(toQt(icon), message.title, displayText(text), QMessageBox::NoButton,
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
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: break;
    }
    return buttons == Buttons::YesNo ? Answer::No : buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
}

} // namespace pel::ui
