// The grade store: its statements as text and its calls on the engine: the
// next registration number from the last row, the lookups, quotes stored as
// typed, the update of one subject's row, the literal delete.
#include "common/module1.h"
#include "db/failure.h"
#include "db/gradestatements.h"
#include "db/sqltext.h"
#include "grades/gradestore.h"
#include "db/result.h"
#include "db/transaction.h"
#include "testsupport.h"

#include <QSqlError>
#include <QSqlQuery>

#include <QTest>

using namespace pel;
using Kind = db::Result::Kind;

namespace {

db::GradeRowValues sampleRow(const QString &noreg, const QString &subject)
{
    return {noreg,  QStringLiteral("07-12-2026"), QStringLiteral("N1"),   QStringLiteral("KOMPUTER"),
            QStringLiteral("DASAR"), subject,     QStringLiteral("3"),    QStringLiteral("BUDI"),
            QStringLiteral("85"),    QStringLiteral("A"), QStringLiteral("4"), QStringLiteral("12"),
            QStringLiteral("Excellent"), QStringLiteral("Lulus")};
}

// The number the grade screen draws when it opens.
QString nextNumber()
{
    QString number;
    const db::Result drawn = grades::NextRegistrationNumber(dbConnection, &number);
    if (!drawn.ok())
        qWarning("%s", qPrintable(db::failureMessage(drawn)));
    return number;
}

// A second desk: its own connection to the same database.
struct OtherDesk
{
    explicit OtherDesk(const test::TestDatabase &db)
    {
        const db::Result opened = connection.open(db.target());
        if (!opened.ok())
            qWarning("%s", qPrintable(db::failureMessage(opened)));
    }
    bool exec(const QString &sql)
    {
        QSqlQuery query(connection.database());
        const bool done = query.exec(sql);
        if (!done)
            qWarning("%s", qPrintable(query.lastError().text()));
        return done;
    }
    db::Connection connection;
};

// A connection waits no longer for another desk's write lock: SQLite's busy
// timeout, the server's lock timeout.
QString giveUpAtOnce()
{
    return test::onPostgres() ? QStringLiteral("set lock_timeout = 10") : QStringLiteral("PRAGMA busy_timeout = 0");
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
    void impossibleNumbersAreRefused_data();
    void impossibleNumbersAreRefused();
    void twoDesksNeverShareANumber();
    void writeTransactionsTakeTurns();
    void updateOfRowsChangedByAnotherDesk_data();
    void updateOfRowsChangedByAnotherDesk();
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
    QCOMPARE(nextNumber(), QStringLiteral("1"));
    addGrade(db, QStringLiteral("50"));
    addGrade(db, QStringLiteral("7"));
    addGrade(db, QStringLiteral("41"));
    QCOMPARE(nextNumber(), QStringLiteral("42"));
    db.exec(QStringLiteral("delete from Nilai where Noreg = '41'"));
    QCOMPARE(nextNumber(), QStringLiteral("8"));
    addGrade(db, QStringLiteral("REG-009"));
    QCOMPARE(nextNumber(), QStringLiteral("REG-010"));

    dbConnection.close();
    QString number;
    QVERIFY(!grades::NextRegistrationNumber(dbConnection, &number).ok());
}

void TestGradeStore::quotesAreStoredAsTyped()
{
    test::TestDatabase db;
    db.addStudent(QStringLiteral("N'1"));
    db::GradeRowValues row = sampleRow(QStringLiteral("4'1"), QStringLiteral("M'1"));
    row.nis = QStringLiteral("N'1");
    row.tentor = QStringLiteral("O'NEIL");
    row.prediket = QStringLiteral("'");
    const db::Result saved = grades::SaveGrade(dbConnection, row);
    QVERIFY2(saved.ok(), qPrintable(saved.reason));
    QCOMPARE(db.rows(QStringLiteral("select Noreg, Nis, KdMatpel, Tentor, Prediket from Nilai")),
             (QList<QVariantList>{{QStringLiteral("4'1"), QStringLiteral("N'1"), QStringLiteral("M'1"),
                                   QStringLiteral("O'NEIL"), QStringLiteral("'")}}));
    QCOMPARE(grades::FindRegistration(dbConnection, QStringLiteral("4'1")).kind, db::Result::Kind::Ok);
    QCOMPARE(grades::FindRegistration(dbConnection, QStringLiteral("4")).kind, db::Result::Kind::NotFound);
    row.ket = QStringLiteral("L'");
    const db::Result updated = grades::UpdateGradeRow(dbConnection, row);
    QVERIFY2(updated.ok(), qPrintable(updated.reason));
    QCOMPARE(db.scalar(QStringLiteral("select Ket from Nilai")).toString(), QStringLiteral("L'"));
    const db::Result deleted = grades::DeleteGradeRows(dbConnection, QStringLiteral("4'1"));
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
    const db::Result result = grades::DeleteGradeRows(dbConnection, noreg);
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
    QCOMPARE(grades::FindGradeStudent(dbConnection, QStringLiteral("n1"), &student).kind, Kind::Ok);
    QCOMPARE(student.name, QStringLiteral("BUDI"));
    QCOMPARE(student.programme, QStringLiteral("KOMPUTER"));
    QCOMPARE(student.level, QString());
    QCOMPARE(grades::FindGradeStudent(dbConnection, QStringLiteral("N2"), &student).kind, Kind::NotFound);

    grades::GradeSubject subject;
    QCOMPARE(grades::FindGradeSubject(dbConnection, QStringLiteral("M1"), &subject).kind, Kind::Ok);
    QCOMPARE(subject.name, QStringLiteral("BASIS DATA"));
    QCOMPARE(subject.credits, std::optional<double>(2.5));
    QCOMPARE(subject.instructor, QStringLiteral("ANI"));
    QCOMPARE(grades::FindGradeSubject(dbConnection, QStringLiteral("M2"), &subject).kind, Kind::Ok);
    QVERIFY(!subject.credits);
    QCOMPARE(grades::FindGradeSubject(dbConnection, QStringLiteral("M3"), &subject).kind, Kind::NotFound);

    db.exec(QStringLiteral("alter table Pelajaran rename to Pelajaran_lama"));
    const db::Result refused = grades::FindGradeSubject(dbConnection, QStringLiteral("M1"), &subject);
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
    const db::Result updated = grades::UpdateGradeRow(dbConnection, row);
    QCOMPARE(updated.kind, Kind::Ok);
    QCOMPARE(updated.rowsAffected, 1);
    QCOMPARE(db.gradeRows(QStringLiteral("Noreg, KdMatpel, SKS, Nilangka, Nilhu, Bobot, Mutu, Prediket")),
             (QList<QVariantList>{
                 {QStringLiteral("7"), QStringLiteral("M1"), 3.0, 85.0, QStringLiteral("A"), 4.0, 12.0, QStringLiteral("Excellent")},
                 {QStringLiteral("7"), QStringLiteral("M2"), 2.0, 72.5, QStringLiteral("B"), 3.0, 6.0, QStringLiteral("Very Good")},
                 {QStringLiteral("8"), QStringLiteral("M2"), 3.0, 85.0, QStringLiteral("A"), 4.0, 12.0, QStringLiteral("Excellent")}}));

    // No row of that number has that subject: nothing changes.
    const QList<QVariantList> before = db.gradeRows();
    row.kdMatpel = QStringLiteral("M3");
    QCOMPARE(grades::UpdateGradeRow(dbConnection, row).kind, Kind::NotFound);
    row = sampleRow(QStringLiteral("9"), QStringLiteral("M1"));
    QCOMPARE(grades::UpdateGradeRow(dbConnection, row).kind, Kind::NotFound);
    QCOMPARE(db.gradeRows(), before);

    // A weight that is no number is refused with the engine's reason.
    row = sampleRow(QStringLiteral("7"), QStringLiteral("M1"));
    row.bobot = QString();
    const db::Result refused = grades::UpdateGradeRow(dbConnection, row);
    QCOMPARE(refused.kind, Kind::BadValue);
    QVERIFY(!refused.reason.isEmpty());
    QCOMPARE(db.gradeRows(), before);
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
    const db::Result saved = grades::SaveGrade(dbConnection, row);
    QCOMPARE(saved.ok(), stored);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai")).toInt(), stored ? 1 : 0);
    if (!stored)
        QCOMPARE(saved.kind, db::Result::Kind::BadValue);
}

QTEST_GUILESS_MAIN(TestGradeStore)
#include "tst_gradestore.moc"

void TestGradeStore::twoDesksNeverShareANumber()
{
    test::TestDatabase db;
    db.addStudent(QStringLiteral("N1"));
    db.addStudent(QStringLiteral("N2"));
    addGrade(db, QStringLiteral("6"));
    OtherDesk other(db);
    QVERIFY(other.connection.isOpen());

    // Both desks draw 7; the other desk saves student N2 under it first,
    // after a row of N2 under 8 (typed by hand), which the new draw skips.
    const QString drawn = nextNumber();
    QCOMPARE(drawn, QStringLiteral("7"));
    db::GradeRowValues typed = sampleRow(QStringLiteral("8"), QStringLiteral("M1"));
    typed.nis = QStringLiteral("N2");
    QVERIFY(other.exec(db::GradeInsertStatement(typed)));
    db::GradeRowValues theirs = sampleRow(drawn, QStringLiteral("M1"));
    theirs.nis = QStringLiteral("n2");
    QVERIFY(other.exec(db::GradeInsertStatement(theirs)));

    // This desk saves N1 under the same drawn number: it gets the next free one.
    QString saved;
    db::Result result = grades::SaveGrade(dbConnection, sampleRow(drawn, QStringLiteral("M1")), &saved);
    QVERIFY2(result.ok(), qPrintable(result.reason));
    QCOMPARE(saved, QStringLiteral("9"));
    // The next subject of the same student stays under that number, and a
    // number this student already holds is kept as well.
    result = grades::SaveGrade(dbConnection, sampleRow(saved, QStringLiteral("M2")), &saved);
    QVERIFY2(result.ok(), qPrintable(result.reason));
    QCOMPARE(saved, QStringLiteral("9"));
    result = grades::SaveGrade(dbConnection, sampleRow(QStringLiteral("6"), QStringLiteral("M2")), &saved);
    QCOMPARE(saved, QStringLiteral("6"));

    QCOMPARE(db.gradeRows(QStringLiteral("Noreg, Nis, KdMatpel")),
             (QList<QVariantList>{{QStringLiteral("6"), QStringLiteral("N1"), QStringLiteral("M1")},
                                  {QStringLiteral("8"), QStringLiteral("N2"), QStringLiteral("M1")},
                                  {QStringLiteral("7"), QStringLiteral("n2"), QStringLiteral("M1")},
                                  {QStringLiteral("9"), QStringLiteral("N1"), QStringLiteral("M1")},
                                  {QStringLiteral("9"), QStringLiteral("N1"), QStringLiteral("M2")},
                                  {QStringLiteral("6"), QStringLiteral("N1"), QStringLiteral("M2")}}));
}

void TestGradeStore::writeTransactionsTakeTurns()
{
    test::TestDatabase db;
    db.addStudent(QStringLiteral("N1"));
    OtherDesk other(db);
    // The other desk gives up at once instead of waiting for the lock.
    QVERIFY(other.exec(giveUpAtOnce()));
    {
        db::Transaction holding(dbConnection, db::Transaction::Mode::Write);
        QVERIFY(holding.isActive());
        // While this desk holds the write lock, the other desk cannot begin
        // a write transaction, but may still read.
        db::Transaction refused(other.connection, db::Transaction::Mode::Write);
        QVERIFY(!refused.isActive());
        QVERIFY(!refused.lastError().ok());
        QVERIFY(other.exec(QStringLiteral("select * from Nilai")));
    }
    // The other way round, this desk's save cannot run: nothing is stored,
    // and the reason is given.
    db::Transaction later(other.connection, db::Transaction::Mode::Write);
    QVERIFY(later.isActive());
    QVERIFY(db.exec(giveUpAtOnce()));
    const db::Result saved = grades::SaveGrade(dbConnection, sampleRow(QStringLiteral("1"), QStringLiteral("M1")));
    QVERIFY(!saved.ok());
    QVERIFY(!saved.reason.isEmpty());
    QVERIFY(later.commit());
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Nilai")).toInt(), 0);
}

void TestGradeStore::updateOfRowsChangedByAnotherDesk_data()
{
    QTest::addColumn<QString>("otherDesk");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("storedScore");
    QTest::newRow("unchanged") << QString() << int(Kind::Ok) << QStringLiteral("60");
    QTest::newRow("changed") << QStringLiteral("update Nilai set Nilangka = 70 where Noreg = '7'") << int(Kind::Conflict)
                             << QStringLiteral("70");
    QTest::newRow("added") << QStringLiteral("insert into Nilai (%1) select %1 from Nilai").arg(test::GradeColumns)
                           << int(Kind::Conflict)
                           << QStringLiteral("85");
    QTest::newRow("deleted") << QStringLiteral("delete from Nilai") << int(Kind::NotFound) << QString();
}

void TestGradeStore::updateOfRowsChangedByAnotherDesk()
{
    QFETCH(QString, otherDesk);
    QFETCH(int, kind);
    QFETCH(QString, storedScore);
    test::TestDatabase db;
    db.addStudent(QStringLiteral("N1"));
    addGrade(db, QStringLiteral("7"));
    QList<db::GradeRowValues> lookedUp;
    QVERIFY(grades::FindGradeRows(dbConnection, QStringLiteral("7"), QStringLiteral("m1"), &lookedUp).ok());
    QCOMPARE(lookedUp.size(), 1);
    QCOMPARE(lookedUp.first(), sampleRow(QStringLiteral("7"), QStringLiteral("M1")));

    OtherDesk other(db);
    if (!otherDesk.isEmpty())
        QVERIFY(other.exec(otherDesk));
    db::GradeRowValues row = sampleRow(QStringLiteral("7"), QStringLiteral("M1"));
    row.nilangka = QStringLiteral("60");
    QList<db::GradeRowValues> stored;
    const db::Result updated = grades::UpdateGradeRow(dbConnection, row, &lookedUp, &stored);
    QCOMPARE(int(updated.kind), kind);
    QStringList scores;
    for (const QVariantList &values : db.rows(QStringLiteral("select Nilangka from Nilai")))
        scores << values.first().toString();
    scores.removeDuplicates();
    QCOMPARE(scores.join(QLatin1Char(',')), storedScore);
    // The rows as stored come back: the other desk's after a conflict, the
    // written ones after the update.
    if (!storedScore.isEmpty())
        QCOMPARE(stored.first().nilangka, storedScore);
}
