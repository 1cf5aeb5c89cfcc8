#pragma once

#include "db/databaseurl.h"
#include "ui/messages.h"
#include "ui/surroundings.h"

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QPageLayout>
#include <QQueue>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>
#include <QWidget>

#include <memory>
#include <optional>

namespace pel::test {

class PgTestDatabase;

// True when the tests run on the throwaway PostgreSQL server
// (PELITAKSA_TEST_ENGINE=postgres): every TestDatabase is then a fresh
// database there, and the tests that only make sense on a file skip.
bool onPostgres();

// Statements on dbConnection, whichever engine it holds: exec() runs one and
// fails the test with the database's reason when it is refused; rows() gives
// a query's rows, each as a list of values; scalar() the first value of the
// first row, or a null QVariant.
bool execShared(const QString &sql);
// The same with values bound to the statement's "?" in order.
bool execShared(const QString &sql, const QVariantList &values);
QList<QVariantList> sharedRows(const QString &sql);
QVariant sharedScalar(const QString &sql);

// A column compared, or ordered, with letter case counting on either engine:
// "NIS collate binary" on SQLite, the citext column read as text on the server.
QString exactly(const QString &column);

// The fourteen columns of Nilai as the program knows them (the server's
// table has Urutan after them).
extern const QString GradeColumns;

// A temporary folder that becomes the current folder, holding a fresh
// SISWA.mdb made from the schema, opened as the program's connection. On
// PostgreSQL (see onPostgres()) a fresh database on the test server takes
// the file's place: it is the chosen database, so OpenDatabase() opens it.
class TestDatabase
{
public:
    explicit TestDatabase(bool open = true);
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    // The temporary folder, the current folder while the database lives.
    QString folder() const;
    // The SQLite file; on PostgreSQL an empty text.
    QString filePath() const;
    // The database as the tool's --database takes it: the file, or the URL.
    QString databaseArgument() const;
    // The database as Connection::open() takes it, for a second desk's connection.
    db::DatabaseTarget target() const;

    // The column that numbers the rows of Nilai in the order they were added
    // (SQLite's rowid, the server's Urutan), and those rows: the columns
    // named (GradeColumns when none), of the rows the condition keeps.
    QString gradeKey() const;
    QList<QVariantList> gradeRows(const QString &columns = QString(), const QString &condition = QString());

    // Statements on dbConnection (see execShared() and the others above).
    bool exec(const QString &sql) { return execShared(sql); }
    QList<QVariantList> rows(const QString &sql) { return sharedRows(sql); }
    QVariant scalar(const QString &sql) { return sharedScalar(sql); }

    // Makes the program's connection refuse every write (SQLite's
    // query_only, the server's read-only transactions), or write again.
    void setReadOnly(bool readOnly);

    // A trigger that refuses every new grade row of nis with the reason
    // "ditolak untuk uji", and its removal.
    void refuseGradesOf(const QString &nis);
    void allowGrades();

    void addStudent(const QString &nis, const QString &name = QStringLiteral("SISWA"));
    void addSubject(const QString &code, const QString &name = QStringLiteral("MATPEL"), double sks = 3);
    // Adds an operator whose password is stored as its hash.
    void addOperator(const QString &userid, const QString &name, const QString &password, const QString &level);

private:
    QTemporaryDir m_dir;
    QString m_previous;
    std::unique_ptr<PgTestDatabase> m_postgres;
};

// Stands in for the program's surroundings (ui/surroundings.h) while it
// lives: records every message and answers each with the next planned answer
// (OK, or Yes, when none is planned); keeps the clock at a fixed moment once
// one is given; counts the beeps and the ends of the program; and plays a
// printer that records what it was given. A stand-in made while another one
// lives takes its place until it goes.
class StandIn : public ui::Surroundings
{
public:
    explicit StandIn(std::optional<QDateTime> moment = std::nullopt);
    ~StandIn() override;
    StandIn(const StandIn &) = delete;
    StandIn &operator=(const StandIn &) = delete;

    // Messages.
    void plan(ui::Answer answer) { m_answers.enqueue(answer); }
    const QList<ui::Message> &messages() const { return m_messages; }
    int count() const { return int(m_messages.size()); }
    ui::Message last() const { return m_messages.value(m_messages.size() - 1); }
    QStringList texts() const;
    void clear() { m_messages.clear(); }
    // When set, answers each message (after it is recorded) in place of the
    // planned answers: for a test that must act while a message is shown.
    std::function<ui::Answer(const ui::Message &)> onMessage;

    // The clock: fixed at moment, or the system's again.
    void fixClock(const QDateTime &moment) { m_moment = moment; }
    void releaseClock() { m_moment.reset(); }
    std::optional<QDateTime> fixedMoment() const { return m_moment; }

    // How often the program beeped and asked to end.
    int beeps() const { return m_beeps; }
    int ends() const { return m_ends; }

    // The printer and its dialogs: what they answer, and what they were given.
    struct Printer
    {
        bool installed = true;
        bool acceptSetup = true;
        bool acceptPreview = true;
        std::optional<print::PrintError> failure; // what the next job reports
        QString chosenPath;                       // the save dialogs' answer; empty cancels

        int setups = 0;
        int previews = 0;
        int jobs = 0;
        QString printedText;
        QFont printedFont;
        QPageLayout::Orientation printedOrientation = QPageLayout::Portrait;
        QStringList proposedPaths;
        // Drawings sent to the printer: how many, and the last one drawn
        // into a PDF document (empty when its drawing failed).
        int drawings = 0;
        QByteArray drawnPdf;
    } printer;

    QDateTime now() override;
    ui::Answer message(const ui::Message &message, QWidget *parent) override;
    void endProgram() override;
    void beep() override { ++m_beeps; }
    bool printerInstalled() override;
    bool printSetup(QPrinter &printer, QWidget *parent) override;
    bool printPreview(QPrinter &printer, const std::function<void(QPrinter *)> &paint, QWidget *parent) override;
    std::optional<print::PrintError> printJob(QPrinter &printer, const QString &text, const QFont &font) override;
    QString pdfFileName(const QString &proposedPath, QWidget *parent) override;
    std::optional<print::PrintError> printDrawing(QPrinter &printer,
                                                  const std::function<bool(QPagedPaintDevice &)> &paint) override;
    QString pictureFileName(const QString &proposedPath, QWidget *parent) override;

    // The data file dialog: what it answers, and what it was asked with.
    struct FileDialog
    {
        QString chosenPath; // the answer; empty cancels
        int asked = 0;
        QString proposedPath;
        QStringList filters;
    } fileDialog;
    QString dataFileName(const QString &title, const QString &proposedPath, const QStringList &filters,
                         QWidget *parent) override;


private:
    ui::Surroundings *m_previous = nullptr;
    QList<ui::Message> m_messages;
    QQueue<ui::Answer> m_answers;
    std::optional<QDateTime> m_moment;
    int m_beeps = 0;
    int m_ends = 0;
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
// Types text as keys where the focus is, as the operator goes on typing:
// a selected text is replaced, otherwise the keys go in at the caret.
void typeAtFocus(const QString &text);
// Presses Enter in the named control (the focus moves there first).
void pressEnter(QWidget *root, const QString &name);
// Clicks the named button.
void click(QWidget *root, const QString &name);
// Lets queued events and zero-time timers run.
void settle(int ms = 0);

// The screen a menu item of main has just opened: the visible window other
// than main and its menus, or nullptr.
QWidget *openedScreen(QWidget *main);

// The index of the first character that a box (a line edit, or the edit
// line of a combo box) shows at its left edge, as it is painted now: 0 when
// the start of its text is in view.
int firstShownCharacter(QWidget *box);

// True when widget has the focus and the style draws its focus mark.
bool showsFocusMark(QWidget *widget);

} // namespace pel::test
