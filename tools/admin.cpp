// pelitaksa-admin: creates SISWA.mdb, keeps the operator table, fills a demo
// database and writes the reports without the screens.
#include "admincopy.h"
#include "adminio.h"
#include "adminreports.h"
#include "admintransfer.h"
#include "common/module1.h"
#include "common/operatorstore.h"
#include "db/audit.h"
#include "db/backup.h"
#include "db/connection.h"
#include "db/databaseurl.h"
#include "db/postgres.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "grades/gradenumbers.h"
#include "grades/gradestore.h"
#include "grades/gradewriter.h"
#include "grades/grading.h"
#include "students/studentstore.h"
#include "subjects/subjectstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <iostream>
#include <string>

#include <termios.h>
#include <unistd.h>

namespace {

using pel::admin::failure;

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
    "  export students|subjects|grades OUTFILE.csv|OUTFILE.xlsx [--separator ';']\n"
    "                             menulis tabel ke file CSV atau Excel\n"
    "  import students|subjects|grades INFILE.csv|INFILE.xlsx [--dry-run] [--update] [--errors ERRORS.csv]\n"
    "                             memasukkan baris dari file CSV atau Excel, semuanya atau tidak sama sekali\n"
    "  template students|subjects|grades [FILE.csv|FILE.xlsx]\n"
    "                             menampilkan baris judul kolom untuk file impor, atau menulis file kosongnya\n"
    "  copy --from URL --to URL [--replace]\n"
    "                             menyalin keempat tabel antardatabase (SQLite/PostgreSQL)\n"
    "Perintah backup dan restore hanya untuk database SQLite.\n";

int usageError(const QString &message)
{
    return pel::admin::usageError(message, Usage);
}

int listOperators()
{
    QList<pel::Operator> operators;
    if (const pel::db::Result result = pel::OperatorStore(pel::dbConnection).list(&operators); !result.ok())
        return failure(result);
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
        return failure(result);
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
        return failure(result);
    out << "Password petugas " << args.at(0) << " diganti.\n";
    return 0;
}

int removeOperator(const QStringList &args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("operator remove butuh USERID"));
    if (const pel::db::Result result = pel::OperatorStore(pel::dbConnection).remove(args.at(0)); !result.ok())
        return failure(result);
    out << "Petugas " << args.at(0) << " dihapus.\n";
    return 0;
}

int rehashOperators()
{
    int converted = 0;
    if (const pel::db::Result result = pel::OperatorStore(pel::dbConnection).rehashAll(&converted); !result.ok())
        return failure(result);
    out << converted << " password diganti dengan hash-nya.\n";
    return 0;
}

// Demo data: an operator of each level, students, subjects and their
// grades, written by the stores the screens use, in one transaction.
pel::db::Result fillDemo()
{
    const pel::db::Connection &conn = pel::dbConnection;
    pel::db::Transaction transaction(conn, pel::db::Transaction::Mode::Write);
    if (!transaction.isActive())
        return transaction.lastError();

    // Passwords are stored as their hashes only.
    const QList<QStringList> operators{
        {QStringLiteral("entri"), QStringLiteral("SITI AMINAH"), QStringLiteral("entri123"), QStringLiteral("Entri")},
        {QStringLiteral("operator"), QStringLiteral("BAMBANG SURYA"), QStringLiteral("operator123"), QStringLiteral("Operator")},
        {QStringLiteral("activasi"), QStringLiteral("DEWI LESTARI"), QStringLiteral("activasi123"), QStringLiteral("Activasi")},
        {QStringLiteral("manager"), QStringLiteral("HARTONO WIJAYA"), QStringLiteral("manager123"), QStringLiteral("Manager")},
    };
    for (const QStringList &row : operators)
        if (const pel::db::Result added = pel::OperatorStore(conn).add({row[0], row[1], row[3]}, row[2]); !added.ok())
            return added;

    const QList<pel::db::StudentRecord> students{
        {"2026001", "ANDI PRATAMA", "JAKARTA", "12-03-2004", "JL. MELATI NO. 5", "LAKI-LAKI", "ISLAM", "05-01-2026", "KOMPUTER", "DASAR", "SMA NEGERI 1", "081234567801"},
        {"2026002", "BUNGA CITRA LESTARI", "BANDUNG", "21-07-2005", "JL. KENANGA NO. 12", "PEREMPUAN", "KRISTEN", "05-01-2026", "KOMPUTER", "DASAR", "SMA NEGERI 3", "081234567802"},
        {"2026003", "CAHYO NUGROHO", "SEMARANG", "02-11-2003", "JL. ANGGREK NO. 7", "LAKI-LAKI", "ISLAM", "05-01-2026", "DESAIN GRAFIS", "MENENGAH", "SMK NEGERI 2", "081234567803"},
        {"2026004", "DEWI SARTIKA", "SURABAYA", "17-08-2004", "JL. MAWAR NO. 21", "PEREMPUAN", "HINDU", "06-01-2026", "AKUNTANSI", "DASAR", "SMA SWASTA BUDI", "081234567804"},
        {"2026005", "EKO PRASETYO", "YOGYAKARTA", "30-01-2005", "JL. TERATAI NO. 3", "LAKI-LAKI", "BUDHA", "06-01-2026", "KOMPUTER", "MAHIR", "SMK NEGERI 1", "081234567805"},
        {"2026006", "FITRI HANDAYANI", "MEDAN", "09-09-2004", "JL. CEMPAKA NO. 9", "PEREMPUAN", "ISLAM", "07-01-2026", "DESAIN GRAFIS", "DASAR", "SMA NEGERI 5", "081234567806"},
    };
    for (const pel::db::StudentRecord &student : students)
        if (const pel::db::Result saved = pel::students::SaveStudent(conn, student); !saved.ok())
            return saved;

    const QList<pel::db::SubjectText> subjects{
        {"KOM01", "PENGANTAR KOMPUTER", "02-01-2026", "LAB 1", "IR. SUTRISNO", "2"},
        {"KOM02", "PENGOLAH KATA", "02-01-2026", "LAB 1", "RINA MARLINA", "3"},
        {"KOM03", "LEMBAR KERJA", "02-01-2026", "LAB 2", "AGUS SALIM", "3"},
        {"DSG01", "DESAIN DASAR", "02-01-2026", "LAB 3", "MAYA SARI", "2"},
        {"AKT01", "AKUNTANSI DASAR", "02-01-2026", "R. 201", "DRS. HENDRA", "4"},
    };
    for (const pel::db::SubjectText &subject : subjects)
        if (const pel::db::Result saved = pel::subjects::SaveSubject(conn, subject); !saved.ok())
            return saved;

    // One registration number per student, several subjects under it, each
    // row with the values the grade screen derives from its score.
    const double scores[] = {86, 74.5, 65, 58, 92, 39, 81, 70, 79.6, 45, 88, 67};
    pel::grades::GradeWriter writer(conn);
    int next = 0;
    for (int s = 0; s < students.size(); ++s) {
        for (int k = 0; k < 3; ++k) {
            const pel::db::SubjectText &subject = subjects.at((s + k) % subjects.size());
            const double score = scores[next++ % std::size(scores)];
            const pel::Grade grade = pel::GradeForScore(score);
            const double credits = subject.sks.toDouble();
            pel::db::GradeRowValues row{QString::number(s + 1), QStringLiteral("15-06-2026"), students[s].nis,
                                        students[s].progamJurusan, students[s].levelTahap, subject.code,
                                        subject.sks, subject.instructor, pel::grades::FormatNumber(score),
                                        grade.letter, pel::grades::FormatNumber(grade.weight),
                                        pel::grades::FormatNumber(pel::QualityPoints(grade.weight, credits)),
                                        grade.predicate, grade.remark};
            if (const pel::db::Result saved = writer.insert(row, pel::grades::Numbering::Given); !saved.ok())
                return saved;
        }
    }
    return transaction.commit() ? pel::db::Result::success() : transaction.lastError();
}

int backupCommand(const pel::db::DatabaseTarget &database, const QStringList &args)
{
    if (args.size() > 1)
        return usageError(QStringLiteral("backup butuh paling banyak satu FILE"));
    if (!pel::admin::openDatabase(database))
        return 1;
    QString copy = args.value(0);
    const pel::db::Result made =
        copy.isEmpty() ? pel::db::backupNow(pel::dbConnection.database(), pel::dbConnection.filePath(),
                                            QDateTime::currentDateTime(), pel::db::backupsToKeep(), &copy)
                       : pel::db::backupDatabase(pel::dbConnection.database(), copy);
    if (!made.ok())
        return failure(made);
    out << "Salinan " << copy << " dibuat.\n";
    return 0;
}

int restoreCommand(const pel::db::DatabaseTarget &target, const QStringList &args)
{
    const QString path = target.filePath;
    if (args.size() != 1)
        return usageError(QStringLiteral("restore butuh FILE"));
    QString saved;
    if (const pel::db::Result restored =
            pel::db::restoreDatabase(args.at(0), QFileInfo(path).absoluteFilePath(), QDateTime::currentDateTime(),
                                     pel::db::backupsToKeep(), &saved);
        !restored.ok())
        return failure(restored);
    if (!saved.isEmpty())
        out << "Database sebelumnya disalin ke " << saved << ".\n";
    out << "Database " << path << " dipulihkan dari " << args.at(0) << ".\n";
    return 0;
}

int logCommand(const pel::db::DatabaseTarget &target, QStringList args)
{
    pel::db::LogFilter filter;
    while (!args.isEmpty()) {
        const QString option = args.takeFirst();
        if (args.isEmpty())
            return usageError(QStringLiteral("%1 butuh nilai").arg(option));
        const QString value = args.takeFirst();
        if (option == QLatin1String("--since")) {
            filter.since = QDate::fromString(value, QStringLiteral("dd-MM-yyyy"));
            if (!filter.since.isValid())
                filter.since = QDate::fromString(value, QStringLiteral("yyyy-MM-dd"));
            if (!filter.since.isValid())
                return usageError(QStringLiteral("tanggal tidak dikenal: %1 (pakai dd-mm-yyyy)").arg(value));
        } else if (option == QLatin1String("--nis")) {
            filter.nis = value;
        } else if (option == QLatin1String("--table")) {
            filter.table = value;
        } else {
            return usageError(QStringLiteral("pilihan log tidak dikenal: %1").arg(option));
        }
    }
    if (!pel::admin::openDatabase(target))
        return 1;
    QList<QStringList> rows;
    if (const pel::db::Result read = pel::db::readLog(pel::dbConnection, filter, &rows); !read.ok())
        return failure(read);
    for (const QStringList &row : rows)
        out << row.join(QLatin1Char('\t')) << '\n';
    out << rows.size() << " catatan\n";
    return 0;
}

int createDatabase(const pel::db::DatabaseTarget &target, bool demo)
{
    const QString path = target.filePath;
    if (const pel::db::Result created =
            target.isPostgres() ? pel::db::createPostgresTables(target) : pel::db::createDatabase(path);
        !created.ok())
        return failure(created);
    const QString name = target.isPostgres() ? target.describe() : path;
    if (demo) {
        bool filled = pel::admin::openDatabase(target);
        if (filled) {
            const pel::db::Result result = fillDemo();
            if (!result.ok())
                failure(result.withAbout(QStringLiteral("data contoh gagal disimpan")));
            filled = result.ok();
        }
        if (!filled) {
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
        if (!pel::admin::openDatabase(target))
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
        if (!pel::admin::openDatabase(target))
            return 1;
        return runReportCommand(args);
    }
    if (pel::isTransferCommand(command))
        return pel::runTransferCommand(command, args, target);
    return usageError(QStringLiteral("perintah tidak dikenal: %1").arg(command));
}
