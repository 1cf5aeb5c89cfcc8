// The search store: its statements as text and on the engine, what the grid
// shows; the search family; the record bar's moves.
#include "common/module1.h"
#include "db/failure.h"
#include "db/recordset.h"
#include "db/recordsetmodel.h"
#include "db/searchstatements.h"
#include "search/recordbar.h"
#include "search/searchbuttons.h"
#include "search/searchstore.h"
#include "testsupport.h"

#include <QAbstractItemModel>
#include <QTest>

using namespace pel;

namespace {

// The search button with this control name, as the screen finds it among
// the buttons.
const search::SearchButton &button(const QString &name)
{
    for (const search::SearchButton &candidate : search::searchButtons())
        if (candidate.name == name)
            return candidate;
    qFatal("no search button %s", qPrintable(name));
}

// The NIS column of the rows the grid shows.
QStringList gridNis(const search::SearchStore &store)
{
    const QAbstractItemModel *model = store.gridModel();
    QStringList nis;
    for (int row = 0; row < model->rowCount(); ++row)
        nis << model->data(model->index(row, 0)).toString();
    return nis;
}

} // namespace

class TestSearchStore : public QObject
{
    Q_OBJECT
private slots:
    void statementTexts();
    void eachButtonFindsWholeValue_data();
    void eachButtonFindsWholeValue();
    void quoteInSearchText();
    void listAllShowsEveryNis();
    void gridKeepsRowsAfterNotFoundOrRefusal();
    void categoriesAndButtons();
    void notFoundMessages_data();
    void notFoundMessages();
    void recordBarMoves();
    void recordBarOnEmptyOrClosedResult();
    void pagedResultReadsAsWholeResult_data();
    void pagedResultReadsAsWholeResult();
};

void TestSearchStore::statementTexts()
{
    QCOMPARE(db::searchStudentsStatement(QStringLiteral("nis"), QStringLiteral("12")),
             QStringLiteral("select * from siswa where (nis= '12')"));
    QCOMPARE(db::searchStudentsStatement(QStringLiteral("TglLahir"), QString()),
             QStringLiteral("select * from siswa where (TglLahir= '')"));
    QCOMPARE(db::listAllStudentsStatement(), QStringLiteral("select * from SISWA where SISWA.nis is not null"));
}

void TestSearchStore::eachButtonFindsWholeValue_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("found");
    // The student added by TestDatabase::addStudent: JAKARTA, 01-02-2000,
    // JL. MAWAR 1, LAKI-LAKI, ISLAM, 01-07-2020, KOMPUTER, SMA 1.
    QTest::newRow("nis") << "cmdnis" << "a7" << 1;
    QTest::newRow("nis part") << "cmdnis" << "A" << 0;
    QTest::newRow("nama") << "Cmdnama" << "BUDI SANTOSO" << 1;
    QTest::newRow("nama part") << "Cmdnama" << "BUDI" << 0;
    QTest::newRow("alamat") << "cmdalamat" << "jl. mawar 1" << 2;
    QTest::newRow("jurusan") << "CmdProgram" << "KOMPUTER" << 2;
    QTest::newRow("tgl masuk") << "CmdTglMasuk" << "01-07-2020" << 2;
    QTest::newRow("tempat lahir") << "cmdtptlahir" << "JAKARTA" << 2;
    QTest::newRow("asal sekolah") << "cmdasalsekolah" << "SMA 1" << 2;
    QTest::newRow("jenis kelamin") << "Cmdjeniskelamin" << "LAKI-LAKI" << 2;
    QTest::newRow("jekel") << "CmdJekel" << "LAKI-LAKI" << 2;
    QTest::newRow("agama") << "Cmdagama" << "ISLAM" << 2;
    QTest::newRow("tgl lahir") << "cmdtgllahir" << "01-02-2000" << 2;
    // Dates compare as the stored dd-mm-yyyy text, not as dates.
    QTest::newRow("tgl lahir short") << "cmdtgllahir" << "1-2-2000" << 0;
    QTest::newRow("tgl lahir other order") << "cmdtgllahir" << "2000-02-01" << 0;
}

void TestSearchStore::eachButtonFindsWholeValue()
{
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(int, found);
    test::TestDatabase db;
    db.addStudent(QStringLiteral("A7"), QStringLiteral("BUDI SANTOSO"));
    db.addStudent(QStringLiteral("A8"), QStringLiteral("ANI"));
    QObject owner;
    search::SearchStore store(dbConnection, &owner);
    const db::Result result = store.searchStudents(::button(button), text);
    QVERIFY2(result.ok() || result.kind == db::Result::Kind::NotFound, qPrintable(result.reason));
    QCOMPARE(result.ok(), found > 0);
    QCOMPARE(store.gridModel()->rowCount(), found);
    QCOMPARE(store.gridModel()->columnCount(), found ? 12 : 0);
    QCOMPARE(store.positionText(), QStringLiteral("Record ke-%1 dari %2").arg(found ? 1 : 0).arg(found));
}

void TestSearchStore::quoteInSearchText()
{
    QCOMPARE(db::searchStudentsStatement(QStringLiteral("NamaSiswa"), QStringLiteral("O'NEIL")),
             QStringLiteral("select * from siswa where (NamaSiswa= 'O''NEIL')"));
    test::TestDatabase db;
    db.addStudent(QStringLiteral("Q1"), QStringLiteral("O'NEIL"));
    db.addStudent(QStringLiteral("Q2"), QStringLiteral("ONEIL"));
    QObject owner;
    search::SearchStore store(dbConnection, &owner);
    const db::Result found = store.searchStudents(button(QStringLiteral("Cmdnama")), QStringLiteral("o'neil"));
    QVERIFY2(found.ok(), qPrintable(found.reason));
    QCOMPARE(gridNis(store), QStringList{"Q1"});
    // A text that would close the quote early finds nothing and harms nothing.
    QCOMPARE(store.searchStudents(button(QStringLiteral("cmdnis")), QStringLiteral("x') or ('1'='1")).kind,
             db::Result::Kind::NotFound);
    QCOMPARE(store.positionText(), QStringLiteral("Record ke-0 dari 0"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from SISWA")).toInt(), 2);
}

void TestSearchStore::listAllShowsEveryNis()
{
    test::TestDatabase db;
    for (const char *nis : {"001", "AB1", "0", "12A"})
        db.addStudent(QString::fromLatin1(nis));
    QObject owner;
    search::SearchStore store(dbConnection, &owner);
    const db::Result result = store.listAllStudents();
    QVERIFY2(result.ok(), qPrintable(result.reason));
    QCOMPARE(store.positionText(), QStringLiteral("Record ke-1 dari 4"));
    QStringList nis = gridNis(store);
    nis.sort();
    QCOMPARE(nis, (QStringList{"0", "001", "12A", "AB1"}));
}

void TestSearchStore::gridKeepsRowsAfterNotFoundOrRefusal()
{
    test::TestDatabase db;
    for (const char *nis : {"1", "2", "3"})
        db.addStudent(QString::fromLatin1(nis));
    QObject owner;
    search::SearchStore store(dbConnection, &owner);
    QCOMPARE(store.listAllStudents().kind, db::Result::Kind::Ok);
    QCOMPARE(store.currentGridRow(), 0);
    QVERIFY(store.pickGridRow(2));
    QCOMPARE(store.positionText(), QStringLiteral("Record ke-3 dari 3"));
    QCOMPARE(store.currentGridRow(), 2);

    // Nothing found: the grid keeps its rows, the record bar the empty result.
    const search::SearchButton &nis = button(QStringLiteral("cmdnis"));
    QCOMPARE(store.searchStudents(nis, QStringLiteral("9")).kind, db::Result::Kind::NotFound);
    QCOMPARE(gridNis(store).size(), 3);
    QCOMPARE(store.positionText(), QStringLiteral("Record ke-0 dari 0"));
    QCOMPARE(store.currentGridRow(), -1);
    QVERIFY(!store.pickGridRow(1));

    // A refused search names its reason and leaves no readable result.
    QCOMPARE(store.searchStudents(nis, QStringLiteral("2")).kind, db::Result::Kind::Ok);
    QCOMPARE(gridNis(store), QStringList{"2"});
    dbConnection.close();
    const db::Result refused = store.listAllStudents();
    QCOMPARE(refused.kind, db::Result::Kind::Failure);
    QCOMPARE(refused.reason, QStringLiteral("Database belum terbuka."));
    QCOMPARE(gridNis(store), QStringList{"2"});
    QCOMPARE(store.readable().reason, QStringLiteral("Database belum terbuka."));
}

void TestSearchStore::categoriesAndButtons()
{
    QCOMPARE(search::searchCategories(),
             (QStringList{"NIS", "Nama", "Alamat", "Jurusan", "Tgl Masuk", "Tempat Lahir", "Asal Sekolah",
                          "Jenis Kelamin", "Agama", "Tgl Lahir"}));
    QCOMPARE(search::searchButtons().size(), 11);
    QCOMPARE(search::searchButtonForCategory(QStringLiteral("Agama"))->name, QStringLiteral("Cmdagama"));
    QCOMPARE(search::searchButtonForCategory(QStringLiteral("Jurusan"))->column, QStringLiteral("ProgamJurusan"));
    // Letter case counts; no entry names CmdJekel.
    QVERIFY(!search::searchButtonForCategory(QStringLiteral("agama")));
    QVERIFY(!search::searchButtonForCategory(QString()));
    QCOMPARE(button(QStringLiteral("CmdJekel")).column, QStringLiteral("JenisKelamin"));
}

void TestSearchStore::notFoundMessages_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("nis") << "cmdnis" << "Data Not Found From Database\rData tidak ditemukan dalam database siswa!";
    QTest::newRow("nama") << "Cmdnama" << "Data tidak ketemu ...!\rTeknologi Informasi Penangan data Siswa!";
    QTest::newRow("jurusan") << "CmdProgram" << "Data tidak ketemu ...!\rTeknologi Informasi Penangan data siswa!";
    QTest::newRow("tgl masuk") << "CmdTglMasuk"
                               << "Data tidak ketemu ...!\rAplication program for suplying stock of inventories!";
    QTest::newRow("tempat lahir") << "cmdtptlahir" << "Data tidak ketemu ...!\rData tidak ketemu dalam database siswa!";
    QTest::newRow("jekel") << "CmdJekel" << "Data tidak ketemu ...!\rTeknologi Informasi Penangan data Siswa!";
}

void TestSearchStore::notFoundMessages()
{
    QFETCH(QString, button);
    QFETCH(QString, message);
    QCOMPARE(search::notFoundMessage(::button(button)), message);
    QCOMPARE(search::listAllNotFoundMessage(), QStringLiteral("Data Not Found From Database\rTransaction !"));
}

void TestSearchStore::recordBarMoves()
{
    test::TestDatabase db;
    for (const char *nis : {"1", "2", "3", "4", "5"})
        db.addStudent(QString::fromLatin1(nis));
    db::Recordset rs;
    QVERIFY(rs.open(QStringLiteral("select * from SISWA order by NIS"), dbConnection).ok());
    QCOMPARE(search::recordPositionText(rs), QStringLiteral("Record ke-1 dari 5"));

    bool beep = false;
    QVERIFY(search::moveRecord(rs, search::RecordMove::Next, &beep).ok() && !beep);
    QCOMPARE(search::recordPositionText(rs), QStringLiteral("Record ke-2 dari 5"));

    QVERIFY(search::moveRecord(rs, search::RecordMove::Last, &beep).ok() && !beep);
    QCOMPARE(search::recordPositionText(rs), QStringLiteral("Record ke-5 dari 5"));
    QVERIFY(search::moveRecord(rs, search::RecordMove::Next, &beep).ok() && beep);
    QCOMPARE(search::recordPositionText(rs), QStringLiteral("Record ke-5 dari 5"));

    // Standing past the last row (another reader left it there): Next comes back.
    rs.moveNext();
    QVERIFY(rs.eof());
    search::moveRecord(rs, search::RecordMove::Next, &beep);
    QVERIFY(beep);
    QCOMPARE(rs.absolutePosition(), 5);

    QVERIFY(search::moveRecord(rs, search::RecordMove::Previous, &beep).ok() && !beep);
    QCOMPARE(rs.absolutePosition(), 4);
    QVERIFY(search::moveRecord(rs, search::RecordMove::First, &beep).ok() && !beep);
    QCOMPARE(search::recordPositionText(rs), QStringLiteral("Record ke-1 dari 5"));
    QVERIFY(search::moveRecord(rs, search::RecordMove::Previous, &beep).ok() && beep);
    QCOMPARE(rs.absolutePosition(), 1);
}

void TestSearchStore::recordBarOnEmptyOrClosedResult()
{
    test::TestDatabase db;
    db::Recordset rs;
    QVERIFY(rs.open(QStringLiteral("select * from SISWA"), dbConnection).ok());
    QCOMPARE(search::recordPositionText(rs), QStringLiteral("Record ke-0 dari 0"));
    bool beep = false;
    for (search::RecordMove move : {search::RecordMove::Next, search::RecordMove::Previous}) {
        QVERIFY(search::moveRecord(rs, move, &beep).ok() && !beep);
        QCOMPARE(search::recordPositionText(rs), QStringLiteral("Record ke-0 dari 0"));
    }
    for (search::RecordMove move : {search::RecordMove::First, search::RecordMove::Last})
        QCOMPARE(db::failureMessage(search::moveRecord(rs, move, &beep)), QStringLiteral("Hasil tidak berisi baris."));

    QVERIFY(search::readable(rs).ok());
    rs.close();
    QCOMPARE(db::failureMessage(search::readable(rs)), QStringLiteral("Tidak ada hasil yang terbuka."));
    QVERIFY(!search::moveRecord(rs, search::RecordMove::Next, &beep).ok());

    // A statement that failed leaves its own reason.
    QVERIFY(!rs.open(QStringLiteral("select * from SISWAX"), dbConnection).ok());
    const db::Result moved = search::moveRecord(rs, search::RecordMove::First, &beep);
    QVERIFY(!moved.ok());
    QCOMPARE(moved.reason, rs.failure().reason);
    QVERIFY(moved.reason.contains(QStringLiteral("siswax"), Qt::CaseInsensitive));
}

void TestSearchStore::pagedResultReadsAsWholeResult_data()
{
    QTest::addColumn<int>("students");
    QTest::addColumn<int>("pageRows");
    QTest::addColumn<QString>("sql");
    const QString all = db::listAllStudentsStatement();
    const QString men = db::searchStudentsStatement(QStringLiteral("JenisKelamin"), QStringLiteral("laki-laki"));
    QTest::newRow("none") << 0 << 7 << all;
    QTest::newRow("less than a page") << 5 << 7 << all;
    QTest::newRow("one full page") << 7 << 7 << all;
    QTest::newRow("a row past a page") << 8 << 7 << all;
    QTest::newRow("many pages") << 600 << 7 << all;
    QTest::newRow("many pages, default size") << 1500 << 256 << all;
    QTest::newRow("search, many pages") << 600 << 7 << men;
    QTest::newRow("search, none found") << 20 << 7
                                        << db::searchStudentsStatement(QStringLiteral("nis"), QStringLiteral("X"));
}

// Read by pages, in any order, a result has the rows, the order, the
// headings and the count of the same statement read whole, and holds only a
// few pages.
void TestSearchStore::pagedResultReadsAsWholeResult()
{
    QFETCH(int, students);
    QFETCH(int, pageRows);
    QFETCH(QString, sql);
    test::TestDatabase db;
    QVERIFY(db.exec(QStringLiteral("begin")));
    // Added out of NIS order, so that the table's order and the key's differ.
    for (int i = 0; i < students; ++i) {
        const int n = (i * 7919) % qMax(1, students);
        QVERIFY(db.exec(QStringLiteral("insert into SISWA (NIS, NamaSiswa, JenisKelamin) values ('N%1', 'S%2', '%3')")
                            .arg(n, 5, 10, QLatin1Char('0'))
                            .arg(i)
                            .arg(n % 3 ? QStringLiteral("LAKI-LAKI") : QStringLiteral("PEREMPUAN"))));
    }
    QVERIFY(db.exec(QStringLiteral("commit")));

    db::Recordset whole;
    QVERIFY(whole.open(sql, dbConnection).ok());
    db::Recordset paged;
    QVERIFY(paged.openPaged(sql, dbConnection, pageRows).ok());
    QVERIFY(paged.isOpen());
    QCOMPARE(paged.recordCount(), whole.recordCount());
    QCOMPARE(paged.fieldNames(), whole.fieldNames());
    QCOMPARE(paged.absolutePosition(), whole.absolutePosition());

    const int rows = whole.recordCount();
    const auto sameRow = [&](int row) {
        for (int field = 0; field < whole.fieldCount(); ++field)
            if (paged.value(row, field) != whole.value(row, field))
                return false;
        return true;
    };
    // Forward, backward, and jumping between the ends.
    for (int row = 0; row < rows; ++row)
        QVERIFY2(sameRow(row), qPrintable(QString::number(row)));
    for (int row = rows - 1; row >= 0; --row)
        QVERIFY2(sameRow(row), qPrintable(QString::number(row)));
    for (int i = 0; i < rows; ++i) {
        const int row = i % 2 ? rows - 1 - i / 2 : i / 2;
        QVERIFY2(sameRow(row), qPrintable(QString::number(row)));
    }
    QVERIFY(paged.pagesHeld() <= db::Recordset::pageCacheSize());
    QVERIFY(!paged.value(rows, 0).isValid());

    // The record bar moves through it as through the whole result.
    if (rows > 0) {
        paged.moveLast();
        whole.moveLast();
        QCOMPARE(paged.value(QStringLiteral("nis")), whole.value(QStringLiteral("nis")));
        QCOMPARE(search::recordPositionText(paged), search::recordPositionText(whole));
    }
}

QTEST_MAIN(TestSearchStore)
#include "tst_searchstore.moc"
