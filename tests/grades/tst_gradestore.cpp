// The grade statements as text and on the engine: the next registration
// number from the last row, quotes stored as typed, the literal delete.
#include "app/module1.h"
#include "db/gradestatements.h"
#include "db/sqltext.h"
#include "grades/gradestore.h"
#include "db/result.h"
#include "testsupport.h"

#include <QSqlError>

#include <QTest>

using namespace pel;

namespace {

db::GradeRowValues sampleRow(const QString &noreg, const QString &subject)
{
    return {noreg,  QStringLiteral("07-12-2026"), QStringLiteral("N1"),   QStringLiteral("KOMPUTER"),
            QStringLiteral("DASAR"), subject,     QStringLiteral("3"),    QStringLiteral("BUDI"),
            QStringLiteral("85"),    QStringLiteral("A"), QStringLiteral("4"), QStringLiteral("12"),
            QStringLiteral("Excellent"), QStringLiteral("Lulus")};
}

// Adds a grade row through the insert statement.
void addGrade(test::TestDatabase &db, const QString &noreg, const QString &subject = QStringLiteral("M1"))
{
    db.exec(db::GradeInsertStatement(sampleRow(noreg, subject)));
}

} // namespace

class TestGradeStore : public QObject
{
    Q_OBJECT
private slots:
    void statementTexts();
    void nextNumberReadsOnlyTheLastRow();
    void quotesAreStoredAsTyped();
    void deleteMatchesNumberLiterally_data();
    void deleteMatchesNumberLiterally();
    void impossibleNumbersAreRefused_data();
    void impossibleNumbersAreRefused();
};

void TestGradeStore::statementTexts()
{
    QCOMPARE(db::LastGradeRowStatement(), QStringLiteral("select * from Nilai order by rowid desc limit 1"));
    QCOMPARE(db::RegistrationCheckStatement(QStringLiteral("41")), QStringLiteral("select * from Nilai where Noreg ='41'"));
    QCOMPARE(db::GradeStudentLookupStatement(QStringLiteral("N1")), QStringLiteral("select * from SISWA where NIS ='N1'"));
    QCOMPARE(db::GradeSubjectLookupStatement(QStringLiteral("M'1")),
             QStringLiteral("select * from Pelajaran where KdMatpel ='M''1'"));
    QCOMPARE(db::GradeInsertStatement(sampleRow(QStringLiteral("41"), QStringLiteral("M1"))),
             QStringLiteral("insert into Nilai(Noreg, TglProses,Nis,Program,Jenjang, KdMatpel,SKS,Tentor,Nilangka, "
                            "Nilhu,Bobot,Mutu,Prediket,Ket) values('41', '07-12-2026', 'N1', 'KOMPUTER', 'DASAR', "
                            "'M1', '3', 'BUDI', '85', 'A', '4', '12', 'Excellent', 'Lulus')"));
    QCOMPARE(db::GradeUpdateStatement(sampleRow(QStringLiteral("41"), QStringLiteral("M1"))),
             QStringLiteral("update Nilai  set TglProses='07-12-2026', Nilangka='85', Nilhu='A', Bobot='4', "
                            "Mutu='12', Prediket='Excellent', Ket='Lulus' where Noreg='41'"));
    QCOMPARE(db::GradeDeleteStatement(QStringLiteral("41")), QStringLiteral("delete from Nilai where(Noreg like '41')"));
    QCOMPARE(db::GradeDeleteStatement(QStringLiteral("4%")),
             QStringLiteral("delete from Nilai where(Noreg like '4\\%' escape '\\')"));
}

void TestGradeStore::nextNumberReadsOnlyTheLastRow()
{
    test::TestDatabase db;
    db.addStudent(QStringLiteral("N1"));
    QCOMPARE(NextRegistrationNumber(), QStringLiteral("1"));
    addGrade(db, QStringLiteral("50"));
    addGrade(db, QStringLiteral("7"));
    addGrade(db, QStringLiteral("41"));
    QCOMPARE(NextRegistrationNumber(), QStringLiteral("42"));
    // The last row alone came from the table.
    QCOMPARE(dbRecordset.recordCount(), 1);
    db.exec(QStringLiteral("delete from Nilai where Noreg = '41'"));
    QCOMPARE(NextRegistrationNumber(), QStringLiteral("8"));
    addGrade(db, QStringLiteral("REG-009"));
    QCOMPARE(NextRegistrationNumber(), QStringLiteral("REG-010"));

    dbConnection.close();
    QString error;
    QCOMPARE(NextRegistrationNumber(&error), QString());
    QVERIFY(!error.isEmpty());
}

void TestGradeStore::quotesAreStoredAsTyped()
{
    test::TestDatabase db;
    db.addStudent(QStringLiteral("N'1"));
    db::GradeRowValues row = sampleRow(QStringLiteral("4'1"), QStringLiteral("M'1"));
    row.nis = QStringLiteral("N'1");
    row.tentor = QStringLiteral("O'NEIL");
    row.prediket = QStringLiteral("'");
    QString error;
    QVERIFY2(grades::SaveGradeRow(row, &error), qPrintable(error));
    QCOMPARE(db.rows(QStringLiteral("select Noreg, Nis, KdMatpel, Tentor, Prediket from Nilai")),
             (QList<QVariantList>{{QStringLiteral("4'1"), QStringLiteral("N'1"), QStringLiteral("M'1"),
                                   QStringLiteral("O'NEIL"), QStringLiteral("'")}}));
    QVERIFY(dbRecordset.open(db::RegistrationCheckStatement(QStringLiteral("4'1")), dbConnection));
    QCOMPARE(dbRecordset.recordCount(), 1);
    row.ket = QStringLiteral("L'");
    QVERIFY2(grades::UpdateGradeRows(row, &error), qPrintable(error));
    QCOMPARE(db.scalar(QStringLiteral("select Ket from Nilai")).toString(), QStringLiteral("L'"));
    QVERIFY2(grades::DeleteGradeRows(QStringLiteral("4'1"), &error), qPrintable(error));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai")).toInt(), 0);
}

void TestGradeStore::deleteMatchesNumberLiterally_data()
{
    QTest::addColumn<QString>("noreg");
    QTest::addColumn<int>("removed");
    QTest::newRow("plain") << QStringLiteral("12") << 2;
    QTest::newRow("percent") << QStringLiteral("%") << 1;
    QTest::newRow("underscore") << QStringLiteral("1_") << 1;
    QTest::newRow("backslash") << QStringLiteral("1\\%") << 0;
    QTest::newRow("absent") << QStringLiteral("99") << 0;
}

void TestGradeStore::deleteMatchesNumberLiterally()
{
    QFETCH(QString, noreg);
    QFETCH(int, removed);
    test::TestDatabase db;
    db.addStudent(QStringLiteral("N1"));
    for (const char *number : {"12", "12", "123", "%", "1_", "13"})
        addGrade(db, QString::fromLatin1(number));
    QString error;
    QVERIFY2(grades::DeleteGradeRows(noreg, &error), qPrintable(error));
    QCOMPARE(dbRecordset.rowsAffected(), removed);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai where Noreg = %1").arg(db::quoted(noreg))).toInt(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai")).toInt(), 6 - removed);
}

void TestGradeStore::impossibleNumbersAreRefused_data()
{
    QTest::addColumn<QString>("sks");
    QTest::addColumn<QString>("score");
    QTest::addColumn<bool>("stored");
    QTest::newRow("plain") << "3" << "85" << true;
    QTest::newRow("zero credits") << "0" << "85" << true;
    QTest::newRow("score retyped to 1e309") << "3" << "1e309" << false;
    QTest::newRow("negative score is a number") << "3" << "-1" << true;
    QTest::newRow("negative credits") << "-5" << "85" << false;
    QTest::newRow("infinite credits") << "1e309" << "85" << false;
    QTest::newRow("inf") << "3" << "inf" << false;
    QTest::newRow("nan") << "3" << "NaN" << false;
    QTest::newRow("letters, refused by the database") << "3" << "delapan" << false;
}

void TestGradeStore::impossibleNumbersAreRefused()
{
    QFETCH(QString, sks);
    QFETCH(QString, score);
    QFETCH(bool, stored);
    test::TestDatabase db;
    db.addStudent(QStringLiteral("N1"));
    db::GradeRowValues row = sampleRow(QStringLiteral("1"), QStringLiteral("M1"));
    row.sks = sks;
    row.nilangka = score;
    QString error;
    QCOMPARE(grades::SaveGradeRow(row, &error), stored);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai")).toInt(), stored ? 1 : 0);
    if (!stored)
        QCOMPARE(db::Result::from(QSqlError(QString(), error)).kind, db::Result::Kind::BadValue);
}

QTEST_GUILESS_MAIN(TestGradeStore)
#include "tst_gradestore.moc"
