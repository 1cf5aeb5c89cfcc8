#include "testsupport.h"

#include "app/clock.h"
#include "app/module1.h"
#include "app/password.h"
#include "db/schema.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHash>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace pel::test {

TestDatabase::TestDatabase(bool open) : m_previous(QDir::currentPath())
{
    QVERIFY2(m_dir.isValid(), "no temporary folder");
    QDir::setCurrent(m_dir.path());
    QString error;
    const bool created = db::createDatabase(filePath(), &error);
    QVERIFY2(created, qPrintable(error));
    if (open) {
        const bool opened = OpenDatabase();
        QVERIFY2(opened, qPrintable(dbConnection.lastError()));
    }
}

TestDatabase::~TestDatabase()
{
    dbRecordset.close();
    dbRecordset2.close();
    dbConnection.close();
    QDir::setCurrent(m_previous);
}

QString TestDatabase::filePath() const
{
    return m_dir.filePath(QString::fromLatin1(DatabaseFileName));
}

bool TestDatabase::exec(const QString &sql)
{
    QSqlQuery query(dbConnection.database());
    if (!query.exec(sql)) {
        QTest::qFail(qPrintable(QStringLiteral("%1: %2").arg(sql, query.lastError().text())), __FILE__, __LINE__);
        return false;
    }
    return true;
}

QList<QVariantList> TestDatabase::rows(const QString &sql)
{
    QList<QVariantList> result;
    QSqlQuery query(dbConnection.database());
    if (!query.exec(sql)) {
        QTest::qFail(qPrintable(QStringLiteral("%1: %2").arg(sql, query.lastError().text())), __FILE__, __LINE__);
        return result;
    }
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i);
        result << row;
    }
    return result;
}

QVariant TestDatabase::scalar(const QString &sql)
{
    const QList<QVariantList> result = rows(sql);
    return result.isEmpty() || result.first().isEmpty() ? QVariant() : result.first().first();
}

void TestDatabase::addStudent(const QString &nis, const QString &name)
{
    QSqlQuery query(dbConnection.database());
    query.prepare(QStringLiteral("insert into SISWA values (?, ?, 'JAKARTA', '01-02-2000', 'JL. MAWAR 1', "
                                 "'LAKI-LAKI', 'ISLAM', '01-07-2020', 'KOMPUTER', 'DASAR', 'SMA 1', '0812')"));
    query.addBindValue(nis);
    query.addBindValue(name);
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
}

void TestDatabase::addSubject(const QString &code, const QString &name, double sks)
{
    QSqlQuery query(dbConnection.database());
    query.prepare(QStringLiteral("insert into Pelajaran values (?, ?, '01-01-2026', 'R1', 'BUDI', ?)"));
    query.addBindValue(code);
    query.addBindValue(name);
    query.addBindValue(sks);
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
}

void TestDatabase::addOperator(const QString &userid, const QString &name, const QString &password,
                               const QString &level)
{
    // A hash costs the program's full price (about a tenth of a second), so
    // each password is hashed once per test program and its hash reused.
    static QHash<QString, QString> hashes;
    if (!hashes.contains(password))
        hashes.insert(password, hashPassword(password));
    QSqlQuery query(dbConnection.database());
    query.prepare(QStringLiteral("insert into t_petugas values (?, ?, ?, ?)"));
    query.addBindValue(userid);
    query.addBindValue(name);
    query.addBindValue(hashes.value(password));
    query.addBindValue(level);
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
}

ScriptedMessages::ScriptedMessages()
{
    ui::setMessageHandler([this](const ui::Message &message) {
        m_messages << message;
        if (!m_answers.isEmpty())
            return m_answers.dequeue();
        return message.buttons == ui::Buttons::YesNo ? ui::Answer::Yes : ui::Answer::Ok;
    });
}

ScriptedMessages::~ScriptedMessages()
{
    ui::setMessageHandler({});
}

QStringList ScriptedMessages::texts() const
{
    QStringList result;
    for (const ui::Message &message : m_messages)
        result << message.text;
    return result;
}

FixedClock::FixedClock(const QDateTime &moment)
{
    clock::fix(moment);
}

FixedClock::~FixedClock()
{
    clock::release();
}

QWidget *findNamed(QWidget *root, const QString &name)
{
    if (root && root->objectName() == name)
        return root;
    QWidget *found = root ? root->findChild<QWidget *>(name) : nullptr;
    if (!found)
        qWarning("no control named %s", qPrintable(name));
    return found;
}

void typeInto(QWidget *root, const QString &name, const QString &text)
{
    QWidget *widget = findNamed(root, name);
    if (!widget)
        return;
    widget->setFocus(Qt::OtherFocusReason);
    if (auto *combo = qobject_cast<QComboBox *>(widget); combo && combo->isEditable())
        combo->lineEdit()->clear();
    else if (auto *box = qobject_cast<QLineEdit *>(widget))
        box->clear();
    QTest::keyClicks(widget, text);
}

void pressEnter(QWidget *root, const QString &name)
{
    QWidget *widget = findNamed(root, name);
    if (!widget)
        return;
    widget->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(widget, Qt::Key_Return);
}

void click(QWidget *root, const QString &name)
{
    if (auto *button = child<QAbstractButton>(root, name))
        button->click();
}

void settle(int ms)
{
    QCoreApplication::processEvents();
    if (ms > 0)
        QTest::qWait(ms);
}

} // namespace pel::test
