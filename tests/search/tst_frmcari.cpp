// The student search screen driven by keys and clicks on real databases.
#include "common/module1.h"
#include "search/FrmCari.h"
#include "testsupport.h"
#include "ui/screens.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>

using namespace pel;
using test::child;

namespace {

const QStringList SearchButtonNames{"cmdnis",      "Cmdnama",        "cmdalamat",       "CmdProgram",
                                    "CmdTglMasuk", "cmdtptlahir",    "cmdasalsekolah",  "Cmdjeniskelamin",
                                    "CmdJekel",    "Cmdagama",       "cmdtgllahir"};

// The search buttons that can be seen.
QStringList visibleSearchButtons(QWidget *form)
{
    QStringList names;
    for (const QString &name : SearchButtonNames)
        if (child<QPushButton>(form, name)->isVisible())
            names << name;
    return names;
}

QString label(QWidget *form)
{
    return child<QLabel>(form, QStringLiteral("lblTgl"))->text();
}

QTableView *grid(QWidget *form)
{
    return child<QTableView>(form, QStringLiteral("dgData"));
}

// The grid's rows as NIS values.
QStringList gridNis(QWidget *form)
{
    QAbstractItemModel *model = grid(form)->model();
    QStringList nis;
    for (int row = 0; row < model->rowCount(); ++row)
        nis << model->index(row, 0).data().toString();
    return nis;
}

} // namespace

class TestFrmCari : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void opensWithNisButtonOnly();
    void tabOrderSkipsHiddenButtons();
    void searchTextEnterRule();
    void categoryBringsItsButtonForward_data();
    void categoryBringsItsButtonForward();
    void resetAfterCategoryShowsNisButtonAgain();
    void foundSearchFillsGrid();
    void notFoundKeepsPreviousRows_data();
    void notFoundKeepsPreviousRows();
    void listAllAndRecordBar();
    void listAllOnEmptyTable();
    void recordBarWithoutOpenResult();
    void quoteInSearchText();
    void failingSearchIsReported();
    void exitShowsMainWindow();
    void hundredThousandStudents();

private:
    FrmCari *open();
    void chooseCategory(const QString &entry);
    void search(const QString &text, const QString &category);

    FrmCari *m_form = nullptr;
    test::StandIn *m_standIn = nullptr;
};

void TestFrmCari::init()
{
    m_standIn = new test::StandIn;
}

void TestFrmCari::cleanup()
{
    for (QWidget *window : QApplication::topLevelWidgets())
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_form = nullptr;
    delete m_standIn;
    m_standIn = nullptr;
}

// Opens the screen as the main window's "&Cari Data" item does.
FrmCari *TestFrmCari::open()
{
    m_form = ui::showScreen<FrmCari>();
    m_form->resetSearchButtons();
    child(m_form, QStringLiteral("textData"))->setFocus();
    if (!QTest::qWaitForWindowActive(m_form))
        qWarning("search screen not active");
    return m_form;
}

// Picks the entry of the category list with the arrow keys.
void TestFrmCari::chooseCategory(const QString &entry)
{
    auto *combo = child<QComboBox>(m_form, QStringLiteral("CmbOrder"));
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < combo->count() && combo->currentText() != entry; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), entry);
}

// Types the text, Enter, picks the category and presses Enter on the search
// button it brought forward.
void TestFrmCari::search(const QString &text, const QString &category)
{
    test::typeInto(m_form, QStringLiteral("textData"), text);
    test::pressEnter(m_form, QStringLiteral("textData"));
    chooseCategory(category);
    QWidget *button = QApplication::focusWidget();
    QVERIFY(button);
    QCOMPARE(button->metaObject()->className(), "QPushButton");
    QTest::keyClick(button, Qt::Key_Return);
}

void TestFrmCari::opensWithNisButtonOnly()
{
    test::TestDatabase db;
    open();
    QCOMPARE(m_form->objectName(), QStringLiteral("FrmCari"));
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Search Data"));
    QCOMPARE(visibleSearchButtons(m_form), QStringList{"cmdnis"});
    QVERIFY(child(m_form, QStringLiteral("cmdnis"))->isEnabled());
    QCOMPARE(child<QComboBox>(m_form, QStringLiteral("CmbOrder"))->currentText(), QString());
    QCOMPARE(grid(m_form)->model()->rowCount(), 0);
    QCOMPARE(label(m_form), QString());
    QCOMPARE(QApplication::focusWidget(), child(m_form, QStringLiteral("textData")));
}

// Tab visits the controls in the screen's order; the hidden search buttons
// are skipped, the one brought forward takes its own place in the order.
void TestFrmCari::tabOrderSkipsHiddenButtons()
{
    test::TestDatabase db;
    db.addStudent(QStringLiteral("1001"), QStringLiteral("BUDI"));
    open();
    const auto visit = [this](const QStringList &order) {
        child(m_form, order.first())->setFocus(Qt::OtherFocusReason);
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        return visited;
    };
    const QStringList beforeChoice{"dgData",  "cmdRef",  "AwlResi",  "MdrResi", "MjuResi", "AkhResi",
                                   "cmdKeluar", "CmbOrder", "textData", "cmdnis",  "dgData"};
    QCOMPARE(visit(beforeChoice), beforeChoice);

    // A grid with rows still hands Tab on to the next control.
    QTest::mouseClick(child<QPushButton>(m_form, QStringLiteral("cmdRef")), Qt::LeftButton);
    QCOMPARE(grid(m_form)->model()->rowCount(), 1);
    chooseCategory(QStringLiteral("Jurusan"));
    const QStringList afterChoice{"dgData",  "cmdRef",  "AwlResi",    "MdrResi",  "MjuResi", "AkhResi",
                                  "cmdKeluar", "CmdProgram", "CmbOrder", "textData", "dgData"};
    QCOMPARE(visit(afterChoice), afterChoice);
}

void TestFrmCari::searchTextEnterRule()
{
    test::TestDatabase db;
    test::StandIn &messages = *m_standIn;
    open();
    auto *box = child<QLineEdit>(m_form, QStringLiteral("textData"));
    test::pressEnter(m_form, QStringLiteral("textData"));
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, QStringLiteral("Silakan Inputkan kategori pencarian data !"));
    QCOMPARE(messages.last().title, QStringLiteral("Pesan"));
    QCOMPARE(messages.last().icon, ui::Icon::Critical);
    QCOMPARE(QApplication::focusWidget(), box);

    test::typeInto(m_form, QStringLiteral("textData"), QStringLiteral("budi santoso"));
    test::pressEnter(m_form, QStringLiteral("textData"));
    QCOMPARE(messages.count(), 1);
    QCOMPARE(box->text(), QStringLiteral("BUDI SANTOSO"));
    QCOMPARE(QApplication::focusWidget(), child(m_form, QStringLiteral("CmbOrder")));
}

void TestFrmCari::categoryBringsItsButtonForward_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("button");
    QTest::newRow("NIS") << "NIS" << "cmdnis";
    QTest::newRow("Nama") << "Nama" << "Cmdnama";
    QTest::newRow("Alamat") << "Alamat" << "cmdalamat";
    QTest::newRow("Jurusan") << "Jurusan" << "CmdProgram";
    QTest::newRow("Tgl Masuk") << "Tgl Masuk" << "CmdTglMasuk";
    QTest::newRow("Tempat Lahir") << "Tempat Lahir" << "cmdtptlahir";
    QTest::newRow("Asal Sekolah") << "Asal Sekolah" << "cmdasalsekolah";
    QTest::newRow("Jenis Kelamin") << "Jenis Kelamin" << "Cmdjeniskelamin";
    QTest::newRow("Agama") << "Agama" << "Cmdagama";
    QTest::newRow("Tgl Lahir") << "Tgl Lahir" << "cmdtgllahir";
}

void TestFrmCari::categoryBringsItsButtonForward()
{
    QFETCH(QString, category);
    QFETCH(QString, button);
    test::TestDatabase db;
    open();
    // Start from another category, so that every button is hidden and shown again.
    chooseCategory(category == QStringLiteral("Agama") ? QStringLiteral("Nama") : QStringLiteral("Agama"));
    child(m_form, button)->setEnabled(false);
    chooseCategory(category);
    QCOMPARE(visibleSearchButtons(m_form), QStringList{button});
    QVERIFY(child(m_form, button)->isEnabled());
    QCOMPARE(QApplication::focusWidget(), child(m_form, button));
    QVERIFY(!child(m_form, QStringLiteral("CmdJekel"))->isVisible());
}

void TestFrmCari::resetAfterCategoryShowsNisButtonAgain()
{
    test::TestDatabase db;
    open();
    chooseCategory(QStringLiteral("Jurusan"));
    QCOMPARE(visibleSearchButtons(m_form), QStringList{"CmdProgram"});
    // Choosing "&Cari Data" again while the screen is open.
    QCOMPARE(ui::showScreen<FrmCari>(), m_form);
    m_form->resetSearchButtons();
    QCOMPARE(visibleSearchButtons(m_form), QStringList{"cmdnis"});
    QVERIFY(child(m_form, QStringLiteral("cmdnis"))->isEnabled());
}

void TestFrmCari::foundSearchFillsGrid()
{
    test::TestDatabase db;
    test::StandIn &messages = *m_standIn;
    db.addStudent(QStringLiteral("1001"), QStringLiteral("BUDI"));
    db.addStudent(QStringLiteral("1002"), QStringLiteral("ANI"));
    open();
    search(QStringLiteral("1002"), QStringLiteral("NIS"));
    QCOMPARE(messages.count(), 0);
    QCOMPARE(gridNis(m_form), QStringList{"1002"});
    QAbstractItemModel *model = grid(m_form)->model();
    QCOMPARE(model->columnCount(), 12);
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("NIS"));
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("NamaSiswa"));
    QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("ANI"));
    QCOMPARE(grid(m_form)->currentIndex().row(), 0);
    QCOMPARE(label(m_form), QStringLiteral("Record ke-1 dari 1"));

    // A date of birth compares as the stored dd-mm-yyyy text.
    search(QStringLiteral("01-02-2000"), QStringLiteral("Tgl Lahir"));
    QCOMPARE(messages.count(), 0);
    QCOMPARE(gridNis(m_form), (QStringList{"1001", "1002"}));
    QCOMPARE(label(m_form), QStringLiteral("Record ke-1 dari 2"));
}

void TestFrmCari::notFoundKeepsPreviousRows_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("line1");
    QTest::addColumn<QString>("line2");
    QTest::newRow("NIS") << "NIS" << "9999" << "Data Not Found From Database"
                         << "Data tidak ditemukan dalam database siswa!";
    QTest::newRow("part of a name") << "Nama" << "BUD" << "Data tidak ketemu ...!"
                                    << "Teknologi Informasi Penangan data Siswa!";
    QTest::newRow("Jurusan") << "Jurusan" << "AKUNTANSI" << "Data tidak ketemu ...!"
                             << "Teknologi Informasi Penangan data siswa!";
    QTest::newRow("Tempat Lahir") << "Tempat Lahir" << "BANDUNG" << "Data tidak ketemu ...!"
                                  << "Data tidak ketemu dalam database siswa!";
    QTest::newRow("Tgl Lahir") << "Tgl Lahir" << "1-2-2000" << "Data tidak ketemu ...!"
                               << "Aplication program for suplying stock of inventories!";
}

void TestFrmCari::notFoundKeepsPreviousRows()
{
    QFETCH(QString, category);
    QFETCH(QString, text);
    QFETCH(QString, line1);
    QFETCH(QString, line2);
    test::TestDatabase db;
    test::StandIn &messages = *m_standIn;
    db.addStudent(QStringLiteral("1001"), QStringLiteral("BUDI"));
    db.addStudent(QStringLiteral("1002"), QStringLiteral("ANI"));
    open();
    test::click(m_form, QStringLiteral("cmdRef"));
    QCOMPARE(gridNis(m_form).size(), 2);

    search(text, category);
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.last().text, line1 + QLatin1Char('\r') + line2);
    QCOMPARE(messages.last().title, QStringLiteral("Not Found"));
    QCOMPARE(messages.last().icon, ui::Icon::Critical);
    QCOMPARE(messages.last().buttons, ui::Buttons::Ok);
    QCOMPARE(gridNis(m_form).size(), 2);
    QCOMPARE(label(m_form), QStringLiteral("Record ke-0 dari 0"));
}

void TestFrmCari::listAllAndRecordBar()
{
    test::TestDatabase db;
    test::StandIn &messages = *m_standIn;
    for (const char *nis : {"001", "AB1", "0"})
        db.addStudent(QString::fromLatin1(nis));
    open();
    QTest::keyClick(child(m_form, QStringLiteral("cmdRef")), Qt::Key_Return);
    QCOMPARE(messages.count(), 0);
    QStringList nis = gridNis(m_form);
    nis.sort();
    QCOMPARE(nis, (QStringList{"0", "001", "AB1"}));
    QCOMPARE(label(m_form), QStringLiteral("Record ke-1 dari 3"));

    test::click(m_form, QStringLiteral("AkhResi"));
    QCOMPARE(label(m_form), QStringLiteral("Record ke-3 dari 3"));
    QCOMPARE(grid(m_form)->currentIndex().row(), 2);
    test::click(m_form, QStringLiteral("MjuResi"));
    QCOMPARE(m_standIn->beeps(), 1);
    QCOMPARE(label(m_form), QStringLiteral("Record ke-3 dari 3"));
    QCOMPARE(grid(m_form)->currentIndex().row(), 2);

    test::click(m_form, QStringLiteral("MdrResi"));
    QCOMPARE(label(m_form), QStringLiteral("Record ke-2 dari 3"));
    QCOMPARE(grid(m_form)->currentIndex().row(), 1);
    test::click(m_form, QStringLiteral("AwlResi"));
    QCOMPARE(label(m_form), QStringLiteral("Record ke-1 dari 3"));
    QCOMPARE(grid(m_form)->currentIndex().row(), 0);
    test::click(m_form, QStringLiteral("MdrResi"));
    QCOMPARE(m_standIn->beeps(), 2);
    QCOMPARE(label(m_form), QStringLiteral("Record ke-1 dari 3"));
    test::click(m_form, QStringLiteral("MjuResi"));
    QCOMPARE(m_standIn->beeps(), 2);
    QCOMPARE(label(m_form), QStringLiteral("Record ke-2 dari 3"));

    // Picking a row in the grid makes it the current row of the result.
    grid(m_form)->setFocus();
    QTest::keyClick(grid(m_form), Qt::Key_Down);
    QCOMPARE(label(m_form), QStringLiteral("Record ke-3 dari 3"));
    QCOMPARE(messages.count(), 0);
}

void TestFrmCari::listAllOnEmptyTable()
{
    test::TestDatabase db;
    test::StandIn &messages = *m_standIn;
    open();
    test::click(m_form, QStringLiteral("cmdRef"));
    QCOMPARE(messages.texts(), QStringList{"Data Not Found From Database\rTransaction !"});
    QCOMPARE(messages.last().title, QStringLiteral("Not Found"));
    QCOMPARE(messages.last().icon, ui::Icon::Critical);
    QCOMPARE(label(m_form), QStringLiteral("Record ke-0 dari 0"));
    QCOMPARE(grid(m_form)->model()->rowCount(), 0);

    // First and Last need rows; Next on the empty result stays and does not beep.
    test::click(m_form, QStringLiteral("AwlResi"));
    QCOMPARE(messages.count(), 2);
    QCOMPARE(messages.last().text, QStringLiteral("Hasil tidak berisi baris."));
    QCOMPARE(messages.last().title, QStringLiteral("PELITAKSA"));
    QCOMPARE(messages.last().icon, ui::Icon::None);
    test::click(m_form, QStringLiteral("MjuResi"));
    QCOMPARE(messages.count(), 2);
    QCOMPARE(m_standIn->beeps(), 0);
    QCOMPARE(label(m_form), QStringLiteral("Record ke-0 dari 0"));
}

void TestFrmCari::recordBarWithoutOpenResult()
{
    test::TestDatabase db;
    test::StandIn &messages = *m_standIn;
    db.addStudent(QStringLiteral("1"));
    // Before any search there is no result to move through.
    open();
    for (const char *name : {"AwlResi", "MdrResi", "MjuResi", "AkhResi"}) {
        messages.clear();
        test::click(m_form, QString::fromLatin1(name));
        QCOMPARE(messages.texts(), QStringList{"Tidak ada hasil yang terbuka."});
        QCOMPARE(messages.last().title, QStringLiteral("PELITAKSA"));
        QCOMPARE(messages.last().icon, ui::Icon::None);
        QCOMPARE(label(m_form), QString());
    }
    QCOMPARE(m_standIn->beeps(), 0);
}

void TestFrmCari::quoteInSearchText()
{
    test::TestDatabase db;
    test::StandIn &messages = *m_standIn;
    db.addStudent(QStringLiteral("Q1"), QStringLiteral("O'NEIL"));
    db.addStudent(QStringLiteral("Q2"), QStringLiteral("ONEIL"));
    open();
    search(QStringLiteral("o'neil"), QStringLiteral("Nama"));
    QCOMPARE(child<QLineEdit>(m_form, QStringLiteral("textData"))->text(), QStringLiteral("O'NEIL"));
    QCOMPARE(messages.count(), 0);
    QCOMPARE(gridNis(m_form), QStringList{"Q1"});
    QCOMPARE(label(m_form), QStringLiteral("Record ke-1 dari 1"));
}

void TestFrmCari::failingSearchIsReported()
{
    test::TestDatabase db;
    test::StandIn &messages = *m_standIn;
    db.addStudent(QStringLiteral("1001"));
    open();
    search(QStringLiteral("1001"), QStringLiteral("NIS"));
    QCOMPARE(label(m_form), QStringLiteral("Record ke-1 dari 1"));

    dbConnection.close();
    test::click(m_form, QStringLiteral("cmdnis"));
    QCOMPARE(messages.texts(), QStringList{"Data siswa tidak dapat dicari.\rSebab: database menolak perintah.\r"
                                           "Detail: Database belum terbuka."});
    QCOMPARE(messages.last().icon, ui::Icon::Critical);
    QCOMPARE(gridNis(m_form), QStringList{"1001"});
    QCOMPARE(label(m_form), QString());
    messages.clear();
    test::click(m_form, QStringLiteral("cmdRef"));
    QCOMPARE(messages.texts(), QStringList{"Data siswa tidak dapat dicari.\rSebab: database menolak perintah.\r"
                                           "Detail: Database belum terbuka."});
    QCOMPARE(gridNis(m_form), QStringList{"1001"});
}

void TestFrmCari::exitShowsMainWindow()
{
    test::TestDatabase db;
    open();
    QPointer<FrmCari> form = m_form;
    QTest::keyClick(child(m_form, QStringLiteral("cmdKeluar")), Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(form.isNull());
    QVERIFY(!ui::openScreen<FrmCari>());
    QWidget *main = ui::showMainWindow();
    QVERIFY(main && main->isVisible());
}

void TestFrmCari::hundredThousandStudents()
{
    test::TestDatabase db;
    test::StandIn &messages = *m_standIn;
    QVERIFY(db.exec(QStringLiteral("begin")));
    QSqlQuery insert(dbConnection.database());
    QVERIFY(insert.prepare(QStringLiteral("insert into SISWA (NIS, NamaSiswa) values (?, ?)")));
    for (int i = 1; i <= 100000; ++i) {
        insert.addBindValue(QString::number(i));
        insert.addBindValue(QStringLiteral("SISWA %1").arg(i));
        QVERIFY(insert.exec());
    }
    QVERIFY(db.exec(QStringLiteral("commit")));
    open();
    test::click(m_form, QStringLiteral("cmdRef"));
    QCOMPARE(messages.count(), 0);
    QCOMPARE(grid(m_form)->model()->rowCount(), 100000);
    QCOMPARE(label(m_form), QStringLiteral("Record ke-1 dari 100000"));
    test::click(m_form, QStringLiteral("AkhResi"));
    QCOMPARE(label(m_form), QStringLiteral("Record ke-100000 dari 100000"));
    QCOMPARE(grid(m_form)->currentIndex().row(), 99999);
    test::settle();
    QTableView *view = grid(m_form);
    QCOMPARE(view->rowAt(view->viewport()->height() / 2) >= 0, true);
    QVERIFY(view->visualRect(view->currentIndex()).intersects(view->viewport()->rect()));
}

QTEST_MAIN(TestFrmCari)
#include "tst_frmcari.moc"
