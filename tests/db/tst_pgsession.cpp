// A desk's session on a server database while the server and other desks
// act: a connection the server ended is reported with the server's name, the
// typed boxes stay and the next action reaches the server again; a report
// reads one state of the tables while another desk writes.
#include "common/module1.h"
#include "db/statement.h"
#include "db/connection.h"
#include "db/failure.h"
#include "db/transaction.h"
#include "db/sqltext.h"
#include "pgtestsupport.h"
#include "reports/reportrunner.h"
#include "students/FrmEntri.h"
#include "testsupport.h"
#include "ui/screens.h"

#include <QApplication>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace pel;

namespace {

const QDateTime Moment(QDate(2026, 12, 7), QTime(14, 5, 9));

void addStudent(test::PgTestDatabase &db, const QString &nis)
{
    db.exec(QStringLiteral("insert into SISWA values (%1, 'SISWA', 'JAKARTA', '01-02-2000', 'JL. MAWAR 1', "
                           "'LAKI-LAKI', 'ISLAM', '05-01-2026', 'KOMPUTER', 'DASAR', 'SMA 1', '0812')")
                .arg(db::quoted(nis)));
}

} // namespace

class TestPgSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void connectionEndedByServer_data();
    void connectionEndedByServer();
    void commitWithoutAnswer();
    void reportReadsOneState();

private:
    static void endSession(test::PgTestDatabase &db);
};

// The server ends the session of the program's connection, as a restart or
// an administrator would; the program has not noticed yet.
void TestPgSession::endSession(test::PgTestDatabase &db)
{
    const QVariant pid = db.scalar(QStringLiteral("select pg_backend_pid()"));
    db::Connection admin;
    QVERIFY(admin.open(db.target()).ok());
    QSqlQuery end(admin.database());
    QVERIFY2(end.exec(QStringLiteral("select pg_terminate_backend(%1, 10000)").arg(pid.toInt())) && end.next()
                 && end.value(0).toBool(),
             qPrintable(end.lastError().text()));
}

void TestPgSession::initTestCase()
{
    if (test::postgresServerUrl().isEmpty())
        QSKIP("PELITAKSA_TEST_PG names no server; run through ctest");
}

void TestPgSession::cleanup()
{
    if (FrmEntri *screen = ui::openScreen<FrmEntri>())
        delete screen;
}

void TestPgSession::connectionEndedByServer_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QString>("done");
    // A single insert may have been done before the connection dropped: the
    // operator is told that this is not known.
    QTest::newRow("save") << "cmdSimpan" << "Salah Proses, Isi dulu fieldnya...!"
                          << "Sebab: hubungan ke server %1 terputus sebelum server menjawab, jadi belum pasti apakah "
                             "perubahan ini sudah tersimpan; periksalah datanya. Tindakan berikutnya akan mencoba "
                             "menghubungi server lagi."
                          << "Data Siswa Sudah Disimpan ";
    // An update's transaction could not begin: nothing was written.
    QTest::newRow("update") << "CmdUpdate" << "Data siswa tidak dapat diubah."
                            << "Sebab: hubungan ke server %1 terputus; tindakan berikutnya akan mencoba "
                               "menghubunginya lagi."
                            << "Data Siswa Telah Diubah";
}

void TestPgSession::connectionEndedByServer()
{
    QFETCH(QString, button);
    QFETCH(QString, first);
    QFETCH(QString, cause);
    QFETCH(QString, done);
    test::PgTestDatabase db;
    QVERIFY(db.isValid());
    test::StandIn messages(Moment);
    const bool update = button == QLatin1String("CmdUpdate");
    if (update)
        addStudent(db, QStringLiteral("AB7"));

    FrmEntri *screen = ui::showScreen<FrmEntri>();
    test::typeInto(screen, QStringLiteral("txtnis"), QStringLiteral("AB7"));
    test::pressEnter(screen, QStringLiteral("txtnis"));
    test::typeInto(screen, QStringLiteral("txtnama"), QStringLiteral("ANI SUSANTI"));
    test::typeInto(screen, QStringLiteral("txtalamat"), QStringLiteral("JL. MELATI 2"));
    test::pressEnter(screen, QStringLiteral("txttelp")); // Save is enabled from the last box
    const QStringList typed{test::child<QLineEdit>(screen, QStringLiteral("txtnis"))->text(),
                            test::child<QLineEdit>(screen, QStringLiteral("txtnama"))->text(),
                            test::child<QLineEdit>(screen, QStringLiteral("txtalamat"))->text()};
    messages.clear();

    const QVariant pid = db.scalar(QStringLiteral("select pg_backend_pid()"));
    endSession(db);

    test::click(screen, button);
    QCOMPARE(messages.count(), 1);
    const QStringList lines = messages.last().text.split(QLatin1Char('\r'));
    QVERIFY2(lines.size() >= 2, qPrintable(messages.last().text));
    QCOMPARE(lines.at(0), first);
    QCOMPARE(lines.at(1), cause.arg(QStringLiteral("%1 (database %2)")
                                        .arg(db.target().serverName(), db.target().databaseName)));
    const QStringList kept{test::child<QLineEdit>(screen, QStringLiteral("txtnis"))->text(),
                           test::child<QLineEdit>(screen, QStringLiteral("txtnama"))->text(),
                           test::child<QLineEdit>(screen, QStringLiteral("txtalamat"))->text()};
    QCOMPARE(kept, typed);

    // The next action reaches the server on a new session and is done.
    test::click(screen, button);
    QCOMPARE(messages.count(), 2);
    QCOMPARE(messages.last().text, done);
    QVERIFY(db.scalar(QStringLiteral("select pg_backend_pid()")) != pid);
    QCOMPARE(db.rows(QStringLiteral("select NamaSiswa, Alamat from SISWA where NIS = 'AB7'")),
             QList<QVariantList>({{QStringLiteral("ANI SUSANTI"), QStringLiteral("JL. MELATI 2")}}));
}

void TestPgSession::commitWithoutAnswer()
{
    // A commit that gets no answer may or may not have been done: the
    // message says so, and the next statement runs on a new session.
    test::PgTestDatabase db;
    QVERIFY(db.isValid());
    QString message;
    {
        db::Transaction transaction(dbConnection, db::Transaction::Mode::Write);
        QVERIFY(transaction.isActive());
        QVERIFY(db::run(dbConnection, QStringLiteral("insert into Pelajaran values ('KOM01', 'KOMPUTER', "
                                                     "'02-01-2026', 'LAB', 'ANI', '3')"))
                    .ok());
        endSession(db);
        QVERIFY(!transaction.commit());
        message = db::failureMessage(QStringLiteral("Data gagal disimpan."), transaction.lastError());
    }
    const QStringList lines = message.split(QLatin1Char('\r'));
    QVERIFY2(lines.size() >= 2, qPrintable(message));
    QCOMPARE(lines.at(1), QStringLiteral("Sebab: hubungan ke server %1 (database %2) terputus sebelum server menjawab, "
                                         "jadi belum pasti apakah perubahan ini sudah tersimpan; periksalah datanya. "
                                         "Tindakan berikutnya akan mencoba menghubungi server lagi.")
                              .arg(db.target().serverName(), db.target().databaseName));
    QCOMPARE(db.scalar(QStringLiteral("select count(*) from Pelajaran")).toInt(), 0);
}

void TestPgSession::reportReadsOneState()
{
    test::PgTestDatabase db;
    QVERIFY(db.isValid());
    addStudent(db, QStringLiteral("A1"));
    addStudent(db, QStringLiteral("B2"));
    db.exec(QStringLiteral("insert into Pelajaran values ('KOM01', 'KOMPUTER', '02-01-2026', 'LAB', 'ANI', '3')"));
    db.exec(QStringLiteral("insert into Nilai (Noreg, Nis, KdMatpel, SKS, Bobot, Mutu) values "
                           "('1', 'A1', 'KOM01', 3, 4, 12), ('2', 'B2', 'KOM01', 3, 2, 6)"));
    const QDate today(2026, 12, 7);
    const reports::ReportResult before = reports::writeIpkList(dbConnection, today);
    QVERIFY2(before.done(), qPrintable(db::failureMessage(before.result)));

    // Another desk saves a grade of each student once the list of students
    // is read and before their totals are.
    db::Connection other;
    QVERIFY(other.open(db.target()).ok());
    bool written = false;
    reports::Progress progress;
    progress.started = [&](int) {
        written = QSqlQuery(other.database())
                      .exec(QStringLiteral("insert into Nilai (Noreg, Nis, KdMatpel, SKS, Bobot, Mutu) values "
                                           "('3', 'A1', 'KOM01', 2, 1, 2), ('4', 'B2', 'KOM01', 2, 1, 2)"));
    };
    const reports::ReportResult during = reports::writeIpkList(dbConnection, today, {progress});
    QVERIFY(written);
    QVERIFY2(during.done(), qPrintable(db::failureMessage(during.result)));
    QCOMPARE(during.text, before.text);

    // The next report sees them.
    const reports::ReportResult after = reports::writeIpkList(dbConnection, today);
    QVERIFY2(after.done(), qPrintable(db::failureMessage(after.result)));
    QVERIFY(after.text != before.text);
}

QTEST_MAIN(TestPgSession)
#include "tst_pgsession.moc"
