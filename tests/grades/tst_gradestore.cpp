// The grade store: its statements as text and its calls on the engine: the
// next registration number from the last row, the lookups, quotes stored as
// typed, the update of one subject's row, the literal delete.
#include "common/module1.h"
#include "db/gradestatements.h"
#include "db/sqltext.h"
#include "grades/gradestore.h"
#include "testsupport.h"

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
    void lookupsReadColumnsByName();
    void updateChangesOneSubjectOnly();
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
                            "Mutu='4'*SKS, Prediket='Excellent', Ket='Lulus' where Noreg='41' and KdMatpel='M1'"));
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
    QCOMPARE(grades::FindRegistration(QStringLiteral("4'1")).kind, db::Result::Kind::Ok);
    QCOMPARE(dbRecordset.recordCount(), 1);
    QCOMPARE(grades::FindRegistration(QStringLiteral("4")).kind, db::Result::Kind::NotFound);
    row.ket = QStringLiteral("L'");
    const db::Result updated = grades::UpdateGradeRow(row);
    QVERIFY2(updated.ok(), qPrintable(updated.reason));
    QCOMPARE(db.scalar(QStringLiteral("select Ket from Nilai")).toString(), QStringLiteral("L'"));
    const db::Result deleted = grades::DeleteGradeRows(QStringLiteral("4'1"));
    QVERIFY2(deleted.ok(), qPrintable(deleted.reason));
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
    const db::Result result = grades::DeleteGradeRows(noreg);
    QCOMPARE(result.kind, removed ? db::Result::Kind::Ok : db::Result::Kind::NotFound);
    QCOMPARE(result.rowsAffected, removed);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai where Noreg = %1").arg(db::quoted(noreg))).toInt(), 0);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai")).toInt(), 6 - removed);
}

void TestGradeStore::lookupsReadColumnsByName()
{
    using Kind = db::Result::Kind;
    test::TestDatabase db;
    db.exec(QStringLiteral("insert into SISWA (NIS, NamaSiswa, ProgamJurusan) values ('N1', 'BUDI', 'KOMPUTER')"));
    db.exec(QStringLiteral("insert into Pelajaran values ('M1', 'BASIS DATA', '01-01-2026', 'R1', 'ANI', 2.5)"));
    db.exec(QStringLiteral("insert into Pelajaran (KdMatpel, NmMatpel) values ('M2', 'TANPA SKS')"));

    grades::GradeStudent student;
    QCOMPARE(grades::FindGradeStudent(QStringLiteral("n1"), &student).kind, Kind::Ok);
    QCOMPARE(student.name, QStringLiteral("BUDI"));
    QCOMPARE(student.programme, QStringLiteral("KOMPUTER"));
    QCOMPARE(student.level, QString());
    QCOMPARE(grades::FindGradeStudent(QStringLiteral("N2"), &student).kind, Kind::NotFound);

    grades::GradeSubject subject;
    QCOMPARE(grades::FindGradeSubject(QStringLiteral("M1"), &subject).kind, Kind::Ok);
    QCOMPARE(subject.name, QStringLiteral("BASIS DATA"));
    QCOMPARE(subject.credits, std::optional<double>(2.5));
    QCOMPARE(subject.instructor, QStringLiteral("ANI"));
    QCOMPARE(grades::FindGradeSubject(QStringLiteral("M2"), &subject).kind, Kind::Ok);
    QVERIFY(!subject.credits);
    QCOMPARE(grades::FindGradeSubject(QStringLiteral("M3"), &subject).kind, Kind::NotFound);

    db.exec(QStringLiteral("alter table Pelajaran rename to Pelajaran_lama"));
    const db::Result refused = grades::FindGradeSubject(QStringLiteral("M1"), &subject);
    QCOMPARE(refused.kind, Kind::Failure);
    QVERIFY(refused.reason.contains(QStringLiteral("Pelajaran")));
}

void TestGradeStore::updateChangesOneSubjectOnly()
{
    using Kind = db::Result::Kind;
    test::TestDatabase db;
    db.addStudent(QStringLiteral("N1"));
    addGrade(db, QStringLiteral("7"), QStringLiteral("M1"));
    addGrade(db, QStringLiteral("7"), QStringLiteral("M2"));
    addGrade(db, QStringLiteral("8"), QStringLiteral("M2"));
    db.exec(QStringLiteral("update Nilai set SKS = 2 where Noreg = '7' and KdMatpel = 'M2'"));

    // The row's own credit units (2) count, not those the screen shows (3).
    db::GradeRowValues row = sampleRow(QStringLiteral("7"), QStringLiteral("m2"));
    row.nilangka = QStringLiteral("72.5");
    row.nilhu = QStringLiteral("B");
    row.bobot = QStringLiteral("3");
    row.mutu = QStringLiteral("9");
    row.prediket = QStringLiteral("Very Good");
    const db::Result updated = grades::UpdateGradeRow(row);
    QCOMPARE(updated.kind, Kind::Ok);
    QCOMPARE(updated.rowsAffected, 1);
    QCOMPARE(db.rows(QStringLiteral("select Noreg, KdMatpel, SKS, Nilangka, Nilhu, Bobot, Mutu, Prediket from Nilai "
                                    "order by rowid")),
             (QList<QVariantList>{
                 {QStringLiteral("7"), QStringLiteral("M1"), 3.0, 85.0, QStringLiteral("A"), 4.0, 12.0, QStringLiteral("Excellent")},
                 {QStringLiteral("7"), QStringLiteral("M2"), 2.0, 72.5, QStringLiteral("B"), 3.0, 6.0, QStringLiteral("Very Good")},
                 {QStringLiteral("8"), QStringLiteral("M2"), 3.0, 85.0, QStringLiteral("A"), 4.0, 12.0, QStringLiteral("Excellent")}}));

    // No row of that number has that subject: nothing changes.
    const QList<QVariantList> before = db.rows(QStringLiteral("select * from Nilai order by rowid"));
    row.kdMatpel = QStringLiteral("M3");
    QCOMPARE(grades::UpdateGradeRow(row).kind, Kind::NotFound);
    row = sampleRow(QStringLiteral("9"), QStringLiteral("M1"));
    QCOMPARE(grades::UpdateGradeRow(row).kind, Kind::NotFound);
    QCOMPARE(db.rows(QStringLiteral("select * from Nilai order by rowid")), before);

    // A weight that is no number is refused with the engine's reason.
    row = sampleRow(QStringLiteral("7"), QStringLiteral("M1"));
    row.bobot = QString();
    const db::Result refused = grades::UpdateGradeRow(row);
    QCOMPARE(refused.kind, Kind::BadValue);
    QVERIFY(!refused.reason.isEmpty());
    QCOMPARE(db.rows(QStringLiteral("select * from Nilai order by rowid")), before);
}

QTEST_GUILESS_MAIN(TestGradeStore)
#include "tst_gradestore.moc"
