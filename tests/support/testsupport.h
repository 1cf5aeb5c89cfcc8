#pragma once

#include "ui/messages.h"

#include <QDateTime>
#include <QList>
#include <QQueue>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>
#include <QWidget>

namespace pel::test {

// A temporary folder that becomes the current folder, holding a fresh
// SISWA.mdb made from the schema, opened as the program's connection.
class TestDatabase
{
public:
    explicit TestDatabase(bool open = true);
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    QString folder() const { return m_dir.path(); }
    QString filePath() const;

    // Runs one statement on dbConnection; fails the test with the database's
    // reason when it is refused.
    bool exec(const QString &sql);
    // The rows of a query on dbConnection, each as a list of values.
    QList<QVariantList> rows(const QString &sql);
    // The first value of the first row, or a null QVariant.
    QVariant scalar(const QString &sql);

    void addStudent(const QString &nis, const QString &name = QStringLiteral("SISWA"));
    void addSubject(const QString &code, const QString &name = QStringLiteral("MATPEL"), double sks = 3);
    // Adds an operator whose password is stored as its hash.
    void addOperator(const QString &userid, const QString &name, const QString &password, const QString &level);

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// Stands in for the message box while it lives: records every message and
// answers each with the next planned answer (OK, or Yes, when none is planned).
class ScriptedMessages
{
public:
    ScriptedMessages();
    ~ScriptedMessages();

    void plan(ui::Answer answer) { m_answers.enqueue(answer); }
    const QList<ui::Message> &messages() const { return m_messages; }
    int count() const { return int(m_messages.size()); }
    ui::Message last() const { return m_messages.value(m_messages.size() - 1); }
    QStringList texts() const;
    void clear() { m_messages.clear(); }

private:
    QList<ui::Message> m_messages;
    QQueue<ui::Answer> m_answers;
};

// Fixes the program's clock while it lives.
class FixedClock
{
public:
    explicit FixedClock(const QDateTime &moment);
    ~FixedClock();
};

// The widget of root (or root itself) with this object name, or nullptr (and a test warning).
QWidget *findNamed(QWidget *root, const QString &name);

// The object of type T under root (or root itself) with this object name,
// or nullptr (and a test warning).
template <class T = QWidget>
T *child(QObject *root, const QString &name)
{
    if (auto *self = qobject_cast<T *>(root); self && root->objectName() == name)
        return self;
    T *found = root ? root->findChild<T *>(name) : nullptr;
    if (!found)
        qWarning("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    return found;
}

// Puts the focus into the named control, replaces its text by text as typed
// keys, and leaves the focus there.
void typeInto(QWidget *root, const QString &name, const QString &text);
// Presses Enter in the named control (the focus moves there first).
void pressEnter(QWidget *root, const QString &name);
// Clicks the named button.
void click(QWidget *root, const QString &name);
// Lets queued events and zero-time timers run.
void settle(int ms = 0);

} // namespace pel::test
