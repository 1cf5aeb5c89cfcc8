// The subject entry screen driven by keys and clicks on a real database:
// the Enter flow, the lookup, Save, Update, Delete, Cancel, Exit and the
// moving label.
#include "app/FrmUtama.h"
#include "common/module1.h"
#include "db/connection.h"
#include "subjects/frmentrymatpel.h"
#include "db/schema.h"
#include "testsupport.h"
#include "ui/datebox.h"
#include "ui/screens.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

#include <optional>

using namespace pel;
using test::child;

namespace {

const QString StoredCodeMessage =
    QStringLiteral("Kode Matapelajaran tersebut sudah ada, \rTapi silakan kalau anda ingin melakukan edit data...!");
const QString SaveFailedMessage = QStringLiteral("Salah Proses, isi dulu fieldnya..!");
const QStringList TextBoxes{"txtkopel", "txtmapel", "txtlokal", "txtinstruktur", "txtsks"};
const QString KeyStored = QStringLiteral("Sebab: kunci tersebut sudah tersimpan.");
const QString NotANumber = QStringLiteral("Sebab: ada nilai yang bukan angka yang sah.");
const QString InUse =
    QStringLiteral("Sebab: database sedang dipakai program lain; coba lagi setelah program itu selesai.");

// Another program's connection to the test database that holds it while it
// lives: an exclusive transaction on the SQLite file; on a server, a
// transaction holding the subjects table locked.
class Holder
{
public:
    explicit Holder(const test::TestDatabase &database)
    {
        if (test::onPostgres()) {
            QVERIFY(m_server.open(database.target()).ok());
            QSqlQuery query(m_server.database());
            QVERIFY(query.exec(QStringLiteral("begin")));
            QVERIFY(query.exec(QStringLiteral("lock table Pelajaran in exclusive mode")));
            return;
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Name);
        db.setDatabaseName(database.filePath());
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec(QStringLiteral("BEGIN EXCLUSIVE")));
    }
    ~Holder()
    {
        if (m_server.isOpen()) {
            QSqlQuery(m_server.database()).exec(QStringLiteral("rollback"));
            m_server.close();
            return;
        }
        {
            QSqlDatabase db = QSqlDatabase::database(Name, false);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(Name);
    }

private:
    static inline const QString Name = QStringLiteral("holder");
    db::Connection m_server;
};

// A fresh database, a fixed date (07-12-2026), scripted messages and the
// screen shown and active.
struct Fixture
{
    test::TestDatabase db;
    test::StandIn messages{QDateTime(QDate(2026, 12, 7), QTime(9, 30))};
    frmentrymatpel *screen = nullptr;

    Fixture()
    {
        screen = ui::showScreen<frmentrymatpel>();
        QVERIFY(QTest::qWaitForWindowActive(screen));
        child<QWidget>(screen, "txtkopel")->setFocus();
    }
    ~Fixture() { delete ui::openScreen<frmentrymatpel>(); }

    QString text(const QString &name) const
    {
        auto *box = child<QLineEdit>(screen, name);
        if (auto *date = qobject_cast<ui::DateBox *>(box))
            return date->text();
        return box->text();
    }
    QString focused() const { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }
    void type(const QString &name, const QString &text) { test::typeInto(screen, name, text); }
    void enter(const QString &name) { test::pressEnter(screen, name); }
    // Fills the six boxes as typed, without Enter.
    void fill(const QStringList &texts)
    {
        const QStringList names{"txtkopel", "txtmapel", "MstglEntry", "txtlokal", "txtinstruktur", "txtsks"};
        for (int i = 0; i < names.size(); ++i)
            type(names.at(i), texts.at(i));
    }
    QStringList all() const
    {
        QStringList result;
        for (const char *name : {"txtkopel", "txtmapel", "MstglEntry", "txtlokal", "txtinstruktur", "txtsks"})
            result << text(QString::fromLatin1(name));
        return result;
    }
    QList<QVariantList> subjects() { return db.rows(QStringLiteral("select %1 from Pelajaran order by KdMatpel").arg(db::schemaColumns(QStringLiteral("Pelajaran")).join(QLatin1Char(',')))); }
    // The stored codes in order, separated by blanks.
    QString codes()
    {
        QStringList codes;
        for (const QVariantList &row : db.rows(QStringLiteral("select KdMatpel from Pelajaran order by KdMatpel")))
            codes << row.first().toString();
        return codes.join(QLatin1Char(' '));
    }
};

} // namespace

class TestSubjectScreen : public QObject
{
    Q_OBJECT
private slots:
    void opensWithTodayAndLetterhead();
    void enterInEmptyBoxWarns_data();
    void enterInEmptyBoxWarns();
    void enterFlowCapitalisesAndMovesOn();
    void newCodeKeepsOtherBoxes();
    void storedCodeFillsBoxes_data();
    void storedCodeFillsBoxes();
    void lookupFailureKeepsBoxes();
    void saveStoresTypedTexts();
    void saveFailures_data();
    void saveFailures();
    void updateEmptiesBoxesFocusStays();
    void updateFailureKeepsBoxes();
    void updateOfSubjectChangedByAnotherDesk_data();
    void updateOfSubjectChangedByAnotherDesk();
    void deleteYes();
    void deleteNo();
    void deleteFailureKeepsBoxes();
    void codeNotStoredChangesNothing_data();
    void codeNotStoredChangesNothing();
    void cancelEmptiesTextBoxes();
    void exitShowsMainWindow();
    void labelSlidesRestsAndRestarts();
};

void TestSubjectScreen::opensWithTodayAndLetterhead()
{
    Fixture f;
    QCOMPARE(f.screen->objectName(), QStringLiteral("frmentrymatpel"));
    QCOMPARE(f.text("MstglEntry"), QStringLiteral("07-12-2026"));
    QCOMPARE(child<QLabel>(f.screen, "Label6")->text(), QStringLiteral("ENTRY DATA PELAJARAN"));
    QCOMPARE(child<QLabel>(f.screen, "Label1")->text(), QStringLiteral("YAYASAN PELITAKSA BUDIMAJU "));
    QCOMPARE(child<QLabel>(f.screen, "Label5")->text(), QStringLiteral("Silakan Entrikan Data Pelajaran"));
    QStringList labels;
    for (QLabel *label : f.screen->findChildren<QLabel *>())
        labels << label->text();
    for (const char *text : {"Kode Mapel", "Mata Pelajaran", "Tgl Entry", "Lokal_Ruangan", "Instruktur",
                             "SKS_Lama Belajar", "MIRSA PELITAKSA", "NIRWA STUDI - NIRWA CAD - NIRWA COM",
                             "Jl. Teratai Baru Raya No. 117 Telp. (0700) 55501 Lirak"})
        QVERIFY2(labels.contains(QString::fromLatin1(text)), text);
    QCOMPARE(labels.count(QStringLiteral(":")), 6);
    QStringList frames;
    for (QGroupBox *frame : f.screen->findChildren<QGroupBox *>())
        frames << frame->title();
    QCOMPARE(frames, QStringList({"Inputkan Matapelajaran !!", "Proses Data"}));
    const QStringList captions{"&Save", "&Update", "&Delete", "&Cancel", "&Exit"};
    const QStringList buttons{"cmdSimpan", "CmdUpdate", "CmdDelete", "cmdBatal", "cmdKeluar"};
    for (int i = 0; i < buttons.size(); ++i)
        QCOMPARE(child<QPushButton>(f.screen, buttons.at(i))->text(), captions.at(i));
    QVERIFY(child<QTimer>(f.screen, "Timer2")->isActive());
    QCOMPARE(child<QTimer>(f.screen, "Timer2")->interval(), 90);
}

void TestSubjectScreen::enterInEmptyBoxWarns_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("message");
    QTest::newRow("code") << "txtkopel" << "Masukkan Kode Matapelajaran !";
    QTest::newRow("name") << "txtmapel" << "Masukkan Nama Pelajaran !";
    QTest::newRow("room") << "txtlokal" << "Masukkan Nama Ruangan !";
    QTest::newRow("instructor") << "txtinstruktur" << "Masukkan Nama Instruktur !";
    QTest::newRow("credit units") << "txtsks" << "Masukkan Jumlah SKS !";
}

void TestSubjectScreen::enterInEmptyBoxWarns()
{
    QFETCH(QString, box);
    QFETCH(QString, message);
    Fixture f;
    f.db.addSubject(QStringLiteral("MP01"));
    f.enter(box);
    QCOMPARE(f.messages.count(), 1);
    QCOMPARE(f.messages.last().text, message);
    QCOMPARE(f.messages.last().title, QStringLiteral("Pesan"));
    QCOMPARE(f.messages.last().icon, ui::Icon::Critical);
    QCOMPARE(f.messages.last().buttons, ui::Buttons::Ok);
    QCOMPARE(f.focused(), box);
    QCOMPARE(f.text(box), QString());
}

void TestSubjectScreen::enterFlowCapitalisesAndMovesOn()
{
    Fixture f;
    f.type("txtkopel", "mp01");
    f.enter("txtkopel");
    QCOMPARE(f.focused(), QStringLiteral("txtmapel"));
    QCOMPARE(f.text("txtkopel"), QStringLiteral("mp01")); // the code keeps its letter case

    f.type("txtmapel", "matematika");
    f.enter("txtmapel");
    QCOMPARE(f.text("txtmapel"), QStringLiteral("MATEMATIKA"));
    QCOMPARE(f.focused(), QStringLiteral("MstglEntry"));

    // An emptied date box still moves on, without a message.
    child<ui::DateBox>(f.screen, "MstglEntry")->clearToMask();
    f.enter("MstglEntry");
    QCOMPARE(f.text("MstglEntry"), ui::DateBox::Empty);
    QCOMPARE(f.focused(), QStringLiteral("txtlokal"));

    f.type("txtlokal", "r. 2b");
    f.enter("txtlokal");
    QCOMPARE(f.text("txtlokal"), QStringLiteral("R. 2B"));
    QCOMPARE(f.focused(), QStringLiteral("txtinstruktur"));

    f.type("txtinstruktur", "o'neil");
    f.enter("txtinstruktur");
    QCOMPARE(f.text("txtinstruktur"), QStringLiteral("O'NEIL"));
    QCOMPARE(f.focused(), QStringLiteral("txtsks"));

    // No box filters keys: letters go into the credit units as typed.
    f.type("txtsks", "3a");
    f.enter("txtsks");
    QCOMPARE(f.text("txtsks"), QStringLiteral("3A"));
    QCOMPARE(f.focused(), QStringLiteral("cmdSimpan"));
    QCOMPARE(f.messages.count(), 0);

    // Leaving a box with Tab keeps its text as typed.
    f.type("txtmapel", "fisika");
    QTest::keyClick(child<QWidget>(f.screen, "txtmapel"), Qt::Key_Tab);
    QCOMPARE(f.text("txtmapel"), QStringLiteral("fisika"));
}

void TestSubjectScreen::newCodeKeepsOtherBoxes()
{
    Fixture f;
    f.db.addSubject(QStringLiteral("MP01"), QStringLiteral("FISIKA"), 2);
    f.type("txtkopel", "MP01");
    f.enter("txtkopel");
    QCOMPARE(f.messages.count(), 1);
    f.messages.clear();

    f.type("txtkopel", "MP02");
    f.enter("txtkopel");
    QCOMPARE(f.messages.count(), 0);
    QCOMPARE(f.focused(), QStringLiteral("txtmapel"));
    QCOMPARE(f.all(), (QStringList{"MP02", "FISIKA", "01-01-2026", "R1", "BUDI", "2"}));
}

void TestSubjectScreen::storedCodeFillsBoxes_data()
{
    QTest::addColumn<QString>("storedDate");
    QTest::addColumn<QString>("shownDate");
    QTest::addColumn<int>("messageCount");
    QTest::newRow("full date") << "03-04-2025" << "03-04-2025" << 1;
    QTest::newRow("half typed date") << "03-0_-____" << "03-0_-____" << 1;
    QTest::newRow("bare mask") << "__-__-____" << "__-__-____" << 1;
    // A date not written by this screen leaves the date box as it was, and says so.
    QTest::newRow("foreign date") << "2025/04/03" << "07-12-2026" << 2;
}

void TestSubjectScreen::storedCodeFillsBoxes()
{
    QFETCH(QString, storedDate);
    QFETCH(QString, shownDate);
    QFETCH(int, messageCount);
    Fixture f;
    f.db.exec(QStringLiteral("insert into Pelajaran values ('MP01', 'Fisika', '%1', 'R''1', 'O''NEIL', 2.5)")
                  .arg(storedDate));
    f.type("txtkopel", "mp01");
    f.enter("txtkopel");
    QCOMPARE(f.messages.count(), messageCount);
    const ui::Message first = f.messages.messages().first();
    QCOMPARE(first.text, StoredCodeMessage);
    QCOMPARE(first.title, ui::ApplicationTitle);
    QCOMPARE(first.icon, ui::Icon::Critical);
    QCOMPARE(first.buttons, ui::Buttons::Ok);
    if (messageCount == 2)
        QVERIFY(f.messages.last().text.contains(storedDate));
    QCOMPARE(f.all(), (QStringList{"mp01", "Fisika", shownDate, "R'1", "O'NEIL", "2.5"}));
    QCOMPARE(f.focused(), QStringLiteral("txtkopel"));
    QCOMPARE(child<QLineEdit>(f.screen, "txtkopel")->selectedText(), QStringLiteral("mp01"));
}

void TestSubjectScreen::lookupFailureKeepsBoxes()
{
    Fixture f;
    f.fill({"MP01", "FISIKA", "01-02-2026", "R1", "ANI", "2"});
    f.db.exec(QStringLiteral("drop table Nilai"));
    f.db.exec(QStringLiteral("drop table Pelajaran"));
    f.enter("txtkopel");
    QCOMPARE(f.messages.count(), 1);
    QVERIFY2(f.messages.last().text.contains(QStringLiteral("Pelajaran")), qPrintable(f.messages.last().text));
    QCOMPARE(f.messages.last().icon, ui::Icon::Critical);
    QCOMPARE(f.all(), (QStringList{"MP01", "FISIKA", "01-02-2026", "R1", "ANI", "2"}));
    QCOMPARE(f.focused(), QStringLiteral("txtkopel"));
}

void TestSubjectScreen::saveStoresTypedTexts()
{
    Fixture f;
    f.fill({"mp'01", "jum'at", "01-02-2026", "r1", "o'neil", "3"});
    f.enter("txtsks");
    QCOMPARE(f.focused(), QStringLiteral("cmdSimpan"));
    QTest::keyClick(child<QWidget>(f.screen, "cmdSimpan"), Qt::Key_Return);
    QCOMPARE(f.messages.count(), 1);
    QCOMPARE(f.messages.last().title, QStringLiteral("Informasi"));
    QCOMPARE(f.messages.last().icon, ui::Icon::Information);
    QCOMPARE(f.messages.last().buttons, ui::Buttons::Ok);
    QCOMPARE(f.messages.last().text, QStringLiteral("Data mata pelajaran telah disimpan"));
    // Stored as the boxes held them: only Enter capitalised, quotes kept.
    QCOMPARE(f.subjects(), (QList<QVariantList>{{QStringLiteral("mp'01"), QStringLiteral("jum'at"),
                                                  QStringLiteral("01-02-2026"), QStringLiteral("r1"),
                                                  QStringLiteral("o'neil"), 3.0}}));
    QCOMPARE(f.all(), (QStringList{"", "", "01-02-2026", "", "", ""}));
    QCOMPARE(f.focused(), QStringLiteral("txtkopel"));
}

void TestSubjectScreen::saveFailures_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("sks");
    // "read-only": the file refuses every write, so a number refused with
    // its own cause was refused before any statement ran. "held": another
    // program holds the database beyond the busy timeout.
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("cause");
    QTest::newRow("stored code") << "mp01" << "2" << "" << KeyStored;
    QTest::newRow("letters in credit units") << "MP02" << "DUA" << "" << NotANumber;
    QTest::newRow("empty credit units") << "MP02" << "" << "" << NotANumber;
    QTest::newRow("infinite credit units") << "MP02" << "1e309" << "read-only" << NotANumber;
    QTest::newRow("negative credit units") << "MP02" << "-5" << "read-only" << NotANumber;
    QTest::newRow("empty code") << "" << "2" << "" << QStringLiteral("Sebab: kunci masih kosong.");
    QTest::newRow("database in use") << "MP02" << "2" << "held" << InUse;
}

void TestSubjectScreen::saveFailures()
{
    QFETCH(QString, code);
    QFETCH(QString, sks);
    QFETCH(QString, database);
    QFETCH(QString, cause);
    Fixture f;
    f.db.addSubject(QStringLiteral("MP01"), QStringLiteral("FISIKA"));
    f.fill({code, "KIMIA", "01-02-2026", "R2", "ANI", sks});
    std::optional<Holder> holder;
    if (database == QLatin1String("read-only"))
        f.db.setReadOnly(true);
    if (database == QLatin1String("held")) {
        f.db.exec(test::onPostgres() ? QStringLiteral("set lock_timeout = 50") : QStringLiteral("PRAGMA busy_timeout = 50"));
        holder.emplace(f.db);
    }
    child<QWidget>(f.screen, "cmdSimpan")->setFocus();
    QTest::keyClick(child<QWidget>(f.screen, "cmdSimpan"), Qt::Key_Return);
    holder.reset();
    f.db.setReadOnly(false);
    QCOMPARE(f.messages.count(), 1);
    const QStringList lines = f.messages.last().text.split(QLatin1Char('\r'));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), SaveFailedMessage);
    QCOMPARE(lines.at(1), cause);
    QVERIFY2(lines.at(2).startsWith(QStringLiteral("Detail: ")), qPrintable(lines.at(2)));
    QCOMPARE(f.messages.last().title, ui::ApplicationTitle);
    QCOMPARE(f.messages.last().icon, ui::Icon::None);
    QCOMPARE(f.all(), (QStringList{code, "KIMIA", "01-02-2026", "R2", "ANI", sks}));
    QCOMPARE(f.focused(), QStringLiteral("cmdSimpan"));
    QCOMPARE(f.subjects().size(), 1);
    QCOMPARE(f.subjects().first().at(1).toString(), QStringLiteral("FISIKA"));
}

void TestSubjectScreen::updateEmptiesBoxesFocusStays()
{
    Fixture f;
    f.db.addSubject(QStringLiteral("MP01"), QStringLiteral("FISIKA"));
    f.db.addSubject(QStringLiteral("MP02"), QStringLiteral("KIMIA"));
    f.type("txtkopel", "mp01");
    f.enter("txtkopel");
    f.messages.clear();
    f.type("txtmapel", "fisika dasar");
    f.enter("txtmapel");
    f.type("MstglEntry", "15082026");
    f.type("txtsks", "4");
    child<QWidget>(f.screen, "CmdUpdate")->setFocus();
    QTest::keyClick(child<QWidget>(f.screen, "CmdUpdate"), Qt::Key_Return);
    QCOMPARE(f.messages.count(), 1);
    QCOMPARE(f.messages.last().text, QStringLiteral("Data mata pelajaran telah diubah"));
    QCOMPARE(f.messages.last().title, ui::ApplicationTitle);
    QCOMPARE(f.messages.last().icon, ui::Icon::Information);
    QCOMPARE(f.subjects(), (QList<QVariantList>{
                               {QStringLiteral("MP01"), QStringLiteral("FISIKA DASAR"), QStringLiteral("15-08-2026"),
                                QStringLiteral("R1"), QStringLiteral("BUDI"), 4.0},
                               {QStringLiteral("MP02"), QStringLiteral("KIMIA"), QStringLiteral("01-01-2026"),
                                QStringLiteral("R1"), QStringLiteral("BUDI"), 3.0}}));
    QCOMPARE(f.all(), (QStringList{"", "", "15-08-2026", "", "", ""}));
    QCOMPARE(f.focused(), QStringLiteral("CmdUpdate"));
}

void TestSubjectScreen::updateOfSubjectChangedByAnotherDesk_data()
{
    QTest::addColumn<QString>("otherDesk");
    QTest::addColumn<QString>("storedName");
    QTest::newRow("unchanged") << QString() << "FISIKA DASAR";
    QTest::newRow("changed") << "update Pelajaran set NmMatpel = 'FISIKA 1', SKS = 2 where KdMatpel = 'MP01'"
                             << "FISIKA 1";
}

void TestSubjectScreen::updateOfSubjectChangedByAnotherDesk()
{
    QFETCH(QString, otherDesk);
    QFETCH(QString, storedName);
    Fixture f;
    f.db.addSubject(QStringLiteral("MP01"), QStringLiteral("FISIKA"));
    f.type("txtkopel", "MP01");
    f.enter("txtkopel");
    f.type("txtmapel", "FISIKA DASAR");

    // Another desk, on its own connection, changes the subject meanwhile.
    db::Connection other;
    QVERIFY(other.open(f.db.target()).ok());
    if (!otherDesk.isEmpty())
        QVERIFY(QSqlQuery(other.database()).exec(otherDesk));
    f.messages.clear();
    child<QWidget>(f.screen, "CmdUpdate")->setFocus();
    QTest::keyClick(child<QWidget>(f.screen, "CmdUpdate"), Qt::Key_Return);
    QCOMPARE(f.messages.count(), 1);
    const double sks = otherDesk.isEmpty() ? 3.0 : 2.0;
    QCOMPARE(f.subjects(), (QList<QVariantList>{{QStringLiteral("MP01"), storedName, QStringLiteral("01-01-2026"),
                                                 QStringLiteral("R1"), QStringLiteral("BUDI"), sks}}));
    if (otherDesk.isEmpty()) {
        QCOMPARE(f.messages.last().text, QStringLiteral("Data mata pelajaran telah diubah"));
        return;
    }
    // Nothing was written; the boxes show the stored subject.
    QCOMPARE(f.messages.last().text,
             QStringLiteral("Data telah diubah di komputer lain. Data yang tersimpan ditampilkan kembali."));
    QCOMPARE(f.messages.last().title, QStringLiteral("Pesan"));
    QCOMPARE(f.messages.last().icon, ui::Icon::Information);
    QCOMPARE(f.all(), (QStringList{"MP01", "FISIKA 1", "01-01-2026", "R1", "BUDI", "2"}));
}

void TestSubjectScreen::updateFailureKeepsBoxes()
{
    Fixture f;
    f.db.addSubject(QStringLiteral("MP01"), QStringLiteral("FISIKA"));
    f.fill({"MP01", "KIMIA", "01-02-2026", "R2", "ANI", "2"});
    f.db.setReadOnly(true);
    test::click(f.screen, "CmdUpdate");
    QCOMPARE(f.messages.count(), 1);
    QVERIFY2(f.messages.last().text.contains(QStringLiteral("readonly"), Qt::CaseInsensitive)
                 || f.messages.last().text.contains(QStringLiteral("read-only"), Qt::CaseInsensitive)
                 || f.messages.last().text.contains(QStringLiteral("query_only"), Qt::CaseInsensitive),
             qPrintable(f.messages.last().text));
    QCOMPARE(f.messages.last().text.section(QLatin1Char('\r'), 1, 1),
             QStringLiteral("Sebab: file atau foldernya tidak dapat ditulisi."));
    QCOMPARE(f.messages.last().icon, ui::Icon::Critical);
    QCOMPARE(f.all(), (QStringList{"MP01", "KIMIA", "01-02-2026", "R2", "ANI", "2"}));

    // Letters in the credit units are refused too, and the boxes stay.
    f.db.setReadOnly(false);
    f.messages.clear();
    f.type("txtsks", "DUA");
    test::click(f.screen, "CmdUpdate");
    QCOMPARE(f.messages.count(), 1);
    QVERIFY(f.messages.last().text.startsWith(QStringLiteral("Data mata pelajaran gagal diubah.\r") + NotANumber));
    QCOMPARE(f.text("txtsks"), QStringLiteral("DUA"));
    QCOMPARE(f.subjects().first().at(1).toString(), QStringLiteral("FISIKA"));

    // Infinite and negative credit units are refused before the statement:
    // on a file that refuses writes the cause is still the number.
    f.db.setReadOnly(true);
    for (const QString &sks : {QStringLiteral("1e309"), QStringLiteral("-5")}) {
        f.messages.clear();
        f.type("txtsks", sks);
        test::click(f.screen, "CmdUpdate");
        QCOMPARE(f.messages.count(), 1);
        QCOMPARE(f.messages.last().text.split(QLatin1Char('\r')).mid(0, 2),
                 QStringList({QStringLiteral("Data mata pelajaran gagal diubah."), NotANumber}));
        QCOMPARE(f.text("txtsks"), sks);
    }
    f.db.setReadOnly(false);
    QCOMPARE(f.subjects().first().at(5).toDouble(), 3.0);
}

void TestSubjectScreen::deleteYes()
{
    Fixture f;
    for (const char *code : {"MP01", "MP010", "%", "M_01"})
        f.db.addSubject(QString::fromLatin1(code));
    f.fill({"%", "FISIKA", "01-02-2026", "R2", "ANI", "2"});
    test::click(f.screen, "CmdDelete");
    QCOMPARE(f.messages.count(), 2);
    const ui::Message question = f.messages.messages().first();
    QCOMPARE(question.text, QStringLiteral("Benar data akan dihapus ?"));
    QCOMPARE(question.title, ui::ApplicationTitle);
    QCOMPARE(question.icon, ui::Icon::None);
    QCOMPARE(question.buttons, ui::Buttons::YesNo);
    QCOMPARE(question.defaultButton, ui::Answer::No); // a stray Enter deletes nothing
    QCOMPARE(f.messages.last().text, QStringLiteral("Data telah dihapus"));
    QCOMPARE(f.messages.last().title, QStringLiteral("Informasi"));
    QCOMPARE(f.messages.last().icon, ui::Icon::Information);
    QCOMPARE(f.codes(),
             QStringLiteral("M_01 MP01 MP010"));
    QCOMPARE(f.all(), (QStringList{"", "", "01-02-2026", "", "", ""}));
    QCOMPARE(f.focused(), QStringLiteral("txtkopel"));

    f.messages.clear();
    f.type("txtkopel", "mp01");
    test::click(f.screen, "CmdDelete");
    QCOMPARE(f.codes(),
             QStringLiteral("M_01 MP010"));
}

void TestSubjectScreen::deleteNo()
{
    Fixture f;
    f.db.addSubject(QStringLiteral("MP01"));
    f.fill({"MP01", "FISIKA", "01-02-2026", "R2", "ANI", "2"});
    f.messages.plan(ui::Answer::No);
    test::click(f.screen, "CmdDelete");
    QCOMPARE(f.messages.texts(), QStringList{QStringLiteral("Benar data akan dihapus ?")});
    QCOMPARE(f.subjects().size(), 1);
    QCOMPARE(f.all(), (QStringList{"", "", ui::DateBox::Empty, "", "", "2"}));
    QCOMPARE(f.focused(), QStringLiteral("txtkopel"));
}

void TestSubjectScreen::deleteFailureKeepsBoxes()
{
    Fixture f;
    f.db.addSubject(QStringLiteral("MP01"));
    f.fill({"MP01", "FISIKA", "01-02-2026", "R2", "ANI", "2"});
    f.db.setReadOnly(true);
    test::click(f.screen, "CmdDelete");
    QCOMPARE(f.messages.count(), 2);
    QVERIFY(f.messages.last().text.startsWith(QStringLiteral("Data mata pelajaran gagal dihapus.\r")));
    QVERIFY(f.messages.last().text.size() > QStringLiteral("Data mata pelajaran gagal dihapus.\r").size());
    QCOMPARE(f.all(), (QStringList{"MP01", "FISIKA", "01-02-2026", "R2", "ANI", "2"}));
    f.db.setReadOnly(false);
    QCOMPARE(f.subjects().size(), 1);
}

void TestSubjectScreen::codeNotStoredChangesNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Update") << "CmdUpdate";
    QTest::newRow("Delete") << "CmdDelete";
}

void TestSubjectScreen::codeNotStoredChangesNothing()
{
    QFETCH(QString, button);
    Fixture f;
    f.db.addSubject(QStringLiteral("MP01"), QStringLiteral("FISIKA"));
    const QList<QVariantList> before = f.subjects();
    const QStringList typed{"MP0%", "KIMIA", "01-02-2026", "R2", "ANI", "2"};
    f.fill(typed);
    test::click(f.screen, button);
    QCOMPARE(f.messages.last().text, QStringLiteral("Data mata pelajaran dengan kode itu tidak ada."));
    QCOMPARE(f.messages.last().title, QStringLiteral("Pesan"));
    QCOMPARE(f.messages.last().icon, ui::Icon::Information);
    QCOMPARE(f.messages.count(), button == QLatin1String("CmdDelete") ? 2 : 1);
    QCOMPARE(f.all(), typed);
    QCOMPARE(f.subjects(), before);
    // The code is selected in its box: the next one typed replaces it.
    QCOMPARE(f.focused(), QStringLiteral("txtkopel"));
    test::typeAtFocus(QStringLiteral("MP01"));
    QCOMPARE(f.text(QStringLiteral("txtkopel")), QStringLiteral("MP01"));
}

void TestSubjectScreen::cancelEmptiesTextBoxes()
{
    Fixture f;
    f.fill({"MP01", "FISIKA", "01-02-2026", "R2", "ANI", "2"});
    child<QWidget>(f.screen, "txtlokal")->setFocus();
    test::click(f.screen, "cmdBatal");
    QCOMPARE(f.all(), (QStringList{"", "", "01-02-2026", "", "", ""}));
    QCOMPARE(f.focused(), QStringLiteral("txtlokal"));
    QCOMPARE(f.messages.count(), 0);
}

void TestSubjectScreen::exitShowsMainWindow()
{
    Fixture f;
    QVERIFY(!ui::openScreen<FrmUtama>());
    f.type("txtkopel", "MP01");
    test::click(f.screen, "cmdKeluar");
    QWidget *main = ui::openScreen<FrmUtama>();
    QVERIFY(main);
    QVERIFY(main->isVisible());
    QTRY_VERIFY(!ui::openScreen<frmentrymatpel>());
    QCOMPARE(f.subjects().size(), 0);
    // Opened again, the screen is made anew.
    frmentrymatpel *again = ui::showScreen<frmentrymatpel>();
    QCOMPARE(child<QLineEdit>(again, "txtkopel")->text(), QString());
    main->close();
}

void TestSubjectScreen::labelSlidesRestsAndRestarts()
{
    Fixture f;
    auto *timer = child<QTimer>(f.screen, "Timer2");
    auto *rest = child<QTimer>(f.screen, "Timer2Rest");
    auto *label = child<QLabel>(f.screen, "Label5");
    // The test drives the ticks itself.
    timer->stop();
    const int inner = f.screen->width() * 15;
    const int width = label->width() * 15;
    QVERIFY(width < inner);

    // It starts fully inside, near the left edge: the first tick rests at once.
    const int start = f.screen->label5Left();
    QVERIFY(start >= 0 && start <= inner - width);
    f.screen->Timer2_Timer();
    QCOMPARE(f.screen->label5Left(), start);
    QVERIFY(rest->isActive());
    QVERIFY(!timer->isActive());

    // The screen takes input while the label rests.
    bool typedDuringRest = false;
    QTimer::singleShot(0, f.screen, [&] {
        f.type("txtmapel", "fisika");
        f.enter("txtmapel");
        typedDuringRest = rest->isActive();
    });
    QSignalSpy restEnded(rest, &QTimer::timeout);
    QVERIFY(restEnded.wait(f.screen->Label5RestMs * 20));
    QVERIFY(typedDuringRest);
    QCOMPARE(f.text("txtmapel"), QStringLiteral("FISIKA"));
    QCOMPARE(f.focused(), QStringLiteral("MstglEntry"));

    // After the rest it starts again just beyond the right edge ...
    timer->stop();
    QCOMPARE(f.screen->label5Left(), inner);
    QCOMPARE(label->x(), inner / 15);
    // ... and slides 100 twips a tick until its right end is inside.
    int expected = inner;
    int ticks = 0;
    while (expected > inner - width) {
        f.screen->Timer2_Timer();
        expected -= 100;
        ++ticks;
        QCOMPARE(f.screen->label5Left(), expected);
        QCOMPARE(label->x(), expected / 15);
        QVERIFY(!rest->isActive());
    }
    QCOMPARE(ticks, (width + 99) / 100);
    // Then it rests where it stands.
    f.screen->Timer2_Timer();
    QCOMPARE(f.screen->label5Left(), expected);
    QVERIFY(rest->isActive());
    f.screen->Timer2Rest_Timeout();
    QCOMPARE(f.screen->label5Left(), inner);
    QVERIFY(timer->isActive());
}

QTEST_MAIN(TestSubjectScreen)
#include "tst_subjectscreen.moc"
