// The grade entry screen driven by keys: opening state, the registration
// number check, the lookups, grading and quality points, Save, Update,
// Delete, Cancel and Exit, with the rows in a real database.
#include "app/FrmUtama.h"
#include "common/module1.h"
#include "db/connection.h"
#include "grades/frmtransaksi.h"
#include "testsupport.h"
#include "ui/datebox.h"
#include "ui/screens.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QSqlQuery>
#include <QTest>

using namespace pel;
using test::child;

namespace {

const QStringList AllBoxes{QStringLiteral("txtNoreg"),    QStringLiteral("txtnis"),      QStringLiteral("txtnama"),
                           QStringLiteral("txtprogram"),  QStringLiteral("txtlevel"),    QStringLiteral("txtkopel"),
                           QStringLiteral("txtmapel"),    QStringLiteral("txtsks"),      QStringLiteral("txtinstruktur"),
                           QStringLiteral("txtNilangka"), QStringLiteral("txtNilhuruf"), QStringLiteral("txtbobot"),
                           QStringLiteral("txtmutu"),     QStringLiteral("txtPredik"),   QStringLiteral("txtket")};

frmtransaksi *openGradeScreen()
{
    frmtransaksi *screen = ui::showScreen<frmtransaksi>();
    if (!QTest::qWaitForWindowActive(screen))
        qWarning("grade screen not active");
    return screen;
}

QString boxText(QWidget *root, const char *name)
{
    return child<QLineEdit>(root, QLatin1String(name))->text();
}

QString focusName()
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

// Enter on whatever has the focus, as the operator presses it.
void enterInFocus()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

// Types into the focused box, then presses Enter there.
void typeAndEnter(const QString &text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
    enterInFocus();
}

void addGradeRow(test::TestDatabase &db, const QString &noreg, const QString &subject)
{
    db.exec(QStringLiteral("insert into Nilai values ('%1', '01-12-2026', 'N1', 'KOMPUTER', 'DASAR', '%2', 3, "
                           "'BUDI', 85, 'A', 4, 12, 'Excellent', 'Lulus')")
                .arg(noreg, subject));
}

} // namespace

class TestFrmTransaksi : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void openingStateAndNumberCheck();
    void tabOrder();
    void lookups();
    void gradingKeys();
    void twoSubjectsThenSaveAgain();
    void longValuesShowTheirStartAndSaveItsMark();
    void retypedInfiniteScoreIsRefused();
    void indonesianScreenStoresNumbers();
    void updateOneSubjectOfTheNumber();
    void anotherDeskSavesAndUpdatesMeanwhile();
    void deleteAnsweredNoAndYes();
    void cancelTwiceDrawsSameNumber();
    void exitShowsMainWindow();

private:
    const QDateTime m_moment{QDate(2026, 12, 7), QTime(9, 30)};
};

void TestFrmTransaksi::initTestCase()
{
    // The scores below are typed with a decimal point.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestFrmTransaksi::cleanup()
{
    if (frmtransaksi *screen = ui::openScreen<frmtransaksi>())
        screen->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestFrmTransaksi::openingStateAndNumberCheck()
{
    test::TestDatabase db;
    test::StandIn messages(m_moment);
    db.addStudent(QStringLiteral("N1"));
    // The last row decides, not the largest number.
    addGradeRow(db, QStringLiteral("50"), QStringLiteral("M1"));
    addGradeRow(db, QStringLiteral("41"), QStringLiteral("M1"));

    frmtransaksi *screen = openGradeScreen();
    QCOMPARE(screen->windowTitle(), QStringLiteral("Proses Nilai Mahasiswa"));
    QCOMPARE(child<ui::DateBox>(screen, QStringLiteral("MstglProses"))->text(), QStringLiteral("07-12-2026"));
    QCOMPARE(boxText(screen, "txtNoreg"), QStringLiteral("42"));
    QCOMPARE(focusName(), QStringLiteral("txtNoreg"));

    // A free number moves on to the NIS.
    enterInFocus();
    QCOMPARE(messages.count(), 0);
    QCOMPARE(focusName(), QStringLiteral("txtnis"));

    // A taken one (letter case aside) says so and is selected for typing over.
    test::typeInto(screen, QStringLiteral("txtNoreg"), QStringLiteral("41"));
    enterInFocus();
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Noreg Tersebut Sudah Ada")});
    QCOMPARE(messages.last().title, ui::ApplicationTitle);
    QCOMPARE(messages.last().icon, ui::Icon::Information);
    QCOMPARE(messages.last().buttons, ui::Buttons::Ok);
    QCOMPARE(focusName(), QStringLiteral("txtNoreg"));
    QCOMPARE(child<QLineEdit>(screen, QStringLiteral("txtNoreg"))->selectedText(), QStringLiteral("41"));

    test::typeInto(screen, QStringLiteral("txtNoreg"), QString());
    enterInFocus();
    QCOMPARE(messages.last().text, QStringLiteral("Masukkan Nomor Registrasi !"));
    QCOMPARE(messages.last().title, QStringLiteral("Pesan"));
    QCOMPARE(messages.last().icon, ui::Icon::Critical);
    QCOMPARE(focusName(), QStringLiteral("txtNoreg"));

    // A check the database cannot answer says so, with its reason.
    test::typeInto(screen, QStringLiteral("txtNoreg"), QStringLiteral("43"));
    dbConnection.close();
    enterInFocus();
    QVERIFY(messages.last().text.startsWith(QStringLiteral("Salah Proses\r")));
    QVERIFY(messages.last().text.size() > QStringLiteral("Salah Proses\r").size());
    QCOMPARE(messages.last().icon, ui::Icon::Information);
    QCOMPARE(focusName(), QStringLiteral("txtNoreg"));
    QCOMPARE(boxText(screen, "txtNoreg"), QStringLiteral("43"));
}

void TestFrmTransaksi::tabOrder()
{
    test::TestDatabase db;
    test::StandIn messages;
    frmtransaksi *screen = openGradeScreen();
    const QStringList order{
        QStringLiteral("txtnis"),      QStringLiteral("txtnama"),     QStringLiteral("txtlevel"),
        QStringLiteral("txtprogram"),  QStringLiteral("cmdKeluar"),   QStringLiteral("cmdBatal"),
        QStringLiteral("cmdSimpan"),   QStringLiteral("txtmapel"),    QStringLiteral("txtkopel"),
        QStringLiteral("txtinstruktur"), QStringLiteral("txtsks"),    QStringLiteral("txtPredik"),
        QStringLiteral("txtbobot"),    QStringLiteral("txtNilangka"), QStringLiteral("txtNilhuruf"),
        QStringLiteral("txtket"),      QStringLiteral("txtNoreg"),    QStringLiteral("MstglProses"),
        QStringLiteral("CmdUpdate"),   QStringLiteral("CmdDelete"),   QStringLiteral("txtmutu"),
        QStringLiteral("txtnis")};
    child<QWidget>(screen, order.first())->setFocus(Qt::OtherFocusReason);
    QStringList visited{focusName()};
    for (int i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << focusName();
    }
    QCOMPARE(visited, order);
}

void TestFrmTransaksi::lookups()
{
    test::TestDatabase db;
    test::StandIn messages(m_moment);
    db.addStudent(QStringLiteral("N1"), QStringLiteral("ANI"));
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 3);
    frmtransaksi *screen = openGradeScreen();

    test::pressEnter(screen, QStringLiteral("txtnis"));
    QCOMPARE(messages.last().text, QStringLiteral("Masukkan Nomor Induk Siswa !"));
    QCOMPARE(messages.last().title, QStringLiteral("Pesan"));
    QCOMPARE(messages.last().icon, ui::Icon::Critical);
    QCOMPARE(focusName(), QStringLiteral("txtnis"));

    typeAndEnter(QStringLiteral("n1"));
    QCOMPARE(boxText(screen, "txtnama"), QStringLiteral("ANI"));
    QCOMPARE(boxText(screen, "txtprogram"), QStringLiteral("KOMPUTER"));
    QCOMPARE(boxText(screen, "txtlevel"), QStringLiteral("DASAR"));
    QCOMPARE(focusName(), QStringLiteral("txtkopel"));

    // A NIS with no student keeps what the found one filled in.
    messages.clear();
    test::typeInto(screen, QStringLiteral("txtnis"), QStringLiteral("N'9"));
    enterInFocus();
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Nis tersebut tidak ada...!")});
    QCOMPARE(messages.last().title, QStringLiteral("Pesan"));
    QCOMPARE(messages.last().icon, ui::Icon::Critical);
    QCOMPARE(focusName(), QStringLiteral("txtnis"));
    QCOMPARE(child<QLineEdit>(screen, QStringLiteral("txtnis"))->selectedText(), QStringLiteral("N'9"));
    QCOMPARE(boxText(screen, "txtnama"), QStringLiteral("ANI"));
    QCOMPARE(boxText(screen, "txtlevel"), QStringLiteral("DASAR"));

    test::pressEnter(screen, QStringLiteral("txtkopel"));
    QCOMPARE(messages.last().text, QStringLiteral("Masukkan Kode Pelajaran !"));
    QCOMPARE(focusName(), QStringLiteral("txtkopel"));
    typeAndEnter(QStringLiteral("M1"));
    QCOMPARE(boxText(screen, "txtmapel"), QStringLiteral("WORD"));
    QCOMPARE(boxText(screen, "txtsks"), QStringLiteral("3"));
    QCOMPARE(boxText(screen, "txtinstruktur"), QStringLiteral("BUDI"));
    QCOMPARE(focusName(), QStringLiteral("txtNilangka"));

    messages.clear();
    test::typeInto(screen, QStringLiteral("txtkopel"), QStringLiteral("M9"));
    enterInFocus();
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Kode tersebut tidak ada tersebut tidak ada...!")});
    QCOMPARE(messages.last().title, QStringLiteral("Pesan"));
    QCOMPARE(messages.last().icon, ui::Icon::Critical);
    QCOMPARE(focusName(), QStringLiteral("txtkopel"));
    QCOMPARE(child<QLineEdit>(screen, QStringLiteral("txtkopel"))->selectedText(), QStringLiteral("M9"));
    QCOMPARE(boxText(screen, "txtmapel"), QStringLiteral("WORD"));
    QCOMPARE(boxText(screen, "txtsks"), QStringLiteral("3"));
}

void TestFrmTransaksi::gradingKeys()
{
    test::TestDatabase db;
    test::StandIn messages;
    frmtransaksi *screen = openGradeScreen();
    const auto derived = [screen] {
        return QStringList{boxText(screen, "txtNilhuruf"), boxText(screen, "txtbobot"),
                           boxText(screen, "txtPredik"), boxText(screen, "txtket")};
    };

    test::typeInto(screen, QStringLiteral("txtNilangka"), QStringLiteral("79"));
    enterInFocus();
    QCOMPARE(derived(), (QStringList{QStringLiteral("B"), QStringLiteral("3"), QStringLiteral("Very Good"),
                                     QStringLiteral("Lulus")}));
    QCOMPARE(focusName(), QStringLiteral("txtmutu"));
    QCOMPARE(messages.count(), 0);

    // Neither an empty score nor one that is no number grades anything.
    for (const QString &score : {QString(), QStringLiteral("8O"), QStringLiteral("6.5.5")}) {
        messages.clear();
        test::typeInto(screen, QStringLiteral("txtNilangka"), score);
        enterInFocus();
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("Masukkan Nilai Angka !")});
        QCOMPARE(messages.last().title, QStringLiteral("Pesan"));
        QCOMPARE(messages.last().icon, ui::Icon::Critical);
        QCOMPARE(focusName(), QStringLiteral("txtNilangka"));
        QCOMPARE(derived().first(), QStringLiteral("B"));
    }

    // The quality points need a weight and credit units.
    messages.clear();
    test::typeInto(screen, QStringLiteral("txtmutu"), QStringLiteral("99"));
    enterInFocus();
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Isikan Nilai angka, kemudian silakan enter")});
    QCOMPARE(messages.last().title, ui::ApplicationTitle);
    QCOMPARE(messages.last().icon, ui::Icon::Information);
    QCOMPARE(boxText(screen, "txtmutu"), QStringLiteral("99"));
    QCOMPARE(focusName(), QStringLiteral("txtmutu"));

    test::typeInto(screen, QStringLiteral("txtsks"), QStringLiteral("2.5"));
    test::pressEnter(screen, QStringLiteral("txtmutu"));
    QCOMPARE(boxText(screen, "txtmutu"), QStringLiteral("7.5"));
    QCOMPARE(focusName(), QStringLiteral("cmdSimpan"));

    // A score is graded as the reports print it (59.5 prints as 60); above 100 fails.
    test::typeInto(screen, QStringLiteral("txtNilangka"), QStringLiteral(" 59.5 "));
    enterInFocus();
    QCOMPARE(derived(), (QStringList{QStringLiteral("C"), QStringLiteral("2"), QStringLiteral("Good"),
                                     QStringLiteral("Lulus")}));
    // The quality points wait for their own Enter.
    QCOMPARE(boxText(screen, "txtmutu"), QStringLiteral("7.5"));
    test::typeInto(screen, QStringLiteral("txtNilangka"), QStringLiteral("100.5"));
    enterInFocus();
    QCOMPARE(derived().first(), QStringLiteral("E"));
    enterInFocus();
    QCOMPARE(boxText(screen, "txtmutu"), QStringLiteral("0"));
}

void TestFrmTransaksi::twoSubjectsThenSaveAgain()
{
    test::TestDatabase db;
    test::StandIn messages(m_moment);
    db.addStudent(QStringLiteral("N1"), QStringLiteral("ANI"));
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 3);
    db.addSubject(QStringLiteral("M2"), QStringLiteral("EXCEL"), 2);
    frmtransaksi *screen = openGradeScreen();

    // The whole round by keys alone: number, NIS, subject, score, points, Save.
    enterInFocus();
    typeAndEnter(QStringLiteral("N1"));
    typeAndEnter(QStringLiteral("M1"));
    typeAndEnter(QStringLiteral("85"));
    enterInFocus();
    QCOMPARE(boxText(screen, "txtmutu"), QStringLiteral("12"));
    QCOMPARE(focusName(), QStringLiteral("cmdSimpan"));
    enterInFocus();
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Data Nilai Sudah di Simpan")});
    QCOMPARE(messages.last().title, ui::ApplicationTitle);
    QCOMPARE(messages.last().icon, ui::Icon::None);
    QCOMPARE(focusName(), QStringLiteral("txtkopel"));
    for (const char *name : {"txtkopel", "txtmapel", "txtsks", "txtinstruktur", "txtNilangka", "txtNilhuruf",
                             "txtbobot", "txtmutu", "txtPredik", "txtket"})
        QVERIFY2(boxText(screen, name).isEmpty(), name);
    QCOMPARE(boxText(screen, "txtNoreg"), QStringLiteral("1"));
    QCOMPARE(boxText(screen, "txtnama"), QStringLiteral("ANI"));
    QCOMPARE(boxText(screen, "txtprogram"), QStringLiteral("KOMPUTER"));

    typeAndEnter(QStringLiteral("M2"));
    typeAndEnter(QStringLiteral("62"));
    enterInFocus();
    enterInFocus();
    QCOMPARE(messages.count(), 2);
    QCOMPARE(db.gradeRows(),
             (QList<QVariantList>{
                 {QStringLiteral("1"), QStringLiteral("07-12-2026"), QStringLiteral("N1"), QStringLiteral("KOMPUTER"),
                  QStringLiteral("DASAR"), QStringLiteral("M1"), 3.0, QStringLiteral("BUDI"), 85.0, QStringLiteral("A"),
                  4.0, 12.0, QStringLiteral("Excellent"), QStringLiteral("Lulus")},
                 {QStringLiteral("1"), QStringLiteral("07-12-2026"), QStringLiteral("N1"), QStringLiteral("KOMPUTER"),
                  QStringLiteral("DASAR"), QStringLiteral("M2"), 2.0, QStringLiteral("BUDI"), 62.0, QStringLiteral("C"),
                  2.0, 4.0, QStringLiteral("Good"), QStringLiteral("Lulus")}}));

    // Save again with the grade boxes emptied: refused, nothing stored, nothing lost.
    test::typeInto(screen, QStringLiteral("txtkopel"), QStringLiteral("M1"));
    test::click(screen, QStringLiteral("cmdSimpan"));
    QCOMPARE(messages.count(), 3);
    QVERIFY(messages.last().text.startsWith(QStringLiteral("SALAH PROSES, Isikan dengan benar\r")));
    QCOMPARE(messages.last().title, ui::ApplicationTitle);
    QCOMPARE(messages.last().icon, ui::Icon::Information);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai")).toInt(), 2);
    QCOMPARE(boxText(screen, "txtkopel"), QStringLiteral("M1"));
    QCOMPARE(boxText(screen, "txtNoreg"), QStringLiteral("1"));
    QCOMPARE(boxText(screen, "txtnis"), QStringLiteral("N1"));
    QCOMPARE(focusName(), QStringLiteral("txtkopel"));
}

void TestFrmTransaksi::longValuesShowTheirStartAndSaveItsMark()
{
    test::TestDatabase db;
    test::StandIn messages(m_moment);
    db.addStudent(QStringLiteral("N1"), QStringLiteral("RADEN AJENG KARTINI DJOJOADHININGRAT SOEROJO"));
    db.addSubject(QStringLiteral("M1"), QStringLiteral("PENGANTAR KOMPUTER DAN APLIKASI PERKANTORAN MODERN"), 3);
    frmtransaksi *screen = openGradeScreen();

    enterInFocus();
    typeAndEnter(QStringLiteral("N1"));
    typeAndEnter(QStringLiteral("M1"));
    typeAndEnter(QStringLiteral("85"));
    enterInFocus();
    QCOMPARE(messages.count(), 0);
    QCOMPARE(focusName(), QStringLiteral("cmdSimpan"));
    // Save shows its focus mark although Tab was never pressed.
    QVERIFY(test::showsFocusMark(QApplication::focusWidget()));
    for (const QString &name : AllBoxes) {
        QLineEdit *box = child<QLineEdit>(screen, name);
        if (!box->text().isEmpty() && !box->hasFocus())
            QVERIFY2(test::firstShownCharacter(box) == 0, qPrintable(name));
    }
    QCOMPARE(boxText(screen, "txtmapel"), QStringLiteral("PENGANTAR KOMPUTER DAN APLIKASI PERKANTORAN MODERN"));
}

void TestFrmTransaksi::retypedInfiniteScoreIsRefused()
{
    test::TestDatabase db;
    test::StandIn messages(m_moment);
    db.addStudent(QStringLiteral("N1"), QStringLiteral("ANI"));
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 3);
    frmtransaksi *screen = openGradeScreen();
    enterInFocus();
    typeAndEnter(QStringLiteral("N1"));
    typeAndEnter(QStringLiteral("M1"));
    typeAndEnter(QStringLiteral("85"));
    enterInFocus();
    // The score is typed over after the grade was derived from it.
    test::typeInto(screen, QStringLiteral("txtNilangka"), QStringLiteral("1e309"));
    test::click(screen, QStringLiteral("cmdSimpan"));
    QCOMPARE(messages.count(), 1);
    QVERIFY(messages.last().text.startsWith(QStringLiteral("SALAH PROSES, Isikan dengan benar\r")));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai")).toInt(), 0);
    QCOMPARE(boxText(screen, "txtNilangka"), QStringLiteral("1e309"));
}

void TestFrmTransaksi::indonesianScreenStoresNumbers()
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Indonesian, QLocale::Indonesia));
    test::TestDatabase db;
    test::StandIn messages(m_moment);
    db.addStudent(QStringLiteral("N1"));
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 2.5);
    frmtransaksi *screen = openGradeScreen();

    test::typeInto(screen, QStringLiteral("txtnis"), QStringLiteral("N1"));
    enterInFocus();
    typeAndEnter(QStringLiteral("M1"));
    const QString credits = boxText(screen, "txtsks");
    typeAndEnter(QStringLiteral("79,5"));
    const QString letter = boxText(screen, "txtNilhuruf");
    enterInFocus();
    const QString points = boxText(screen, "txtmutu");
    enterInFocus();
    QLocale::setDefault(previous);

    QCOMPARE(credits, QStringLiteral("2,5"));
    QCOMPARE(letter, QStringLiteral("A"));
    QCOMPARE(points, QStringLiteral("10"));
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Data Nilai Sudah di Simpan")});
    // The score is stored as typed; only its grade follows the printed 80.
    QCOMPARE(db.rows(QStringLiteral("select SKS, Nilangka, Bobot, Mutu from Nilai")),
             (QList<QVariantList>{{2.5, 79.5, 4.0, 10.0}}));
}

void TestFrmTransaksi::updateOneSubjectOfTheNumber()
{
    test::TestDatabase db;
    test::StandIn messages(m_moment);
    db.addStudent(QStringLiteral("N1"));
    addGradeRow(db, QStringLiteral("7"), QStringLiteral("M1"));
    addGradeRow(db, QStringLiteral("8"), QStringLiteral("M1"));
    addGradeRow(db, QStringLiteral("7"), QStringLiteral("M2"));
    addGradeRow(db, QStringLiteral("7"), QStringLiteral("M3"));
    db.exec(QStringLiteral("update Nilai set SKS = 2 where Noreg = '7' and KdMatpel = 'M2'"));
    frmtransaksi *screen = openGradeScreen();

    test::typeInto(screen, QStringLiteral("txtNoreg"), QStringLiteral("7"));
    test::typeInto(screen, QStringLiteral("txtkopel"), QStringLiteral("M2"));
    test::typeInto(screen, QStringLiteral("txtsks"), QStringLiteral("3"));
    test::typeInto(screen, QStringLiteral("txtNilangka"), QStringLiteral("45"));
    enterInFocus();
    enterInFocus();
    test::click(screen, QStringLiteral("CmdUpdate"));
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Data Nilai Telah Diubah")});
    QCOMPARE(messages.last().title, ui::ApplicationTitle);
    QCOMPARE(messages.last().icon, ui::Icon::Information);
    // Only the row of number 7 and subject M2 changes, its quality points
    // from its own credit units (1 x 2, not the 3 the box shows).
    const auto stored = [&db] {
        return db.gradeRows(QStringLiteral("Noreg, KdMatpel, TglProses, Nilangka, Nilhu, Bobot, Mutu, Prediket, Ket"));
    };
    const QVariantList untouched{QStringLiteral("01-12-2026"), 85.0, QStringLiteral("A"), 4.0, 12.0,
                                 QStringLiteral("Excellent"), QStringLiteral("Lulus")};
    const auto row = [](const char *noreg, const char *code, const QVariantList &rest) {
        return QVariantList{QString::fromLatin1(noreg), QString::fromLatin1(code)} + rest;
    };
    const QList<QVariantList> expected{
        row("7", "M1", untouched), row("8", "M1", untouched),
        row("7", "M2", {QStringLiteral("07-12-2026"), 45.0, QStringLiteral("D"), 1.0, 2.0, QStringLiteral("Bad"),
                        QStringLiteral("Failed")}),
        row("7", "M3", untouched)};
    QCOMPARE(stored(), expected);
    QCOMPARE(boxText(screen, "txtNilangka"), QStringLiteral("45"));

    // A subject the number does not have: nothing changes, the operator is
    // told so, and the boxes stay.
    messages.clear();
    test::typeInto(screen, QStringLiteral("txtkopel"), QStringLiteral("M9"));
    test::click(screen, QStringLiteral("CmdUpdate"));
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral("Data nilai dengan nomor registrasi dan kode mapel itu tidak ada.")});
    QCOMPARE(messages.last().title, QStringLiteral("Pesan"));
    QCOMPARE(messages.last().icon, ui::Icon::Information);
    QCOMPARE(stored(), expected);
    QCOMPARE(boxText(screen, "txtkopel"), QStringLiteral("M9"));
    QCOMPARE(boxText(screen, "txtNilangka"), QStringLiteral("45"));
    // The number has grades, so the subject code is the key selected for
    // the next one typed.
    test::typeAtFocus(QStringLiteral("M8"));
    QCOMPARE(boxText(screen, "txtkopel"), QStringLiteral("M8"));
    test::typeInto(screen, QStringLiteral("txtkopel"), QStringLiteral("M2"));
    messages.clear();

    // A refused update says so and keeps the boxes.
    db.setReadOnly(true);
    test::click(screen, QStringLiteral("CmdUpdate"));
    QCOMPARE(messages.count(), 1);
    QVERIFY(messages.last().text.startsWith(QStringLiteral("SALAH PROSES, Isikan dengan benar\r")));
    QCOMPARE(messages.last().icon, ui::Icon::Information);
    QCOMPARE(boxText(screen, "txtNoreg"), QStringLiteral("7"));
    QCOMPARE(boxText(screen, "txtmutu"), QStringLiteral("3"));
}

void TestFrmTransaksi::anotherDeskSavesAndUpdatesMeanwhile()
{
    test::TestDatabase db;
    test::StandIn messages(m_moment);
    db.addStudent(QStringLiteral("N1"), QStringLiteral("ANI"));
    db.addStudent(QStringLiteral("N2"), QStringLiteral("BUDI"));
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 3);
    addGradeRow(db, QStringLiteral("6"), QStringLiteral("M1"));
    frmtransaksi *screen = openGradeScreen();
    QCOMPARE(boxText(screen, "txtNoreg"), QStringLiteral("7"));
    db::Connection other;
    QVERIFY(other.open(db.target()).ok());
    const auto otherDesk = [&other](const QString &sql) { return QSqlQuery(other.database()).exec(sql); };

    // The other desk drew 7 as well and saves student N2 under it first.
    enterInFocus();
    typeAndEnter(QStringLiteral("N1"));
    QVERIFY(otherDesk(QStringLiteral("insert into Nilai values ('7', '07-12-2026', 'N2', 'KOMPUTER', 'DASAR', 'M1', 3, "
                                     "'BUDI', 70, 'B', 3, 9, 'Very Good', 'Lulus')")));
    typeAndEnter(QStringLiteral("M1"));
    typeAndEnter(QStringLiteral("85"));
    enterInFocus();
    enterInFocus();
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral("Nomor registrasi 7 sudah dipakai siswa lain; nilai disimpan dengan nomor 8.")});
    QCOMPARE(messages.last().icon, ui::Icon::Information);
    QCOMPARE(boxText(screen, "txtNoreg"), QStringLiteral("8"));
    QCOMPARE(db.gradeRows(QStringLiteral("Noreg, Nis")),
             (QList<QVariantList>{{QStringLiteral("6"), QStringLiteral("N1")},
                                  {QStringLiteral("7"), QStringLiteral("N2")},
                                  {QStringLiteral("8"), QStringLiteral("N1")}}));

    // This desk looks up the subject again to correct the score; meanwhile
    // the other desk changes that row: the Update writes nothing and shows
    // the stored values.
    messages.clear();
    typeAndEnter(QStringLiteral("M1"));
    QVERIFY(otherDesk(QStringLiteral("update Nilai set Nilangka = 72.5, Nilhu = 'B' where Noreg = '8'")));
    typeAndEnter(QStringLiteral("45"));
    enterInFocus();
    test::click(screen, QStringLiteral("CmdUpdate"));
    QCOMPARE(messages.texts(),
             QStringList{QStringLiteral("Data telah diubah di komputer lain. Data yang tersimpan ditampilkan kembali.")});
    QCOMPARE(messages.last().title, QStringLiteral("Pesan"));
    QCOMPARE(messages.last().icon, ui::Icon::Information);
    const auto score = [&db] { return db.scalar(QStringLiteral("select Nilangka from Nilai where Noreg = '8'")); };
    QCOMPARE(score(), QVariant(72.5));
    QCOMPARE(boxText(screen, "txtNilangka"), QStringLiteral("72.5"));
    QCOMPARE(boxText(screen, "txtNilhuruf"), QStringLiteral("B"));
    QCOMPARE(boxText(screen, "txtmutu"), QStringLiteral("12"));

    // Updated again against what is now shown, it goes through, and once more.
    messages.clear();
    test::typeInto(screen, QStringLiteral("txtNilangka"), QStringLiteral("45"));
    enterInFocus();
    test::click(screen, QStringLiteral("CmdUpdate"));
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Data Nilai Telah Diubah")});
    QCOMPARE(score(), QVariant(45.0));
    test::click(screen, QStringLiteral("CmdUpdate"));
    QCOMPARE(messages.texts().last(), QStringLiteral("Data Nilai Telah Diubah"));
}

void TestFrmTransaksi::deleteAnsweredNoAndYes()
{
    test::TestDatabase db;
    test::StandIn messages;
    db.addStudent(QStringLiteral("N1"));
    for (const char *noreg : {"7", "7", "71", "%", "8"})
        addGradeRow(db, QString::fromLatin1(noreg), QStringLiteral("M1"));
    frmtransaksi *screen = openGradeScreen();
    test::typeInto(screen, QStringLiteral("txtNoreg"), QStringLiteral("7"));

    messages.plan(ui::Answer::No);
    test::click(screen, QStringLiteral("CmdDelete"));
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Benar data akan dihapus ?")});
    QCOMPARE(messages.last().title, ui::ApplicationTitle);
    QCOMPARE(messages.last().icon, ui::Icon::None);
    QCOMPARE(messages.last().buttons, ui::Buttons::YesNo);
    QCOMPARE(messages.last().defaultButton, ui::Answer::No); // a stray Enter deletes nothing
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai")).toInt(), 5);

    messages.clear();
    test::click(screen, QStringLiteral("CmdDelete"));
    QCOMPARE(messages.texts(), (QStringList{QStringLiteral("Benar data akan dihapus ?"), QStringLiteral("Data telah dihapus")}));
    QCOMPARE(messages.last().title, QStringLiteral("Informasi"));
    QCOMPARE(messages.last().icon, ui::Icon::Information);
    QCOMPARE(db.gradeRows(QStringLiteral("Noreg")),
             (QList<QVariantList>{{QStringLiteral("71")}, {QStringLiteral("%")}, {QStringLiteral("8")}}));
    QCOMPARE(boxText(screen, "txtNoreg"), QStringLiteral("7"));

    // A number without rows: nothing is deleted, and the operator is told so.
    messages.clear();
    test::typeInto(screen, QStringLiteral("txtNoreg"), QStringLiteral("99"));
    test::click(screen, QStringLiteral("CmdDelete"));
    QCOMPARE(messages.texts(), (QStringList{QStringLiteral("Benar data akan dihapus ?"),
                                            QStringLiteral("Data nilai dengan nomor registrasi itu tidak ada.")}));
    QCOMPARE(messages.last().title, QStringLiteral("Pesan"));
    QCOMPARE(messages.last().icon, ui::Icon::Information);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai")).toInt(), 3);
    QCOMPARE(boxText(screen, "txtNoreg"), QStringLiteral("99"));
    // The number is selected in its box: the next one typed replaces it.
    test::typeAtFocus(QStringLiteral("98"));
    QCOMPARE(boxText(screen, "txtNoreg"), QStringLiteral("98"));
    test::typeInto(screen, QStringLiteral("txtNoreg"), QStringLiteral("99"));

    // A refused delete says so and keeps the rows and the box.
    db.setReadOnly(true);
    messages.clear();
    test::typeInto(screen, QStringLiteral("txtNoreg"), QStringLiteral("8"));
    test::click(screen, QStringLiteral("CmdDelete"));
    QCOMPARE(messages.count(), 2);
    QVERIFY(messages.last().text.startsWith(QStringLiteral("SALAH PROSES, Isikan dengan benar\r")));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai")).toInt(), 3);
    QCOMPARE(boxText(screen, "txtNoreg"), QStringLiteral("8"));
}

void TestFrmTransaksi::cancelTwiceDrawsSameNumber()
{
    test::TestDatabase db;
    test::StandIn messages(m_moment);
    db.addStudent(QStringLiteral("N1"));
    addGradeRow(db, QStringLiteral("9"), QStringLiteral("M1"));
    frmtransaksi *screen = openGradeScreen();

    for (const QString &name : AllBoxes)
        test::typeInto(screen, name, QStringLiteral("X"));
    auto *date = child<ui::DateBox>(screen, QStringLiteral("MstglProses"));
    date->clearToMask();
    test::typeInto(screen, QStringLiteral("txtnama"), QStringLiteral("Y"));
    for (int round = 0; round < 2; ++round) {
        test::click(screen, QStringLiteral("cmdBatal"));
        QCOMPARE(boxText(screen, "txtNoreg"), QStringLiteral("10"));
        QCOMPARE(date->text(), QStringLiteral("07-12-2026"));
        for (const QString &name : AllBoxes.mid(1))
            QVERIFY2(child<QLineEdit>(screen, name)->text().isEmpty(), qPrintable(name));
        QCOMPARE(focusName(), QStringLiteral("txtnama"));
    }
    QCOMPARE(messages.count(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai")).toInt(), 1);
}

void TestFrmTransaksi::exitShowsMainWindow()
{
    test::TestDatabase db;
    test::StandIn messages;
    frmtransaksi *screen = openGradeScreen();
    ui::showMainWindow();
    ui::hideMainWindow();
    QVERIFY(!ui::openScreen<FrmUtama>()->isVisible());
    test::pressEnter(screen, QStringLiteral("cmdKeluar"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!ui::openScreen<frmtransaksi>());
    QVERIFY(ui::openScreen<FrmUtama>());
    QVERIFY(ui::openScreen<FrmUtama>()->isVisible());
    ui::openScreen<FrmUtama>()->close();
    // A fresh screen loads anew.
    screen = openGradeScreen();
    QCOMPARE(boxText(screen, "txtNoreg"), QStringLiteral("1"));
}

QTEST_MAIN(TestFrmTransaksi)
#include "tst_frmtransaksi.moc"
