#include "adminhelp.h"

#include "common/commandline.h"

#include <QCommandLineParser>

#include <vector>

namespace pel::admin {

namespace {

const QString Tool = QStringLiteral("pelitaksa-admin");

struct Form
{
    const char *usage;   // the words from the command on
    const char *summary; // what this form does, one short line
};

struct Command
{
    const char *name;
    bool usesDatabase; // takes --db FILE or --database URL
    std::vector<Form> forms;
    const char *details; // more on the command, lines of at most 79 characters
};

const std::vector<Command> &commands()
{
    static const std::vector<Command> list{
        {"create", true, {{"create", "membuat database baru yang kosong (file yang ada tidak ditimpa)"}},
         "Database di server PostgreSQL (--database postgresql://...) harus sudah ada dan\n"
         "masih kosong: create membuat tabel-tabelnya. File yang dibuat hanya dapat\n"
         "dibaca dan ditulis pemiliknya.\n"},
        {"demo", true, {{"demo", "membuat database baru berisi data contoh dan empat petugas"}},
         "Petugas contoh (user ID / password / level):\n"
         "  entri / entri123 / Entri          operator / operator123 / Operator\n"
         "  activasi / activasi123 / Activasi manager / manager123 / Manager\n"},
        {"operator", true,
         {{"operator list", "menampilkan semua petugas"},
          {"operator add USERID NAMA LEVEL [--password-stdin]",
           "menambah petugas; LEVEL: Entri, Operator, Activasi atau Manager"},
          {"operator passwd USERID [--password-stdin]", "mengganti password petugas"},
          {"operator remove USERID", "menghapus petugas itu saja"},
          {"operator rehash", "mengganti setiap password yang masih berupa teks dengan hash-nya"}},
         "Password tidak pernah diberikan sebagai argumen: di terminal diminta dua kali\n"
         "tanpa ditampilkan; dengan --password-stdin dibaca satu baris dari masukan\n"
         "standar. Password disimpan sebagai hash Argon2id. USERID tidak membedakan\n"
         "huruf besar dan kecil.\n"},
        {"backup", true, {{"backup [FILE]", "menyalin database sekarang (bawaan: ke folder backup/ di sampingnya)"}},
         "Salinan diperiksa keutuhannya. Tanpa FILE salinan bernama\n"
         "backup/SISWA-YYYYMMDD-HHMMSS.mdb, dan hanya 30 salinan terbaru yang disimpan\n"
         "(keep= di bagian [backup] pelitaksa.ini mengubahnya). Hanya untuk database\n"
         "SQLite; database di server disalin dengan alat server itu sendiri (pg_dump).\n"},
        {"restore", true, {{"restore FILE", "mengganti database dengan salinan FILE (database sekarang disalin dulu)"}},
         "FILE diperiksa dulu. Ditolak selama program atau alat ini membuka database.\n"
         "Hanya untuk database SQLite.\n"},
        {"log", true,
         {{"log [--since TANGGAL] [--nis NIS] [--table TABEL]",
           "menampilkan catatan perubahan data siswa, pelajaran dan nilai"}},
         "TANGGAL: dd-mm-yyyy (atau yyyy-mm-dd); TABEL: SISWA, Pelajaran atau Nilai.\n"
         "Setiap baris: waktu, user ID, tabel, kunci, aksi, nilai sebelum dan sesudah\n"
         "(JSON), dipisah tab.\n"},
        {"report", true,
         {{"report list|ipk [--out FILE]", "daftar siswa atau daftar IPK"},
          {"report statement|certificate NIS|--all [--out FILE]",
           "daftar nilai atau sertifikat satu siswa, atau semua siswa"}},
         "Teksnya teks layar Lihat Laporan dengan tanggal hari ini, ke keluaran standar\n"
         "atau ke FILE. list dan ipk juga menulis \"Data Siswa.txt\" dan \"IPK.txt\" di\n"
         "folder ini; --all menulis laporan setiap siswa berturut-turut.\n"},
        {"stats", true,
         {{"stats subjects|ipk|intake|instructors [--program P] [--level L] [--from DD-MM-YYYY] [--to DD-MM-YYYY] "
           "[--csv]",
           "statistik nilai: per mata pelajaran, IPK, penerimaan siswa, per instruktur"}},
         "Angka yang sama dengan layar Statistik Nilai, sebagai tabel lebar tetap atau,\n"
         "dengan --csv, sebagai CSV (baris judul, pemisah ',', titik desimal, UTF-8).\n"
         "--program dan --level menyaring program dan jenjang; --from dan --to\n"
         "menyaring tanggal proses nilai (untuk intake: tanggal masuk siswa).\n"},
        {"export", true,
         {{"export TABLE OUTFILE.csv|OUTFILE.xlsx [--separator ';']", "menulis tabel ke file CSV atau Excel"}},
         "TABLE: students, subjects atau grades. Akhiran nama file memilih formatnya.\n"
         "Dengan pemisah ';' angka memakai koma desimal.\n"},
        {"import", true,
         {{"import TABLE INFILE.csv|INFILE.xlsx [--dry-run] [--update] [--errors ERRORS.csv]",
           "memasukkan baris dari file CSV atau Excel, semuanya atau tidak sama sekali"}},
         "TABLE: students, subjects atau grades. Setiap baris diperiksa dulu; masalahnya\n"
         "disebut dengan nomor baris, kolom dan sebabnya (dengan --errors juga ditulis\n"
         "ke file CSV). --dry-run hanya memeriksa; --update mengubah data yang kuncinya\n"
         "sudah tersimpan. Kode keluar 1 bila ada baris yang ditolak.\n"},
        {"template", false,
         {{"template TABLE [FILE.csv|FILE.xlsx]",
           "menampilkan baris judul kolom untuk file impor, atau menulis file kosongnya"}},
         "TABLE: students, subjects atau grades. Workbook Excel menyimpan kolom kunci dan\n"
         "telepon sebagai teks dan kolom tanggal sebagai tanggal dd-mm-yyyy.\n"},
        {"copy", false,
         {{"copy --from URL --to URL [--replace]", "menyalin keempat tabel antardatabase (SQLite/PostgreSQL)"}},
         "Dalam satu transaksi di database tujuan. Tujuan yang sudah berisi baris\n"
         "ditolak kecuali dengan --replace; file SQLite tujuan yang belum ada dibuat.\n"},
        {"help", false,
         {{"help [PERINTAH]", "menampilkan bantuan seluruh alat ini, atau bantuan satu perintah"}},
         nullptr},
    };
    return list;
}

const Command *findCommand(const QString &name)
{
    for (const Command &command : commands())
        if (name == QLatin1String(command.name))
            return &command;
    return nullptr;
}

// "  FORM   SUMMARY", the summary in the column the tool's help keeps for it
// and wrapped within 79 characters; a long form stands on a line of its own.
QString formLines(const Command &command)
{
    constexpr int SummaryColumn = 29;
    constexpr int LineWidth = 79;
    QString text;
    for (const Form &form : command.forms) {
        QString line = QStringLiteral("  ") + QString::fromUtf8(form.usage);
        if (line.size() < SummaryColumn - 1) {
            line = line.leftJustified(SummaryColumn);
        } else {
            text += line + QLatin1Char('\n');
            line = QString(SummaryColumn, u' ');
        }
        for (const QString &word : QString::fromUtf8(form.summary).split(u' ')) {
            if (line.size() > SummaryColumn && line.size() + 1 + word.size() > LineWidth) {
                text += line + QLatin1Char('\n');
                line = QString(SummaryColumn, u' ');
            }
            line += (line.size() > SummaryColumn ? QStringLiteral(" ") : QString()) + word;
        }
        text += line + QLatin1Char('\n');
    }
    return text;
}

QString usageLines(const Command &command, bool first)
{
    const QString prefix = Tool + (command.usesDatabase ? QStringLiteral(" [--db FILE | --database URL] ") : QStringLiteral(" "));
    QString text;
    for (const Form &form : command.forms) {
        text += (first ? QStringLiteral("Pemakaian: ") : QString(11, u' ')) + prefix + QString::fromUtf8(form.usage)
                + QLatin1Char('\n');
        first = false;
    }
    return text;
}

QString toolHelp(const QCommandLineParser &parser)
{
    QString text = cli::helpText(parser, Tool) + QStringLiteral("\nPerintah:\n");
    for (const Command &command : commands())
        text += formLines(command);
    return text
        + QStringLiteral("\nPerintah backup dan restore hanya untuk database SQLite.\n"
                         "Kode keluar: 0 berhasil, 1 gagal (sebabnya di keluaran galat standar),\n"
                         "2 argumen salah.\n"
                         "Bantuan satu perintah: pelitaksa-admin help PERINTAH\n");
}

} // namespace

QStringList commandNames()
{
    QStringList names;
    for (const Command &command : commands())
        names << QString::fromLatin1(command.name);
    return names;
}

QString commandHelp(const QString &name)
{
    const Command *command = findCommand(name);
    if (!command)
        return {};
    QString text = usageLines(*command, true) + QLatin1Char('\n') + formLines(*command);
    if (command->details)
        text += QLatin1Char('\n') + QString::fromUtf8(command->details);
    return text;
}

QString commandUsage(const QStringList &names)
{
    QString text;
    for (const Command &command : commands())
        if (names.isEmpty() || names.contains(QLatin1String(command.name)))
            text += usageLines(command, text.isEmpty());
    return text;
}

int usageError(const QString &message, const QStringList &commands)
{
    cli::printError(Tool + QStringLiteral(": ") + QString(message).replace(u'\r', u'\n') + QStringLiteral("\n\n")
                    + commandUsage(commands));
    return 2;
}

ToolOptions readToolOptions(const QStringList &arguments)
{
    const cli::ParserWords words;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Alat administrasi PELITAKSA: membuat database, memelihara petugas, menyalin dan\n"
                       "memulihkan database, menampilkan catatan perubahan, menulis laporan, mengimpor\n"
                       "dan mengekspor data, dan menyalin database antara SQLite dan PostgreSQL."));
    // The words after the command are the command's own, options included.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help = cli::helpOption();
    const QCommandLineOption version = cli::versionOption();
    const QCommandLineOption file(QStringLiteral("db"),
                                  QStringLiteral("Database SQLite yang dipakai (bawaan: SISWA.mdb di folder ini)."),
                                  QStringLiteral("FILE"));
    const QCommandLineOption url(QStringLiteral("database"),
                                 QStringLiteral("File SQLite atau postgresql://pengguna@server:port/database (bawaan: "
                                                "PELITAKSA_DATABASE, lalu pelitaksa.ini, lalu SISWA.mdb)."),
                                 QStringLiteral("URL"));
    parser.addOptions({help, version, file, url});
    parser.addPositionalArgument(QStringLiteral("PERINTAH"), QStringLiteral("Salah satu perintah di bawah ini."),
                                 QStringLiteral("PERINTAH [ARGUMEN...]"));

    ToolOptions options;
    if (!parser.parse(arguments)) {
        options.exitCode = usageError(parser.errorText());
        return options;
    }
    if (parser.isSet(version)) {
        cli::printOut(cli::versionText(Tool));
        options.exitCode = 0;
        return options;
    }
    if (parser.isSet(help)) {
        cli::printOut(toolHelp(parser));
        options.exitCode = 0;
        return options;
    }
    if (parser.isSet(file) && parser.isSet(url)) {
        options.exitCode = usageError(QStringLiteral("--db dan --database tidak dapat dipakai bersama"));
        return options;
    }
    const QCommandLineOption &database = parser.isSet(file) ? file : url;
    if (parser.isSet(database)) {
        options.database = parser.value(database);
        if (options.database.trimmed().isEmpty()) {
            options.exitCode = usageError(QStringLiteral("--%1 tidak boleh kosong").arg(database.names().constFirst()));
            return options;
        }
    }
    options.arguments = parser.positionalArguments();
    if (options.arguments.isEmpty()) {
        options.exitCode = usageError(QStringLiteral("perintah belum diberikan"));
        return options;
    }
    options.command = options.arguments.takeFirst();
    if (!findCommand(options.command)) {
        options.exitCode = usageError(QStringLiteral("perintah tidak dikenal: %1").arg(options.command));
        return options;
    }
    if (options.command == QLatin1String("help")) {
        if (options.arguments.size() > 1 || (options.arguments.size() == 1 && !findCommand(options.arguments.at(0)))) {
            options.exitCode = usageError(
                QStringLiteral("help butuh paling banyak satu PERINTAH: %1").arg(commandNames().join(QStringLiteral(", "))),
                {QStringLiteral("help")});
            return options;
        }
        cli::printOut(options.arguments.isEmpty() ? toolHelp(parser) : commandHelp(options.arguments.at(0)));
        options.exitCode = 0;
        return options;
    }
    if (options.arguments.contains(QLatin1String("--help")) || options.arguments.contains(QLatin1String("-h"))) {
        cli::printOut(commandHelp(options.command));
        options.exitCode = 0;
    }
    return options;
}

} // namespace pel::admin
