#include "generator.h"

#include "db/audit.h"
#include "db/connection.h"
#include "db/failure.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "grades/grading.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace pel::bench {

namespace {

// A small deterministic generator, so that every run builds the same file.
class Random
{
public:
    explicit Random(quint64 seed) : m_state(seed) {}
    quint32 next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return quint32(m_state >> 33);
    }
    int below(int n) { return int(next() % quint32(n)); }
    template <class List>
    const auto &pick(const List &list) { return list.at(below(int(list.size()))); }

private:
    quint64 m_state;
};

const QStringList FirstNames{"AHMAD", "BUDI", "CITRA", "DEWI", "EKO", "FITRI", "GILANG", "HENDRA", "INDAH",
                             "JOKO", "KARTIKA", "LESTARI", "MUHAMMAD", "NURUL", "OKTAVIANUS", "PUTRI",
                             "RAHMAT", "SITI", "TAUFIK", "WULANDARI", "YULIANTI", "ZAINUDDIN"};
const QStringList LastNames{"SANTOSO", "WIJAYA", "HIDAYAT", "SAPUTRA", "KUSUMAWATI", "SETIAWAN", "NUGROHO",
                            "PRATAMA", "HARAHAP", "SIREGAR", "SIMANJUNTAK", "RAHAYU", "PURNOMO", "SUSANTO"};
const QStringList Places{"LIRAK", "JAKARTA", "BANDUNG", "SURABAYA", "YOGYAKARTA", "SEMARANG", "MEDAN",
                         "PALEMBANG", "MAKASSAR", "PONTIANAK", "BANJARMASIN", "TASIKMALAYA"};
const QStringList Streets{"JL. TERATAI", "JL. MELATI", "JL. KENANGA", "JL. ANGGREK", "JL. MAWAR",
                          "JL. SUDIRMAN", "JL. DIPONEGORO", "JL. GAJAH MADA", "JL. PAHLAWAN REVOLUSI"};
const QStringList Religions{"ISLAM", "KRISTEN", "KATOLIK", "HINDU", "BUDHA"};
const QStringList Programmes{"NIRWA STUDI", "NIRWA CAD", "NIRWA COM"};
const QStringList Levels{"DASAR", "MENENGAH", "LANJUTAN"};
const QStringList Schools{"SMA NEGERI 1", "SMA NEGERI 2", "SMK NEGERI 1", "SMA SWASTA BUDI", "MA NEGERI 3"};
const QStringList Instructors{"WIDARSAN", "SUPARMAN", "HARTONO", "SRI MULYANI", "BAMBANG"};

QString date(Random &random, int firstYear, int years)
{
    return QStringLiteral("%1-%2-%3")
        .arg(1 + random.below(28), 2, 10, QLatin1Char('0'))
        .arg(1 + random.below(12), 2, 10, QLatin1Char('0'))
        .arg(firstYear + random.below(years));
}

QString subjectCode(int i)
{
    return QStringLiteral("MP%1").arg(i, 3, 10, QLatin1Char('0'));
}

bool fail(QString *error, const QString &what, const QSqlQuery &query)
{
    if (error)
        *error = what + QStringLiteral(": ") + db::errorText(query.lastError());
    return false;
}

} // namespace

QString studentNis(int i)
{
    return QStringLiteral("%1").arg(i, 7, 10, QLatin1Char('0'));
}

namespace {

bool fill(const QString &path, const GeneratorSize &size, QString *error)
{
    db::Connection conn;
    if (const db::Result opened = conn.open(path); !opened.ok()) {
        if (error)
            *error = db::failureMessage(opened);
        return false;
    }
    QSqlDatabase database = conn.database();
    // Generated rows are no operator's changes: they stay out of the audit trail.
    db::removeAudit(database);
    QSqlQuery pragma(database);
    // A larger page cache keeps the two Nilai indexes in memory while they grow.
    pragma.exec(QStringLiteral("PRAGMA cache_size = -200000"));

    db::Transaction transaction(conn);
    if (!transaction.isActive()) {
        if (error)
            *error = db::errorText(database.lastError());
        return false;
    }
    Random random(20240601);

    QSqlQuery subject(database);
    if (!subject.prepare(QStringLiteral("insert into Pelajaran (KdMatpel, NmMatpel, TglEntry, Lokal, Instruktur, SKS) "
                                        "values (?, ?, ?, ?, ?, ?)")))
        return fail(error, QStringLiteral("Pelajaran"), subject);
    QList<double> credits;
    QList<QString> instructors;
    for (int i = 1; i <= size.subjects; ++i) {
        credits << 2 + random.below(3);
        instructors << random.pick(Instructors);
        subject.addBindValue(subjectCode(i));
        subject.addBindValue(QStringLiteral("MATA PELAJARAN %1").arg(i));
        subject.addBindValue(date(random, 2000, 20));
        subject.addBindValue(QStringLiteral("R-%1").arg(1 + random.below(12)));
        subject.addBindValue(instructors.last());
        subject.addBindValue(credits.last());
        if (!subject.exec())
            return fail(error, QStringLiteral("Pelajaran"), subject);
    }

    QSqlQuery student(database);
    if (!student.prepare(QStringLiteral("insert into SISWA (NIS, NamaSiswa, TptLahir, TglLahir, Alamat, JenisKelamin, "
                                        "Agama, TglMasuk, ProgamJurusan, LevelTahap, AsalSekolah, TelpHp) "
                                        "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")))
        return fail(error, QStringLiteral("SISWA"), student);
    QSqlQuery grade(database);
    if (!grade.prepare(QStringLiteral("insert into Nilai (Noreg, TglProses, Nis, Program, Jenjang, KdMatpel, SKS, "
                                      "Tentor, Nilangka, Nilhu, Bobot, Mutu, Prediket, Ket) "
                                      "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")))
        return fail(error, QStringLiteral("Nilai"), grade);

    for (int i = 1; i <= size.students; ++i) {
        const QString nis = studentNis(i);
        const QString programme = random.pick(Programmes);
        const QString level = random.pick(Levels);
        const QString entered = date(random, 1995, 30);
        student.addBindValue(nis);
        student.addBindValue(random.pick(FirstNames) + QLatin1Char(' ') + random.pick(LastNames));
        student.addBindValue(random.pick(Places));
        student.addBindValue(date(random, 1975, 30));
        student.addBindValue(QStringLiteral("%1 NO. %2 RT %3/RW %4")
                                 .arg(random.pick(Streets))
                                 .arg(1 + random.below(200))
                                 .arg(1 + random.below(20))
                                 .arg(1 + random.below(15)));
        student.addBindValue(random.below(2) ? QStringLiteral("LAKI-LAKI") : QStringLiteral("PEREMPUAN"));
        student.addBindValue(random.pick(Religions));
        student.addBindValue(entered);
        student.addBindValue(programme);
        student.addBindValue(level);
        student.addBindValue(random.pick(Schools));
        student.addBindValue(QStringLiteral("08%1").arg(random.next() % 1000000000u, 9, 10, QLatin1Char('0')));
        if (!student.exec())
            return fail(error, QStringLiteral("SISWA"), student);

        // Different subjects for each grade of a student: consecutive codes
        // from a random start, wrapped around the catalogue.
        const int first = random.below(size.subjects);
        for (int g = 0; g < size.gradesPerStudent; ++g) {
            const int index = (first + g) % size.subjects;
            const double score = 30 + random.below(71);
            const Grade earned = GradeForScore(score);
            grade.addBindValue(QString::number(i));
            grade.addBindValue(entered);
            grade.addBindValue(nis);
            grade.addBindValue(programme);
            grade.addBindValue(level);
            grade.addBindValue(subjectCode(index + 1));
            grade.addBindValue(credits.at(index));
            grade.addBindValue(instructors.at(index));
            grade.addBindValue(score);
            grade.addBindValue(earned.letter);
            grade.addBindValue(double(earned.weight));
            grade.addBindValue(QualityPoints(earned.weight, credits.at(index)));
            grade.addBindValue(earned.predicate);
            grade.addBindValue(earned.remark);
            if (!grade.exec())
                return fail(error, QStringLiteral("Nilai"), grade);
        }
    }

    QSqlQuery operators(database);
    const QList<QStringList> staff{{"entri", "PETUGAS ENTRI", "entri123", "Entri"},
                                   {"operator", "PETUGAS OPERATOR", "operator123", "Operator"},
                                   {"activasi", "PETUGAS AKTIVASI", "activasi123", "Activasi"},
                                   {"manager", "PIMPINAN", "manager123", "Manager"}};
    operators.prepare(QStringLiteral("insert into t_petugas (userid, nama, password, level) values (?, ?, ?, ?)"));
    for (const QStringList &row : staff) {
        for (const QString &value : row)
            operators.addBindValue(value);
        if (!operators.exec())
            return fail(error, QStringLiteral("t_petugas"), operators);
    }
    if (!transaction.commit()) {
        if (error)
            *error = db::errorText(database.lastError());
        return false;
    }
    return true;
}

} // namespace

bool generateDatabase(const QString &path, const GeneratorSize &size, QString *error)
{
    if (size.students < 0 || size.subjects < 1 || size.gradesPerStudent < 0
        || size.gradesPerStudent > size.subjects) {
        if (error)
            *error = QStringLiteral("Ukuran tidak masuk akal: nilai per siswa harus 0..jumlah mata pelajaran.");
        return false;
    }
    if (const db::Result created = db::createDatabase(path); !created.ok()) {
        if (error)
            *error = db::failureMessage(created);
        return false;
    }
    if (fill(path, size, error))
        return true;
    // No half-filled file stays behind to be taken for a whole one.
    QFile::remove(path);
    return false;
}

} // namespace pel::bench
