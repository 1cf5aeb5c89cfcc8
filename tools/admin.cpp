// pelitaksa-admin: creates SISWA.mdb, keeps the operator table, fills a demo
// database and writes the reports without the screens.
#include "admincopy.h"
#include "adminreports.h"
#include "common/module1.h"
#include "db/connection.h"
#include "db/databaseurl.h"
#include "db/postgres.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "grades/grading.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include <cstdio>

namespace {

QTextStream out(stdout);
QTextStream err(stderr);

const char Usage[] =
    "Pemakaian: pelitaksa-admin [--db FILE | --database URL] PERINTAH ...\n"
    "  --db FILE                  database yang dipakai (bawaan: SISWA.mdb di folder ini)\n"
    "  --database URL             file SQLite atau postgresql://pengguna@server:port/database\n"
    "                             (bawaan: PELITAKSA_DATABASE, lalu pelitaksa.ini, lalu SISWA.mdb)\n"
    "Perintah:\n"
    "  create                     membuat database baru yang kosong (file yang ada tidak ditimpa)\n"
    "  demo                       membuat database baru berisi data contoh dan empat petugas\n"
    "  operator list              menampilkan semua petugas\n"
    "  operator add USERID NAMA PASSWORD LEVEL\n"
    "                             menambah petugas; LEVEL: Entri, Operator, Activasi atau Manager\n"
    "  operator remove USERID     menghapus petugas\n"
    "  report list|ipk|statement NIS|statement --all|certificate NIS|certificate --all [--out FILE]\n"
    "                             menulis laporan ke layar atau ke FILE\n"
    "  copy --from URL --to URL [--replace]\n"
    "                             menyalin keempat tabel antardatabase (SQLite/PostgreSQL)\n";

int usageError(const QString &message)
{
    err << "pelitaksa-admin: " << message << "\n\n" << Usage;
    err.flush();
    return 2;
}

int failure(const QString &message)
{
    err << "pelitaksa-admin: " << message << "\n";
    err.flush();
    return 1;
}

bool openExisting(const pel::db::DatabaseTarget &target)
{
    if (!pel::dbConnection.open(target)) {
        failure(pel::dbConnection.lastError());
        return false;
    }
    return true;
}

bool run(QSqlQuery &query, const QVariantList &values)
{
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (query.exec())
        return true;
    failure(pel::db::errorText(query.lastError()));
    return false;
}

int listOperators()
{
    QSqlQuery query(pel::dbConnection.database());
    if (!query.exec(QStringLiteral("select userid, nama, level from t_petugas")))
        return failure(pel::db::errorText(query.lastError()));
    int count = 0;
    while (query.next()) {
        out << query.value(0).toString() << '\t' << query.value(1).toString() << '\t' << query.value(2).toString()
            << '\n';
        ++count;
    }
    out << count << " petugas\n";
    return 0;
}

const QStringList Levels{QStringLiteral("Entri"), QStringLiteral("Operator"), QStringLiteral("Activasi"),
                         QStringLiteral("Manager")};

int addOperator(const QStringList &args)
{
    if (args.size() != 4)
        return usageError(QStringLiteral("operator add butuh USERID NAMA PASSWORD LEVEL"));
    if (args.at(0).trimmed().isEmpty() || args.at(2).trimmed().isEmpty())
        return usageError(QStringLiteral("USERID dan PASSWORD tidak boleh kosong"));
    if (!Levels.contains(args.at(3)))
        return usageError(QStringLiteral("LEVEL tidak dikenal: %1").arg(args.at(3)));
    QSqlQuery exists(pel::dbConnection.database());
    exists.prepare(QStringLiteral("select count(*) from t_petugas where trim(userid) = ?"));
    if (!run(exists, {args.at(0).trimmed()}))
        return 1;
    exists.next();
    if (exists.value(0).toInt() > 0)
        return failure(QStringLiteral("petugas %1 sudah ada").arg(args.at(0)));
    QSqlQuery insert(pel::dbConnection.database());
    insert.prepare(QStringLiteral("insert into t_petugas (userid, nama, password, level) values (?, ?, ?, ?)"));
    if (!run(insert, {args.at(0), args.at(1), args.at(2), args.at(3)}))
        return 1;
    out << "Petugas " << args.at(0) << " ditambahkan.\n";
    return 0;
}

int removeOperator(const QStringList &args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("operator remove butuh USERID"));
    QSqlQuery remove(pel::dbConnection.database());
    remove.prepare(QStringLiteral("delete from t_petugas where userid = ?"));
    if (!run(remove, {args.at(0)}))
        return 1;
    if (remove.numRowsAffected() == 0)
        return failure(QStringLiteral("petugas %1 tidak ada").arg(args.at(0)));
    out << "Petugas " << args.at(0) << " dihapus.\n";
    return 0;
}

// Demo data: an operator of each level, students, subjects and their grades.
bool fillDemo()
{
    const QSqlDatabase db = pel::dbConnection.database();
    pel::db::Transaction transaction(pel::dbConnection);
    QSqlQuery query(db);

    query.prepare(QStringLiteral("insert into t_petugas values (?, ?, ?, ?)"));
    const QList<QStringList> operators{
        {QStringLiteral("entri"), QStringLiteral("SITI AMINAH"), QStringLiteral("entri123"), QStringLiteral("Entri")},
        {QStringLiteral("operator"), QStringLiteral("BAMBANG SURYA"), QStringLiteral("operator123"), QStringLiteral("Operator")},
        {QStringLiteral("activasi"), QStringLiteral("DEWI LESTARI"), QStringLiteral("activasi123"), QStringLiteral("Activasi")},
        {QStringLiteral("manager"), QStringLiteral("HARTONO WIJAYA"), QStringLiteral("manager123"), QStringLiteral("Manager")},
    };
    for (const QStringList &row : operators)
        if (!run(query, {row[0], row[1], row[2], row[3]}))
            return false;

    query.prepare(QStringLiteral("insert into SISWA values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const QList<QStringList> students{
        {"2026001", "ANDI PRATAMA", "JAKARTA", "12-03-2004", "JL. MELATI NO. 5", "LAKI-LAKI", "ISLAM", "05-01-2026", "KOMPUTER", "DASAR", "SMA NEGERI 1", "081234567801"},
        {"2026002", "BUNGA CITRA LESTARI", "BANDUNG", "21-07-2005", "JL. KENANGA NO. 12", "PEREMPUAN", "KRISTEN", "05-01-2026", "KOMPUTER", "DASAR", "SMA NEGERI 3", "081234567802"},
        {"2026003", "CAHYO NUGROHO", "SEMARANG", "02-11-2003", "JL. ANGGREK NO. 7", "LAKI-LAKI", "ISLAM", "05-01-2026", "DESAIN GRAFIS", "MENENGAH", "SMK NEGERI 2", "081234567803"},
        {"2026004", "DEWI SARTIKA", "SURABAYA", "17-08-2004", "JL. MAWAR NO. 21", "PEREMPUAN", "HINDU", "06-01-2026", "AKUNTANSI", "DASAR", "SMA SWASTA BUDI", "081234567804"},
        {"2026005", "EKO PRASETYO", "YOGYAKARTA", "30-01-2005", "JL. TERATAI NO. 3", "LAKI-LAKI", "BUDHA", "06-01-2026", "KOMPUTER", "MAHIR", "SMK NEGERI 1", "081234567805"},
        {"2026006", "FITRI HANDAYANI", "MEDAN", "09-09-2004", "JL. CEMPAKA NO. 9", "PEREMPUAN", "ISLAM", "07-01-2026", "DESAIN GRAFIS", "DASAR", "SMA NEGERI 5", "081234567806"},
    };
    for (const QStringList &row : students) {
        QVariantList values;
        for (const QString &value : row)
            values << value;
        if (!run(query, values))
            return false;
    }

    struct Subject { const char *code, *name, *room, *tutor; double sks; };
    const QList<Subject> subjects{
        {"KOM01", "PENGANTAR KOMPUTER", "LAB 1", "IR. SUTRISNO", 2},
        {"KOM02", "PENGOLAH KATA", "LAB 1", "RINA MARLINA", 3},
        {"KOM03", "LEMBAR KERJA", "LAB 2", "AGUS SALIM", 3},
        {"DSG01", "DESAIN DASAR", "LAB 3", "MAYA SARI", 2},
        {"AKT01", "AKUNTANSI DASAR", "R. 201", "DRS. HENDRA", 4},
    };
    query.prepare(QStringLiteral("insert into Pelajaran values (?, ?, '02-01-2026', ?, ?, ?)"));
    for (const Subject &s : subjects)
        if (!run(query, {QString::fromLatin1(s.code), QString::fromLatin1(s.name), QString::fromLatin1(s.room),
                         QString::fromLatin1(s.tutor), s.sks}))
            return false;

    // One registration number per student, several subjects under it.
    query.prepare(QStringLiteral("insert into Nilai values (?, '15-06-2026', ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    const double scores[] = {86, 74.5, 65, 58, 92, 39, 81, 70, 79.6, 45, 88, 67};
    int next = 0;
    for (int s = 0; s < students.size(); ++s) {
        for (int k = 0; k < 3; ++k) {
            const Subject &subject = subjects.at((s + k) % subjects.size());
            const double score = scores[next++ % std::size(scores)];
            const pel::Grade grade = pel::GradeForScore(score);
            const double points = pel::QualityPoints(grade.weight, subject.sks);
            if (!run(query, {QString::number(s + 1), students[s][0], students[s][8], students[s][9],
                             QString::fromLatin1(subject.code), subject.sks, QString::fromLatin1(subject.tutor),
                             score, grade.letter, grade.weight, points, grade.predicate, grade.remark}))
                return false;
        }
    }
    if (!transaction.commit()) {
        failure(QStringLiteral("data contoh gagal disimpan"));
        return false;
    }
    return true;
}

int createDatabase(const pel::db::DatabaseTarget &target, bool demo)
{
    QString error;
    const QString path = target.filePath;
    if (target.isPostgres() ? !pel::db::createPostgresTables(target, &error) : !pel::db::createDatabase(path, &error))
        return failure(error);
    const QString name = target.isPostgres() ? target.describe() : path;
    if (demo) {
        if (!openExisting(target) || !fillDemo()) {
            pel::dbConnection.close();
            // The demo rows are written in one transaction, so a server
            // database keeps its empty tables; a file goes altogether.
            if (!target.isPostgres())
                QFile::remove(path);
            return 1;
        }
        out << "Database contoh " << name << " dibuat.\n";
    } else {
        out << "Database " << name << " dibuat.\n";
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString databaseOption;
    if (args.value(0) == QLatin1String("--db") || args.value(0) == QLatin1String("--database")) {
        if (args.size() < 2)
            return usageError(args.value(0) == QLatin1String("--db") ? QStringLiteral("--db butuh nama file")
                                                                     : QStringLiteral("--database butuh URL"));
        databaseOption = args.at(1);
        if (databaseOption.trimmed().isEmpty())
            return usageError(QStringLiteral("%1 tidak boleh kosong").arg(args.at(0)));
        args = args.mid(2);
    }
    if (args.isEmpty() || args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        if (args.isEmpty())
            return usageError(QStringLiteral("perintah belum diberikan"));
        out << Usage;
        return 0;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("copy"))
        return pel::runCopyCommand(args);
    const pel::db::DatabaseChoice choice = pel::db::chooseDatabase(databaseOption);
    if (!choice.ok())
        return usageError(choice.error);
    const pel::db::DatabaseTarget &target = choice.target;
    if (command == QLatin1String("create") || command == QLatin1String("demo")) {
        if (!args.isEmpty())
            return usageError(QStringLiteral("%1 tidak memakai argumen").arg(command));
        return createDatabase(target, command == QLatin1String("demo"));
    }
    if (command == QLatin1String("operator")) {
        const QString action = args.isEmpty() ? QString() : args.takeFirst();
        if (action != QLatin1String("list") && action != QLatin1String("add") && action != QLatin1String("remove"))
            return usageError(QStringLiteral("operator butuh list, add atau remove"));
        if (action == QLatin1String("list") && !args.isEmpty())
            return usageError(QStringLiteral("operator list tidak memakai argumen"));
        if (!openExisting(target))
            return 1;
        if (action == QLatin1String("list"))
            return listOperators();
        return action == QLatin1String("add") ? addOperator(args) : removeOperator(args);
    }
    if (command == QLatin1String("report")) {
        if (!openExisting(target))
            return 1;
        return runReportCommand(args);
    }
    return usageError(QStringLiteral("perintah tidak dikenal: %1").arg(command));
}
