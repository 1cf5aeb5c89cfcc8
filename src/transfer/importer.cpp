#include "transfer/importer.h"

#include "db/connection.h"
#include "db/filewriter.h"
#include "db/schema.h"
#include "db/tablewriter.h"
#include "db/transaction.h"
#include "env/clock.h"
#include "grades/gradenumbers.h"
#include "grades/gradewriter.h"
#include "grades/grading.h"
#include "transfer/cells.h"
#include "transfer/csv.h"
#include "transfer/exporter.h"
#include "transfer/xlsxreader.h"

#include <QFile>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>
#include <charconv>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace pel::transfer {

QString problemText(const Problem &problem)
{
    QString text = QStringLiteral("Baris %1").arg(problem.line);
    if (!problem.column.isEmpty())
        text += QStringLiteral(", kolom %1").arg(problem.column);
    if (!problem.value.isNull())
        text += QStringLiteral(", nilai \"%1\"").arg(problem.value);
    return text + QStringLiteral(": ") + problem.reason;
}

QByteArray problemsCsv(const QList<Problem> &problems, char separator)
{
    QByteArray bytes(Utf8Bom);
    bytes += CsvLine({QStringLiteral("Baris"), QStringLiteral("Kolom"), QStringLiteral("Nilai"),
                      QStringLiteral("Alasan")},
                     separator);
    // A refused cell is written as the file had it: a formula stays a text.
    for (const Problem &p : problems)
        bytes += CsvLine({QString::number(p.line), neutralised(p.column), neutralised(p.value), neutralised(p.reason)},
                         separator);
    return bytes;
}

db::Result writeProblemsFile(const QString &path, const QList<Problem> &problems)
{
    db::FileWriter file(path);
    db::Result written = file.open();
    if (written.ok())
        written = file.write(problemsCsv(problems));
    if (written.ok())
        written = file.commit();
    return written.ok() ? written : written.withAbout(QStringLiteral("File \"%1\" tidak dapat ditulis.").arg(path));
}

namespace {

// The quality points as the grade screen stores them: the product in its
// general form of at most 15 significant digits, read back as a number.
double storedQualityPoints(double weight, double credits)
{
    char text[64];
    const auto written = std::to_chars(text, text + sizeof text, QualityPoints(weight, credits),
                                       std::chars_format::general, 15);
    double value = 0;
    std::from_chars(text, written.ptr, value);
    return value;
}

// The grading rule's values for each weight, as stored texts.
struct StoredGrade
{
    std::string letter, predicate, remark;
};

const StoredGrade &storedGrade(const Grade &grade)
{
    static const auto table = [] {
        std::vector<StoredGrade> byWeight(5);
        for (double score : {100.0, 79.0, 69.0, 59.0, 0.0}) {
            const Grade g = GradeForScore(score);
            byWeight[size_t(g.weight)] = {g.letter.toStdString(), g.predicate.toStdString(), g.remark.toStdString()};
        }
        return byWeight;
    }();
    return table[size_t(grade.weight)];
}

// The keys a file brought, kept in large blocks of their own: a million
// rows make a million keys, which one allocation each would slow down.
class KeySet
{
public:
    void reserve(size_t count) { m_keys.reserve(count); }
    bool contains(std::string_view key) const { return m_keys.count(key) > 0; }
    // False when the key was there already.
    bool insert(std::string_view key)
    {
        if (contains(key))
            return false;
        if (m_blocks.empty() || m_used + key.size() > BlockSize) {
            m_blocks.push_back(std::make_unique<char[]>(std::max(BlockSize, key.size())));
            m_used = 0;
        }
        char *copy = m_blocks.back().get() + m_used;
        std::copy(key.begin(), key.end(), copy);
        m_used += key.size();
        m_keys.emplace(copy, key.size());
        return true;
    }

private:
    static constexpr size_t BlockSize = 1 << 20;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    size_t m_used = 0;
    std::unordered_set<std::string_view> m_keys;
};

// Stored keys of digits with leading zeros ("0012"), by their digits
// without those zeros: a key that a spreadsheet turned into a number and
// back ("12") finds here the stored key it was.
class ZeroPadded
{
public:
    void add(const std::string &stored)
    {
        if (stored.size() < 2 || stored.front() != '0' || !isDigits(stored))
            return;
        const size_t first = stored.find_first_not_of('0');
        if (first != std::string::npos)
            m_keys.emplace(stored.substr(first), stored);
    }
    // The stored key that key is with its leading zeros put back, or nullptr.
    const std::string *match(const std::string &key) const
    {
        if (m_keys.empty() || !isDigits(key) || key.front() == '0')
            return nullptr;
        const auto found = m_keys.find(key);
        return found == m_keys.end() ? nullptr : &found->second;
    }

private:
    std::unordered_map<std::string, std::string> m_keys;
};

// Why a cell a spreadsheet turned into a number is refused, and the cure:
// for a CSV file, keep the column text or use a workbook; in a workbook,
// format the column as text.
QString spreadsheetNumber(const QString &what, CellType type)
{
    return what
           + (type == CellType::Written
                  ? QStringLiteral(": disimpan sebagai angka oleh spreadsheet; simpan kolom sebagai teks atau pakai "
                                   "file .xlsx")
                  : QStringLiteral(": disimpan sebagai angka oleh spreadsheet; format kolom sebagai teks lalu ketik "
                                   "ulang nilainya"));
}

QString lostZeros(const std::string &stored, CellType type)
{
    return spreadsheetNumber(QStringLiteral("nol di depan hilang (yang tersimpan \"%1\")").arg(viewText(stored)), type);
}

struct StudentInfo
{
    std::string program;
    std::string level;
};

struct SubjectInfo
{
    std::optional<double> credits;
    std::string instructor;
};

// Stored columns of Nilai, by their place in a grade row.
enum GradeCell { Noreg, TglProses, Nis, Program, Jenjang, KdMatpel, Sks, Tentor, Nilangka, Nilhu, Bobot, Mutu,
                 Prediket, Ket };

// One import: the file's rows checked and written in one transaction that
// holds the write lock from before the stored keys are read until the
// commit, so that imports and desks at once never see each other's rows
// half way. A dry run is the very same import rolled back at the end.
class Importer
{
public:
    Importer(const db::Connection &conn, Table table, const ImportOptions &options, ImportReport &report)
        : m_conn(conn), m_table(table), m_options(options), m_report(report), m_columns(columns(table))
    {
    }

    void run(RecordSource &source);

private:
    void problem(int line, const QString &column, const QString &value, const QString &reason)
    {
        m_report.problems.append({line, column, value, reason});
    }
    // A row the database refused, named by its line; nothing is written
    // from then on.
    void refusedByDatabase(int line, const db::Result &refusal)
    {
        problem(line, QString(), QString(), QStringLiteral("database menolak baris ini: %1").arg(refusal.reason));
        m_writing = false;
    }
    bool readHeader(RecordSource &source);
    bool loadStored();
    void reserveFileRegistrations();
    bool fitsHeader(const Record &record) const;
    void checkRow(const Record &record);
    bool readCells(const Record &record);
    bool soundText(int line, const Column &column, CellType type, std::string_view raw);
    bool keptZeros(int line, const QString &column, int cell, const ZeroPadded &stored);
    void checkKey(int line, bool *exists);
    void checkGrade(int line, bool *exists);
    void writeRow(int line, bool exists);
    // No row is written from now on; the new rows kept for a batch are sent
    // first, so that a row the server refuses is named as SQLite names it.
    void stopWriting()
    {
        flush();
        m_writing = false;
    }
    void flush();
    bool prepareWriters();
    void keepPreview();

    int fileIndex(const QString &name) const { return m_fileIndex.value(name.toLower(), -1); }

    const db::Connection &m_conn;
    Table m_table;
    const ImportOptions &m_options;
    ImportReport &m_report;
    const std::vector<Column> &m_columns;

    int m_fieldCount = 0;              // the header's fields
    int m_usedWidth = 0;               // the header's fields up to its last named one
    std::vector<int> m_blankFields;    // fields without a name in the header
    QHash<QString, int> m_fileIndex;   // lower-cased column name -> field of the file
    std::vector<int> m_storedColumns;  // indexes into m_columns of what the table stores
    std::vector<int> m_sourceField;    // per stored column: the file's field, or -1

    // What is stored, and what the file brought so far.
    // Keys folded as the database compares them; a grade's key is its
    // registration number and subject code joined by a unit separator.
    std::unordered_set<std::string> m_storedKeys;
    KeySet m_fileKeys;
    std::unordered_map<std::string, StudentInfo> m_students;
    std::unordered_map<std::string, SubjectInfo> m_subjects;
    std::unordered_map<std::string, std::string> m_drawn; // folded NIS -> the number drawn for its rows without one
    std::unordered_set<std::string> m_storedNumbers;      // registration numbers in Nilai, folded
    ZeroPadded m_zeroKeys;     // the table's own keys (students, subjects) or the registration numbers (grades)
    ZeroPadded m_zeroStudents; // grades: the NIS of the students
    ZeroPadded m_zeroSubjects; // grades: the codes of the subjects
    std::string m_today;
    std::vector<db::Cell> m_cells;
    std::vector<CellType> m_cellTypes; // per stored column: the type of the cell it was read from
    RecordSource *m_source = nullptr;
    bool m_fileRegistrationsReserved = false;

    std::unique_ptr<db::TableWriter> m_rows;      // students and subjects
    std::unique_ptr<grades::GradeWriter> m_grades; // grades
    bool m_writing = true;
};

void Importer::run(RecordSource &source)
{
    m_report.result = db::Result::success();
    for (int i = 0; i < int(m_columns.size()); ++i) {
        const Kind kind = m_columns[i].kind;
        if (kind != Kind::Extra)
            m_storedColumns.push_back(i);
    }
    for (int i : m_storedColumns)
        m_report.previewColumns << m_columns[i].name;

    if (!readHeader(source))
        return;
    m_source = &source;
    m_fileKeys.reserve(size_t(std::max<qint64>(source.expectedRecords(), 0))); // a key a record
    m_today = clock::today().toString(QStringLiteral("dd-MM-yyyy")).toStdString();

    // The write lock before the stored keys are read: another import or a
    // desk saving meanwhile waits, and the numbers drawn here stay ours.
    // A dry run goes the same way and is rolled back at the end.
    db::Transaction transaction(m_conn, db::Transaction::Mode::Write);
    if (!transaction.isActive()) {
        m_report.result = transaction.lastError();
        return;
    }
    if (!loadStored())
        return;
    if (!prepareWriters())
        return;

    Record record;
    QString why;
    int sinceProgress = 0;
    for (;;) {
        const RecordSource::Status status = source.next(record, &why);
        if (status == RecordSource::Status::End)
            break;
        if (++sinceProgress == 2000 && m_options.progress) {
            sinceProgress = 0;
            m_options.progress(source.position(), source.size());
        }
        if (status == RecordSource::Status::Malformed) {
            ++m_report.rows;
            problem(record.line, QString(), QString(), why);
            stopWriting();
            continue;
        }
        if (record.isBlank())
            continue;
        ++m_report.rows;
        checkRow(record);
    }
    if (m_options.progress)
        m_options.progress(source.size(), source.size());
    flush();
    // A batch's refusal is found after later lines were checked.
    std::stable_sort(m_report.problems.begin(), m_report.problems.end(),
                     [](const Problem &a, const Problem &b) { return a.line < b.line; });

    if (!m_report.problems.isEmpty()) {
        m_report.result = db::Result::rejected(db::Result::Kind::BadValue,
                                               QStringLiteral("%1 masalah ditemukan; tidak ada data yang disimpan.")
                                                   .arg(m_report.problems.size()));
        return; // the transaction rolls back
    }
    if (m_options.dryRun)
        return; // every row went in; rolled back, the database stays as it was
    m_rows.reset();
    m_grades.reset();
    if (!transaction.commit())
        m_report.result = transaction.lastError();
}

bool Importer::readHeader(RecordSource &source)
{
    Record header;
    QString why;
    const RecordSource::Status status = source.next(header, &why);
    if (status == RecordSource::Status::End) {
        problem(1, QString(), QString(), QStringLiteral("file kosong, baris judul kolom tidak ada"));
        return false;
    }
    if (status == RecordSource::Status::Malformed) {
        problem(header.line, QString(), QString(), why);
        return false;
    }
    const int line = header.line;
    m_fieldCount = header.size();
    QHash<QString, int> known;
    for (int i = 0; i < int(m_columns.size()); ++i)
        known.insert(m_columns[i].name.toLower(), i);
    for (int f = 0; f < header.size(); ++f) {
        const QString name = header.text(f).trimmed();
        const QString key = name.toLower();
        // A column without a name, as a spreadsheet adds at the end, is
        // passed over as long as nothing stands below it.
        if (name.isEmpty()) {
            m_blankFields.push_back(f);
            continue;
        }
        m_usedWidth = f + 1;
        if (!known.contains(key)) {
            problem(line, name, QString(), QStringLiteral("kolom tidak dikenal pada tabel %1").arg(sqlTableName(m_table)));
            continue;
        }
        if (m_fileIndex.contains(key)) {
            problem(line, name, QString(), QStringLiteral("kolom ditulis dua kali"));
            continue;
        }
        m_fileIndex.insert(key, f);
    }
    QStringList required;
    if (m_table == Table::Students)
        required << QStringLiteral("NIS");
    else if (m_table == Table::Subjects)
        required << QStringLiteral("KdMatpel");
    else
        required << QStringLiteral("Nis") << QStringLiteral("KdMatpel") << QStringLiteral("Nilangka");
    for (const QString &name : required)
        if (fileIndex(name) < 0)
            problem(line, name, QString(), QStringLiteral("kolom wajib tidak ada"));
    for (int i : m_storedColumns)
        m_sourceField.push_back(m_columns[i].kind == Kind::Derived ? -1 : fileIndex(m_columns[i].name));
    return m_report.problems.isEmpty();
}

bool Importer::loadStored()
{
    QSqlQuery query(m_conn.database());
    query.setForwardOnly(true);
    auto fail = [&] {
        m_report.result = m_conn.refused(query.lastError());
        return false;
    };
    switch (m_table) {
    case Table::Students:
    case Table::Subjects:
        if (!query.exec(m_table == Table::Students ? QStringLiteral("select NIS from SISWA")
                                                   : QStringLiteral("select KdMatpel from Pelajaran")))
            return fail();
        while (query.next()) {
            const std::string key = query.value(0).toString().toStdString();
            m_storedKeys.insert(foldedKey(key));
            m_zeroKeys.add(key);
        }
        return true;
    case Table::Grades:
        break;
    }
    if (!query.exec(QStringLiteral("select NIS, ProgamJurusan, LevelTahap from SISWA")))
        return fail();
    while (query.next()) {
        const std::string nis = query.value(0).toString().toStdString();
        m_students.emplace(foldedKey(nis),
                           StudentInfo{query.value(1).toString().toStdString(), query.value(2).toString().toStdString()});
        m_zeroStudents.add(nis);
    }
    if (!query.exec(QStringLiteral("select KdMatpel, SKS, Instruktur from Pelajaran")))
        return fail();
    while (query.next()) {
        SubjectInfo info;
        if (!query.value(1).isNull())
            info.credits = query.value(1).toDouble();
        info.instructor = query.value(2).toString().toStdString();
        const std::string code = query.value(0).toString().toStdString();
        m_subjects.emplace(foldedKey(code), info);
        m_zeroSubjects.add(code);
    }
    if (!query.exec(QStringLiteral("select Noreg, KdMatpel from Nilai")))
        return fail();
    while (query.next()) {
        const std::string number = query.value(0).toString().toStdString();
        m_storedKeys.insert(foldedKey(number) + '\x1f' + foldedKey(query.value(1).toString().toStdString()));
        if (m_storedNumbers.insert(foldedKey(number)).second)
            m_zeroKeys.add(number);
    }
    return true;
}

bool Importer::prepareWriters()
{
    db::Result prepared;
    if (m_table == Table::Grades) {
        m_grades = std::make_unique<grades::GradeWriter>(m_conn, grades::GradeWriter::Mode::Batch);
        prepared = m_grades->prepare();
    } else {
        QStringList names;
        for (int i : m_storedColumns)
            names << m_columns[i].name;
        // An update sets what the file has and keeps the rest; the key is not changed.
        QList<int> sets;
        for (int s = 1; s < int(m_storedColumns.size()); ++s)
            if (m_sourceField[s] >= 0)
                sets << s;
        m_rows = std::make_unique<db::TableWriter>(m_conn, sqlTableName(m_table), names);
        prepared = m_rows->prepare(sets, {0});
    }
    if (!prepared.ok())
        m_report.result = prepared;
    return prepared.ok();
}

// The registration numbers the file writes itself, so that no drawn number
// takes one of them. Read only once a number has to be drawn.
void Importer::reserveFileRegistrations()
{
    m_fileRegistrationsReserved = true;
    const int field = fileIndex(QStringLiteral("Noreg"));
    if (field < 0)
        return;
    const std::unique_ptr<RecordSource> reader = m_source->restarted();
    Record record;
    reader->next(record); // the header
    for (;;) {
        const RecordSource::Status status = reader->next(record);
        if (status == RecordSource::Status::End)
            return;
        if (status != RecordSource::Status::Record || field >= record.size() || record.fields[field].empty())
            continue;
        const std::string_view number = record.fields[field];
        m_grades->reserve(viewText(record.type(field) == CellType::Written ? unneutralised(number) : number));
    }
}

// The row's cells as they will be stored; false when one of them is refused.
bool Importer::readCells(const Record &record)
{
    const int line = record.line;
    const int before = int(m_report.problems.size());
    // The cells of the previous row are reused: their texts keep their room.
    std::vector<db::Cell> &cells = m_cells;
    cells.resize(m_storedColumns.size());
    m_cellTypes.assign(m_storedColumns.size(), CellType::Written);
    for (db::Cell &cell : cells) {
        cell.text.clear();
        cell.number = 0;
        cell.isNumber = false;
    }
    for (size_t s = 0; s < m_storedColumns.size(); ++s) {
        const Column &column = m_columns[m_storedColumns[s]];
        const int field = m_sourceField[s];
        if (field < 0)
            continue;
        const CellType type = record.type(field);
        m_cellTypes[s] = type;
        // A text an export kept from running as a formula comes back as it
        // was; a workbook's text cell holds the text itself.
        const std::string_view raw = column.kind == Kind::Number || type != CellType::Written
                                         ? record.fields[field]
                                         : unneutralised(record.fields[field]);
        if (type == CellType::Error) {
            problem(line, column.name, viewText(raw), QStringLiteral("sel berisi galat rumus"));
            continue;
        }
        db::Cell &cell = cells[s];
        switch (column.kind) {
        case Kind::Text:
            if (soundText(line, column, type, raw))
                cell.text.assign(raw);
            break;
        case Kind::Upper:
            if (soundText(line, column, type, raw))
                upperCase(raw, cell.text);
            break;
        case Kind::Date:
            if (const auto date = readDate(raw))
                cell.text = *date;
            else if (hasTwoDigitYear(raw))
                problem(line, column.name, viewText(raw),
                        QStringLiteral("tahun ditulis dengan dua angka; tulis tahun lengkap, misalnya 01-08-2006"));
            else
                problem(line, column.name, viewText(raw),
                        QStringLiteral("tanggal harus berbentuk dd-mm-yyyy (atau yyyy-mm-dd, dd/mm/yyyy) dan ada di "
                                       "kalender"));
            break;
        case Kind::Number:
            if (m_table == Table::Grades && column.name == QLatin1String("SKS") && trimmedView(raw).empty())
                break; // taken from the subject below
            if (const auto number = readNumber(raw)) {
                // Credit units below zero are refused as the subject screen refuses them.
                if (column.name == QLatin1String("SKS") && *number < 0) {
                    problem(line, column.name, viewText(raw), QStringLiteral("SKS tidak boleh negatif"));
                    break;
                }
                cell.number = *number;
                cell.isNumber = true;
            } else {
                problem(line, column.name, viewText(raw), QStringLiteral("harus berupa angka"));
            }
            break;
        case Kind::Derived:
        case Kind::Extra:
            break;
        }
    }
    return int(m_report.problems.size()) == before;
}

// A text cell as a spreadsheet may have left it: a number cell that is not
// the text it was typed as, a date cell, a number in exponent form or a
// telephone number that lost its leading zero are refused, with the cure.
bool Importer::soundText(int line, const Column &column, CellType type, std::string_view raw)
{
    auto refuse = [&](const QString &why) {
        problem(line, column.name, viewText(raw), why);
        return false;
    };
    if (type == CellType::Number && !isPlainInteger(raw))
        return refuse(spreadsheetNumber(QStringLiteral("sel angka pada kolom teks"), type));
    if (type == CellType::Date)
        return refuse(QStringLiteral("sel tanggal pada kolom teks; format kolom sebagai teks lalu ketik ulang nilainya"));
    if (isExponentForm(raw))
        return refuse(spreadsheetNumber(QStringLiteral("angka berbentuk eksponen, angka aslinya sudah terpotong"), type));
    if (column.code == Code::Phone && isPhoneWithoutZero(raw))
        return refuse(spreadsheetNumber(QStringLiteral("nomor telepon tanpa 0 di depan"), type));
    return true;
}

// A key the file does not hold as stored, that is a stored key once its
// leading zeros are put back ("12" for "0012"): refused, since it would
// otherwise come in as a new record beside the stored one.
bool Importer::keptZeros(int line, const QString &column, int cell, const ZeroPadded &stored)
{
    const std::string *padded = stored.match(m_cells[size_t(cell)].text);
    if (!padded)
        return true;
    problem(line, column, viewText(m_cells[size_t(cell)].text), lostZeros(*padded, m_cellTypes[size_t(cell)]));
    return false;
}

// A student's or a subject's key: not empty, once in the file, and new unless
// the import updates.
void Importer::checkKey(int line, bool *exists)
{
    const QString keyName = m_columns[0].name;
    const std::string &key = m_cells[0].text;
    const std::string fold = foldedKey(key);
    if (trimmedView(key).empty()) {
        problem(line, keyName, viewText(key), QStringLiteral("kunci kosong"));
    } else if (!m_fileKeys.insert(fold)) {
        problem(line, keyName, viewText(key), QStringLiteral("%1 ini sudah ada pada baris lain di file").arg(keyName));
    } else {
        *exists = m_storedKeys.count(fold) > 0;
        if (!*exists)
            keptZeros(line, keyName, 0, m_zeroKeys);
        else if (!m_options.update)
            problem(line, keyName, viewText(key),
                    QStringLiteral("%1 ini sudah tersimpan (pakai pilihan update untuk mengubahnya)").arg(keyName));
    }
    // A new subject needs its credit units, which a file without the column
    // cannot give: the column refuses an empty one.
    if (m_table == Table::Subjects && !*exists && m_sourceField[5] < 0)
        problem(line, QStringLiteral("SKS"), QString(), QStringLiteral("SKS mata pelajaran baru harus diisi"));
}

// A grade: its student and subject stored, the copies taken at grading time
// filled in, its registration number drawn or checked, its subject once in
// the registration, and the values the grading rule gives.
void Importer::checkGrade(int line, bool *exists)
{
    std::vector<db::Cell> &cells = m_cells;
    const int before = int(m_report.problems.size());
    const std::string nisKey = foldedKey(cells[Nis].text);
    const std::string codeKey = foldedKey(cells[KdMatpel].text);
    const auto student = m_students.find(nisKey);
    const auto subject = m_subjects.find(codeKey);
    if (trimmedView(cells[Nis].text).empty())
        problem(line, QStringLiteral("Nis"), viewText(cells[Nis].text), QStringLiteral("NIS kosong"));
    else if (student == m_students.end() && keptZeros(line, QStringLiteral("Nis"), Nis, m_zeroStudents))
        problem(line, QStringLiteral("Nis"), viewText(cells[Nis].text), QStringLiteral("siswa dengan NIS ini tidak ada"));
    if (trimmedView(cells[KdMatpel].text).empty())
        problem(line, QStringLiteral("KdMatpel"), viewText(cells[KdMatpel].text),
                QStringLiteral("kode mata pelajaran kosong"));
    else if (subject == m_subjects.end() && keptZeros(line, QStringLiteral("KdMatpel"), KdMatpel, m_zeroSubjects))
        problem(line, QStringLiteral("KdMatpel"), viewText(cells[KdMatpel].text),
                QStringLiteral("mata pelajaran dengan kode ini tidak ada"));
    if (!cells[Noreg].text.empty() && m_storedNumbers.count(foldedKey(cells[Noreg].text)) == 0)
        keptZeros(line, QStringLiteral("Noreg"), Noreg, m_zeroKeys);
    if (student != m_students.end()) {
        if (m_sourceField[Program] < 0 || cells[Program].text.empty())
            cells[Program].text = student->second.program;
        if (m_sourceField[Jenjang] < 0 || cells[Jenjang].text.empty())
            cells[Jenjang].text = student->second.level;
    }
    if (subject != m_subjects.end()) {
        if (!cells[Sks].isNumber) {
            if (subject->second.credits) {
                cells[Sks].number = *subject->second.credits;
                cells[Sks].isNumber = true;
            } else {
                problem(line, QStringLiteral("SKS"), QString(), QStringLiteral("SKS mata pelajaran ini tidak tersimpan"));
            }
        }
        if (m_sourceField[Tentor] < 0 || cells[Tentor].text.empty())
            cells[Tentor].text = subject->second.instructor;
    }
    if (m_sourceField[TglProses] < 0)
        cells[TglProses].text = m_today;
    if (int(m_report.problems.size()) != before)
        return;

    // Rows of one student without a number share one new number.
    if (cells[Noreg].text.empty()) {
        if (const auto drawn = m_drawn.find(nisKey); drawn != m_drawn.end())
            cells[Noreg].text = drawn->second;
        else if (!m_fileRegistrationsReserved)
            reserveFileRegistrations();
    }
    const bool drawing = cells[Noreg].text.empty();
    const db::Result numbered = m_grades->number(cells[Noreg].text, cells[Nis].text);
    if (numbered.kind == db::Result::Kind::Conflict) {
        problem(line, QStringLiteral("Noreg"), viewText(cells[Noreg].text),
                QStringLiteral("nomor registrasi ini milik siswa lain (NIS %1)").arg(numbered.reason));
        return;
    }
    if (!numbered.ok()) {
        refusedByDatabase(line, numbered);
        return;
    }
    if (drawing)
        m_drawn.emplace(nisKey, cells[Noreg].text);
    const std::string pair = foldedKey(cells[Noreg].text) + '\x1f' + codeKey;
    if (m_fileKeys.contains(pair)) {
        problem(line, QStringLiteral("KdMatpel"), viewText(cells[KdMatpel].text),
                QStringLiteral("mata pelajaran ini sudah ada pada registrasi yang sama di baris lain"));
        return;
    }
    m_fileKeys.insert(pair);
    *exists = m_storedKeys.count(pair) > 0;
    if (*exists && !m_options.update)
        problem(line, QStringLiteral("Noreg"), viewText(cells[Noreg].text),
                QStringLiteral("nilai mata pelajaran ini pada registrasi ini sudah tersimpan "
                               "(pakai pilihan update untuk mengubahnya)"));
    // The derived values come from the grading rule alone.
    const Grade grade = GradeForScore(cells[Nilangka].number);
    const StoredGrade &texts = storedGrade(grade);
    cells[Nilhu].text = texts.letter;
    cells[Bobot].number = grade.weight;
    cells[Bobot].isNumber = true;
    cells[Mutu].number = storedQualityPoints(grade.weight, cells[Sks].number);
    cells[Mutu].isNumber = true;
    cells[Prediket].text = texts.predicate;
    cells[Ket].text = texts.remark;
}

// A record as wide as the header: fields under unnamed columns at its end
// may be missing, fields past it must be empty.
bool Importer::fitsHeader(const Record &record) const
{
    if (record.size() < m_usedWidth)
        return false;
    for (int f = m_fieldCount; f < record.size(); ++f)
        if (!record.fields[size_t(f)].empty())
            return false;
    return true;
}

void Importer::checkRow(const Record &record)
{
    const int line = record.line;
    if (!fitsHeader(record)) {
        problem(line, QString(), QString(),
                QStringLiteral("baris berisi %1 kolom, baris judul %2 kolom").arg(record.size()).arg(m_fieldCount));
        stopWriting();
        return;
    }
    const int before = int(m_report.problems.size());
    for (int f : m_blankFields)
        if (f < record.size() && !trimmedView(record.fields[size_t(f)]).empty())
            problem(line, QStringLiteral("ke-%1").arg(f + 1), record.text(f),
                    QStringLiteral("kolom tanpa judul berisi data; beri judul kolom itu atau kosongkan isinya"));
    bool exists = false;
    if (int(m_report.problems.size()) == before) {
        // A student's or a subject's key is checked beside a refused cell
        // too, so that a row tells every trace of a spreadsheet at once; a
        // grade is checked on sound cells only, as it draws its number.
        const bool sound = readCells(record);
        const QString keyName = m_columns[0].name;
        const bool keyRead = std::none_of(m_report.problems.cbegin() + before, m_report.problems.cend(),
                                          [&](const Problem &p) { return p.column == keyName; });
        if (m_table == Table::Grades) {
            if (sound)
                checkGrade(line, &exists);
        } else if (keyRead) {
            checkKey(line, &exists);
        }
    }
    if (int(m_report.problems.size()) != before) {
        stopWriting();
        return;
    }
    if (exists)
        ++m_report.updated;
    else
        ++m_report.inserted;
    if (m_writing)
        writeRow(line, exists);
    keepPreview();
}

void Importer::keepPreview()
{
    if (m_report.previewRows.size() >= m_options.previewRows)
        return;
    QStringList row;
    for (size_t s = 0; s < m_cells.size(); ++s) {
        const Column &column = m_columns[m_storedColumns[s]];
        if (m_cells[s].isNumber)
            row << QString::fromStdString(numberText(m_cells[s].number));
        else if (m_sourceField[s] < 0 && column.kind == Kind::Number)
            row << QString();
        else
            row << QString::fromStdString(m_cells[s].text);
    }
    m_report.previewRows << row;
}

void Importer::writeRow(int line, bool exists)
{
    db::Result written;
    if (m_grades) {
        written = exists ? m_grades->update(line, m_cells) : m_grades->insert(line, m_cells);
        if (!written.ok())
            refusedByDatabase(m_grades->refusedTag(), written);
        return;
    }
    if (exists && !m_rows->updates())
        return; // an update of a key alone: nothing to change
    written = exists ? m_rows->update(line, m_cells) : m_rows->insert(line, m_cells);
    if (!written.ok())
        refusedByDatabase(m_rows->refusedTag(), written);
}

void Importer::flush()
{
    if (!m_writing)
        return;
    const db::Result sent = m_grades ? m_grades->flush() : m_rows ? m_rows->flush() : db::Result::success();
    if (!sent.ok())
        refusedByDatabase(m_grades ? m_grades->refusedTag() : m_rows->refusedTag(), sent);
}

} // namespace

ImportReport importRecords(const db::Connection &conn, Table table, RecordSource &source, const ImportOptions &options)
{
    ImportReport report;
    Importer(conn, table, options, report).run(source);
    if (report.result.ok() && !report.problems.isEmpty())
        report.result = db::Result::rejected(db::Result::Kind::BadValue, problemText(report.problems.first()));
    return report;
}

ImportReport importCsv(const db::Connection &conn, Table table, const QByteArray &data, const ImportOptions &options)
{
    if (const qsizetype bad = firstBadUtf8(data); bad >= 0) {
        ImportReport report;
        const int line = int(std::count(data.constBegin(), data.constBegin() + bad, '\n')) + 1;
        report.problems.append(
            {line, QString(), QString(), QStringLiteral("file bukan teks UTF-8; simpan ulang sebagai \"CSV UTF-8\"")});
        report.result = db::Result::rejected(db::Result::Kind::BadValue, problemText(report.problems.first()));
        return report;
    }
    CsvReader reader(data);
    return importRecords(conn, table, reader, options);
}

ImportReport importFile(const db::Connection &conn, Table table, const QString &path, const ImportOptions &options)
{
    ImportReport report;
    if (formatForPath(path) == Format::Xlsx) {
        XlsxReader reader(path, sqlTableName(table));
        report.result = reader.open();
        return report.result.ok() ? importRecords(conn, table, reader, options) : report;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report.result = db::Result::failed(QStringLiteral("File \"%1\" tidak dapat dibaca: %2").arg(path, file.errorString()));
        return report;
    }
    return importCsv(conn, table, file.readAll(), options);
}

} // namespace pel::transfer
