#include "testsupport.h"

#include "db/failure.h"
#include "pgtestsupport.h"

#include "app/FrmUtama.h"
#include "common/module1.h"
#include "common/password.h"
#include "env/clock.h"
#include "db/result.h"
#include "db/schema.h"
#include "ui/screens.h"

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QMenu>
#include <QDir>
#include <QHash>
#include <QLineEdit>
#include <QPdfWriter>
#include <QPrinter>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStyleOption>

namespace pel::test {

namespace {

// The screens bring the main window back through the registry, as in the
// program, where FrmUtama::start() registers it.
[[maybe_unused]] const bool mainWindowRegistered = (ui::registerMainWindow<FrmUtama>(), true);

} // namespace

bool onPostgres()
{
    return qEnvironmentVariable("PELITAKSA_TEST_ENGINE") == QLatin1String("postgres");
}

TestDatabase::TestDatabase(bool open) : m_previous(QDir::currentPath())
{
    QVERIFY2(m_dir.isValid(), "no temporary folder");
    if (onPostgres()) {
        // The server database keeps its own temporary folder as the current one.
        m_postgres = std::make_unique<PgTestDatabase>(true, open);
        ChosenDatabase = m_postgres->target();
        return;
    }
    QDir::setCurrent(m_dir.path());
    const db::Result created = db::createDatabase(filePath());
    QVERIFY2(created.ok(), qPrintable(db::failureMessage(created)));
    if (open) {
        const db::Result opened = OpenDatabase();
        QVERIFY2(opened.ok(), qPrintable(db::failureMessage(opened)));
    }
}

TestDatabase::~TestDatabase()
{
    if (m_postgres) {
        m_postgres.reset();
        return;
    }
    dbConnection.close();
    QDir::setCurrent(m_previous);
}

QString TestDatabase::folder() const
{
    return m_postgres ? m_postgres->folder() : m_dir.path();
}

QString TestDatabase::filePath() const
{
    return m_postgres ? QString() : m_dir.filePath(QString::fromLatin1(DatabaseFileName));
}

db::DatabaseTarget TestDatabase::target() const
{
    if (m_postgres)
        return m_postgres->target();
    db::DatabaseTarget file;
    file.filePath = filePath();
    return file;
}

QString TestDatabase::databaseArgument() const
{
    return m_postgres ? m_postgres->url() : filePath();
}

QString exactly(const QString &column)
{
    return onPostgres() ? column + QStringLiteral("::text") : column + QStringLiteral(" collate binary");
}

const QString GradeColumns = QStringLiteral("Noreg, TglProses, Nis, Program, Jenjang, KdMatpel, SKS, Tentor, "
                                            "Nilangka, Nilhu, Bobot, Mutu, Prediket, Ket");

QString TestDatabase::gradeKey() const
{
    return m_postgres ? QStringLiteral("Urutan") : QStringLiteral("rowid");
}

QList<QVariantList> TestDatabase::gradeRows(const QString &columns, const QString &condition)
{
    return rows(QStringLiteral("select %1 from Nilai%2 order by %3")
                    .arg(columns.isEmpty() ? GradeColumns : columns,
                         condition.isEmpty() ? QString() : QStringLiteral(" where ") + condition, gradeKey()));
}

void TestDatabase::setReadOnly(bool readOnly)
{
    if (m_postgres)
        exec(QStringLiteral("set default_transaction_read_only = %1").arg(readOnly ? "on" : "off"));
    else
        exec(QStringLiteral("PRAGMA query_only = %1").arg(readOnly ? "ON" : "OFF"));
}

void TestDatabase::refuseGradesOf(const QString &nis)
{
    if (!m_postgres) {
        exec(QStringLiteral("create trigger refuse_grades before insert on Nilai when new.Nis = '%1' "
                            "begin select raise(abort, 'ditolak untuk uji'); end")
                 .arg(nis));
        return;
    }
    exec(QStringLiteral("create function refuse_grades() returns trigger language plpgsql as $$ begin "
                        "if new.Nis = '%1' then raise exception 'ditolak untuk uji'; end if; return new; end $$")
             .arg(nis));
    exec(QStringLiteral("create trigger refuse_grades before insert on Nilai for each row "
                        "execute function refuse_grades()"));
}

void TestDatabase::allowGrades()
{
    if (!m_postgres) {
        exec(QStringLiteral("drop trigger refuse_grades"));
        return;
    }
    exec(QStringLiteral("drop trigger refuse_grades on Nilai"));
    exec(QStringLiteral("drop function refuse_grades()"));
}

bool execShared(const QString &sql)
{
    QSqlQuery query(dbConnection.database());
    if (!query.exec(sql)) {
        QTest::qFail(qPrintable(QStringLiteral("%1: %2").arg(sql, db::errorText(query.lastError()))), __FILE__, __LINE__);
        return false;
    }
    return true;
}

bool execShared(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(dbConnection.database());
    query.prepare(sql);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        QTest::qFail(qPrintable(QStringLiteral("%1: %2").arg(sql, db::errorText(query.lastError()))), __FILE__, __LINE__);
        return false;
    }
    return true;
}

QList<QVariantList> sharedRows(const QString &sql)
{
    QList<QVariantList> result;
    QSqlQuery query(dbConnection.database());
    if (!query.exec(sql)) {
        QTest::qFail(qPrintable(QStringLiteral("%1: %2").arg(sql, db::errorText(query.lastError()))), __FILE__, __LINE__);
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

QVariant sharedScalar(const QString &sql)
{
    const QList<QVariantList> result = sharedRows(sql);
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
    return m_moment ? *m_moment : QDateTime::currentDateTime();
}

void StandIn::endProgram()
{
    ++m_ends;
}

bool StandIn::printerInstalled()
{
    return printer.installed;
}

ui::Answer StandIn::message(const ui::Message &message, QWidget *)
{
    m_messages << message;
    if (onMessage)
        return onMessage(message);
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    return message.buttons == ui::Buttons::YesNo ? ui::Answer::Yes : ui::Answer::Ok;
}

bool StandIn::printSetup(QPrinter &, QWidget *)
{
    ++printer.setups;
    return printer.acceptSetup;
}

bool StandIn::printPreview(QPrinter &, const std::function<void(QPrinter *)> &, QWidget *)
{
    ++printer.previews;
    return printer.acceptPreview;
}

std::optional<print::PrintError> StandIn::printJob(QPrinter &device, const QString &text, const QFont &font)
{
    ++printer.jobs;
    printer.printedText = text;
    printer.printedFont = font;
    printer.printedOrientation = device.pageLayout().orientation();
    return printer.failure;
}

QString StandIn::pdfFileName(const QString &proposedPath, QWidget *)
{
    printer.proposedPaths.append(proposedPath);
    return printer.chosenPath;
}

std::optional<print::PrintError> StandIn::printDrawing(QPrinter &device,
                                                       const std::function<bool(QPagedPaintDevice &)> &paint)
{
    ++printer.jobs;
    ++printer.drawings;
    printer.printedOrientation = device.pageLayout().orientation();
    // The sheets are drawn as the printer would draw them, into a document.
    QBuffer buffer(&printer.drawnPdf);
    printer.drawnPdf.clear();
    buffer.open(QIODevice::WriteOnly);
    bool drawn = false;
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(device.pageLayout());
        drawn = paint(writer);
    }
    if (!drawn)
        printer.drawnPdf.clear();
    return printer.failure;
}

QString StandIn::pictureFileName(const QString &proposedPath, QWidget *parent)
{
    return pdfFileName(proposedPath, parent);
}

QString StandIn::dataFileName(const QString &, const QString &proposedPath, const QStringList &filters, QWidget *)
{
    ++fileDialog.asked;
    fileDialog.proposedPath = proposedPath;
    fileDialog.filters = filters;
    return fileDialog.chosenPath;
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

void typeAtFocus(const QString &text)
{
    if (QWidget *focus = QApplication::focusWidget())
        QTest::keyClicks(focus, text);
    else
        qWarning("no widget has the focus");
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

QWidget *openedScreen(QWidget *main)
{
    QCoreApplication::processEvents();
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top != main && top->isVisible() && !qobject_cast<QMenu *>(top))
            return top;
    return nullptr;
}

int firstShownCharacter(QWidget *box)
{
    auto *line = qobject_cast<QLineEdit *>(box);
    if (auto *combo = qobject_cast<QComboBox *>(box))
        line = combo->lineEdit();
    if (!line) {
        qWarning("no box to read");
        return -1;
    }
    // Where the first character stands when the text is not scrolled...
    const int cursor = line->cursorPosition();
    line->setCursorPosition(0);
    line->grab();
    const QPoint start = line->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    // ...and which character stands there as the box is painted with its own
    // caret (painting scrolls the text to keep the caret in view).
    line->setCursorPosition(cursor);
    line->grab();
    return line->cursorPositionAt(start);
}

bool showsFocusMark(QWidget *widget)
{
    QStyleOption option;
    option.initFrom(widget);
    return (option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_KeyboardFocusChange);
}

} // namespace pel::test
