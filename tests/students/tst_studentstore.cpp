// The student store: the exact texts of its statements, and what its calls
// do on the engine with quotes and wildcards in the typed values and with
// keys that are not stored.
#include "common/module1.h"
#include "db/schema.h"
#include "db/studentstatements.h"
#include "students/studententry.h"
#include "students/studentstore.h"
#include "testsupport.h"

#include <QTest>

using namespace pel;

namespace {

db::StudentRecord budi()
{
    db::StudentRecord s;
    s.nis = QStringLiteral("001");
    s.namaSiswa = QStringLiteral("BUDI");
    s.tptLahir = QStringLiteral("BANDUNG");
    s.tglLahir = QStringLiteral("07-12-2006");
    s.alamat = QStringLiteral("JL. MELATI 5");
    s.jenisKelamin = QStringLiteral("LAKI-LAKI");
    s.agama = QStringLiteral("ISLAM");
    s.tglMasuk = QStringLiteral("01-07-2026");
    s.progamJurusan = QStringLiteral("KOMPUTER");
    s.levelTahap = QStringLiteral("DASAR");
    s.asalSekolah = QStringLiteral("SMA 3");
    s.telpHp = QStringLiteral("0812");
    return s;
}

QStringList storedRow(test::TestDatabase &db, const QString &nis)
{
    QStringList values;
    const QList<QVariantList> rows =
        db.rows(QStringLiteral("select %1 from SISWA where NIS = '%2'")
                    .arg(db::schemaColumns(QStringLiteral("SISWA")).join(QLatin1Char(',')),
                         QString(nis).replace(QLatin1Char('\''), QStringLiteral("''"))));
    if (rows.size() == 1)
        for (const QVariant &value : rows.first())
            values << value.toString();
    return values;
}

QStringList asList(const db::StudentRecord &s)
{
    return {s.nis, s.namaSiswa, s.tptLahir, s.tglLahir, s.alamat, s.jenisKelamin,
            s.agama, s.tglMasuk, s.progamJurusan, s.levelTahap, s.asalSekolah, s.telpHp};
}

} // namespace

class TestStudentStore : public QObject
{
    Q_OBJECT
private slots:
    void exactTexts();
    void lookupText_data();
    void lookupText();
    void insertLookupUpdateOnEngine();
    void quoteInEveryValue();
    void deleteMatchesTypedNisLiterally_data();
    void deleteMatchesTypedNisLiterally();
    void recordFromRowAndNullColumns();
    void keysNotStoredChangeNothing();
    void updateOfARowChangedElsewhere();
    void characterKeys_data();
    void characterKeys();
};

void TestStudentStore::exactTexts()
{
    QCOMPARE(db::studentInsertSql(budi()),
             QStringLiteral("insert into SISWA(NIS,NamaSiswa,TptLahir,TglLahir,Alamat,JenisKelamin,Agama,TglMasuk,"
                            "ProgamJurusan,LevelTahap,AsalSekolah, TelpHp) values('001','BUDI', 'BANDUNG', "
                            "'07-12-2006', 'JL. MELATI 5', 'LAKI-LAKI', 'ISLAM', '01-07-2026', 'KOMPUTER', "
                            "'DASAR', 'SMA 3', '0812')"));
    QCOMPARE(db::studentUpdateSql(budi()),
             QStringLiteral("update SISWA  set NamaSiswa='BUDI', TptLahir='BANDUNG', TglLahir='07-12-2006', "
                            "Alamat='JL. MELATI 5', JenisKelamin='LAKI-LAKI', Agama='ISLAM', TglMasuk='01-07-2026', "
                            "ProgamJurusan='KOMPUTER', LevelTahap='DASAR', AsalSekolah='SMA 3', TelpHp='0812' "
                            "where NIS='001'"));
    QCOMPARE(db::studentDeleteSql(QStringLiteral("001")), QStringLiteral("delete from SISWA where(NIS like '001')"));
    QCOMPARE(db::studentDeleteSql(QStringLiteral("1%")),
             QStringLiteral("delete from SISWA where(NIS like '1\\%' escape '\\')"));

    // Empty boxes and untouched dates travel as they are.
    db::StudentRecord bare;
    bare.nis = QStringLiteral("9");
    bare.tglLahir = QStringLiteral("__-__-____");
    QCOMPARE(db::studentInsertSql(bare),
             QStringLiteral("insert into SISWA(NIS,NamaSiswa,TptLahir,TglLahir,Alamat,JenisKelamin,Agama,TglMasuk,"
                            "ProgamJurusan,LevelTahap,AsalSekolah, TelpHp) values('9','', '', '__-__-____', '', '', "
                            "'', '', '', '', '', '')"));
}

void TestStudentStore::lookupText_data()
{
    QTest::addColumn<QString>("nis");
    QTest::addColumn<QString>("sql");
    QTest::newRow("plain") << "001" << "select * from SISWA where NIS ='001'";
    QTest::newRow("quote") << "O'1" << "select * from SISWA where NIS ='O''1'";
    QTest::newRow("blank kept") << " 1 " << "select * from SISWA where NIS =' 1 '";
    QTest::newRow("empty") << "" << "select * from SISWA where NIS =''";
}

void TestStudentStore::lookupText()
{
    QFETCH(QString, nis);
    QFETCH(QString, sql);
    QCOMPARE(db::studentLookupSql(nis), sql);
}

void TestStudentStore::insertLookupUpdateOnEngine()
{
    using Kind = db::Result::Kind;
    test::TestDatabase db;
    const db::Result saved = students::SaveStudent(dbConnection, budi());
    QVERIFY2(saved.ok(), qPrintable(saved.reason));
    QCOMPARE(storedRow(db, QStringLiteral("001")), asList(budi()));

    // A second insert of the key is refused as a duplicate, with the reason.
    const db::Result again = students::SaveStudent(dbConnection, budi());
    QCOMPARE(again.kind, Kind::DuplicateKey);
    QVERIFY(!again.reason.isEmpty());

    db.addStudent(QStringLiteral("AB7"), QStringLiteral("ANI"));
    db::StudentRecord found;
    QCOMPARE(students::FindStudent(dbConnection, QStringLiteral("ab7"), &found).kind, Kind::Ok);
    QCOMPARE(found.namaSiswa, QStringLiteral("ANI"));
    QCOMPARE(students::FindStudent(dbConnection, QStringLiteral("AB"), &found).kind, Kind::NotFound);

    db::StudentRecord changed = budi();
    changed.nis = QStringLiteral("ab7");
    changed.namaSiswa = QStringLiteral("ANI SUSANTI");
    const db::Result updated = students::UpdateStudent(dbConnection, changed);
    QCOMPARE(updated.kind, Kind::Ok);
    QCOMPARE(updated.rowsAffected, 1);
    changed.nis = QStringLiteral("AB7"); // the key itself is not changed
    QCOMPARE(storedRow(db, QStringLiteral("AB7")), asList(changed));
    QCOMPARE(storedRow(db, QStringLiteral("001")), asList(budi()));
}

void TestStudentStore::quoteInEveryValue()
{
    test::TestDatabase db;
    db::StudentRecord s = budi();
    s.nis = QStringLiteral("O'1");
    s.namaSiswa = QStringLiteral("O'NEIL");
    s.alamat = QStringLiteral("JL. 'X'); drop table SISWA; --");
    const db::Result saved = students::SaveStudent(dbConnection, s);
    QVERIFY2(saved.ok(), qPrintable(saved.reason));
    QCOMPARE(storedRow(db, s.nis), asList(s));

    db::StudentRecord found;
    QVERIFY(students::FindStudent(dbConnection, s.nis, &found).ok());
    QCOMPARE(asList(found), asList(s));

    s.namaSiswa = QStringLiteral("D'ARCY O'NEIL");
    QVERIFY(students::UpdateStudent(dbConnection, s).ok());
    QCOMPARE(storedRow(db, s.nis), asList(s));

    const db::Result deleted = students::DeleteStudent(dbConnection, s.nis);
    QVERIFY(deleted.ok());
    QCOMPARE(deleted.rowsAffected, 1);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from SISWA")).toInt(), 0);
}

void TestStudentStore::deleteMatchesTypedNisLiterally_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("left");
    const QStringList all{"%", "1%", "10", "12", "1_", "1\\", "A_B", "AXB", "a_b2"};
    QTest::newRow("percent alone") << "%" << QStringList(all.mid(1));
    QTest::newRow("trailing percent") << "1%" << QStringList{"%", "10", "12", "1_", "1\\", "A_B", "AXB", "a_b2"};
    QTest::newRow("underscore") << "1_" << QStringList{"%", "1%", "10", "12", "1\\", "A_B", "AXB", "a_b2"};
    QTest::newRow("underscore, other case") << "a_b" << QStringList{"%", "1%", "10", "12", "1_", "1\\", "AXB", "a_b2"};
    QTest::newRow("backslash") << "1\\" << QStringList{"%", "1%", "10", "12", "1_", "A_B", "AXB", "a_b2"};
    QTest::newRow("plain, whole key only") << "1" << all;
    QTest::newRow("plain") << "12" << QStringList{"%", "1%", "10", "1_", "1\\", "A_B", "AXB", "a_b2"};
    QTest::newRow("empty") << "" << all;
    QTest::newRow("not stored") << "9_" << all;
}

void TestStudentStore::deleteMatchesTypedNisLiterally()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, left);
    test::TestDatabase db;
    for (const char *nis : {"%", "1%", "10", "12", "1_", "1\\", "A_B", "AXB", "a_b2"})
        db.addStudent(QString::fromLatin1(nis));
    const db::Result result = students::DeleteStudent(dbConnection, typed);
    QVERIFY2(result.ok() || result.kind == db::Result::Kind::NotFound, qPrintable(result.reason));
    QStringList remaining;
    for (const QVariantList &row : db.rows(QStringLiteral("select NIS from SISWA order by ") + test::exactly("NIS")))
        remaining << row.first().toString();
    left.sort();
    QCOMPARE(remaining, left);
    QCOMPARE(result.kind == db::Result::Kind::NotFound, remaining.size() == 9);
}

void TestStudentStore::recordFromRowAndNullColumns()
{
    test::TestDatabase db;
    QVERIFY(db.exec(QStringLiteral("insert into SISWA (NIS, NamaSiswa) values ('N1', 'NONA')")));
    db::StudentRecord s;
    QVERIFY(students::FindStudent(dbConnection, QStringLiteral("N1"), &s).ok());
    QCOMPARE(s.nis, QStringLiteral("N1"));
    QCOMPARE(s.namaSiswa, QStringLiteral("NONA"));
    QVERIFY(s.tglLahir.isEmpty());
    QVERIFY(s.telpHp.isEmpty());
}

void TestStudentStore::keysNotStoredChangeNothing()
{
    using Kind = db::Result::Kind;
    test::TestDatabase db;
    db.addStudent(QStringLiteral("N1"), QStringLiteral("NONA"));
    db.addSubject(QStringLiteral("M1"));
    QVERIFY(db.exec(QStringLiteral("insert into Nilai (Noreg, Nis, KdMatpel) values ('1', 'N1', 'M1')")));

    db::StudentRecord other = budi();
    other.nis = QStringLiteral("N2");
    QCOMPARE(students::UpdateStudent(dbConnection, other).kind, Kind::NotFound);
    QCOMPARE(students::DeleteStudent(dbConnection, QStringLiteral("N2")).kind, Kind::NotFound);
    // A student with grades stays, refused by the foreign key.
    const db::Result referred = students::DeleteStudent(dbConnection, QStringLiteral("N1"));
    QCOMPARE(referred.kind, Kind::ForeignKey);
    QVERIFY(!referred.reason.isEmpty());
    QCOMPARE(storedRow(db, QStringLiteral("N1")).value(1), QStringLiteral("NONA"));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from SISWA")).toInt(), 1);

    // Without a connection every call fails and names why.
    dbConnection.close();
    db::StudentRecord found;
    const db::Result lookup = students::FindStudent(dbConnection, QStringLiteral("N1"), &found);
    QCOMPARE(lookup.kind, Kind::Failure);
    QCOMPARE(lookup.reason, QStringLiteral("Database belum terbuka."));
    QCOMPARE(students::UpdateStudent(dbConnection, other).kind, Kind::Failure);
}

// The guarded update: the row as this desk read it against the row as
// stored, compared under the write lock. Another desk's change since the
// lookup wins; nothing is written and the stored row comes back.
void TestStudentStore::updateOfARowChangedElsewhere()
{
    test::TestDatabase db;
    QVERIFY(students::SaveStudent(dbConnection, budi()).ok());
    db::StudentRecord lookedUp;
    QVERIFY(students::FindStudent(dbConnection, QStringLiteral("001"), &lookedUp).ok());
    QVERIFY(db.exec(QStringLiteral("update SISWA set Alamat = 'DIUBAH DESK LAIN' where NIS = '001'")));

    db::StudentRecord typed = lookedUp;
    typed.namaSiswa = QStringLiteral("NAMA BARU");
    db::StudentRecord stored;
    const db::Result refused = students::UpdateStudent(dbConnection, typed, &lookedUp, &stored);
    QCOMPARE(refused.kind, db::Result::Kind::Conflict);
    QCOMPARE(stored.alamat, QStringLiteral("DIUBAH DESK LAIN"));
    QCOMPARE(stored.namaSiswa, budi().namaSiswa);
    QCOMPARE(storedRow(db, QStringLiteral("001")), asList(stored));

    // Read again, the same update goes through and gives back the row as stored.
    const db::Result updated = students::UpdateStudent(dbConnection, typed, &stored, &stored);
    QVERIFY2(updated.ok(), qPrintable(updated.reason));
    QCOMPARE(stored.namaSiswa, QStringLiteral("NAMA BARU"));
    QCOMPARE(storedRow(db, QStringLiteral("001")), asList(stored));
    // A student gone meanwhile: nothing to update.
    QVERIFY(db.exec(QStringLiteral("delete from SISWA where NIS = '001'")));
    QCOMPARE(students::UpdateStudent(dbConnection, typed, &stored, &stored).kind, db::Result::Kind::NotFound);
}

void TestStudentStore::characterKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("character");
    QTest::newRow("letter") << int(Qt::Key_A) << "a" << true;
    QTest::newRow("digit") << int(Qt::Key_1) << "1" << true;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << "" << true;
    QTest::newRow("return") << int(Qt::Key_Return) << "\r" << true;
    QTest::newRow("enter") << int(Qt::Key_Enter) << "" << true;
    QTest::newRow("left") << int(Qt::Key_Left) << "" << false;
    QTest::newRow("delete") << int(Qt::Key_Delete) << QString(QChar(0x7f)) << false;
    QTest::newRow("tab") << int(Qt::Key_Tab) << "\t" << false;
    QTest::newRow("shift") << int(Qt::Key_Shift) << "" << false;
}

void TestStudentStore::characterKeys()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(bool, character);
    QCOMPARE(students::isCharacterKey(key, text), character);
}

QTEST_MAIN(TestStudentStore)
#include "tst_studentstore.moc"
