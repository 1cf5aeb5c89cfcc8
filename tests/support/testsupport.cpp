#include "testsupport.h"

#include "app/FrmUtama.h"
#include "common/module1.h"
#include "db/schema.h"
#include "ui/screens.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPrinter>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace pel::test {

namespace {

// The screens bring the main window back through the registry, as in the
// program, where FrmUtama::start() registers it.
[[maybe_unused]] const bool mainWindowRegistered = (ui::registerMainWindow<FrmUtama>(), true);

} // namespace

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
    QSqlQuery query(dbConnection.database());
    query.prepare(QStringLiteral("insert into t_petugas values (?, ?, ?, ?)"));
    query.addBindValue(userid);
    query.addBindValue(name);
    query.addBindValue(password);
    query.addBindValue(level);
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
}

StandIn::StandIn(std::optional<QDateTime> moment) : m_previous(ui::installedSurroundings()), m_moment(moment)
{
    ui::installSurroundings(this);
}

StandIn::~StandIn()
{
    ui::installSurroundings(m_previous);
}

QStringList StandIn::texts() const
{
    QStringList result;
    for (const ui::Message &message : m_messages)
        result << message.text;
    return result;
}

QDateTime StandIn::now()
{
    if (oldHooks().clock)
        return *oldHooks().clock;
    return m_moment ? *m_moment : QDateTime::currentDateTime();
}

void StandIn::endProgram()
{
    if (oldHooks().endProgram)
        oldHooks().endProgram();
    else
        ++m_ends;
}

bool StandIn::printerInstalled()
{
    return oldHooks().printerInstalled.value_or(printer.installed);
}

ui::Answer StandIn::message(const ui::Message &message, QWidget *)
{
    if (oldHooks().message)
        return oldHooks().message(message);
    m_messages << message;
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    return message.buttons == ui::Buttons::YesNo ? ui::Answer::Yes : ui::Answer::Ok;
}

bool StandIn::printSetup(QPrinter &device, QWidget *parent)
{
    if (oldHooks().printSetup)
        return oldHooks().printSetup(device, parent);
    ++printer.setups;
    return printer.acceptSetup;
}

bool StandIn::printPreview(QPrinter &device, const std::function<void(QPrinter *)> &paint, QWidget *parent)
{
    if (oldHooks().printPreview)
        return oldHooks().printPreview(device, paint, parent);
    ++printer.previews;
    return printer.acceptPreview;
}

std::optional<print::PrintError> StandIn::printJob(QPrinter &device, const QString &text, const QFont &font)
{
    if (oldHooks().printJob)
        return oldHooks().printJob(device, text, font);
    ++printer.jobs;
    printer.printedText = text;
    printer.printedFont = font;
    printer.printedOrientation = device.pageLayout().orientation();
    return printer.failure;
}

QString StandIn::pdfFileName(const QString &proposedPath, QWidget *parent)
{
    if (oldHooks().pdfFileName)
        return oldHooks().pdfFileName(proposedPath, parent);
    printer.proposedPaths.append(proposedPath);
    return printer.chosenPath;
}

std::shared_ptr<StandIn> StandIn::shared()
{
    static std::weak_ptr<StandIn> made;
    if (std::shared_ptr<StandIn> standIn = made.lock())
        return standIn;
    if (auto *living = dynamic_cast<StandIn *>(ui::installedSurroundings()))
        return std::shared_ptr<StandIn>(living, [](StandIn *) {});
    std::shared_ptr<StandIn> standIn = std::make_shared<StandIn>();
    made = standIn;
    return standIn;
}

ScriptedMessages::ScriptedMessages() : m_standIn(StandIn::shared())
{
    m_standIn->clear();
}

FixedClock::FixedClock(const QDateTime &moment) : m_standIn(StandIn::shared()), m_before(m_standIn->fixedMoment())
{
    m_standIn->fixClock(moment);
}

FixedClock::~FixedClock()
{
    if (m_before)
        m_standIn->fixClock(*m_before);
    else
        m_standIn->releaseClock();
}

OldHooks &oldHooks()
{
    static OldHooks hooks;
    return hooks;
}

namespace {

// A hook set while no stand-in lives needs one to be asked.
template <class Value>
void setHook(Value &hook, Value value)
{
    hook = std::move(value);
    if (!dynamic_cast<StandIn *>(ui::installedSurroundings()))
        new StandIn; // lives for the rest of the test program
}

} // namespace

} // namespace pel::test

namespace pel::ui {
void setMessageHandler(MessageHandler handler) { test::setHook(test::oldHooks().message, std::move(handler)); }
void setEndProgramHandler(std::function<void()> handler)
{
    test::setHook(test::oldHooks().endProgram, std::move(handler));
}
} // namespace pel::ui

namespace pel::clock {
void fix(const QDateTime &moment) { test::setHook(test::oldHooks().clock, std::optional(moment)); }
void release() { test::oldHooks().clock.reset(); }
} // namespace pel::clock

namespace pel {
void setPrinterInstalledOverride(std::optional<bool> installed)
{
    test::setHook(test::oldHooks().printerInstalled, installed);
}
} // namespace pel

namespace pel::reports {
void setPrintJobHandler(PrintJobHandler handler) { test::setHook(test::oldHooks().printJob, std::move(handler)); }
void setPrintSetupHandler(PrintSetupHandler handler) { test::setHook(test::oldHooks().printSetup, std::move(handler)); }
void setPrintPreviewHandler(PrintPreviewHandler handler)
{
    test::setHook(test::oldHooks().printPreview, std::move(handler));
}
void setSaveFileNameHandler(SaveFileNameHandler handler)
{
    test::setHook(test::oldHooks().pdfFileName, std::move(handler));
}
} // namespace pel::reports

namespace pel::test {

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
