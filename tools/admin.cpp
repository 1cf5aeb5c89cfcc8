// pelitaksa-admin: creates SISWA.mdb, keeps the operator table, fills a demo
// database and writes the reports without the screens.
#include "admincopy.h"
#include "adminreports.h"
#include "adminstats.h"
#include "admintransfer.h"
#include "common/module1.h"
#include "common/operatorstore.h"
#include "common/password.h"
#include "db/backup.h"
#include "db/connection.h"
#include "db/databaseurl.h"
#include "db/failure.h"
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
#include <iostream>
#include <string>

#include <pwd.h>
#include <termios.h>
#include <unistd.h>

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
    "  operator add USERID NAMA LEVEL [--password-stdin]\n"
    "                             menambah petugas; LEVEL: Entri, Operator, Activasi atau Manager\n"
    "  operator passwd USERID [--password-stdin]\n"
    "                             mengganti password petugas\n"
    "  operator remove USERID     menghapus petugas itu saja\n"
    "  operator rehash            mengganti setiap password yang masih berupa teks dengan hash-nya\n"
    "                             Password tidak pernah diberikan sebagai argumen: di terminal diminta\n"
    "                             dua kali tanpa ditampilkan; dengan --password-stdin dibaca satu baris\n"
    "                             dari masukan standar.\n"
    "  backup [FILE]              menyalin database sekarang (bawaan: ke folder backup/ di sampingnya)\n"
    "  restore FILE               mengganti database dengan salinan FILE (database sekarang disalin dulu)\n"
    "  log [--since TANGGAL] [--nis NIS] [--table TABEL]\n"
    "                             menampilkan catatan perubahan data siswa, pelajaran dan nilai\n"
    "  report list|ipk|statement NIS|statement --all|certificate NIS|certificate --all [--out FILE]\n"
    "                             menulis laporan ke layar atau ke FILE\n"
    "  stats subjects|ipk|intake|instructors [--program P] [--level L] [--from TGL] [--to TGL] [--csv]\n"
    "                             statistik nilai ke layar: tabel, atau CSV dengan --csv\n"
    "  export students|subjects|grades OUTFILE.csv|OUTFILE.xlsx [--separator ';']\n"
    "                             menulis tabel ke file CSV atau Excel\n"
    "  import students|subjects|grades INFILE.csv [--dry-run] [--update] [--errors ERRORS.csv]\n"
    "                             memasukkan baris dari file CSV, semuanya atau tidak sama sekali\n"
    "  template students|subjects|grades\n"
    "                             menampilkan baris judul kolom untuk file impor\n"
    "  copy --from URL --to URL [--replace]\n"
    "                             menyalin keempat tabel antardatabase (SQLite/PostgreSQL)\n"
    "Perintah backup dan restore hanya untuk database SQLite.\n";

int usageError(const QString &message)
{
    err << "pelitaksa-admin: " << message << "\n\n" << Usage;
    err.flush();
    return 2;
}

int failure(QString message)
{
    err << "pelitaksa-admin: " << message.replace(QLatin1Char('\r'), QLatin1Char('\n')) << "\n";
    err.flush();
    return 1;
}

// The user ID that the tool's changes carry in the audit trail.
QString toolOperator()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        if (const passwd *entry = getpwuid(geteuid()))
            user = QString::fromLocal8Bit(entry->pw_name);
    return QStringLiteral("admin:") + user;
}

bool openExisting(const pel::db::DatabaseTarget &target)
{
    if (!pel::dbConnection.open(target)) {
        failure(pel::dbConnection.lastError());
        return false;
    }
    pel::dbConnection.setOperator(toolOperator());
    return true;
}

bool run(QSqlQuery &query, const QVariantList &values)
{
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (query.exec())
        return true;
    failure(pel::db::failureLines(query.lastError()).join(QLatin1Char('\n')));
    return false;
}

int listOperators()
{
    QList<pel::Operator> operators;
    if (const pel::db::Result result = pel::OperatorStore(pel::dbConnection).list(&operators); !result.ok())
        return failure(result.reason);
    for (const pel::Operator &op : operators)
        out << op.userId << '\t' << op.name << '\t' << op.level << '\n';
    out << operators.size() << " petugas\n";
    return 0;
}

const QStringList Levels{QStringLiteral("Entri"), QStringLiteral("Operator"), QStringLiteral("Activasi"),
                         QStringLiteral("Manager")};

// Reads a line from standard input; with echo false the terminal does not
// show what is typed.
bool readLine(bool echo, QString *line)
{
    termios saved{};
    const bool terminal = !echo && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string text;
    const bool ok = bool(std::getline(std::cin, text));
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        err << "\n";
        err.flush();
    }
    *line = QString::fromLocal8Bit(text.data(), qsizetype(text.size()));
    if (line->endsWith(QLatin1Char('\r')))
        line->chop(1);
    return ok;
}

// The new password: one line of standard input with --password-stdin, else
// typed twice on the terminal without being shown.
bool readPassword(bool fromStdin, QString *password)
{
    if (fromStdin) {
        if (!readLine(true, password)) {
            failure(QStringLiteral("password tidak terbaca dari masukan standar"));
            return false;
        }
    } else {
        if (!isatty(STDIN_FILENO)) {
            failure(QStringLiteral("masukan standar bukan terminal; pakai --password-stdin"));
            return false;
        }
        QString again;
        err << "Password: ";
        err.flush();
        if (!readLine(false, password))
            return false;
        err << "Ulangi password: ";
        err.flush();
        if (!readLine(false, &again))
            return false;
        if (again != *password) {
            failure(QStringLiteral("kedua password tidak sama"));
            return false;
        }
    }
    if (password->trimmed().isEmpty()) {
        failure(QStringLiteral("password tidak boleh kosong"));
        return false;
    }
    return true;
}

// Takes the option --password-stdin out of args.
bool takePasswordStdin(QStringList *args)
{
    return args->removeAll(QStringLiteral("--password-stdin")) > 0;
}

int addOperator(QStringList args)
{
    const bool fromStdin = takePasswordStdin(&args);
    if (args.size() == 4)
        return usageError(QStringLiteral("password tidak diterima sebagai argumen; pakai --password-stdin atau "
                                         "ketik saat diminta"));
    if (args.size() != 3)
        return usageError(QStringLiteral("operator add butuh USERID NAMA LEVEL"));
    if (args.at(0).trimmed().isEmpty())
        return usageError(QStringLiteral("USERID tidak boleh kosong"));
    if (!Levels.contains(args.at(2)))
        return usageError(QStringLiteral("LEVEL tidak dikenal: %1").arg(args.at(2)));
    QString password;
    if (!readPassword(fromStdin, &password))
        return 1;
    const pel::db::Result result =
        pel::OperatorStore(pel::dbConnection).add({args.at(0), args.at(1), args.at(2)}, password);
    if (!result.ok())
        return failure(result.reason);
    out << "Petugas " << args.at(0) << " ditambahkan.\n";
    return 0;
}

int changePassword(QStringList args)
{
    const bool fromStdin = takePasswordStdin(&args);
    if (args.size() != 1)
        return usageError(QStringLiteral("operator passwd butuh USERID"));
    QString password;
    if (!readPassword(fromStdin, &password))
        return 1;
    if (const pel::db::Result result = pel::OperatorStore(pel::dbConnection).setPassword(args.at(0), password);
        !result.ok())
        return failure(result.reason);
    out << "Password petugas " << args.at(0) << " diganti.\n";
    return 0;
}

int removeOperator(const QStringList &args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("operator remove butuh USERID"));
    if (const pel::db::Result result = pel::OperatorStore(pel::dbConnection).remove(args.at(0)); !result.ok())
        return failure(result.reason);
    out << "Petugas " << args.at(0) << " dihapus.\n";
    return 0;
}

int rehashOperators()
{
    int converted = 0;
    if (const pel::db::Result result = pel::OperatorStore(pel::dbConnection).rehashAll(&converted); !result.ok())
        return failure(result.reason);
    out << converted << " password diganti dengan hash-nya.\n";
    return 0;
}

// Demo data: an operator of each level, students, subjects and their grades.
bool fillDemo()
{
    const QSqlDatabase db = pel::dbConnection.database();
    pel::db::Transaction transaction(pel::dbConnection);
    QSqlQuery query(db);

    // Passwords are stored as their hashes only.
    query.prepare(QStringLiteral("insert into t_petugas values (?, ?, ?, ?)"));
    const QList<QStringList> operators{
        {QStringLiteral("entri"), QStringLiteral("SITI AMINAH"), QStringLiteral("entri123"), QStringLiteral("Entri")},
        {QStringLiteral("operator"), QStringLiteral("BAMBANG SURYA"), QStringLiteral("operator123"), QStringLiteral("Operator")},
        {QStringLiteral("activasi"), QStringLiteral("DEWI LESTARI"), QStringLiteral("activasi123"), QStringLiteral("Activasi")},
        {QStringLiteral("manager"), QStringLiteral("HARTONO WIJAYA"), QStringLiteral("manager123"), QStringLiteral("Manager")},
    };
    for (const QStringList &row : operators)
        if (!run(query, {row[0], row[1], pel::hashPassword(row[2]), row[3]}))
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

int backupCommand(const pel::db::DatabaseTarget &database, const QStringList &args)
{
    if (args.size() > 1)
        return usageError(QStringLiteral("backup butuh paling banyak satu FILE"));
    if (!openExisting(database))
        return 1;
    QString error;
    QString copy = args.value(0);
    const bool ok = copy.isEmpty()
                        ? pel::db::backupNow(pel::dbConnection.database(), pel::dbConnection.filePath(),
                                             QDateTime::currentDateTime(), pel::db::backupsToKeep(), &copy, &error)
                        : pel::db::backupDatabase(pel::dbConnection.database(), copy, &error);
    if (!ok)
        return failure(error);
    out << "Salinan " << copy << " dibuat.\n";
    return 0;
}

int restoreCommand(const pel::db::DatabaseTarget &target, const QStringList &args)
{
    const QString path = target.filePath;
    if (args.size() != 1)
        return usageError(QStringLiteral("restore butuh FILE"));
    QString saved;
    QString error;
    if (!pel::db::restoreDatabase(args.at(0), QFileInfo(path).absoluteFilePath(), QDateTime::currentDateTime(),
                                  pel::db::backupsToKeep(), &saved, &error))
        return failure(error);
    if (!saved.isEmpty())
        out << "Database sebelumnya disalin ke " << saved << ".\n";
    out << "Database " << path << " dipulihkan dari " << args.at(0) << ".\n";
    return 0;
}

int logCommand(const pel::db::DatabaseTarget &target, QStringList args)
{
    QStringList conditions;
    QVariantList values;
    while (!args.isEmpty()) {
        const QString option = args.takeFirst();
        if (args.isEmpty())
            return usageError(QStringLiteral("%1 butuh nilai").arg(option));
        const QString value = args.takeFirst();
        if (option == QLatin1String("--since")) {
            QDate day = QDate::fromString(value, QStringLiteral("dd-MM-yyyy"));
            if (!day.isValid())
                day = QDate::fromString(value, QStringLiteral("yyyy-MM-dd"));
            if (!day.isValid())
                return usageError(QStringLiteral("tanggal tidak dikenal: %1 (pakai dd-mm-yyyy)").arg(value));
            conditions << QStringLiteral("waktu >= ?");
            values << day.toString(QStringLiteral("yyyy-MM-dd"));
        } else if (option == QLatin1String("--nis")) {
            // On a server the NIS is found through its lower case, as it is indexed.
            conditions << (target.isPostgres() ? QStringLiteral("lower(nis) = lower(?)") : QStringLiteral("nis = ?"));
            values << value;
        } else if (option == QLatin1String("--table")) {
            conditions << QStringLiteral("lower(tabel) = lower(?)");
            values << value;
        } else {
            return usageError(QStringLiteral("pilihan log tidak dikenal: %1").arg(option));
        }
    }
    if (!openExisting(target))
        return 1;
    QSqlQuery query(pel::dbConnection.database());
    query.prepare(QStringLiteral("select waktu, userid, tabel, kunci, aksi, sebelum, sesudah from t_log")
                  + (conditions.isEmpty() ? QString() : QStringLiteral(" where ") + conditions.join(QStringLiteral(" and ")))
                  + QStringLiteral(" order by id"));
    if (!run(query, values))
        return 1;
    int count = 0;
    while (query.next()) {
        QStringList fields;
        for (int i = 0; i < 7; ++i)
            fields << (query.value(i).isNull() ? QStringLiteral("-") : query.value(i).toString());
        out << fields.join(QLatin1Char('\t')) << '\n';
        ++count;
    }
    out << count << " catatan\n";
    return 0;
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
    // Backups and restores copy SQLite files; a server keeps its own.
    const QStringList fileOnly{QStringLiteral("backup"), QStringLiteral("restore")};
    if (target.isPostgres() && fileOnly.contains(command))
        return usageError(QStringLiteral("perintah %1 hanya untuk database SQLite").arg(command));
    if (command == QLatin1String("create") || command == QLatin1String("demo")) {
        if (!args.isEmpty())
            return usageError(QStringLiteral("%1 tidak memakai argumen").arg(command));
        return createDatabase(target, command == QLatin1String("demo"));
    }
    if (command == QLatin1String("operator")) {
        const QString action = args.isEmpty() ? QString() : args.takeFirst();
        const QStringList actions{QStringLiteral("list"), QStringLiteral("add"), QStringLiteral("passwd"),
                                  QStringLiteral("remove"), QStringLiteral("rehash")};
        if (!actions.contains(action))
            return usageError(QStringLiteral("operator butuh list, add, passwd, remove atau rehash"));
        if ((action == QLatin1String("list") || action == QLatin1String("rehash")) && !args.isEmpty())
            return usageError(QStringLiteral("operator %1 tidak memakai argumen").arg(action));
        if (!openExisting(target))
            return 1;
        if (action == QLatin1String("list"))
            return listOperators();
        if (action == QLatin1String("rehash"))
            return rehashOperators();
        if (action == QLatin1String("passwd"))
            return changePassword(args);
        return action == QLatin1String("add") ? addOperator(args) : removeOperator(args);
    }
    if (command == QLatin1String("backup"))
        return backupCommand(target, args);
    if (command == QLatin1String("restore"))
        return restoreCommand(target, args);
    if (command == QLatin1String("log"))
        return logCommand(target, args);
    if (command == QLatin1String("report")) {
        if (!openExisting(target))
            return 1;
        return runReportCommand(args);
    }
    if (command == QLatin1String("stats"))
        return openExisting(target) ? pel::runStatsCommand(args) : 1;
    if (pel::isTransferCommand(command))
        return pel::runTransferCommand(command, args, target);
    return usageError(QStringLiteral("perintah tidak dikenal: %1").arg(command));
}
