// The "Impor / Ekspor Data" screen: who may do what, checking before
// importing, importing and exporting.
#include "app/FrmUtama.h"
#include "common/module1.h"
#include "spreadsheetfiles.h"
#include "testsupport.h"
#include "transfer/FrmTransfer.h"
#include "ui/screens.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace pel;
using test::child;

class TestFrmTransfer : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void rightsFollowTheLogin_data();
    void rightsFollowTheLogin();
    void checkBeforeImport();
    void exportsTheChosenTable();
    void proposesWorkbookAndReadsIt();
};

static void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void TestFrmTransfer::cleanup()
{
    if (auto *screen = ui::openScreen<FrmTransfer>())
        screen->close();
    if (auto *main = ui::openScreen<FrmUtama>())
        main->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestFrmTransfer::rightsFollowTheLogin_data()
{
    QTest::addColumn<QString>("level");
    // Import of students, subjects, grades; export.
    QTest::addColumn<QList<bool>>("allowed");
    QTest::newRow("Entri") << "Entri" << QList<bool>{true, true, false, true};
    QTest::newRow("Operator") << "Operator" << QList<bool>{false, false, false, true};
    QTest::newRow("Activasi") << "Activasi" << QList<bool>{false, false, true, true};
    QTest::newRow("Manager") << "Manager" << QList<bool>{true, true, true, true};
}

void TestFrmTransfer::rightsFollowTheLogin()
{
    QFETCH(QString, level);
    QFETCH(QList<bool>, allowed);
    test::TestDatabase db;
    test::StandIn messages;
    db.addOperator(QStringLiteral("user"), QStringLiteral("NAMA"), QStringLiteral("pw"), level);
    auto *window = static_cast<FrmUtama *>(ui::showMainWindow());
    test::click(window, QStringLiteral("CmdLogin"));
    test::typeInto(window, QStringLiteral("txtUser"), QStringLiteral("user"));
    test::pressEnter(window, QStringLiteral("txtUser"));
    test::typeInto(window, QStringLiteral("txtPass"), QStringLiteral("pw"));
    test::pressEnter(window, QStringLiteral("txtPass"));
    test::pressEnter(window, QStringLiteral("cmdOK"));
    QCOMPARE(messages.count(), 0);

    auto *item = child<QAction>(window, QStringLiteral("imporekspor"));
    QVERIFY(item && item->isEnabled());
    item->trigger();
    FrmTransfer *screen = ui::openScreen<FrmTransfer>();
    QVERIFY(screen && screen->isVisible());
    QCOMPARE(screen->windowTitle(), QStringLiteral("Impor / Ekspor Data"));
    QVERIFY(window->isVisible());

    auto *tables = child<QComboBox>(screen, QStringLiteral("cmbTabel"));
    auto *missing = child<QLabel>(screen, QStringLiteral("lblSyarat"));
    QCOMPARE(tables->count(), 3);
    const QStringList menus{"File", "File", "Proses Data"};
    for (int t = 0; t < 3; ++t) {
        tables->setCurrentIndex(t);
        QCOMPARE(child<QPushButton>(screen, QStringLiteral("cmdPeriksa"))->isEnabled(), allowed[t]);
        // What a check still lacks is said beside the buttons: the rights, or a file.
        QVERIFY(missing->isVisible());
        QCOMPARE(missing->text(), allowed[t] ? QStringLiteral("Pilih file .xlsx atau .csv yang akan diperiksa.")
                                             : QStringLiteral("Impor data %1 memerlukan hak akses menu %2; login "
                                                              "Anda tidak memilikinya.")
                                                   .arg(tables->itemText(t), menus.at(t)));
        QCOMPARE(child<QPushButton>(screen, QStringLiteral("cmdPeriksa"))->toolTip(), missing->text());
        QVERIFY(!child<QPushButton>(screen, QStringLiteral("cmdImpor"))->isEnabled()); // nothing checked yet
        QCOMPARE(child<QPushButton>(screen, QStringLiteral("cmdEkspor"))->isEnabled(), allowed[3]);
    }

    // Brought up again after a logout, it allows nothing.
    test::click(window, QStringLiteral("CmdLogout"));
    item->trigger();
    tables->setCurrentIndex(0);
    QVERIFY(!child<QPushButton>(screen, QStringLiteral("cmdPeriksa"))->isEnabled());
    QVERIFY(!child<QPushButton>(screen, QStringLiteral("cmdEkspor"))->isEnabled());
}

void TestFrmTransfer::checkBeforeImport()
{
    test::TestDatabase db;
    test::StandIn messages;
    auto *screen = ui::showScreen<FrmTransfer>();
    screen->setRights({true, true, true, true, true});
    const QString path = db.folder() + QStringLiteral("/siswa.csv");
    writeFile(path, "NIS;NamaSiswa;TglLahir\r\n1;ani;01-01-2004\r\n2;budi;30-02-2004\r\n1;cici;01-01-2004\r\n");
    test::typeInto(screen, QStringLiteral("txtFile"), path);

    auto *check = child<QPushButton>(screen, QStringLiteral("cmdPeriksa"));
    auto *import = child<QPushButton>(screen, QStringLiteral("cmdImpor"));
    test::click(screen, QStringLiteral("cmdPeriksa"));
    const QString problems = child<QPlainTextEdit>(screen, QStringLiteral("txtMasalah"))->toPlainText();
    QCOMPARE(problems.count(QLatin1Char('\n')), 1);
    QVERIFY2(problems.startsWith(QStringLiteral("Baris 3, kolom TglLahir, nilai \"30-02-2004\"")), qPrintable(problems));
    QVERIFY2(problems.contains(QStringLiteral("Baris 4, kolom NIS, nilai \"1\"")), qPrintable(problems));
    QVERIFY(!import->isEnabled());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from SISWA")).toInt(), 0);

    const QString longName = QStringLiteral("bernadeta maria magdalena kusumawardhani");
    writeFile(path, "NIS;NamaSiswa;TglLahir\r\n1;ani;01-01-2004\r\n2;budi;2004-02-29\r\n3;" + longName.toUtf8()
                        + ";03-03-2004\r\n");
    QVERIFY(!child<QLabel>(screen, QStringLiteral("lblSyarat"))->isVisible()); // a file, and the rights
    test::click(screen, QStringLiteral("cmdPeriksa"));
    QVERIFY(child<QPlainTextEdit>(screen, QStringLiteral("txtMasalah"))->toPlainText().isEmpty());
    auto *grid = child<QTableView>(screen, QStringLiteral("grdBaris"));
    const QAbstractItemModel *rows = grid->model();
    QCOMPARE(rows->rowCount(), 3);
    // A long name is shown on one line, whole.
    QCOMPARE(rows->index(2, 1).data().toString(), longName.toUpper());
    QVERIFY(!grid->wordWrap());
    QVERIFY(grid->columnWidth(1) > grid->fontMetrics().horizontalAdvance(longName.toUpper()));
    QCOMPARE(grid->rowHeight(2), grid->rowHeight(0));
    QCOMPARE(rows->headerData(1, Qt::Horizontal).toString(), QStringLiteral("NamaSiswa"));
    QCOMPARE(rows->index(1, 1).data().toString(), QStringLiteral("BUDI"));
    QCOMPARE(rows->index(1, 3).data().toString(), QStringLiteral("29-02-2004"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from SISWA")).toInt(), 0);
    QVERIFY(import->isEnabled());

    // Changing the file asks for a new check.
    test::typeInto(screen, QStringLiteral("txtFile"), path);
    QVERIFY(!import->isEnabled());
    test::click(screen, QStringLiteral("cmdPeriksa"));
    test::click(screen, QStringLiteral("cmdImpor"));
    QCOMPARE(messages.last().text, QStringLiteral("Data Siswa sudah diimpor."));
    QCOMPARE(child<QProgressBar>(screen, QStringLiteral("prgProses"))->value(), 1000);
    QCOMPARE(db.rows(QStringLiteral("select NIS, NamaSiswa, TglLahir from SISWA order by NIS")),
             (QList<QVariantList>{{"1", "ANI", "01-01-2004"}, {"2", "BUDI", "29-02-2004"},
                                  {"3", longName.toUpper(), "03-03-2004"}}));
    QVERIFY(!import->isEnabled());
    QVERIFY(check->isEnabled());
}

void TestFrmTransfer::exportsTheChosenTable()
{
    test::TestDatabase db;
    test::StandIn messages;
    db.addSubject(QStringLiteral("007"), QStringLiteral("DESAIN"), 2);
    auto *screen = ui::showScreen<FrmTransfer>();
    screen->setRights({false, false, true, false, true}); // search only: export, no import
    child<QComboBox>(screen, QStringLiteral("cmbTabel"))->setCurrentIndex(1);
    child<QComboBox>(screen, QStringLiteral("cmbPemisah"))->setCurrentIndex(0);
    const QString path = db.folder() + QStringLiteral("/pelajaran.csv");
    writeFile(path, "old");
    test::typeInto(screen, QStringLiteral("txtFile"), path);

    messages.plan(ui::Answer::No); // keep the old file
    test::click(screen, QStringLiteral("cmdEkspor"));
    QCOMPARE(messages.count(), 1);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old"));
    file.close();

    messages.plan(ui::Answer::Yes);
    test::click(screen, QStringLiteral("cmdEkspor"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBFKdMatpel;NmMatpel;TglEntry;Lokal;Instruktur;SKS\r\n"
                                        "007;DESAIN;" + db.scalar("select TglEntry from Pelajaran").toString().toUtf8()
                                        + ";" + db.scalar("select Lokal from Pelajaran").toString().toUtf8() + ";"
                                        + db.scalar("select Instruktur from Pelajaran").toString().toUtf8() + ";2\r\n"));
    QVERIFY(messages.last().text.startsWith(QStringLiteral("Data Mata Pelajaran sudah diekspor")));
}

// The screen proposes a workbook and says why; a workbook a spreadsheet
// saved comes home, the CSV it damaged is refused with the cause.
void TestFrmTransfer::proposesWorkbookAndReadsIt()
{
    test::TestDatabase db;
    test::StandIn messages;
    for (const QString &statement : test::spreadsheetRecords())
        QVERIFY2(db.exec(statement), qPrintable(statement));
    auto *screen = ui::showScreen<FrmTransfer>();
    screen->setRights({true, true, true, true, true});
    QVERIFY(child<QLabel>(screen, QStringLiteral("lblSaran"))->text().contains(QStringLiteral("pakai file .xlsx")));

    messages.fileDialog.chosenPath = test::spreadsheetFile(QStringLiteral("students.xlsx"));
    test::click(screen, QStringLiteral("cmdPilih"));
    QCOMPARE(messages.fileDialog.asked, 1);
    QCOMPARE(messages.fileDialog.filters.value(0), QStringLiteral("Excel (*.xlsx)"));
    QCOMPARE(messages.fileDialog.proposedPath, QDir::current().filePath(QStringLiteral("SISWA.xlsx")));
    QCOMPARE(child<QLineEdit>(screen, QStringLiteral("txtFile"))->text(), messages.fileDialog.chosenPath);

    const QList<QVariantList> before = db.rows(QStringLiteral("select * from SISWA order by NIS"));
    child<QCheckBox>(screen, QStringLiteral("chkUpdate"))->setChecked(true);
    test::click(screen, QStringLiteral("cmdPeriksa"));
    QCOMPARE(child<QPlainTextEdit>(screen, QStringLiteral("txtMasalah"))->toPlainText(), QString());
    const QAbstractItemModel *rows = child<QTableView>(screen, QStringLiteral("grdBaris"))->model();
    QCOMPARE(rows->rowCount(), 4);
    QCOMPARE(rows->index(0, 0).data().toString(), QStringLiteral("0012"));
    QCOMPARE(rows->index(0, 3).data().toString(), QStringLiteral("01-08-2006"));
    QCOMPARE(rows->index(0, 11).data().toString(), QStringLiteral("081234567890"));
    test::click(screen, QStringLiteral("cmdImpor"));
    QCOMPARE(messages.last().text, QStringLiteral("Data Siswa sudah diimpor."));
    QCOMPARE(db.rows(QStringLiteral("select * from SISWA order by NIS")), before);

    test::typeInto(screen, QStringLiteral("txtFile"), test::spreadsheetFile(QStringLiteral("students-semicolon.csv")));
    test::click(screen, QStringLiteral("cmdPeriksa"));
    const QString problems = child<QPlainTextEdit>(screen, QStringLiteral("txtMasalah"))->toPlainText();
    QVERIFY2(problems.contains(QStringLiteral("Baris 3, kolom NIS, nilai \"13\": nol di depan hilang")), qPrintable(problems));
    QVERIFY(!child<QPushButton>(screen, QStringLiteral("cmdImpor"))->isEnabled());
    QCOMPARE(db.rows(QStringLiteral("select * from SISWA order by NIS")), before);
}

QTEST_MAIN(TestFrmTransfer)
#include "tst_frmtransfer.moc"
