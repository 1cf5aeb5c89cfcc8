// The search family, its statements on the engine, and the record bar's moves.
#include "common/module1.h"
#include "db/recordset.h"
#include "db/searchstatements.h"
#include "search/recordbar.h"
#include "search/searchbuttons.h"
#include "testsupport.h"

#include <QTest>

using namespace pel;

class TestSearchRules : public QObject
{
    Q_OBJECT
private slots:
    void statementTexts();
    void eachButtonFindsWholeValue_data();
    void eachButtonFindsWholeValue();
    void quoteInSearchText();
    void listAllShowsEveryNis();
    void categoriesAndButtons();
    void notFoundMessages_data();
    void notFoundMessages();
    void recordBarMoves();
    void recordBarOnEmptyOrClosedResult();
};

void TestSearchRules::statementTexts()
{
    QCOMPARE(db::searchStudentsStatement(QStringLiteral("nis"), QStringLiteral("12")),
             QStringLiteral("select * from siswa where (nis= '12')"));
    QCOMPARE(db::searchStudentsStatement(QStringLiteral("TglLahir"), QString()),
             QStringLiteral("select * from siswa where (TglLahir= '')"));
    QCOMPARE(db::listAllStudentsStatement(), QStringLiteral("select * from SISWA where SISWA.nis is not null"));
}

void TestSearchRules::eachButtonFindsWholeValue_data()
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

void TestSearchRules::eachButtonFindsWholeValue()
{
    QFETCH(QString, button);
    QFETCH(QString, text);
    QFETCH(int, found);
    test::TestDatabase db;
    db.addStudent(QStringLiteral("A7"), QStringLiteral("BUDI SANTOSO"));
    db.addStudent(QStringLiteral("A8"), QStringLiteral("ANI"));
    const search::SearchButton *row = search::searchButtonNamed(button);
    QVERIFY(row);
    QVERIFY2(dbRecordset.open(db::searchStudentsStatement(row->column, text), dbConnection),
             qPrintable(dbRecordset.lastError()));
    QCOMPARE(dbRecordset.recordCount(), found);
    QCOMPARE(dbRecordset.fieldCount(), 12);
}

void TestSearchRules::quoteInSearchText()
{
    QCOMPARE(db::searchStudentsStatement(QStringLiteral("NamaSiswa"), QStringLiteral("O'NEIL")),
             QStringLiteral("select * from siswa where (NamaSiswa= 'O''NEIL')"));
    test::TestDatabase db;
    db.addStudent(QStringLiteral("Q1"), QStringLiteral("O'NEIL"));
    db.addStudent(QStringLiteral("Q2"), QStringLiteral("ONEIL"));
    QVERIFY2(dbRecordset.open(db::searchStudentsStatement(QStringLiteral("NamaSiswa"), QStringLiteral("o'neil")),
                              dbConnection),
             qPrintable(dbRecordset.lastError()));
    QCOMPARE(dbRecordset.recordCount(), 1);
    QCOMPARE(dbRecordset.value(QStringLiteral("NIS")).toString(), QStringLiteral("Q1"));
    // A text that would close the quote early finds nothing and harms nothing.
    QVERIFY(dbRecordset.open(db::searchStudentsStatement(QStringLiteral("nis"), QStringLiteral("x') or ('1'='1")),
                             dbConnection));
    QCOMPARE(dbRecordset.recordCount(), 0);
}

void TestSearchRules::listAllShowsEveryNis()
{
    test::TestDatabase db;
    for (const char *nis : {"001", "AB1", "0", "12A"})
        db.addStudent(QString::fromLatin1(nis));
    QVERIFY2(dbRecordset.open(db::listAllStudentsStatement(), dbConnection), qPrintable(dbRecordset.lastError()));
    QCOMPARE(dbRecordset.recordCount(), 4);
    QStringList nis;
    for (int row = 0; row < dbRecordset.recordCount(); ++row)
        nis << dbRecordset.value(row, 0).toString();
    nis.sort();
    QCOMPARE(nis, (QStringList{"0", "001", "12A", "AB1"}));
}

void TestSearchRules::categoriesAndButtons()
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
    QCOMPARE(search::searchButtonNamed(QStringLiteral("CmdJekel"))->column, QStringLiteral("JenisKelamin"));
}

void TestSearchRules::notFoundMessages_data()
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

void TestSearchRules::notFoundMessages()
{
    QFETCH(QString, button);
    QFETCH(QString, message);
    QCOMPARE(search::notFoundMessage(*search::searchButtonNamed(button)), message);
    QCOMPARE(search::listAllNotFoundMessage(), QStringLiteral("Data Not Found From Database\rTransaction !"));
}

void TestSearchRules::recordBarMoves()
{
    test::TestDatabase db;
    for (const char *nis : {"1", "2", "3", "4", "5"})
        db.addStudent(QString::fromLatin1(nis));
    db::Recordset rs;
    QVERIFY(rs.open(QStringLiteral("select * from SISWA order by NIS"), dbConnection));
    QCOMPARE(search::recordPositionText(rs), QStringLiteral("Record ke-1 dari 5"));

    search::MoveOutcome outcome = search::moveRecord(rs, search::RecordMove::Next);
    QVERIFY(outcome.ok && !outcome.beep);
    QCOMPARE(search::recordPositionText(rs), QStringLiteral("Record ke-2 dari 5"));

    outcome = search::moveRecord(rs, search::RecordMove::Last);
    QVERIFY(outcome.ok && !outcome.beep);
    QCOMPARE(search::recordPositionText(rs), QStringLiteral("Record ke-5 dari 5"));
    outcome = search::moveRecord(rs, search::RecordMove::Next);
    QVERIFY(outcome.ok && outcome.beep);
    QCOMPARE(search::recordPositionText(rs), QStringLiteral("Record ke-5 dari 5"));

    // Standing past the last row (another reader left it there): Next comes back.
    rs.moveNext();
    QVERIFY(rs.eof());
    outcome = search::moveRecord(rs, search::RecordMove::Next);
    QVERIFY(outcome.beep);
    QCOMPARE(rs.absolutePosition(), 5);

    outcome = search::moveRecord(rs, search::RecordMove::Previous);
    QVERIFY(outcome.ok && !outcome.beep);
    QCOMPARE(rs.absolutePosition(), 4);
    outcome = search::moveRecord(rs, search::RecordMove::First);
    QVERIFY(outcome.ok && !outcome.beep);
    QCOMPARE(search::recordPositionText(rs), QStringLiteral("Record ke-1 dari 5"));
    outcome = search::moveRecord(rs, search::RecordMove::Previous);
    QVERIFY(outcome.ok && outcome.beep);
    QCOMPARE(rs.absolutePosition(), 1);
}

void TestSearchRules::recordBarOnEmptyOrClosedResult()
{
    test::TestDatabase db;
    db::Recordset rs;
    QVERIFY(rs.open(QStringLiteral("select * from SISWA"), dbConnection));
    QCOMPARE(search::recordPositionText(rs), QStringLiteral("Record ke-0 dari 0"));
    for (search::RecordMove move : {search::RecordMove::Next, search::RecordMove::Previous}) {
        const search::MoveOutcome outcome = search::moveRecord(rs, move);
        QVERIFY(outcome.ok && !outcome.beep);
        QCOMPARE(search::recordPositionText(rs), QStringLiteral("Record ke-0 dari 0"));
    }
    for (search::RecordMove move : {search::RecordMove::First, search::RecordMove::Last}) {
        const search::MoveOutcome outcome = search::moveRecord(rs, move);
        QVERIFY(!outcome.ok);
        QCOMPARE(outcome.error, QStringLiteral("Hasil tidak berisi baris."));
    }

    QVERIFY(search::unreadableReason(rs).isEmpty());
    rs.close();
    QCOMPARE(search::unreadableReason(rs), QStringLiteral("Tidak ada hasil yang terbuka."));
    QVERIFY(!search::moveRecord(rs, search::RecordMove::Next).ok);

    // A statement that failed leaves its own reason.
    QVERIFY(!rs.open(QStringLiteral("select * from SISWAX"), dbConnection));
    const search::MoveOutcome outcome = search::moveRecord(rs, search::RecordMove::First);
    QVERIFY(!outcome.ok);
    QCOMPARE(outcome.error, rs.lastError());
    QVERIFY(outcome.error.contains(QStringLiteral("SISWAX")));
}

QTEST_MAIN(TestSearchRules)
#include "tst_searchrules.moc"
