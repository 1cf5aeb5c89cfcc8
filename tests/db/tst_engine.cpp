// The schema on the engine the tests run on: letter case, numeric columns,
// keys, the foreign key from grades, and the literal like of typed keys.
#include "common/module1.h"
#include "db/recordset.h"
#include "db/recordsetmodel.h"
#include "db/result.h"
#include "db/sqltext.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>

using namespace pel;

class TestEngine : public QObject
{
    Q_OBJECT
private slots:
    void lookupIgnoresLetterCase();
    void likeWithoutWildcardsMatchesWholeKey();
    void likeLiteralMatchesWildcardsLiterally();
    void bareColumnConditionKeepsNumericKeys();
    void numericColumnsRefuseText();
    void keysAndForeignKey();
    void recordsetMovesAndReadsFields();
    void recordsetReportsRefusal();
    void modelShowsRecordset();
    void quotedDoublesQuotes();
};

void TestEngine::lookupIgnoresLetterCase()
{
    test::TestDatabase db;
    db::Recordset rs;
    db.addStudent(QStringLiteral("AB1"), QStringLiteral("ANI"));
    QVERIFY(rs.open(QStringLiteral("select * from SISWA where NIS='ab1'"), dbConnection).ok());
    QCOMPARE(rs.recordCount(), 1);
    QCOMPARE(rs.value(QStringLiteral("namasiswa")).toString(), QStringLiteral("ANI"));
}

void TestEngine::likeWithoutWildcardsMatchesWholeKey()
{
    test::TestDatabase db;
    db::Recordset rs;
    db.addStudent(QStringLiteral("12"));
    db.addStudent(QStringLiteral("123"));
    QVERIFY(rs.open(QStringLiteral("select * from SISWA where(NIS like '12')"), dbConnection).ok());
    QCOMPARE(rs.recordCount(), 1);
    QCOMPARE(rs.value(QStringLiteral("NIS")).toString(), QStringLiteral("12"));
}

void TestEngine::likeLiteralMatchesWildcardsLiterally()
{
    test::TestDatabase db;
    db::Recordset rs;
    db.addStudent(QStringLiteral("A1"));
    db.addStudent(QStringLiteral("%"));
    db.addStudent(QStringLiteral("B_2"));
    db.addStudent(QStringLiteral("BX2"));
    QCOMPARE(db::likeLiteral(QStringLiteral("A1")), QStringLiteral("'A1'"));
    QCOMPARE(db::likeLiteral(QStringLiteral("%")), QStringLiteral("'\\%' escape '\\'"));
    QVERIFY(rs.open(QStringLiteral("delete from SISWA where(NIS like %1)").arg(db::likeLiteral(QStringLiteral("%"))),
                             dbConnection).ok());
    QCOMPARE(rs.rowsAffected(), 1);
    QVERIFY(rs.open(QStringLiteral("select NIS from SISWA where NIS like %1").arg(db::likeLiteral(QStringLiteral("b_2"))),
                             dbConnection).ok());
    QCOMPARE(rs.recordCount(), 1);
    QCOMPARE(rs.value(0).toString(), QStringLiteral("B_2"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from SISWA")).toInt(), 3);
}

void TestEngine::bareColumnConditionKeepsNumericKeys()
{
    if (test::onPostgres())
        QSKIP("a bare column as a condition is SQLite's own; the server refuses it, and no statement uses it");
    test::TestDatabase db;
    db::Recordset rs;
    db.addStudent(QStringLiteral("001"));
    db.addStudent(QStringLiteral("AB1"));
    QVERIFY(rs.open(QStringLiteral("select * from SISWA where SISWA.nis"), dbConnection).ok());
    QCOMPARE(rs.recordCount(), 1);
    QCOMPARE(rs.value(QStringLiteral("NIS")).toString(), QStringLiteral("001"));
}

void TestEngine::numericColumnsRefuseText()
{
    test::TestDatabase db;
    db::Recordset rs;
    QVERIFY(rs.open(QStringLiteral("insert into Pelajaran (KdMatpel, SKS) values ('M1', '3')"), dbConnection).ok());
    QCOMPARE(db.scalar(QStringLiteral("select SKS from Pelajaran")).typeId(), int(QMetaType::Double));
    QVERIFY(!rs.open(QStringLiteral("insert into Pelajaran (KdMatpel, SKS) values ('M2', '')"), dbConnection).ok());
    QVERIFY(!rs.failure().reason.isEmpty());
    QVERIFY(!rs.open(QStringLiteral("insert into Pelajaran (KdMatpel, SKS) values ('M3', 'TIGA')"), dbConnection).ok());
}

void TestEngine::keysAndForeignKey()
{
    test::TestDatabase db;
    db::Recordset rs;
    db.addStudent(QStringLiteral("A1"));
    db.addStudent(QStringLiteral("A2"));
    QVERIFY(!rs.open(QStringLiteral("insert into SISWA (NIS) values ('a1')"), dbConnection).ok());
    QVERIFY(db.exec(QStringLiteral("insert into Nilai (Noreg, Nis, SKS) values ('1', 'A1', 3)")));
    QVERIFY(!rs.open(QStringLiteral("delete from SISWA where(NIS like 'A1')"), dbConnection).ok());
    QCOMPARE(rs.failure().kind, db::Result::Kind::ForeignKey);
    QVERIFY(rs.open(QStringLiteral("delete from SISWA where(NIS like 'A2')"), dbConnection).ok());
    QCOMPARE(rs.rowsAffected(), 1);
}

void TestEngine::recordsetMovesAndReadsFields()
{
    test::TestDatabase db;
    for (const char *nis : {"1", "2", "3"})
        db.addStudent(QString::fromLatin1(nis));
    db::Recordset rs;
    QVERIFY(rs.open(QStringLiteral("select * from SISWA order by NIS"), dbConnection).ok());
    QCOMPARE(rs.recordCount(), 3);
    QCOMPARE(rs.fieldCount(), 12);
    QCOMPARE(rs.fieldIndex(QStringLiteral("telphp")), 11);
    QVERIFY(!rs.eof());
    QCOMPARE(rs.absolutePosition(), 1);
    rs.moveLast();
    QCOMPARE(rs.value(QStringLiteral("nis")).toString(), QStringLiteral("3"));
    rs.moveNext();
    QVERIFY(rs.eof());
    QVERIFY(rs.value(0).isNull());
    QCOMPARE(rs.absolutePosition(), 0);
    rs.setAbsolutePosition(2);
    QCOMPARE(rs.value(0).toString(), QStringLiteral("2"));
    rs.moveFirst();
    rs.movePrevious();
    QVERIFY(rs.bof());

    QVERIFY(rs.open(QStringLiteral("select * from SISWA where NIS='9'"), dbConnection).ok());
    QCOMPARE(rs.recordCount(), 0);
    QVERIFY(rs.eof() && rs.bof());
}

void TestEngine::recordsetReportsRefusal()
{
    test::TestDatabase db;
    db::Recordset rs;
    QVERIFY(!rs.open(QStringLiteral("select * from NoSuchTable"), dbConnection).ok());
    QVERIFY(rs.failure().reason.contains(QStringLiteral("NoSuchTable"), Qt::CaseInsensitive));
    QVERIFY(!rs.isOpen());
    db::Connection closed;
    QVERIFY(!rs.open(QStringLiteral("select 1"), closed).ok());
}

void TestEngine::modelShowsRecordset()
{
    test::TestDatabase db;
    db.addStudent(QStringLiteral("7"), QStringLiteral("BUDI"));
    db::Recordset rs;
    QVERIFY(rs.open(QStringLiteral("select * from SISWA"), dbConnection).ok());
    db::RecordsetModel model;
    model.setRecordset(rs);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.columnCount(), 12);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("NamaSiswa"));
    QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("BUDI"));
}

void TestEngine::quotedDoublesQuotes()
{
    QCOMPARE(db::quoted(QStringLiteral("O'NEIL")), QStringLiteral("'O''NEIL'"));
    QCOMPARE(db::quoted(QString()), QStringLiteral("''"));
    test::TestDatabase db;
    db::Recordset rs;
    QVERIFY(rs.open(QStringLiteral("insert into SISWA (NIS, NamaSiswa) values ('Q1', %1)")
                                 .arg(db::quoted(QStringLiteral("O'NEIL"))),
                             dbConnection).ok());
    QCOMPARE(db.scalar(QStringLiteral("select NamaSiswa from SISWA")).toString(), QStringLiteral("O'NEIL"));
}

QTEST_MAIN(TestEngine)
#include "tst_engine.moc"
