#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace pel::db {
struct Result;
}

// Every message box of the program goes through showMessage(), which asks the
// program's surroundings (ui/surroundings.h), so that tests can read each
// message and answer it.
namespace pel::ui {

enum class Icon { None, Information, Question, Warning, Critical };
enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

// The program's own title, shown by a message box that names none.
inline const QString ApplicationTitle = QStringLiteral("PELITAKSA");

struct Message
{
    QString text;  // exactly as the program gave it; "\r" alone breaks a line on screen
    QString title; // the application title when none was given
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    // The button that Enter presses: Ok, or Yes, unless the program names
    // another (No, for the question before a deletion).
    Answer defaultButton = Answer::Ok;
};

// Shows a modal message box and returns the button pressed. Closing the box
// counts as Cancel, or No, or Ok, by its buttons.
Answer showMessage(const QString &text, const QString &title = {}, Icon icon = Icon::None,
                   Buttons buttons = Buttons::Ok, QWidget *parent = nullptr,
                   std::optional<Answer> defaultButton = std::nullopt);

// A failure in an OK box: the screen's own first line, then the failure's
// cause and the engine's or the system's reason (db::failureMessage).
void showFailure(const QString &first, const db::Result &result, const QString &title = {},
                 Icon icon = Icon::Information, QWidget *parent = nullptr);

// The system's message box itself, as the real surroundings show it.
Answer execMessageBox(const Message &message, QWidget *parent);

} // namespace pel::ui
