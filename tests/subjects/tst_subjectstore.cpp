// The subject store: the exact texts of its statements and what its calls
// do on the engine; stored rows as box texts; keys that are not stored.
#include "common/module1.h"
#include "db/subjectstatements.h"
#include "subjects/subjectstore.h"
#include "testsupport.h"

#include <QTest>

using namespace pel;

namespace {

db::SubjectText subject(const QString &code, const QString &name = QStringLiteral("MATEMATIKA"),
                        const QString &sks = QStringLiteral("3"))
{
    return {code, name, QStringLiteral("07-12-2026"), QStringLiteral("R.2"), QStringLiteral("BUDI"), sks};
}

using Kind = db::Result::Kind;

} // namespace

class TestSubjectStore : public QObject
{
    Q_OBJECT
private slots:
    void exactTexts_data();
    void exactTexts();
    void deleteRemovesExactlyTheCode_data();
    void deleteRemovesExactlyTheCode();
    void creditUnitsMustBeANumber_data();
    void creditUnitsMustBeANumber();
    void storedRowBecomesBoxTexts();
};

void TestSubjectStore::exactTexts_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("lookup");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("update");
    QTest::addColumn<QString>("remove");

    QTest::newRow("plain") << "MP01" << "MATEMATIKA"
        << "select * from Pelajaran where KdMatpel ='MP01'"
        << "insert into Pelajaran(KdMatpel,NmMatpel,TglEntry,Lokal,Instruktur, SKS) "
           "values('MP01','MATEMATIKA', '07-12-2026', 'R.2', 'BUDI', '3')"
        << "update Pelajaran  set NmMatpel='MATEMATIKA', TglEntry='07-12-2026', Lokal='R.2', "
           "Instruktur='BUDI', SKS='3' where KdMatpel='MP01'"
        << "delete from Pelajaran where(KdMatpel like 'MP01')";
    QTest::newRow("quotes") << "M'1" << "JUM'AT"
        << "select * from Pelajaran where KdMatpel ='M''1'"
        << "insert into Pelajaran(KdMatpel,NmMatpel,TglEntry,Lokal,Instruktur, SKS) "
           "values('M''1','JUM''AT', '07-12-2026', 'R.2', 'BUDI', '3')"
        << "update Pelajaran  set NmMatpel='JUM''AT', TglEntry='07-12-2026', Lokal='R.2', "
           "Instruktur='BUDI', SKS='3' where KdMatpel='M''1'"
        << "delete from Pelajaran where(KdMatpel like 'M''1')";
    QTest::newRow("wildcards") << "M%_1" << "A_%"
        << "select * from Pelajaran where KdMatpel ='M%_1'"
        << "insert into Pelajaran(KdMatpel,NmMatpel,TglEntry,Lokal,Instruktur, SKS) "
           "values('M%_1','A_%', '07-12-2026', 'R.2', 'BUDI', '3')"
        << "update Pelajaran  set NmMatpel='A_%', TglEntry='07-12-2026', Lokal='R.2', "
           "Instruktur='BUDI', SKS='3' where KdMatpel='M%_1'"
        << "delete from Pelajaran where(KdMatpel like 'M\\%\\_1' escape '\\')";
    QTest::newRow("empty") << "" << ""
        << "select * from Pelajaran where KdMatpel =''"
        << "insert into Pelajaran(KdMatpel,NmMatpel,TglEntry,Lokal,Instruktur, SKS) "
           "values('','', '07-12-2026', 'R.2', 'BUDI', '3')"
        << "update Pelajaran  set NmMatpel='', TglEntry='07-12-2026', Lokal='R.2', "
           "Instruktur='BUDI', SKS='3' where KdMatpel=''"
        << "delete from Pelajaran where(KdMatpel like '')";
}

void TestSubjectStore::exactTexts()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, lookup);
    QFETCH(QString, insert);
    QFETCH(QString, update);
    QFETCH(QString, remove);
    QCOMPARE(db::subjectLookupSql(code), lookup);
    QCOMPARE(db::subjectInsertSql(subject(code, name)), insert);
    QCOMPARE(db::subjectUpdateSql(subject(code, name)), update);
    QCOMPARE(db::subjectDeleteSql(code), remove);

    // On the engine: each value is stored and matched as typed, the lookup
    // ignores letter case, and no statement touches another subject.
    test::TestDatabase db;
    db.addSubject(QStringLiteral("LAIN"), QStringLiteral("LAIN"));
    const bool storable = !code.isEmpty(); // the key may not be empty
    const db::Result saved = subjects::SaveSubject(dbConnection, subject(code, name));
    QCOMPARE(saved.ok(), storable);
    if (!storable)
        QCOMPARE(saved.kind, Kind::BadValue);
    db::SubjectText stored;
    QCOMPARE(subjects::FindSubject(dbConnection, code.toLower(), &stored).kind, storable ? Kind::Ok : Kind::NotFound);
    if (storable) {
        QCOMPARE(stored.code, code);
        QCOMPARE(stored.name, name);
        QCOMPARE(stored.sks, QStringLiteral("3"));
    }
    const db::Result updated = subjects::UpdateSubject(dbConnection, subject(code, name + QStringLiteral("'2"), QStringLiteral("4")));
    QCOMPARE(updated.kind, storable ? Kind::Ok : Kind::NotFound);
    QCOMPARE(updated.rowsAffected, storable ? 1 : 0);
    if (storable)
        QCOMPARE(db.rows(QStringLiteral("select NmMatpel, SKS from Pelajaran where KdMatpel <> 'LAIN'")),
                 (QList<QVariantList>{{name + QStringLiteral("'2"), 4.0}}));
    const db::Result removed = subjects::DeleteSubject(dbConnection, code);
    QCOMPARE(removed.kind, storable ? Kind::Ok : Kind::NotFound);
    QCOMPARE(removed.rowsAffected, storable ? 1 : 0);
    QCOMPARE(db.rows(QStringLiteral("select KdMatpel, NmMatpel from Pelajaran")),
             (QList<QVariantList>{{QStringLiteral("LAIN"), QStringLiteral("LAIN")}}));
}

void TestSubjectStore::deleteRemovesExactlyTheCode_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("left");
    // Stored: A1, A10, %, A_1, AB1.
    QTest::newRow("plain") << "A1" << QStringList{"%", "A10", "A_1", "AB1"};
    QTest::newRow("letter case") << "ab1" << QStringList{"%", "A1", "A10", "A_1"};
    QTest::newRow("percent alone") << "%" << QStringList{"A1", "A10", "A_1", "AB1"};
    QTest::newRow("underscore") << "A_1" << QStringList{"%", "A1", "A10", "AB1"};
    QTest::newRow("percent not stored") << "A%" << QStringList{"%", "A1", "A10", "A_1", "AB1"};
    QTest::newRow("underscore not stored") << "_1" << QStringList{"%", "A1", "A10", "A_1", "AB1"};
    QTest::newRow("quote") << "A'1" << QStringList{"%", "A1", "A10", "A_1", "AB1"};
}

void TestSubjectStore::deleteRemovesExactlyTheCode()
{
    QFETCH(QString, code);
    QFETCH(QStringList, left);
    test::TestDatabase db;
    for (const char *stored : {"A1", "A10", "%", "A_1", "AB1"})
        db.addSubject(QString::fromLatin1(stored));
    const db::Result result = subjects::DeleteSubject(dbConnection, code);
    QStringList codes;
    for (const QVariantList &row : db.rows(QStringLiteral("select KdMatpel from Pelajaran order by KdMatpel")))
        codes << row.first().toString();
    QCOMPARE(codes, left);
    // A code that matches nothing is reported as not stored.
    QCOMPARE(result.kind, left.size() == 5 ? Kind::NotFound : Kind::Ok);
}

void TestSubjectStore::creditUnitsMustBeANumber_data()
{
    QTest::addColumn<QString>("sks");
    QTest::addColumn<bool>("stored");
    QTest::newRow("whole") << "3" << true;
    QTest::newRow("decimal point") << "2.5" << true;
    QTest::newRow("letters") << "TIGA" << false;
    QTest::newRow("digits and letters") << "3A" << false;
    QTest::newRow("empty") << "" << false;
}

void TestSubjectStore::creditUnitsMustBeANumber()
{
    QFETCH(QString, sks);
    QFETCH(bool, stored);
    test::TestDatabase db;
    const db::Result saved = subjects::SaveSubject(dbConnection, subject(QStringLiteral("MP01"), QStringLiteral("X"), sks));
    QCOMPARE(saved.ok(), stored);
    QCOMPARE(saved.reason.isEmpty(), stored);
    if (!stored)
        QCOMPARE(saved.kind, Kind::BadValue);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Pelajaran")).toInt(), stored ? 1 : 0);

    // An update to such a value is refused the same way and changes nothing.
    db.addSubject(QStringLiteral("MP02"), QStringLiteral("KIMIA"), 2);
    QCOMPARE(subjects::UpdateSubject(dbConnection, subject(QStringLiteral("MP02"), QStringLiteral("X"), sks)).ok(), stored);
    QCOMPARE(db.scalar(QStringLiteral("select NmMatpel from Pelajaran where KdMatpel='MP02'")).toString(),
             stored ? QStringLiteral("X") : QStringLiteral("KIMIA"));
}

void TestSubjectStore::storedRowBecomesBoxTexts()
{
    test::TestDatabase db;
    db.exec(QStringLiteral("insert into Pelajaran values ('MP01', 'FISIKA', '__-__-____', 'R1', null, 2.5)"));
    db.exec(QStringLiteral("insert into Pelajaran values ('MP02', null, null, null, 'ANI', null)"));
    db::SubjectText first;
    QVERIFY(subjects::FindSubject(dbConnection, QStringLiteral("mp01"), &first).ok());
    QCOMPARE(first.code, QStringLiteral("MP01"));
    QCOMPARE(first.name, QStringLiteral("FISIKA"));
    QCOMPARE(first.entryDate, QStringLiteral("__-__-____"));
    QCOMPARE(first.room, QStringLiteral("R1"));
    QCOMPARE(first.instructor, QString());
    QCOMPARE(first.sks, QStringLiteral("2.5"));
    db::SubjectText second;
    QVERIFY(subjects::FindSubject(dbConnection, QStringLiteral("MP02"), &second).ok());
    QCOMPARE(second.code, QStringLiteral("MP02"));
    QCOMPARE(second.name, QString());
    QCOMPARE(second.entryDate, QString());
    QCOMPARE(second.instructor, QStringLiteral("ANI"));
    QCOMPARE(second.sks, QString());
}

QTEST_GUILESS_MAIN(TestSubjectStore)
#include "tst_subjectstore.moc"
