#include "transfer/tables.h"

#include "common/access.h"
#include "transfer/exporter.h"

namespace pel::transfer {

std::optional<Table> tableFromName(const QString &word)
{
    if (word == QLatin1String("students"))
        return Table::Students;
    if (word == QLatin1String("subjects"))
        return Table::Subjects;
    if (word == QLatin1String("grades"))
        return Table::Grades;
    return std::nullopt;
}

QString sqlTableName(Table table)
{
    switch (table) {
    case Table::Students: return QStringLiteral("SISWA");
    case Table::Subjects: return QStringLiteral("Pelajaran");
    case Table::Grades: break;
    }
    return QStringLiteral("Nilai");
}

QString tableCaption(Table table)
{
    switch (table) {
    case Table::Students: return QStringLiteral("Siswa");
    case Table::Subjects: return QStringLiteral("Mata Pelajaran");
    case Table::Grades: break;
    }
    return QStringLiteral("Nilai");
}

const std::vector<Column> &columns(Table table)
{
    static const std::vector<Column> students{
        {QStringLiteral("NIS"), Kind::Text, Code::Key},         {QStringLiteral("NamaSiswa"), Kind::Upper},
        {QStringLiteral("TptLahir"), Kind::Upper},    {QStringLiteral("TglLahir"), Kind::Date},
        {QStringLiteral("Alamat"), Kind::Upper},      {QStringLiteral("JenisKelamin"), Kind::Upper},
        {QStringLiteral("Agama"), Kind::Upper},       {QStringLiteral("TglMasuk"), Kind::Date},
        {QStringLiteral("ProgamJurusan"), Kind::Upper}, {QStringLiteral("LevelTahap"), Kind::Upper},
        {QStringLiteral("AsalSekolah"), Kind::Upper}, {QStringLiteral("TelpHp"), Kind::Upper, Code::Phone},
    };
    static const std::vector<Column> subjects{
        {QStringLiteral("KdMatpel"), Kind::Text, Code::Key}, {QStringLiteral("NmMatpel"), Kind::Upper},
        {QStringLiteral("TglEntry"), Kind::Date}, {QStringLiteral("Lokal"), Kind::Upper},
        {QStringLiteral("Instruktur"), Kind::Upper}, {QStringLiteral("SKS"), Kind::Number},
    };
    // The grade screen upper-cases nothing; the student's programme and
    // level, the credit units and the instructor are copies taken at grading
    // time, read from the file when it has them.
    static const std::vector<Column> grades{
        {QStringLiteral("Noreg"), Kind::Text, Code::Key}, {QStringLiteral("TglProses"), Kind::Date},
        {QStringLiteral("Nis"), Kind::Text, Code::Key}, {QStringLiteral("NamaSiswa"), Kind::Extra},
        {QStringLiteral("Program"), Kind::Text},    {QStringLiteral("Jenjang"), Kind::Text},
        {QStringLiteral("KdMatpel"), Kind::Text, Code::Key}, {QStringLiteral("NmMatpel"), Kind::Extra},
        {QStringLiteral("SKS"), Kind::Number},      {QStringLiteral("Tentor"), Kind::Text},
        {QStringLiteral("Nilangka"), Kind::Number}, {QStringLiteral("Nilhu"), Kind::Derived},
        {QStringLiteral("Bobot"), Kind::Derived},   {QStringLiteral("Mutu"), Kind::Derived},
        {QStringLiteral("Prediket"), Kind::Derived}, {QStringLiteral("Ket"), Kind::Derived},
    };
    switch (table) {
    case Table::Students: return students;
    case Table::Subjects: return subjects;
    case Table::Grades: break;
    }
    return grades;
}

std::vector<Column> templateColumns(Table table)
{
    std::vector<Column> read;
    for (const Column &column : columns(table))
        if (column.kind != Kind::Derived && column.kind != Kind::Extra)
            read.push_back(column);
    return read;
}

QStringList templateColumnNames(Table table)
{
    QStringList names;
    for (const Column &column : templateColumns(table))
        names << column.name;
    return names;
}

bool mayImport(const MenuRights &rights, Table table)
{
    return table == Table::Grades ? rights.proses : rights.file;
}

bool mayExport(const MenuRights &rights)
{
    return rights.file || rights.proses || rights.cari || rights.laporan;
}

QString missingForCheck(const MenuRights &rights, Table table, const QString &path)
{
    if (!mayImport(rights, table))
        return QStringLiteral("Impor data %1 memerlukan hak akses menu %2; login Anda tidak memilikinya.")
            .arg(tableCaption(table),
                 table == Table::Grades ? QStringLiteral("Proses Data") : QStringLiteral("File"));
    if (path.isEmpty() || !formatForPath(path))
        return QStringLiteral("Pilih file .xlsx atau .csv yang akan diperiksa.");
    return {};
}

} // namespace pel::transfer
