// The student entry screen driven through its controls: the Enter flow,
// the lookup by NIS, Save, Update, Delete, Cancel, Exit, and the rows that
// end up in SISWA.
#include "app/FrmUtama.h"
#include "common/module1.h"
#include "db/connection.h"
#include "students/FrmEntri.h"
#include "students/studententry.h"
#include "testsupport.h"
#include "ui/datebox.h"
#include "ui/screens.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QRegularExpression>
#include <QTest>
#include <QToolTip>

using namespace pel;
using ui::Answer;
using ui::Buttons;
using ui::Icon;

namespace {

const QDateTime Moment(QDate(2026, 12, 7), QTime(14, 5, 9));
const QString Today = QStringLiteral("07-12-2026");
const QString EmptyDate = QStringLiteral("__-__-____");
const QString SaveFailed = QStringLiteral("Salah Proses, Isi dulu fieldnya...!");
const QString NotWritable = QStringLiteral("Sebab: file atau foldernya tidak dapat ditulisi.");

// The twelve input controls in the order Enter visits them.
const QStringList Inputs{"txtnis",   "txtnama",    "txttempat", "Mstgllahir", "txtalamat", "Combo1",
                         "Combo2",   "MstglMasuk", "txtprogram", "txtlevel",  "txtasal",   "txttelp"};

// The columns of SISWA in the order of the boxes above.
const QString StoredColumns = QStringLiteral("NIS, NamaSiswa, TptLahir, TglLahir, Alamat, JenisKelamin, Agama, "
                                             "TglMasuk, ProgamJurusan, LevelTahap, AsalSekolah, TelpHp");

// What addStudent() stores after the NIS and the name.
const QStringList StoredRest{"JAKARTA", "01-02-2000", "JL. MAWAR 1", "LAKI-LAKI", "ISLAM",
                             "01-07-2020", "KOMPUTER", "DASAR", "SMA 1", "0812"};

QString textOf(QWidget *widget)
{
    if (auto *date = qobject_cast<ui::DateBox *>(widget))
        return date->text();
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->currentText();
    if (auto *box = qobject_cast<QLineEdit *>(widget))
        return box->text();
    return QStringLiteral("<no box>");
}

void setTextOf(QWidget *widget, const QString &text)
{
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        combo->setEditText(text);
    else if (auto *box = qobject_cast<QLineEdit *>(widget))
        box->setText(text);
}

QString focusName()
{
    QWidget *focus = QApplication::focusWidget();
    while (focus && !Inputs.contains(focus->objectName()) && !focus->objectName().startsWith(QLatin1String("cmd"), Qt::CaseInsensitive))
        focus = focus->parentWidget();
    return focus ? focus->objectName() : QStringLiteral("<none>");
}

bool enabled(QWidget *root, const QString &name)
{
    QWidget *widget = test::findNamed(root, name);
    return widget && widget->isEnabled();
}

QStringList comboItems(QWidget *root, const QString &name)
{
    QStringList items;
    if (auto *combo = test::child<QComboBox>(root, name))
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
    return items;
}

QStringList storedRow(test::TestDatabase &db, const QString &nis)
{
    QStringList values;
    for (const QVariantList &row : db.rows(QStringLiteral("select %1 from SISWA where %2 = '%3'")
                                               .arg(StoredColumns, test::exactly(QStringLiteral("NIS")),
                                                    QString(nis).replace(QLatin1Char('\''), QStringLiteral("''")))))
        for (const QVariant &value : row)
            values << value.toString();
    return values;
}

int studentCount(test::TestDatabase &db)
{
    return db.scalar(QStringLiteral("select count(*) from SISWA")).toInt();
}

} // namespace

class TestFrmEntri : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();

    void opensWithPromptsListsDatesAndClock();
    void enterRuleOfEachControl_data();
    void enterRuleOfEachControl();
    void newStudentWalkedThroughWithEnter();
    void typedDatesReplaceTheShownOnes();
    void altLetterOfDisabledSaveTypesNothing();
    void lookupOfNewNis();
    void lookupOfStoredNis_data();
    void lookupOfStoredNis();
    void lookupShowsTheStartOfLongValues();
    void saveOfStoredNisKeepsBoxes();
    void updateWritesTheNisInTheBox();
    void updateOfStudentChangedByAnotherDesk_data();
    void updateOfStudentChangedByAnotherDesk();
    void deleteAnsweredYesOrNo_data();
    void deleteAnsweredYesOrNo();
    void deleteOfStudentWithGrades();
    void cancelExitAndReopen();
    void quoteInNameSavesShowsAndUpdates();
    void wildcardNisDeletesOnlyThatNis();
    void refusedStatementsKeepTheBoxes();
    void storedDateThatDoesNotFitKeepsTheBoxes();

private:
    FrmEntri *open();
    void checkMessage(const ui::Message &message, const QString &text, const QString &title, Icon icon,
                      Buttons buttons);
    // A failure message: its own first line, the line naming the cause and
    // the engine's detail.
    void checkFailure(const ui::Message &message, const QString &first, const QString &cause, Icon icon);
    QStringList boxes(QWidget *screen);
};

FrmEntri *TestFrmEntri::open()
{
    FrmEntri *screen = ui::showScreen<FrmEntri>();
    if (!QTest::qWaitForWindowActive(screen))
        QApplication::setActiveWindow(screen);
    test::child<QLineEdit>(screen, QStringLiteral("txtnis"))->setFocus(Qt::OtherFocusReason);
    return screen;
}

void TestFrmEntri::cleanup()
{
    if (FrmEntri *screen = ui::openScreen<FrmEntri>())
        screen->close();
    if (FrmUtama *main = ui::openScreen<FrmUtama>())
        main->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestFrmEntri::checkMessage(const ui::Message &message, const QString &text, const QString &title, Icon icon,
                                Buttons buttons)
{
    QCOMPARE(message.text, text);
    QCOMPARE(message.title, title);
    QCOMPARE(message.icon, icon);
    QCOMPARE(message.buttons, buttons);
}

void TestFrmEntri::checkFailure(const ui::Message &message, const QString &first, const QString &cause, Icon icon)
{
    const QStringList lines = message.text.split(QLatin1Char('\r'));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), first);
    QCOMPARE(lines.at(1), cause);
    QVERIFY2(lines.at(2).startsWith(QStringLiteral("Detail: ")), qPrintable(lines.at(2)));
    QCOMPARE(message.title, QStringLiteral("PELITAKSA"));
    QCOMPARE(message.icon, icon);
    QCOMPARE(message.buttons, Buttons::Ok);
}

QStringList TestFrmEntri::boxes(QWidget *screen)
{
    QStringList texts;
    for (const QString &name : Inputs)
        texts << textOf(test::findNamed(screen, name));
    return texts;
}

void TestFrmEntri::opensWithPromptsListsDatesAndClock()
{
    test::TestDatabase db;
    test::StandIn messages(Moment);
    FrmEntri *screen = open();

    QCOMPARE(screen->objectName(), QStringLiteral("FrmEntri"));
    QCOMPARE(screen->windowTitle(), QStringLiteral("Entri Data Siswa"));
    QCOMPARE(boxes(screen), QStringList({"", "", "", EmptyDate, "", "", "", Today, "", "", "", ""}));
    QCOMPARE(comboItems(screen, "Combo1"), QStringList({"Laki-laki", "Perempuan"}));
    QCOMPARE(comboItems(screen, "Combo2"), QStringList({"Islam", "Khatolik", "Protestan", "Hindu", "Budha"}));

    const QStringList prompts{"Masukkan NIS", "Masukkan Nama Siswa", "Masukkan Tempat Lahir",
                              "Masukkan Tanggal Lahir", "Masukkan Alamat", "Silakan Pilih pada Combo",
                              "Silakan Pilih pada Combo", "Masukkan Tanggal Masuk", "Masukkan Program/Jurusan",
                              "Masukkan Level/Tahap", "Masukkan Asal Sekolah", "Masukkan Nomor Telp/HP"};
    for (int i = 0; i < Inputs.size(); ++i)
        QCOMPARE(test::findNamed(screen, Inputs.at(i))->toolTip(), prompts.at(i));

    QStringList labels;
    for (QLabel *label : screen->findChildren<QLabel *>())
        labels << label->text();
    for (const char *text : {"N I S", "Nama_Siswa", "T T L", "Alamat", "Jenis_Kelamin", "Agama", "Tgl_Masuk",
                             "Program/Jurusan", "Level/Tahap", "Asal_Sekolah", "Telp/HP", "ENTRY DATA SISWA BARU",
                             "YAYASAN PELITAKSA BUDIMAJU ", "Jl. Teratai Baru Raya No. 117 Telp. (0700) 55501 Lirak"})
        QVERIFY2(labels.contains(QString::fromLatin1(text)), text);
    QCOMPARE(labels.count(QStringLiteral(":")), 11);
    QStringList frames;
    for (QGroupBox *frame : screen->findChildren<QGroupBox *>())
        frames << frame->title();
    QCOMPARE(frames, QStringList({"Inputkan Data Siswa Baru !!", "", "Proses Data"}));

    const QStringList names{"cmdSimpan", "CmdUpdate", "cmdBatal", "CmdDelete", "cmdKeluar"};
    const QStringList captions{"&Save", "&Update", "&Cancel", "&Delete", "&Exit"};
    for (int i = 0; i < names.size(); ++i) {
        auto *button = test::child<QAbstractButton>(screen, names.at(i));
        QVERIFY(button && button->isEnabled());
        QCOMPARE(button->text(), captions.at(i));
    }

    QTRY_COMPARE(test::child<QLabel>(screen, "Label29")->text(), QStringLiteral("14:05:09"));
    QCOMPARE(test::child<QLabel>(screen, "Label28")->text(), QLocale::system().dayName(1) + ", 12/07/2026");
    QCOMPARE(messages.count(), 0);
}

void TestFrmEntri::enterRuleOfEachControl_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("emptyMessage");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("next");
    QTest::newRow("txtnama") << "txtnama" << "Masukkan Nama Siswa !" << "budi" << "BUDI" << "txttempat";
    QTest::newRow("txttempat") << "txttempat" << "Masukkan Tempat Lahir !" << "bandung" << "BANDUNG" << "Mstgllahir";
    QTest::newRow("Mstgllahir") << "Mstgllahir" << "" << "0712" << "07-12-____" << "txtalamat";
    QTest::newRow("txtalamat") << "txtalamat" << "Masukkan Alamat !" << "jl. melati 5" << "JL. MELATI 5" << "Combo1";
    QTest::newRow("Combo1") << "Combo1" << "Silakan Pilih !" << "perempuan" << "PEREMPUAN" << "Combo2";
    QTest::newRow("Combo2") << "Combo2" << "Silahkan Pilih !" << "kong hu cu" << "KONG HU CU" << "MstglMasuk";
    QTest::newRow("MstglMasuk") << "MstglMasuk" << "" << "01072026" << "01-07-2026" << "txtprogram";
    QTest::newRow("txtprogram") << "txtprogram" << "Masukkan Program/Jurusan" << "komputer" << "KOMPUTER" << "txtlevel";
    QTest::newRow("txtlevel") << "txtlevel" << "Masukkan Level/Tahap" << "dasar" << "DASAR" << "txtasal";
    QTest::newRow("txtasal") << "txtasal" << "Masukkan Asal Sekolah" << "sma 3" << "SMA 3" << "txttelp";
    QTest::newRow("txttelp letters pass") << "txttelp" << "Masukkan Nomor Telp/HP" << "0812 ext" << "0812 EXT" << "cmdSimpan";
    QTest::newRow("blanks are not empty") << "txtnama" << "Masukkan Nama Siswa !" << "  " << "  " << "txttempat";
}

void TestFrmEntri::enterRuleOfEachControl()
{
    QFETCH(QString, control);
    QFETCH(QString, emptyMessage);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, next);
    test::TestDatabase db;
    test::StandIn messages(Moment);
    FrmEntri *screen = open();
    // Save starts disabled here, so the telephone box has to enable it.
    test::typeInto(screen, "txtnis", "X");
    QVERIFY(!enabled(screen, "cmdSimpan"));
    setTextOf(test::findNamed(screen, "txtlevel"), "keep");
    if (control == QLatin1String("txtlevel"))
        setTextOf(test::findNamed(screen, "txtnama"), "keep");

    // Empty: the control's message, the focus stays, nothing changes.
    // (The date boxes are never empty: the whole mask is "__-__-____".)
    if (control.startsWith(QLatin1String("Mstgl")))
        test::child<ui::DateBox>(screen, control)->clearToMask();
    else
        setTextOf(test::findNamed(screen, control), QString());
    QStringList before = boxes(screen);
    test::pressEnter(screen, control);
    if (emptyMessage.isEmpty()) {
        QCOMPARE(messages.count(), 0);
        QCOMPARE(focusName(), next);
        QCOMPARE(boxes(screen), before);
    } else {
        QCOMPARE(messages.count(), 1);
        checkMessage(messages.last(), emptyMessage, "Pesan", Icon::Critical, Buttons::Ok);
        QCOMPARE(focusName(), control);
        QCOMPARE(boxes(screen), before);
        QVERIFY(!enabled(screen, "cmdSimpan"));
    }

    // Filled: capitals and on to the next control; typed keys are kept as typed.
    messages.clear();
    test::typeInto(screen, control, typed);
    QCOMPARE(textOf(test::findNamed(screen, control)), control.startsWith("Mstgl") ? shown : typed);
    before = boxes(screen);
    before[Inputs.indexOf(control)] = shown;
    test::pressEnter(screen, control);
    QCOMPARE(messages.count(), 0);
    QCOMPARE(boxes(screen), before);
    QCOMPARE(focusName(), next);
    QCOMPARE(enabled(screen, "cmdSimpan"), next == QLatin1String("cmdSimpan"));
    QCOMPARE(comboItems(screen, "Combo1").size(), 2);
    QCOMPARE(comboItems(screen, "Combo2").size(), 5);
}

void TestFrmEntri::newStudentWalkedThroughWithEnter()
{
    test::TestDatabase db;
    test::StandIn messages(Moment);
    FrmEntri *screen = open();

    test::typeInto(screen, "txtnis", "001");
    test::pressEnter(screen, "txtnis");
    QCOMPARE(focusName(), QStringLiteral("txtnama"));
    const QStringList typed{"budi", "bandung", "07122006", "jl. melati 5", "", "", "", "komputer", "dasar",
                            "sma 3", "0812"};
    for (int i = 1; i < Inputs.size(); ++i) {
        const QString name = Inputs.at(i);
        QCOMPARE(focusName(), name);
        if (name == QLatin1String("Combo1"))
            test::child<QComboBox>(screen, name)->setCurrentIndex(0); // picked from the list
        else if (name == QLatin1String("Combo2"))
            test::child<QComboBox>(screen, name)->setCurrentIndex(2);
        else if (!typed.at(i - 1).isEmpty())
            QTest::keyClicks(QApplication::focusWidget(), typed.at(i - 1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    QCOMPARE(focusName(), QStringLiteral("cmdSimpan"));
    QVERIFY(enabled(screen, "cmdSimpan"));
    QCOMPARE(messages.count(), 0);

    // Enter on the focused Save button saves.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(messages.count(), 1);
    checkMessage(messages.last(), "Data Siswa Sudah Disimpan ", "Informasi", Icon::Information, Buttons::Ok);
    QCOMPARE(storedRow(db, "001"), QStringList({"001", "BUDI", "BANDUNG", "07-12-2006", "JL. MELATI 5", "LAKI-LAKI",
                                                "PROTESTAN", Today, "KOMPUTER", "DASAR", "SMA 3", "0812"}));
    QCOMPARE(boxes(screen), QStringList({"", "", "", "07-12-2006", "", "", "", Today, "", "", "", ""}));
    QCOMPARE(focusName(), QStringLiteral("txtnis"));
    QVERIFY(!enabled(screen, "cmdSimpan"));
    QVERIFY(!enabled(screen, "CmdUpdate"));
    QCOMPARE(comboItems(screen, "Combo1"), QStringList({"Laki-laki", "Perempuan"}));

    // Enter in an empty NIS box: its message, no lookup.
    test::pressEnter(screen, "txtnis");
    QCOMPARE(messages.count(), 2);
    checkMessage(messages.last(), "Masukkan Nomor Induk Siswa !", "Pesan", Icon::Critical, Buttons::Ok);
    QCOMPARE(focusName(), QStringLiteral("txtnis"));
}

void TestFrmEntri::typedDatesReplaceTheShownOnes()
{
    test::TestDatabase db;
    test::StandIn messages(Moment);
    FrmEntri *screen = open();
    test::typeInto(screen, "txtnis", "001");
    test::pressEnter(screen, "txtnis");
    test::typeInto(screen, "txttempat", "bandung");
    test::pressEnter(screen, "txttempat");
    QCOMPARE(focusName(), QStringLiteral("Mstgllahir"));
    test::typeAtFocus("07122006");
    test::typeInto(screen, "Combo2", "islam");
    test::pressEnter(screen, "Combo2");
    // The Enter flow reaches the entry date showing today's date: a date
    // typed there replaces it.
    QCOMPARE(focusName(), QStringLiteral("MstglMasuk"));
    QCOMPARE(textOf(test::findNamed(screen, "MstglMasuk")), Today);
    test::typeAtFocus("02012026");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(focusName(), QStringLiteral("txtprogram"));
    test::click(screen, "cmdSimpan");
    QCOMPARE(messages.last().text, QStringLiteral("Data Siswa Sudah Disimpan "));
    QCOMPARE(db.rows("select TglLahir, TglMasuk from SISWA"), (QList<QVariantList>{{"07-12-2006", "02-01-2026"}}));
}

void TestFrmEntri::altLetterOfDisabledSaveTypesNothing()
{
    test::TestDatabase db;
    test::StandIn messages(Moment);
    db.addStudent("AB7", "ANI");
    FrmEntri *screen = open();
    test::typeInto(screen, "txtnis", "AB7");
    test::pressEnter(screen, "txtnis");
    QVERIFY(!enabled(screen, "cmdSimpan"));
    QCOMPARE(focusName(), QStringLiteral("txtnis"));
    messages.clear();

    // Alt+S belongs to the disabled Save: nothing is saved, nothing typed.
    QTest::keyClick(screen->windowHandle(), Qt::Key_S, Qt::AltModifier);
    QTest::qWait(300); // a button pressed by its letter clicks after a short animation
    QCOMPARE(textOf(test::findNamed(screen, "txtnis")), QStringLiteral("AB7"));
    QCOMPARE(messages.count(), 0);

    // Alt+U still updates the student shown.
    test::typeInto(screen, "txtnama", "ANITA");
    QTest::keyClick(screen->windowHandle(), Qt::Key_U, Qt::AltModifier);
    QTRY_COMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, QStringLiteral("Data Siswa Telah Diubah"));
    QCOMPARE(storedRow(db, "AB7").value(1), QStringLiteral("ANITA"));
}

void TestFrmEntri::lookupOfNewNis()
{
    test::TestDatabase db;
    test::StandIn messages(Moment);
    db.addStudent("AB7", "ANI");
    FrmEntri *screen = open();
    for (int i = 1; i < Inputs.size(); ++i)
        setTextOf(test::findNamed(screen, Inputs.at(i)), i == 3 || i == 7 ? "01-01-2001" : "old");

    test::typeInto(screen, "txtnis", "AB");
    QVERIFY(!enabled(screen, "cmdSimpan"));
    test::pressEnter(screen, "txtnis");
    QCOMPARE(messages.count(), 0);
    QCOMPARE(boxes(screen), QStringList({"AB", "", "", "01-01-2001", "", "", "", "01-01-2001", "", "", "", ""}));
    QCOMPARE(focusName(), QStringLiteral("txtnama"));
    QVERIFY(enabled(screen, "cmdSimpan"));
    QVERIFY(!enabled(screen, "CmdUpdate"));

    // A non-character key leaves Save alone; a character key disables it.
    QWidget *nis = test::findNamed(screen, "txtnis");
    nis->setFocus();
    QTest::keyClick(nis, Qt::Key_Left);
    QTest::keyClick(nis, Qt::Key_Delete);
    QVERIFY(enabled(screen, "cmdSimpan"));
    QTest::keyClick(nis, Qt::Key_Backspace);
    QVERIFY(!enabled(screen, "cmdSimpan"));
    QCOMPARE(textOf(nis), QString()); // Delete took the B, Backspace the A
}

void TestFrmEntri::lookupOfStoredNis_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("as stored") << "AB7";
    QTest::newRow("other letter case") << "ab7";
}

void TestFrmEntri::lookupOfStoredNis()
{
    QFETCH(QString, typed);
    test::TestDatabase db;
    test::StandIn messages(Moment);
    db.addStudent("AB7", "Ani");
    FrmEntri *screen = open();
    test::typeInto(screen, "txtnis", "NEW");
    test::pressEnter(screen, "txtnis"); // new: Update disabled
    QVERIFY(!enabled(screen, "CmdUpdate"));

    test::typeInto(screen, "txtnis", typed);
    test::pressEnter(screen, "txtnis");
    QCOMPARE(messages.count(), 2);
    checkMessage(messages.messages().at(0),
                 "Nomor Induk Siswa Tersebut Sudah Ada, \rSilahkan Masukkan NIS yang lain agar tidak terjadi "
                 "penggandaan data",
                 "PELITAKSA", Icon::Critical, Buttons::Ok);
    checkMessage(messages.messages().at(1), "Tapi silakan jika anda akan melakukan edit data...!", "Informasi",
                 Icon::Information, Buttons::Ok);
    QCOMPARE(boxes(screen), QStringList({typed, "Ani"}) + StoredRest);
    QCOMPARE(focusName(), QStringLiteral("txtnis"));
    QCOMPARE(test::child<QLineEdit>(screen, "txtnis")->selectedText(), typed);
    QVERIFY(!enabled(screen, "cmdSimpan"));
    QVERIFY(enabled(screen, "CmdUpdate"));
    QCOMPARE(comboItems(screen, "Combo1"), QStringList({"Laki-laki", "Perempuan"}));
    QCOMPARE(comboItems(screen, "Combo2").size(), 5);
}

void TestFrmEntri::lookupShowsTheStartOfLongValues()
{
    test::TestDatabase db;
    test::StandIn messages(Moment);
    db.addStudent("AB7", "RADEN AJENG KARTINI DJOJOADHININGRAT SOEROJO");
    db.exec("update SISWA set JenisKelamin = 'PEREMPUAN', Agama = 'PROTESTAN', "
            "Alamat = 'JL. TERATAI BARU RAYA NOMOR 117 RT 005 RW 011 KELURAHAN LIRAK KECAMATAN LIRAK TIMUR' "
            "where NIS = 'AB7'");
    FrmEntri *screen = open();
    test::typeInto(screen, "txtnis", "AB7");
    test::pressEnter(screen, "txtnis");
    QCOMPARE(messages.count(), 2);

    // Every box the lookup filled shows the start of its text.
    for (const QString &name : Inputs.mid(1)) {
        QWidget *box = test::findNamed(screen, name);
        if (qobject_cast<ui::DateBox *>(box))
            continue;
        QVERIFY2(!textOf(box).isEmpty(), qPrintable(name));
        QVERIFY2(test::firstShownCharacter(box) == 0, qPrintable(name));
    }
    // The combo boxes show every entry of their lists whole, in capitals too.
    for (const QString &name : {QStringLiteral("Combo1"), QStringLiteral("Combo2")}) {
        auto *combo = test::child<QComboBox>(screen, name);
        for (int i = 0; i < combo->count(); ++i) {
            const QString entry = combo->itemText(i).toUpper();
            combo->setEditText(entry);
            QVERIFY2(test::firstShownCharacter(combo) == 0, qPrintable(entry));
        }
    }
}

void TestFrmEntri::saveOfStoredNisKeepsBoxes()
{
    test::TestDatabase db;
    test::StandIn messages(Moment);
    db.addStudent("AB7", "ANI");
    FrmEntri *screen = open();
    test::typeInto(screen, "txtnis", "ab7");
    test::typeInto(screen, "txtnama", "other");
    test::typeInto(screen, "txttelp", "0899");
    test::pressEnter(screen, "txttelp"); // enables Save
    QCOMPARE(focusName(), QStringLiteral("cmdSimpan"));
    const QStringList before = boxes(screen);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(messages.count(), 1);
    checkFailure(messages.last(), SaveFailed, "Sebab: kunci tersebut sudah tersimpan.", Icon::None);
    QCOMPARE(boxes(screen), before);
    QCOMPARE(focusName(), QStringLiteral("cmdSimpan"));
    QVERIFY(enabled(screen, "cmdSimpan"));
    QCOMPARE(storedRow(db, "AB7"), QStringList({"AB7", "ANI"}) + StoredRest);
    QCOMPARE(studentCount(db), 1);

    // Save with an empty NIS is refused too: the NIS is the key.
    test::child<QLineEdit>(screen, "txtnis")->clear();
    test::click(screen, "cmdSimpan");
    checkFailure(messages.last(), SaveFailed, "Sebab: kunci masih kosong.", Icon::None);
    QCOMPARE(studentCount(db), 1);
}

void TestFrmEntri::updateWritesTheNisInTheBox()
{
    test::TestDatabase db;
    test::StandIn messages(Moment);
    db.addStudent("AB7", "ANI");
    db.addStudent("CD8", "CICI");
    FrmEntri *screen = open();
    test::typeInto(screen, "txtnis", "ab7");
    test::pressEnter(screen, "txtnis");
    messages.clear();
    test::typeInto(screen, "txtnama", "Ani Susanti");
    test::typeInto(screen, "Mstgllahir", "02032001");

    test::click(screen, "CmdUpdate");
    QCOMPARE(messages.count(), 1);
    checkMessage(messages.last(), "Data Siswa Telah Diubah", "PELITAKSA", Icon::Information, Buttons::Ok);
    QStringList expected = QStringList({"AB7", "Ani Susanti"}) + StoredRest;
    expected[3] = "02-03-2001";
    QCOMPARE(storedRow(db, "AB7"), expected);
    QCOMPARE(storedRow(db, "CD8"), QStringList({"CD8", "CICI"}) + StoredRest);
    QCOMPARE(boxes(screen), QStringList({"", "", "", "02-03-2001", "", "", "", "01-07-2020", "", "", "", ""}));
    QCOMPARE(focusName(), QStringLiteral("txtnis"));
    QVERIFY(!enabled(screen, "cmdSimpan"));
    QVERIFY(enabled(screen, "CmdUpdate"));

    // After a lookup of CD8, a NIS typed over it is the one updated.
    test::typeInto(screen, "txtnis", "CD8");
    test::pressEnter(screen, "txtnis");
    test::typeInto(screen, "txtnis", "AB7");
    test::typeInto(screen, "txtasal", "SMK 2");
    test::click(screen, "CmdUpdate");
    expected = QStringList({"AB7", "CICI"}) + StoredRest;
    expected[10] = "SMK 2";
    QCOMPARE(storedRow(db, "AB7"), expected);
    QCOMPARE(storedRow(db, "CD8"), QStringList({"CD8", "CICI"}) + StoredRest);

    // A NIS that is not stored changes nothing, the operator is told so, and
    // the boxes keep what was typed.
    messages.clear();
    test::typeInto(screen, "txtnis", "ZZ");
    test::typeInto(screen, "txtnama", "ZAZA");
    const QStringList typed = boxes(screen);
    test::click(screen, "CmdUpdate");
    QCOMPARE(messages.count(), 1);
    checkMessage(messages.last(), "Data siswa dengan NIS itu tidak ada.", "Pesan", Icon::Information, Buttons::Ok);
    QCOMPARE(boxes(screen), typed);
    QCOMPARE(studentCount(db), 2);
    QCOMPARE(storedRow(db, "AB7"), expected);
    // The NIS is selected in its box: the next one typed replaces it.
    test::typeAtFocus("CD8");
    QCOMPARE(textOf(test::findNamed(screen, "txtnis")), QStringLiteral("CD8"));
}

void TestFrmEntri::updateOfStudentChangedByAnotherDesk_data()
{
    QTest::addColumn<QString>("otherDesk");
    QTest::addColumn<QString>("storedName");
    QTest::newRow("unchanged") << QString() << "ANI SUSANTI";
    QTest::newRow("changed") << "update SISWA set NamaSiswa = 'ANITA' where NIS = 'AB7'"
                             << "ANITA";
    QTest::newRow("changed to the same") << "update SISWA set NamaSiswa = 'ANI SUSANTI' where NIS = 'AB7'"
                                         << "ANI SUSANTI";
}

void TestFrmEntri::updateOfStudentChangedByAnotherDesk()
{
    QFETCH(QString, otherDesk);
    QFETCH(QString, storedName);
    test::TestDatabase db;
    test::StandIn messages(Moment);
    db.addStudent("AB7", "ANI");
    FrmEntri *screen = open();
    test::typeInto(screen, "txtnis", "AB7");
    test::pressEnter(screen, "txtnis");
    test::typeInto(screen, "txtnama", "ANI SUSANTI");

    // Another desk, on its own connection, changes the student meanwhile.
    db::Connection other;
    QVERIFY(other.open(db.target()).ok());
    if (!otherDesk.isEmpty())
        QVERIFY(QSqlQuery(other.database()).exec(otherDesk));
    const bool changed = storedName != "ANI SUSANTI" || !otherDesk.isEmpty();
    messages.clear();
    test::click(screen, "CmdUpdate");
    QCOMPARE(messages.count(), 1);
    QCOMPARE(storedRow(db, "AB7"), QStringList({"AB7", storedName}) + StoredRest);
    if (!changed) {
        checkMessage(messages.last(), "Data Siswa Telah Diubah", "PELITAKSA", Icon::Information, Buttons::Ok);
        return;
    }
    // Nothing was written; the boxes show the stored student, and a second
    // Update, now against what is shown, goes through.
    checkMessage(messages.last(), "Data telah diubah di komputer lain. Data yang tersimpan ditampilkan kembali.",
                 "Pesan", Icon::Information, Buttons::Ok);
    QCOMPARE(boxes(screen), QStringList({"AB7", storedName}) + StoredRest);
    test::typeInto(screen, "txtasal", "SMK 2");
    test::click(screen, "CmdUpdate");
    checkMessage(messages.last(), "Data Siswa Telah Diubah", "PELITAKSA", Icon::Information, Buttons::Ok);
    QStringList expected = QStringList({"AB7", storedName}) + StoredRest;
    expected[10] = "SMK 2";
    QCOMPARE(storedRow(db, "AB7"), expected);
}

void TestFrmEntri::deleteAnsweredYesOrNo_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << true;
    QTest::newRow("No") << false;
}

void TestFrmEntri::deleteAnsweredYesOrNo()
{
    QFETCH(bool, yes);
    test::TestDatabase db;
    test::StandIn messages(Moment);
    db.addStudent("AB7", "ANI");
    db.addStudent("AB70", "ANTO");
    FrmEntri *screen = open();
    test::typeInto(screen, "txtnis", "ab7");
    test::pressEnter(screen, "txtnis");
    messages.clear();
    messages.plan(yes ? Answer::Yes : Answer::No);

    test::click(screen, "CmdDelete");
    QCOMPARE(messages.count(), yes ? 2 : 1);
    checkMessage(messages.messages().at(0), "Benar data akan dihapus ?", "PELITAKSA", Icon::None, Buttons::YesNo);
    QCOMPARE(messages.messages().at(0).defaultButton, Answer::No); // a stray Enter deletes nothing
    if (yes)
        checkMessage(messages.last(), "Data telah dihapus", "Informasi", Icon::Information, Buttons::Ok);
    QCOMPARE(storedRow(db, "AB7").isEmpty(), yes);
    QCOMPARE(storedRow(db, "AB70"), QStringList({"AB70", "ANTO"}) + StoredRest);
    QCOMPARE(boxes(screen), QStringList({"", "", "", "01-02-2000", "", "", "", "01-07-2020", "", "", "", ""}));
    QCOMPARE(focusName(), QStringLiteral("txtnis"));
    QVERIFY(!enabled(screen, "cmdSimpan"));
    QVERIFY(enabled(screen, "CmdUpdate"));
}

void TestFrmEntri::deleteOfStudentWithGrades()
{
    test::TestDatabase db;
    test::StandIn messages(Moment);
    db.addStudent("AB7", "ANI");
    QVERIFY(db.exec("insert into Nilai (Noreg, Nis, SKS) values ('1', 'AB7', 3)"));
    FrmEntri *screen = open();
    test::typeInto(screen, "txtnis", "AB7");
    test::pressEnter(screen, "txtnis");
    messages.clear();
    const QStringList before = boxes(screen);

    test::click(screen, "CmdDelete");
    QCOMPARE(messages.count(), 2);
    checkFailure(messages.last(), "Nilai sedang diacu", "Sebab: data masih diacu oleh data lain.", Icon::None);
    QCOMPARE(boxes(screen), before);
    QCOMPARE(storedRow(db, "AB7"), QStringList({"AB7", "ANI"}) + StoredRest);
}

void TestFrmEntri::cancelExitAndReopen()
{
    test::TestDatabase db;
    test::StandIn messages(Moment);
    FrmEntri *screen = open();
    for (int i = 0; i < Inputs.size(); ++i)
        setTextOf(test::findNamed(screen, Inputs.at(i)), i == 3 ? "01-01-2001" : i == 7 ? "02-02-2002" : "x");
    test::child<QComboBox>(screen, "Combo1")->setCurrentIndex(1);
    test::pressEnter(screen, "Combo1");
    test::child<QComboBox>(screen, "Combo2")->setCurrentIndex(0);
    test::pressEnter(screen, "Combo2");
    QCOMPARE(textOf(test::findNamed(screen, "Combo1")), QStringLiteral("PEREMPUAN"));

    test::click(screen, "cmdBatal");
    QCOMPARE(boxes(screen), QStringList({"", "", "", "01-01-2001", "", "", "", "02-02-2002", "", "", "", ""}));
    QCOMPARE(focusName(), QStringLiteral("txtnis"));
    QVERIFY(!enabled(screen, "cmdSimpan"));
    QVERIFY(enabled(screen, "CmdUpdate"));
    QCOMPARE(comboItems(screen, "Combo1"), QStringList({"Laki-laki", "Perempuan"}));
    QCOMPARE(comboItems(screen, "Combo2"), QStringList({"Islam", "Khatolik", "Protestan", "Hindu", "Budha"}));

    test::typeInto(screen, "Combo2", "kong hu cu");
    test::pressEnter(screen, "Combo2");
    ui::hideMainWindow();
    test::click(screen, "cmdKeluar");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!ui::openScreen<FrmEntri>());
    QVERIFY(ui::openScreen<FrmUtama>() && ui::openScreen<FrmUtama>()->isVisible());
    QCOMPARE(studentCount(db), 0);

    screen = open();
    QCOMPARE(boxes(screen), QStringList({"", "", "", EmptyDate, "", "", "", Today, "", "", "", ""}));
    QCOMPARE(comboItems(screen, "Combo1"), QStringList({"Laki-laki", "Perempuan"}));
    QCOMPARE(comboItems(screen, "Combo2"), QStringList({"Islam", "Khatolik", "Protestan", "Hindu", "Budha"}));
    QVERIFY(enabled(screen, "cmdSimpan") && enabled(screen, "CmdUpdate"));
}

void TestFrmEntri::quoteInNameSavesShowsAndUpdates()
{
    test::TestDatabase db;
    test::StandIn messages(Moment);
    FrmEntri *screen = open();
    test::typeInto(screen, "txtnis", "Q'1");
    test::pressEnter(screen, "txtnis");
    QCOMPARE(focusName(), QStringLiteral("txtnama"));
    test::typeInto(screen, "txtnama", "o'neil");
    test::pressEnter(screen, "txtnama");
    test::typeInto(screen, "txtalamat", "jl. 'x'); drop table SISWA; --");
    test::click(screen, "cmdSimpan");
    checkMessage(messages.last(), "Data Siswa Sudah Disimpan ", "Informasi", Icon::Information, Buttons::Ok);
    QCOMPARE(storedRow(db, "Q'1").mid(0, 5),
             QStringList({"Q'1", "O'NEIL", "", EmptyDate, "jl. 'x'); drop table SISWA; --"}));

    test::typeInto(screen, "txtnis", "q'1");
    test::pressEnter(screen, "txtnis");
    QCOMPARE(messages.count(), 3);
    QCOMPARE(textOf(test::findNamed(screen, "txtnama")), QStringLiteral("O'NEIL"));
    test::typeInto(screen, "txtnama", "D'ARCY O'NEIL");
    test::click(screen, "CmdUpdate");
    checkMessage(messages.last(), "Data Siswa Telah Diubah", "PELITAKSA", Icon::Information, Buttons::Ok);
    QCOMPARE(storedRow(db, "Q'1").value(1), QStringLiteral("D'ARCY O'NEIL"));
    QCOMPARE(studentCount(db), 1);
}

void TestFrmEntri::wildcardNisDeletesOnlyThatNis()
{
    test::TestDatabase db;
    test::StandIn messages(Moment);
    for (const char *nis : {"1%", "10", "12", "1_", "A1"})
        db.addStudent(QString::fromLatin1(nis));
    FrmEntri *screen = open();
    const auto remaining = [&db] {
        QStringList list;
        for (const QVariantList &row : db.rows("select NIS from SISWA order by " + test::exactly("NIS")))
            list << row.first().toString();
        return list;
    };

    // "%" matches no NIS: nothing is deleted, and the operator is told so.
    test::typeInto(screen, "txtnis", "%");
    test::click(screen, "CmdDelete");
    checkMessage(messages.last(), "Data siswa dengan NIS itu tidak ada.", "Pesan", Icon::Information, Buttons::Ok);
    QCOMPARE(textOf(test::findNamed(screen, "txtnis")), QStringLiteral("%"));
    QCOMPARE(remaining(), QStringList({"1%", "10", "12", "1_", "A1"}));
    // The NIS is selected in its box: the next one typed replaces it.
    test::typeAtFocus("1_");
    QCOMPARE(textOf(test::findNamed(screen, "txtnis")), QStringLiteral("1_"));
    test::click(screen, "CmdDelete");
    checkMessage(messages.last(), "Data telah dihapus", "Informasi", Icon::Information, Buttons::Ok);
    QCOMPARE(remaining(), QStringList({"1%", "10", "12", "A1"}));
    test::typeInto(screen, "txtnis", "1%");
    test::click(screen, "CmdDelete");
    QCOMPARE(remaining(), QStringList({"10", "12", "A1"}));
    test::typeInto(screen, "txtnis", "1");
    test::click(screen, "CmdDelete");
    QCOMPARE(remaining(), QStringList({"10", "12", "A1"}));
}

void TestFrmEntri::refusedStatementsKeepTheBoxes()
{
    test::TestDatabase db;
    test::StandIn messages(Moment);
    db.addStudent("AB7", "ANI");
    FrmEntri *screen = open();
    test::typeInto(screen, "txtnis", "AB7");
    test::pressEnter(screen, "txtnis");
    test::typeInto(screen, "txtnama", "CHANGED");
    const QStringList shown = boxes(screen);
    messages.clear();

    // The database refuses writes: Update, Save and Delete each say so, and
    // the boxes keep what the operator typed. The engine's words for it:
    const QRegularExpression ReadOnly(QStringLiteral("readonly|read-only"));
    db.setReadOnly(true);
    test::click(screen, "CmdUpdate");
    QCOMPARE(messages.count(), 1);
    QVERIFY2(messages.last().text.startsWith("Data siswa tidak dapat diubah.\r" + NotWritable + "\rDetail: "),
             qPrintable(messages.last().text));
    QVERIFY2(messages.last().text.contains(ReadOnly), qPrintable(messages.last().text));
    QCOMPARE(messages.last().icon, Icon::Critical);
    QCOMPARE(boxes(screen), shown);
    QCOMPARE(focusName(), QStringLiteral("txtnama"));

    test::pressEnter(screen, "txttelp"); // enables Save and moves there
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(messages.count(), 2);
    checkFailure(messages.last(), SaveFailed, NotWritable, Icon::None);
    QCOMPARE(boxes(screen), shown);

    test::click(screen, "CmdDelete");
    QCOMPARE(messages.count(), 4);
    QVERIFY2(messages.last().text.startsWith("Data siswa tidak dapat dihapus.\r" + NotWritable + "\rDetail: "),
             qPrintable(messages.last().text));
    QVERIFY(messages.last().text.contains(ReadOnly));
    QCOMPARE(boxes(screen), shown);
    QCOMPARE(storedRow(db, "AB7"), QStringList({"AB7", "ANI"}) + StoredRest);
    db.setReadOnly(false);

    // The table cannot be read: the lookup says why and changes nothing.
    QVERIFY(db.exec("alter table SISWA rename to SISWA_LAMA"));
    messages.clear();
    test::typeInto(screen, "txtnis", "AB7");
    const QStringList typed = boxes(screen);
    test::pressEnter(screen, "txtnis");
    QCOMPARE(messages.count(), 1);
    QVERIFY2(messages.last().text.startsWith("Data siswa tidak dapat dibaca.\r"), qPrintable(messages.last().text));
    QVERIFY(messages.last().text.contains("SISWA"));
    QCOMPARE(messages.last().icon, Icon::Critical);
    QCOMPARE(boxes(screen), typed);
    QCOMPARE(focusName(), QStringLiteral("txtnis"));
}

void TestFrmEntri::storedDateThatDoesNotFitKeepsTheBoxes()
{
    test::TestDatabase db;
    test::StandIn messages(Moment);
    QVERIFY(db.exec("insert into SISWA (NIS, NamaSiswa, TglLahir, TglMasuk) values ('N1', 'NONA', '1_-0_-2___', NULL)"));
    QVERIFY(db.exec("insert into SISWA (NIS, NamaSiswa, TglLahir) values ('N2', 'NINA', '2000-01-02')"));
    FrmEntri *screen = open();

    // A half-typed date and a missing one come back as they were stored.
    test::typeInto(screen, "txtnis", "N1");
    test::pressEnter(screen, "txtnis");
    QCOMPARE(messages.count(), 2);
    QCOMPARE(boxes(screen), QStringList({"N1", "NONA", "", "1_-0_-2___", "", "", "", EmptyDate, "", "", "", ""}));

    test::typeInto(screen, "txtnis", "N2");
    const QStringList before = boxes(screen);
    test::pressEnter(screen, "txtnis");
    QCOMPARE(messages.count(), 5);
    QCOMPARE(messages.last().text, QStringLiteral("Tanggal yang tersimpan tidak dapat ditampilkan: 2000-01-02"));
    QCOMPARE(messages.last().icon, Icon::Critical);
    QCOMPARE(boxes(screen), before);
    QCOMPARE(focusName(), QStringLiteral("txtnis"));
    QVERIFY(!enabled(screen, "cmdSimpan"));
}

QTEST_MAIN(TestFrmEntri)
#include "tst_frmentri.moc"
