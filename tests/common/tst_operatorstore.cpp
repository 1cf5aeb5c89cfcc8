// The operator store: the login's rule over hashed passwords, older files'
// passwords kept as text, user IDs unique without regard to letter case, and
// changes that touch exactly the named operator.
#include "common/module1.h"
#include "common/operatorstore.h"
#include "common/password.h"
#include "testsupport.h"

#include <QTest>

#include <sodium.h>

using namespace pel;

class TestOperatorStore : public QObject
{
    Q_OBJECT
private slots:
    void hashesAreArgon2idAtLoginCost();
    void loginRule_data();
    void loginRule();
    void textPasswordIsReplacedByItsHashAtLogin();
    void userIdsAreUniqueWithoutLetterCase();
    void changesTouchExactlyTheNamedOperator();
    void rehashConvertsEveryTextPassword();

private:
    static void addTextOperator(test::TestDatabase &db, const QString &user, const QString &password,
                                const QString &level = QStringLiteral("Manager"));
    static QString storedPassword(test::TestDatabase &db, const QString &user);
};

void TestOperatorStore::addTextOperator(test::TestDatabase &db, const QString &user, const QString &password,
                                        const QString &level)
{
    db.exec(QStringLiteral("insert into t_petugas values ('%1', 'NAMA %1', '%2', '%3')").arg(user, password, level));
}

QString TestOperatorStore::storedPassword(test::TestDatabase &db, const QString &user)
{
    return db.scalar(QStringLiteral("select password from t_petugas where %1 = '%2'")
                         .arg(test::exactly(QStringLiteral("userid")), user))
        .toString();
}

void TestOperatorStore::hashesAreArgon2idAtLoginCost()
{
    const QString hash = hashPassword(QStringLiteral(" rahasia "));
    QVERIFY2(hash.startsWith(QStringLiteral("$argon2id$v=19$m=19456,t=2,p=1$")), qPrintable(hash));
    QVERIFY(isPasswordHash(hash));
    QVERIFY(!isPasswordHash(QStringLiteral("rahasia")));
    // Two hashes of one password differ by their salt; both match it.
    const QString again = hashPassword(QStringLiteral("rahasia"));
    QVERIFY(again != hash);
    QVERIFY(passwordMatches(hash, QStringLiteral("rahasia")));
    QVERIFY(passwordMatches(again, QStringLiteral("  rahasia")));
    QVERIFY(!passwordMatches(hash, QStringLiteral("Rahasia")));
    QVERIFY(!passwordMatches(QString(), QString()));
    // A hash stored at the heavier cost of earlier builds still matches.
    char older[crypto_pwhash_STRBYTES];
    QVERIFY(crypto_pwhash_str(older, "rahasia", 7, crypto_pwhash_OPSLIMIT_INTERACTIVE,
                              crypto_pwhash_MEMLIMIT_INTERACTIVE) == 0);
    QVERIFY(QString::fromLatin1(older).startsWith(QStringLiteral("$argon2id$v=19$m=65536,t=2,p=1$")));
    QVERIFY(passwordMatches(QString::fromLatin1(older), QStringLiteral("rahasia")));
    QVERIFY(!passwordMatches(QString::fromLatin1(older), QStringLiteral("rahasia2")));
}

void TestOperatorStore::loginRule_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("granted");
    QTest::addColumn<QString>("level");
    QTest::newRow("as stored") << "budi" << "Rahasia1" << true << "Manager";
    QTest::newRow("blanks around both") << "  budi " << " Rahasia1  " << true << "Manager";
    QTest::newRow("password letter case") << "budi" << "rahasia1" << false << "";
    QTest::newRow("user letter case") << "BUDI" << "Rahasia1" << false << "";
    QTest::newRow("first matching row") << "ani" << "kedua" << true << "Entri";
    QTest::newRow("unknown") << "cici" << "Rahasia1" << false << "";
}

void TestOperatorStore::loginRule()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, granted);
    QFETCH(QString, level);
    test::TestDatabase db;
    db.addOperator(QStringLiteral(" budi "), QStringLiteral("BUDI"), QStringLiteral("Rahasia1"), QStringLiteral("Manager"));
    db.addOperator(QStringLiteral("ani"), QStringLiteral("ANI 1"), QStringLiteral("pertama"), QStringLiteral("Operator"));
    db.addOperator(QStringLiteral("ani"), QStringLiteral("ANI 2"), QStringLiteral("kedua"), QStringLiteral("Entri"));
    Operator found;
    const db::Result result = OperatorStore(dbConnection).checkLogin(user, password, &found);
    QCOMPARE(result.ok(), granted);
    if (granted) {
        QCOMPARE(found.level, level);
        // The audit rows of the connection name the operator from now on.
        db.addStudent(QStringLiteral("S1"));
        QCOMPARE(db.scalar(QStringLiteral("select userid from t_log")).toString(), user.trimmed());
    } else {
        QCOMPARE(result.kind, db::Result::Kind::NotFound);
    }
}

void TestOperatorStore::textPasswordIsReplacedByItsHashAtLogin()
{
    test::TestDatabase db;
    addTextOperator(db, QStringLiteral("lama"), QStringLiteral(" sandi "));
    const OperatorStore store(dbConnection);
    QCOMPARE(store.checkLogin(QStringLiteral("lama"), QStringLiteral("Sandi"), nullptr).kind, db::Result::Kind::NotFound);
    QCOMPARE(storedPassword(db, QStringLiteral("lama")), QStringLiteral(" sandi "));

    QVERIFY(store.checkLogin(QStringLiteral("lama"), QStringLiteral("sandi"), nullptr).ok());
    const QString stored = storedPassword(db, QStringLiteral("lama"));
    QVERIFY2(isPasswordHash(stored), qPrintable(stored));
    QVERIFY(store.checkLogin(QStringLiteral("lama "), QStringLiteral(" sandi"), nullptr).ok());
    QCOMPARE(storedPassword(db, QStringLiteral("lama")), stored);
}

void TestOperatorStore::userIdsAreUniqueWithoutLetterCase()
{
    test::TestDatabase db;
    const OperatorStore store(dbConnection);
    QVERIFY(store.add({QStringLiteral("manager"), QStringLiteral("HARTONO"), QStringLiteral("Manager")},
                      QStringLiteral("m1")).ok());
    QCOMPARE(store.add({QStringLiteral(" MANAGER "), QStringLiteral("LAIN"), QStringLiteral("Entri")},
                       QStringLiteral("x")).kind,
             db::Result::Kind::DuplicateKey);
    QCOMPARE(store.add({QStringLiteral("  "), QStringLiteral("KOSONG"), QStringLiteral("Entri")}, QStringLiteral("x")).kind,
             db::Result::Kind::BadValue);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from t_petugas")).toInt(), 1);
    QVERIFY(isPasswordHash(storedPassword(db, QStringLiteral("manager"))));
}

void TestOperatorStore::changesTouchExactlyTheNamedOperator()
{
    test::TestDatabase db;
    // An older file kept two operators whose IDs differ in letter case only.
    addTextOperator(db, QStringLiteral("manager"), QStringLiteral("a"));
    addTextOperator(db, QStringLiteral("MANAGER"), QStringLiteral("b"));
    addTextOperator(db, QStringLiteral("Dewi"), QStringLiteral("c"));
    const OperatorStore store(dbConnection);
    QVERIFY(store.remove(QStringLiteral("MANAGER")).ok());
    QCOMPARE(db.rows(QStringLiteral("select userid from t_petugas order by userid")),
             (QList<QVariantList>{{QStringLiteral("Dewi")}, {QStringLiteral("manager")}}));
    // A single operator is also found in other letter case.
    QVERIFY(store.setPassword(QStringLiteral("dewi"), QStringLiteral("baru")).ok());
    QVERIFY(store.checkLogin(QStringLiteral("Dewi"), QStringLiteral("baru"), nullptr).ok());
    QCOMPARE(storedPassword(db, QStringLiteral("manager")), QStringLiteral("a"));
    QCOMPARE(store.remove(QStringLiteral("nobody")).kind, db::Result::Kind::NotFound);

    addTextOperator(db, QStringLiteral("Manager"), QStringLiteral("d"));
    QCOMPARE(store.remove(QStringLiteral("MANAGER")).kind, db::Result::Kind::Conflict);
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from t_petugas")).toInt(), 3);
}

void TestOperatorStore::rehashConvertsEveryTextPassword()
{
    test::TestDatabase db;
    addTextOperator(db, QStringLiteral("satu"), QStringLiteral("s1"));
    addTextOperator(db, QStringLiteral("dua"), QStringLiteral(" s2 "));
    db.addOperator(QStringLiteral("tiga"), QStringLiteral("TIGA"), QStringLiteral("s3"), QStringLiteral("Entri"));
    const QString hashed = storedPassword(db, QStringLiteral("tiga"));
    int converted = -1;
    QVERIFY(OperatorStore(dbConnection).rehashAll(&converted).ok());
    QCOMPARE(converted, 2);
    QCOMPARE(storedPassword(db, QStringLiteral("tiga")), hashed);
    for (const QVariantList &row : db.rows(QStringLiteral("select password from t_petugas")))
        QVERIFY(isPasswordHash(row.first().toString()));
    QVERIFY(OperatorStore(dbConnection).checkLogin(QStringLiteral("dua"), QStringLiteral("s2"), nullptr).ok());
}

QTEST_GUILESS_MAIN(TestOperatorStore)
#include "tst_operatorstore.moc"
