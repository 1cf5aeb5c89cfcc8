#pragma once

#include <QString>
#include <QWidget>

#include <utility>

namespace pel::ui {

// A new control of type T under parent, carrying its name as objectName so
// that the screen's handlers and the tests find it. args come before the
// parent in T's constructor, as in QPushButton(text, parent).
template <class T, class... Args>
T *named(const QString &name, QWidget *parent, Args &&...args)
{
    auto *control = new T(std::forward<Args>(args)..., parent);
    control->setObjectName(name);
    return control;
}

} // namespace pel::ui
