// The class grade screen driven by keys and by paste: the subject lookup, the
// class, scores whose derived cells follow as they are typed, a bad score
// that blocks saving, new rows beside the grade screen's own, a grade changed
// in place, the question before unsaved changes are dropped, and the menu
// item behind its access level.
#include "app/FrmUtama.h"
#include "common/module1.h"
#include "grades/classgrademodel.h"
#include "grades/frmnilaikelas.h"
#include "grades/frmtransaksi.h"
#include "testsupport.h"
#include "ui/datebox.h"
#include "ui/screens.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QTableView>
#include <QTest>

using namespace pel;
using grades::ClassGradeModel;
using test::child;

namespace {

QString focusName()
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

// Keys typed where the focus is, one by one, as the operator types them.
void typeKeys(const QString &text)
{
    for (const QChar c : text)
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
}

void enterInFocus()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    test::settle();
}

void typeAndEnter(const QString &text)
{
    typeKeys(text);
    enterInFocus();
}

void addStudentIn(test::TestDatabase &db, const QString &nis, const QString &programme)
{
    db.exec(QStringLiteral("insert into SISWA (NIS, NamaSiswa, ProgamJurusan, LevelTahap) values "
                           "('%1', 'NAMA %1', '%2', 'DASAR')")
                .arg(nis, programme));
}

frmnilaikelas *openClassScreen()
{
    frmnilaikelas *screen = ui::showScreen<frmnilaikelas>();
    if (!QTest::qWaitForWindowActive(screen))
        qWarning("class grade screen not active");
    return screen;
}

QTableView *grid(QWidget *screen)
{
    return child<QTableView>(screen, QStringLiteral("dgNilai"));
}

QString cell(QWidget *screen, int row, int column)
{
    return grid(screen)->model()->index(row, column).data().toString();
}

int currentRow(QWidget *screen)
{
    return grid(screen)->currentIndex().row();
}

// Subject, then Enter through programme, level and NIS prefix: the class in the grid.
void showClass(frmnilaikelas *screen, const QString &subject, const QString &programme = {})
{
    test::typeInto(screen, QStringLiteral("txtkopel"), subject);
    enterInFocus();
    auto *programmes = child<QComboBox>(screen, QStringLiteral("cmbProgram"));
    QCOMPARE(focusName(), QStringLiteral("cmbProgram"));
    if (!programme.isEmpty())
        programmes->setCurrentIndex(programmes->findText(programme));
    enterInFocus();
    QCOMPARE(focusName(), QStringLiteral("cmbLevel"));
    enterInFocus();
    QCOMPARE(focusName(), QStringLiteral("txtawalnis"));
    enterInFocus();
}

QList<QVariantList> gradeRows(test::TestDatabase &db)
{
    return db.gradeRows(db.gradeKey() + QStringLiteral(", ") + test::GradeColumns);
}

} // namespace

class TestFrmNilaiKelas : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void keysDriveTheGrid();
    void sameRowAsTheGradeScreen();
    void storedGradeChangedInPlace();
    void pasteAndFillEmpty();
    void unsavedChangesAskFirst();
    void keepingScoresKeepsTheirSubject();
    void pasteLongerThanTheClassSaysSo();
    void menuItemFollowsAccessLevel();

private:
    const QDateTime m_moment{QDate(2026, 12, 7), QTime(9, 30)};
};

void TestFrmNilaiKelas::cleanup()
{
    // Deleted, not closed: no question about unsaved scores once a test is over.
    delete ui::openScreen<frmnilaikelas>();
    if (frmtransaksi *screen = ui::openScreen<frmtransaksi>())
        screen->close();
    if (FrmUtama *main = ui::openScreen<FrmUtama>())
        main->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestFrmNilaiKelas::keysDriveTheGrid()
{
    test::TestDatabase db;
    test::StandIn messages(m_moment);
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 3);
    for (const char *nis : {"N3", "N1", "N2"})
        addStudentIn(db, QLatin1String(nis), QStringLiteral("KOMPUTER"));
    addStudentIn(db, QStringLiteral("A9"), QStringLiteral("AKUNTANSI"));

    frmnilaikelas *screen = openClassScreen();
    QCOMPARE(screen->windowTitle(), QStringLiteral("Entri Nilai Kelas"));
    QCOMPARE(child<ui::DateBox>(screen, QStringLiteral("MstglProses"))->text(), QStringLiteral("07-12-2026"));
    QCOMPARE(focusName(), QStringLiteral("txtkopel"));
    auto *programmes = child<QComboBox>(screen, QStringLiteral("cmbProgram"));
    QCOMPARE(programmes->count(), 3);
    QCOMPARE(programmes->itemText(0), QStringLiteral("(Semua)"));
    QCOMPARE(programmes->itemText(2), QStringLiteral("KOMPUTER"));

    // The grade screen's subject lookup and its messages.
    enterInFocus();
    QCOMPARE(messages.last().text, QStringLiteral("Masukkan Kode Pelajaran !"));
    QCOMPARE(messages.last().title, QStringLiteral("Pesan"));
    QCOMPARE(messages.last().icon, ui::Icon::Critical);
    typeAndEnter(QStringLiteral("M9"));
    QCOMPARE(messages.last().text, QStringLiteral("Kode tersebut tidak ada tersebut tidak ada...!"));
    QCOMPARE(focusName(), QStringLiteral("txtkopel"));
    messages.clear();

    showClass(screen, QStringLiteral("m1"), QStringLiteral("KOMPUTER"));
    QCOMPARE(messages.count(), 0);
    QCOMPARE(child<QLineEdit>(screen, QStringLiteral("txtmapel"))->text(), QStringLiteral("WORD"));
    QCOMPARE(child<QLineEdit>(screen, QStringLiteral("txtsks"))->text(), QStringLiteral("3"));
    QCOMPARE(child<QLineEdit>(screen, QStringLiteral("txtinstruktur"))->text(), QStringLiteral("BUDI"));
    QCOMPARE(grid(screen)->model()->rowCount(), 3);
    QCOMPARE(cell(screen, 0, ClassGradeModel::Nis), QStringLiteral("N1"));
    QCOMPARE(cell(screen, 2, ClassGradeModel::Nis), QStringLiteral("N3"));
    QCOMPARE(child<QLabel>(screen, QStringLiteral("lblJumlah"))->text(), QStringLiteral("Jumlah siswa : 3"));
    QCOMPARE(focusName(), QStringLiteral("dgNilai"));
    QCOMPARE(grid(screen)->currentIndex().column(), int(ClassGradeModel::Score));

    // The derived cells follow each key, before Enter.
    typeKeys(QStringLiteral("8"));
    QCOMPARE(cell(screen, 0, ClassGradeModel::Letter), QStringLiteral("E"));
    typeKeys(QStringLiteral("5"));
    QCOMPARE(cell(screen, 0, ClassGradeModel::Letter), QStringLiteral("A"));
    QCOMPARE(cell(screen, 0, ClassGradeModel::Points), QStringLiteral("12"));
    QCOMPARE(cell(screen, 0, ClassGradeModel::Remark), QStringLiteral("Lulus"));
    enterInFocus();
    QCOMPARE(currentRow(screen), 1);
    QCOMPARE(cell(screen, 0, ClassGradeModel::Score), QStringLiteral("85"));

    // A score that is no number is marked and blocks saving.
    typeAndEnter(QStringLiteral("5x"));
    QCOMPARE(currentRow(screen), 2);
    const QModelIndex bad = grid(screen)->model()->index(1, ClassGradeModel::Score);
    QVERIFY(bad.data(ClassGradeModel::InvalidRole).toBool());
    QCOMPARE(cell(screen, 1, ClassGradeModel::Letter), QString());
    test::click(screen, QStringLiteral("cmdSimpan"));
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Nilai angka siswa NIS N2 tidak valid !")});
    QCOMPARE(messages.last().icon, ui::Icon::Critical);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai")).toInt(), 0);
    QCOMPARE(currentRow(screen), 1);
    QCOMPARE(focusName(), QStringLiteral("dgNilai"));

    // Escape gives the cell back what it held.
    typeKeys(QStringLiteral("99"));
    QCOMPARE(cell(screen, 1, ClassGradeModel::Letter), QStringLiteral("A"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    test::settle();
    QCOMPARE(cell(screen, 1, ClassGradeModel::Score), QStringLiteral("5x"));
    QCOMPARE(focusName(), QStringLiteral("dgNilai"));

    // Mended, it saves.
    typeAndEnter(QStringLiteral("55"));
    QVERIFY(!bad.data(ClassGradeModel::InvalidRole).toBool());
    QCOMPARE(cell(screen, 1, ClassGradeModel::Predicate), QStringLiteral("Bad"));
    QCOMPARE(currentRow(screen), 2);
    messages.clear();
    test::click(screen, QStringLiteral("cmdSimpan"));
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Data Nilai Sudah di Simpan\rDitambah : 2\rDiubah : 0")});
    QCOMPARE(messages.last().icon, ui::Icon::Information);
    QCOMPARE(db.gradeRows(QStringLiteral("Noreg, Nis, Nilangka, Nilhu")),
             (QList<QVariantList>{{"1", "N1", 85.0, "A"}, {"2", "N2", 55.0, "D"}}));

    // Saved is saved: nothing left to write, and closing asks nothing.
    messages.clear();
    test::click(screen, QStringLiteral("cmdSimpan"));
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Tidak ada nilai yang ditambah atau diubah")});
    messages.clear();
    test::click(screen, QStringLiteral("cmdKeluar"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(messages.count(), 0);
    QVERIFY(!ui::openScreen<frmnilaikelas>());
}

void TestFrmNilaiKelas::sameRowAsTheGradeScreen()
{
    test::TestDatabase db;
    test::StandIn messages(m_moment);
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 2.5);
    db.addStudent(QStringLiteral("N1"));
    db.addStudent(QStringLiteral("N2"));
    // Typed in the locale the program runs in: "75.5", or "75,5" in Indonesian.
    const QString score = QLocale().toString(75.5);

    // The grade screen: N1, subject and score, Enter by Enter, then Save.
    frmtransaksi *single = ui::showScreen<frmtransaksi>();
    QVERIFY(QTest::qWaitForWindowActive(single));
    enterInFocus();
    typeAndEnter(QStringLiteral("N1"));
    typeAndEnter(QStringLiteral("m1"));
    typeAndEnter(score);
    enterInFocus();
    enterInFocus();
    QCOMPARE(messages.last().text, QStringLiteral("Data Nilai Sudah di Simpan"));
    single->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The class screen: the same subject, date and score for N2.
    frmnilaikelas *screen = openClassScreen();
    showClass(screen, QStringLiteral("m1"));
    QCOMPARE(cell(screen, 0, ClassGradeModel::Nis), QStringLiteral("N1"));
    QCOMPARE(cell(screen, 0, ClassGradeModel::Score), score);
    test::pressEnter(screen, QStringLiteral("dgNilai"));
    test::settle();
    QCOMPARE(currentRow(screen), 1);
    typeAndEnter(score);
    QCOMPARE(cell(screen, 1, ClassGradeModel::Points), QLocale().toString(7.5));
    test::click(screen, QStringLiteral("cmdSimpan"));
    QCOMPARE(messages.last().text, QStringLiteral("Data Nilai Sudah di Simpan\rDitambah : 1\rDiubah : 0"));

    const QList<QVariantList> rows = db.gradeRows();
    QCOMPARE(rows.size(), 2);
    // The number the grade screen would have drawn next, then every value but the student alike.
    QCOMPARE(rows.at(0).at(0), QVariant(QStringLiteral("1")));
    QCOMPARE(rows.at(1).at(0), QVariant(QStringLiteral("2")));
    QCOMPARE(rows.at(0).at(2), QVariant(QStringLiteral("N1")));
    QCOMPARE(rows.at(1).at(2), QVariant(QStringLiteral("N2")));
    QCOMPARE(rows.at(1).mid(3), rows.at(0).mid(3));
    QCOMPARE(rows.at(1).at(1), rows.at(0).at(1));
    QCOMPARE(rows.at(1).at(8), QVariant(75.5));
    QCOMPARE(rows.at(1).at(11), QVariant(7.5));
}

void TestFrmNilaiKelas::storedGradeChangedInPlace()
{
    test::TestDatabase db;
    test::StandIn messages(m_moment);
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 3);
    db.addStudent(QStringLiteral("N1"));
    db.addStudent(QStringLiteral("N2"));
    db.exec(QStringLiteral("insert into Nilai values ('9', '01-12-2026', 'N1', 'KOMPUTER', 'DASAR', 'M1', 3, 'BUDI', "
                           "50, 'D', 1, 3, 'Bad', 'Failed')"));
    db.exec(QStringLiteral("insert into Nilai values ('9', '01-12-2026', 'N1', 'KOMPUTER', 'DASAR', 'M2', 3, 'BUDI', "
                           "50, 'D', 1, 3, 'Bad', 'Failed')"));
    const QList<QVariantList> before = gradeRows(db);

    frmnilaikelas *screen = openClassScreen();
    showClass(screen, QStringLiteral("M1"));
    QCOMPARE(cell(screen, 0, ClassGradeModel::Score), QStringLiteral("50"));
    QCOMPARE(cell(screen, 0, ClassGradeModel::Letter), QStringLiteral("D"));
    // Typing replaces the stored score.
    typeAndEnter(QStringLiteral("88"));
    QCOMPARE(cell(screen, 0, ClassGradeModel::Score), QStringLiteral("88"));
    typeAndEnter(QStringLiteral("61"));

    // One refused row and nothing of the save is written; the grid keeps what was typed.
    db.refuseGradesOf(QStringLiteral("N2"));
    test::click(screen, QStringLiteral("cmdSimpan"));
    QVERIFY(messages.last().text.startsWith(QStringLiteral("SALAH PROSES, Isikan dengan benar\r")));
    QVERIFY(messages.last().text.contains(QLatin1String("N2")));
    QVERIFY(messages.last().text.contains(QLatin1String("ditolak untuk uji")));
    QCOMPARE(gradeRows(db), before);
    QCOMPARE(cell(screen, 0, ClassGradeModel::Score), QStringLiteral("88"));
    QCOMPARE(cell(screen, 1, ClassGradeModel::Score), QStringLiteral("61"));

    db.allowGrades();
    test::click(screen, QStringLiteral("cmdSimpan"));
    QCOMPARE(messages.last().text, QStringLiteral("Data Nilai Sudah di Simpan\rDitambah : 1\rDiubah : 1"));

    const QList<QVariantList> after = gradeRows(db);
    QCOMPARE(after.size(), 3);
    QCOMPARE(after.at(2).mid(1, 3), (QVariantList{"10", "07-12-2026", "N2"}));
    QCOMPARE(after.at(0), (QVariantList{1, "9", "07-12-2026", "N1", "KOMPUTER", "DASAR", "M1", 3.0, "BUDI", 88.0, "A",
                                        4.0, 12.0, "Excellent", "Lulus"}));
    QCOMPARE(after.at(1), before.at(1));
}

void TestFrmNilaiKelas::pasteAndFillEmpty()
{
    test::TestDatabase db;
    test::StandIn messages;
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 3);
    for (const char *nis : {"N1", "N2", "N3", "N4"})
        db.addStudent(QLatin1String(nis));
    frmnilaikelas *screen = openClassScreen();
    showClass(screen, QStringLiteral("M1"));

    // A column copied from a spreadsheet, pasted from the second student down.
    QGuiApplication::clipboard()->setText(QStringLiteral("70\r\n80\r\n"));
    enterInFocus();
    QCOMPARE(currentRow(screen), 1);
    QTest::keyClick(grid(screen), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(cell(screen, 1, ClassGradeModel::Score), QStringLiteral("70"));
    QCOMPARE(cell(screen, 2, ClassGradeModel::Score), QStringLiteral("80"));
    QCOMPARE(cell(screen, 2, ClassGradeModel::Letter), QStringLiteral("A"));
    QCOMPARE(currentRow(screen), 2);

    // The context action puts the current score into every empty cell.
    auto *fill = child<QAction>(screen, QStringLiteral("mnuIsiKosong"));
    QVERIFY(grid(screen)->actions().contains(fill));
    QTest::keyClick(grid(screen), Qt::Key_I, Qt::ControlModifier);
    QCOMPARE(cell(screen, 0, ClassGradeModel::Score), QStringLiteral("80"));
    QCOMPARE(cell(screen, 1, ClassGradeModel::Score), QStringLiteral("70"));
    QCOMPARE(cell(screen, 3, ClassGradeModel::Score), QStringLiteral("80"));
    QCOMPARE(messages.count(), 0);
}

void TestFrmNilaiKelas::unsavedChangesAskFirst()
{
    test::TestDatabase db;
    test::StandIn messages;
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 3);
    db.addStudent(QStringLiteral("N1"));
    frmnilaikelas *screen = openClassScreen();
    showClass(screen, QStringLiteral("M1"));
    typeAndEnter(QStringLiteral("77"));

    // Showing the class again, and closing, ask; No keeps every score, and
    // No is what Enter answers. The question stands on a line of its own,
    // its "?" held to its last word.
    messages.plan(ui::Answer::No);
    test::click(screen, QStringLiteral("cmdTampil"));
    QCOMPARE(messages.last().text,
             QStringLiteral("Nilai yang diubah belum disimpan.\rTampilkan kelas tanpa menyimpan\u00a0?"));
    QCOMPARE(messages.last().buttons, ui::Buttons::YesNo);
    QCOMPARE(messages.last().defaultButton, ui::Answer::No);
    messages.plan(ui::Answer::No);
    test::click(screen, QStringLiteral("cmdKeluar"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(messages.last().text, QStringLiteral("Nilai yang diubah belum disimpan.\rTutup tanpa menyimpan\u00a0?"));
    QCOMPARE(messages.last().defaultButton, ui::Answer::No);
    QCOMPARE(ui::openScreen<frmnilaikelas>(), screen);
    QVERIFY(screen->isVisible());
    QCOMPARE(cell(screen, 0, ClassGradeModel::Score), QStringLiteral("77"));
    // Ending the whole program asks too; No keeps the screen and the program.
    messages.plan(ui::Answer::No);
    QVERIFY(!ui::closeAllAndQuit());
    QVERIFY(screen->isVisible());

    // Yes closes without writing.
    messages.plan(ui::Answer::Yes);
    screen->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!ui::openScreen<frmnilaikelas>());
    QCOMPARE(messages.count(), 4);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai")).toInt(), 0);
}

void TestFrmNilaiKelas::keepingScoresKeepsTheirSubject()
{
    test::TestDatabase db;
    test::StandIn messages;
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 3);
    db.addSubject(QStringLiteral("M2"), QStringLiteral("EXCEL"), 2);
    db.addStudent(QStringLiteral("N1"));
    frmnilaikelas *screen = openClassScreen();
    showClass(screen, QStringLiteral("M1"));
    typeAndEnter(QStringLiteral("77"));

    // Another subject while scores are unsaved: No keeps the scores, and the
    // box shows the subject they belong to again, ready to be typed over.
    messages.plan(ui::Answer::No);
    test::typeInto(screen, QStringLiteral("txtkopel"), QStringLiteral("M2"));
    enterInFocus();
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text,
             QStringLiteral("Nilai yang diubah belum disimpan.\rGanti mata pelajaran tanpa menyimpan\u00a0?"));
    QCOMPARE(messages.last().defaultButton, ui::Answer::No);
    auto *code = child<QLineEdit>(screen, QStringLiteral("txtkopel"));
    QCOMPARE(code->text(), QStringLiteral("M1"));
    QCOMPARE(code->selectedText(), QStringLiteral("M1"));
    QCOMPARE(focusName(), QStringLiteral("txtkopel"));
    QCOMPARE(child<QLineEdit>(screen, QStringLiteral("txtmapel"))->text(), QStringLiteral("WORD"));
    QCOMPARE(cell(screen, 0, ClassGradeModel::Score), QStringLiteral("77"));

    // Save writes the scores to the subject the screen shows.
    test::click(screen, QStringLiteral("cmdSimpan"));
    QCOMPARE(db.rows(QStringLiteral("select KdMatpel, Nilangka from Nilai")), (QList<QVariantList>{{"M1", 77}}));
}

void TestFrmNilaiKelas::pasteLongerThanTheClassSaysSo()
{
    test::TestDatabase db;
    test::StandIn messages;
    db.addSubject(QStringLiteral("M1"), QStringLiteral("WORD"), 3);
    for (const char *nis : {"N1", "N2", "N3"})
        db.addStudent(QLatin1String(nis));
    frmnilaikelas *screen = openClassScreen();
    showClass(screen, QStringLiteral("M1"));

    // Four scores pasted from the second of three students: two fit.
    QGuiApplication::clipboard()->setText(QStringLiteral("70\n80\n90\n60\n"));
    enterInFocus();
    QTest::keyClick(grid(screen), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(cell(screen, 1, ClassGradeModel::Score), QStringLiteral("70"));
    QCOMPARE(cell(screen, 2, ClassGradeModel::Score), QStringLiteral("80"));
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, QStringLiteral("2 nilai ditempel. 2 nilai terakhir tidak ditempel: daftar siswa "
                                                  "di bawah sel yang dipilih sudah habis."));
    QCOMPARE(messages.last().icon, ui::Icon::Warning);

    // A paste that fits says nothing.
    QGuiApplication::clipboard()->setText(QStringLiteral("50\n"));
    QTest::keyClick(grid(screen), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(messages.count(), 1);
}

void TestFrmNilaiKelas::menuItemFollowsAccessLevel()
{
    test::TestDatabase db;
    test::StandIn messages;
    db.addOperator(QStringLiteral("entri"), QStringLiteral("SITI"), QStringLiteral("e1"), QStringLiteral("Entri"));
    db.addOperator(QStringLiteral("act"), QStringLiteral("DEWI"), QStringLiteral("a1"), QStringLiteral("Activasi"));
    auto *window = static_cast<FrmUtama *>(ui::showMainWindow());
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto login = [window](const QString &user, const QString &password) {
        test::click(window, QStringLiteral("CmdLogin"));
        test::typeInto(window, QStringLiteral("txtUser"), user);
        test::pressEnter(window, QStringLiteral("txtUser"));
        test::typeInto(window, QStringLiteral("txtPass"), password);
        test::pressEnter(window, QStringLiteral("txtPass"));
        test::pressEnter(window, QStringLiteral("cmdOK"));
    };
    auto *item = child<QAction>(window, QStringLiteral("entrankelas"));
    auto *proses = child<QMenu>(window, QStringLiteral("trans1"));
    QVERIFY(proses->actions().contains(item));
    QVERIFY(!proses->menuAction()->isEnabled());

    login(QStringLiteral("entri"), QStringLiteral("e1"));
    QVERIFY(!proses->menuAction()->isEnabled());
    test::click(window, QStringLiteral("CmdLogout"));

    login(QStringLiteral("act"), QStringLiteral("a1"));
    QCOMPARE(messages.count(), 0);
    QVERIFY(proses->menuAction()->isEnabled());
    item->trigger();
    QCoreApplication::processEvents();
    frmnilaikelas *screen = ui::openScreen<frmnilaikelas>();
    QVERIFY(screen);
    QVERIFY(QTest::qWaitForWindowActive(screen));
    QCOMPARE(focusName(), QStringLiteral("txtkopel"));
    QVERIFY(window->isVisible());
}

QTEST_MAIN(TestFrmNilaiKelas)
#include "tst_frmnilaikelas.moc"
