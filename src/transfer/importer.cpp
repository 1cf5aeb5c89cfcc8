#include "transfer/importer.h"

#include "env/clock.h"
#include "db/batchinsert.h"
#include "db/connection.h"
#include "db/gradestatements.h"
#include "db/result.h"
#include "db/transaction.h"
#include "grades/gradestore.h"
#include "grades/grading.h"
#include "transfer/csv.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>
#include <cmath>
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
    for (const Problem &p : problems)
        bytes += CsvLine({QString::number(p.line), p.column, p.value, p.reason}, separator);
    return bytes;
}

namespace {

// Keys compare as the database compares them: letter case ignored for
// ASCII letters (SQLite's NOCASE).
std::string foldedKey(std::string_view key)
{
    std::string out(key);
    for (char &c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    return out;
}

std::string foldedKey(const QVariant &value)
{
    return foldedKey(value.toString().toStdString());
}

QString viewText(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

bool isAscii(std::string_view bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// The text in capitals, as the entry screens turn a box's text on Enter.
void upperCase(std::string_view bytes, std::string &out)
{
    if (isAscii(bytes)) {
        out.assign(bytes);
        for (char &c : out)
            if (c >= 'a' && c <= 'z')
                c = char(c - 32);
        return;
    }
    out = viewText(bytes).toUpper().toStdString();
}

// Where the first byte that is not well-formed UTF-8 stands, or -1. A file
// saved by a spreadsheet in a legacy code page (Windows-1252) would
// otherwise put replacement characters into the names.
qsizetype firstBadUtf8(const QByteArray &data)
{
    const auto *d = reinterpret_cast<const unsigned char *>(data.constData());
    const qsizetype n = data.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = d[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int more = 0;
        unsigned int min = 0;
        if ((c & 0xE0) == 0xC0)
            more = 1, min = 0x80;
        else if ((c & 0xF0) == 0xE0)
            more = 2, min = 0x800;
        else if ((c & 0xF8) == 0xF0)
            more = 3, min = 0x10000;
        else
            return i;
        unsigned int code = c & (0x3F >> more);
        for (int k = 1; k <= more; ++k) {
            if (i + k >= n || (d[i + k] & 0xC0) != 0x80)
                return i;
            code = (code << 6) | (d[i + k] & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return i;
        i += more + 1;
    }
    return -1;
}

std::string_view trimmedView(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// A number as a person writes it in either locale: "65.25" or "65,25",
// blanks around it allowed; no group separators, no infinities.
std::optional<double> readNumber(std::string_view text)
{
    std::string s(trimmedView(text));
    if (s.empty())
        return std::nullopt;
    const size_t comma = s.find(',');
    if (comma != std::string::npos) {
        if (s.find('.') != std::string::npos || s.find(',', comma + 1) != std::string::npos)
            return std::nullopt;
        s[comma] = '.';
    }
    const char *begin = s.data();
    if (*begin == '+')
        ++begin;
    double value = 0;
    const auto [end, error] = std::from_chars(begin, s.data() + s.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A date cell: dd-mm-yyyy as stored, yyyy-mm-dd turned into it, the empty
// text and the empty date box ("__-__-____") kept as they are.
std::optional<std::string> readDate(std::string_view text)
{
    if (text.empty() || text == "__-__-____")
        return std::string(text);
    if (text.size() != 10)
        return std::nullopt;
    auto digits = [&](size_t from, size_t count) {
        int value = 0;
        for (size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    int day = -1, month = -1, year = -1;
    if (text[2] == '-' && text[5] == '-') {
        day = digits(0, 2), month = digits(3, 2), year = digits(6, 4);
    } else if (text[4] == '-' && text[7] == '-') {
        year = digits(0, 4), month = digits(5, 2), day = digits(8, 2);
    }
    if (day < 0 || month < 0 || year < 0 || !QDate::isValid(year, month, day))
        return std::nullopt;
    if (text[2] == '-')
        return std::string(text);
    // yyyy-mm-dd becomes dd-mm-yyyy.
    std::string out(10, '-');
    out.replace(0, 2, text.substr(8, 2));
    out.replace(3, 2, text.substr(5, 2));
    out.replace(6, 4, text.substr(0, 4));
    return out;
}

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

std::string numberText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest).toStdString();
}

// A statement on the SQLite connection behind Qt's, for the bulk writes.
class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql)
    {
        if (db)
            sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &m_stmt, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool valid() const { return m_stmt != nullptr; }
    void text(int index, const std::string &value)
    {
        sqlite3_bind_text(m_stmt, index, value.data(), int(value.size()), SQLITE_STATIC);
    }
    void number(int index, double value) { sqlite3_bind_double(m_stmt, index, value); }
    // Runs the statement once; the engine's message when it refuses.
    std::optional<QString> run()
    {
        const int rc = sqlite3_step(m_stmt);
        std::optional<QString> error;
        if (rc != SQLITE_DONE)
            error = QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(m_stmt)));
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        return error;
    }
    int changes() const { return sqlite3_changes(sqlite3_db_handle(m_stmt)); }

private:
    sqlite3_stmt *m_stmt = nullptr;
};

// The writes on an engine without SQLite's interface (a server), through Qt
// with bound values: new rows 500 to a statement (db::BatchInsert), so that a
// refused row's line is named as on SQLite, and updates one at a time.
class BoundWriter
{
public:
    BoundWriter(const QSqlDatabase &db, const QString &table, const QStringList &columns)
        : m_insert(db, table, columns, 500), m_update(db)
    {
    }

    // Prepares the one-row insert and, when sets is not empty, the update of
    // those columns of the row whose key columns match (values bound in the
    // order of updateOrder, indexes into a row's values).
    bool prepare(const QString &table, const QStringList &sets, const QStringList &keys, std::vector<int> updateOrder,
                 QString *error)
    {
        m_updateOrder = std::move(updateOrder);
        if (!m_insert.prepare()) {
            *error = m_insert.error();
            return false;
        }
        if (!sets.isEmpty()
            && !m_update.prepare(QStringLiteral("update %1 set %2 where %3")
                                     .arg(table, sets.join(QLatin1Char(',')), keys.join(QStringLiteral(" and "))))) {
            *error = m_update.lastError().text();
            return false;
        }
        m_updates = !sets.isEmpty();
        return true;
    }
    bool updates() const { return m_updates; }

    // Keeps a new row for the next batch; a refused row gives its line and
    // the server's reason.
    std::optional<std::pair<int, QString>> insert(int line, QVariantList values)
    {
        m_lines.push_back(line);
        return m_insert.add(std::move(values)) ? std::nullopt : refused();
    }

    std::optional<QString> update(const QVariantList &values)
    {
        for (int index : m_updateOrder)
            m_update.addBindValue(values.at(index));
        if (m_update.exec())
            return std::nullopt;
        return db::errorText(m_update.lastError());
    }

    // Sends the rows kept so far.
    std::optional<std::pair<int, QString>> flush() { return m_insert.flush() ? std::nullopt : refused(); }

private:
    std::optional<std::pair<int, QString>> refused() const
    {
        return std::make_pair(m_lines.at(size_t(m_insert.refusedRow())), m_insert.error());
    }

    db::BatchInsert m_insert;
    QSqlQuery m_update;
    bool m_updates = false;
    std::vector<int> m_updateOrder;
    std::vector<int> m_lines; // the file's line of every row inserted
};

// One cell of a row, as it will be stored.
struct Cell
{
    std::string text;
    double number = 0;
    bool isNumber = false;
};

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

class Importer
{
public:
    Importer(const db::Connection &conn, Table table, const ImportOptions &options, ImportReport &report)
        : m_conn(conn), m_table(table), m_options(options), m_report(report), m_columns(columns(table))
    {
    }

    void run(const QByteArray &data);

private:
    void problem(int line, const QString &column, const QString &value, const QString &reason)
    {
        m_report.problems.append({line, column, value, reason});
    }
    bool readHeader(CsvReader &reader);
    bool loadStored();
    void collectFileRegistrations();
    void checkRow(const CsvRecord &record);
    void writeRow(int line, const std::vector<Cell> &cells, bool exists);
    void writeBound(int line, const std::vector<Cell> &cells, bool exists);
    void flushBound();
    // No row is written from now on; the new rows kept for a batch are sent
    // first, so that a row the server refuses is named as SQLite names it.
    void stopWriting()
    {
        flushBound();
        m_writing = false;
    }
    bool prepareStatements();
    bool prepareBound(const QStringList &names);
    QString nextFreeRegistration(QString after);
    void keepPreview(const std::vector<Cell> &cells);

    int fileIndex(const QString &name) const { return m_fileIndex.value(name.toLower(), -1); }

    const db::Connection &m_conn;
    Table m_table;
    const ImportOptions &m_options;
    ImportReport &m_report;
    const std::vector<Column> &m_columns;

    int m_fieldCount = 0;
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
    std::unordered_map<std::string, std::string> m_registrationOwner; // folded Noreg -> its NIS as written
    std::unordered_set<std::string> m_usedRegistrations;            // stored and written in the file
    QVariant m_lastRegistration;
    QString m_lastDrawn;
    std::unordered_map<std::string, std::string> m_drawn; // folded NIS -> the number drawn for its rows without one
    std::string m_today;
    std::vector<Cell> m_cells;
    const QByteArray *m_data = nullptr;
    bool m_fileRegistrationsKnown = false;

    sqlite3 *m_db = nullptr;
    std::unique_ptr<Statement> m_insert;
    std::unique_ptr<Statement> m_update;
    std::unique_ptr<BoundWriter> m_bound; // the writes where the connection is not SQLite's
    QString m_prepareError;
    bool m_writing = true;
};

void Importer::run(const QByteArray &data)
{
    m_report.result = db::Result::success();
    for (int i = 0; i < int(m_columns.size()); ++i) {
        const Kind kind = m_columns[i].kind;
        if (kind != Kind::Extra)
            m_storedColumns.push_back(i);
    }
    for (int i : m_storedColumns)
        m_report.previewColumns << m_columns[i].name;

    if (const qsizetype bad = firstBadUtf8(data); bad >= 0) {
        const int line = int(std::count(data.constBegin(), data.constBegin() + bad, '\n')) + 1;
        problem(line, QString(), QString(),
                QStringLiteral("file bukan teks UTF-8; simpan ulang sebagai \"CSV UTF-8\""));
        return;
    }
    CsvReader reader(data);
    if (!readHeader(reader))
        return;
    if (!loadStored())
        return;
    m_data = &data;
    m_fileKeys.reserve(size_t(std::count(data.constBegin(), data.constEnd(), '\n')) + 1); // a key a line
    m_today = clock::today().toString(QStringLiteral("dd-MM-yyyy")).toStdString();

    std::optional<db::Transaction> transaction;
    m_writing = !m_options.dryRun;
    if (m_writing) {
        transaction.emplace(m_conn);
        if (!transaction->isActive()) {
            m_report.result = db::Result::from(m_conn.database().lastError());
            return;
        }
        if (!prepareStatements()) {
            m_report.result = db::Result::failure(db::Result::Kind::Failure, m_prepareError);
            return;
        }
    }

    CsvRecord record;
    QString why;
    int sinceProgress = 0;
    for (;;) {
        const CsvReader::Status status = reader.next(record, &why);
        if (status == CsvReader::Status::End)
            break;
        if (++sinceProgress == 2000 && m_options.progress) {
            sinceProgress = 0;
            m_options.progress(reader.position(), reader.size());
        }
        if (status == CsvReader::Status::Malformed) {
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
        m_options.progress(reader.size(), reader.size());
    if (m_bound) {
        flushBound();
        // A batch's refusal is found after later lines were checked.
        std::stable_sort(m_report.problems.begin(), m_report.problems.end(),
                         [](const Problem &a, const Problem &b) { return a.line < b.line; });
    }

    if (!m_report.problems.isEmpty()) {
        m_report.result = db::Result::failure(db::Result::Kind::BadValue,
                                              QStringLiteral("%1 masalah ditemukan; tidak ada data yang disimpan.")
                                                  .arg(m_report.problems.size()));
        return; // the transaction rolls back
    }
    if (transaction) {
        m_insert.reset();
        m_update.reset();
        m_bound.reset();
        if (!transaction->commit())
            m_report.result = db::Result::from(m_conn.database().lastError());
    }
}

bool Importer::readHeader(CsvReader &reader)
{
    CsvRecord header;
    QString why;
    const CsvReader::Status status = reader.next(header, &why);
    if (status == CsvReader::Status::End) {
        problem(1, QString(), QString(), QStringLiteral("file kosong, baris judul kolom tidak ada"));
        return false;
    }
    if (status == CsvReader::Status::Malformed) {
        problem(1, QString(), QString(), why);
        return false;
    }
    m_fieldCount = header.size();
    QHash<QString, int> known;
    for (int i = 0; i < int(m_columns.size()); ++i)
        known.insert(m_columns[i].name.toLower(), i);
    for (int f = 0; f < header.size(); ++f) {
        const QString name = header.text(f).trimmed();
        const QString key = name.toLower();
        if (!known.contains(key)) {
            problem(1, name, QString(), QStringLiteral("kolom tidak dikenal pada tabel %1").arg(sqlTableName(m_table)));
            continue;
        }
        if (m_fileIndex.contains(key)) {
            problem(1, name, QString(), QStringLiteral("kolom ditulis dua kali"));
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
            problem(1, name, QString(), QStringLiteral("kolom wajib tidak ada"));
    for (int i : m_storedColumns)
        m_sourceField.push_back(m_columns[i].kind == Kind::Derived ? -1 : fileIndex(m_columns[i].name));
    return m_report.problems.isEmpty();
}

bool Importer::loadStored()
{
    QSqlQuery query(m_conn.database());
    query.setForwardOnly(true);
    auto fail = [&] {
        m_report.result = db::Result::from(query.lastError());
        return false;
    };
    switch (m_table) {
    case Table::Students:
        if (!query.exec(QStringLiteral("select NIS from SISWA")))
            return fail();
        while (query.next())
            m_storedKeys.insert(foldedKey(query.value(0)));
        return true;
    case Table::Subjects:
        if (!query.exec(QStringLiteral("select KdMatpel from Pelajaran")))
            return fail();
        while (query.next())
            m_storedKeys.insert(foldedKey(query.value(0)));
        return true;
    case Table::Grades:
        break;
    }
    if (!query.exec(QStringLiteral("select NIS, ProgamJurusan, LevelTahap from SISWA")))
        return fail();
    while (query.next())
        m_students.emplace(foldedKey(query.value(0)), StudentInfo{query.value(1).toString().toStdString(),
                                                                  query.value(2).toString().toStdString()});
    if (!query.exec(QStringLiteral("select KdMatpel, SKS, Instruktur from Pelajaran")))
        return fail();
    while (query.next()) {
        SubjectInfo info;
        if (!query.value(1).isNull())
            info.credits = query.value(1).toDouble();
        info.instructor = query.value(2).toString().toStdString();
        m_subjects.emplace(foldedKey(query.value(0)), info);
    }
    if (!query.exec(QStringLiteral("select Noreg, Nis, KdMatpel from Nilai")))
        return fail();
    while (query.next()) {
        const std::string noreg = foldedKey(query.value(0));
        m_registrationOwner.emplace(noreg, query.value(1).toString().toStdString());
        m_usedRegistrations.insert(noreg);
        m_storedKeys.insert(noreg + '\x1f' + foldedKey(query.value(2)));
    }
    // The next registration number follows the last row, as the grade screen draws it.
    if (!query.exec(db::LastGradeRowStatement(m_conn.isPostgres())))
        return fail();
    if (query.next())
        m_lastRegistration = query.value(0);
    return true;
}

// The registration numbers the file writes itself, so that no drawn number
// takes one of them. Read only once a number has to be drawn.
void Importer::collectFileRegistrations()
{
    m_fileRegistrationsKnown = true;
    const int field = fileIndex(QStringLiteral("Noreg"));
    if (field < 0)
        return;
    CsvReader reader(*m_data);
    CsvRecord record;
    reader.next(record); // the header
    for (;;) {
        const CsvReader::Status status = reader.next(record);
        if (status == CsvReader::Status::End)
            return;
        if (status == CsvReader::Status::Record && field < record.size() && !record.fields[field].empty())
            m_usedRegistrations.insert(foldedKey(record.fields[field]));
    }
}

QString Importer::nextFreeRegistration(QString after)
{
    if (!m_fileRegistrationsKnown)
        collectFileRegistrations();
    QString number = grades::NextNumberAfter(after.isNull() ? m_lastRegistration : QVariant(after));
    while (m_usedRegistrations.count(foldedKey(number.toStdString())))
        number = grades::NextNumberAfter(number);
    m_usedRegistrations.insert(foldedKey(number.toStdString()));
    return number;
}

void Importer::checkRow(const CsvRecord &record)
{
    const int line = record.line;
    if (record.size() != m_fieldCount) {
        problem(line, QString(), QString(),
                QStringLiteral("baris berisi %1 kolom, baris judul %2 kolom").arg(record.size()).arg(m_fieldCount));
        stopWriting();
        return;
    }
    const int before = int(m_report.problems.size());
    // The cells of the previous row are reused: their texts keep their room.
    std::vector<Cell> &cells = m_cells;
    cells.resize(m_storedColumns.size());
    for (Cell &cell : cells) {
        cell.text.clear();
        cell.number = 0;
        cell.isNumber = false;
    }
    for (size_t s = 0; s < m_storedColumns.size(); ++s) {
        const Column &column = m_columns[m_storedColumns[s]];
        const int field = m_sourceField[s];
        if (field < 0)
            continue;
        const std::string_view raw = record.fields[field];
        Cell &cell = cells[s];
        switch (column.kind) {
        case Kind::Text:
            cell.text.assign(raw);
            break;
        case Kind::Upper:
            upperCase(raw, cell.text);
            break;
        case Kind::Date:
            if (const auto date = readDate(raw))
                cell.text = *date;
            else
                problem(line, column.name, viewText(raw),
                        QStringLiteral("tanggal harus berbentuk dd-mm-yyyy (atau yyyy-mm-dd) dan ada di kalender"));
            break;
        case Kind::Number:
            if (m_table == Table::Grades && column.name == QLatin1String("SKS") && trimmedView(raw).empty())
                break; // taken from the subject below
            if (const auto number = readNumber(raw)) {
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

    bool exists = false;
    if (m_table != Table::Grades) {
        const QString keyName = m_columns[0].name;
        const std::string &key = cells[0].text;
        std::string fold = foldedKey(key);
        if (trimmedView(key).empty()) {
            problem(line, keyName, viewText(key), QStringLiteral("kunci kosong"));
        } else if (!m_fileKeys.insert(fold)) {
            problem(line, keyName, viewText(key),
                    QStringLiteral("%1 ini sudah ada pada baris lain di file").arg(keyName));
        } else {
            exists = m_storedKeys.count(fold) > 0;
            if (exists && !m_options.update)
                problem(line, keyName, viewText(key),
                        QStringLiteral("%1 ini sudah tersimpan (pakai pilihan update untuk mengubahnya)").arg(keyName));
        }
    } else {
        // Stored columns of Nilai: 0 Noreg, 1 TglProses, 2 Nis, 3 Program, 4 Jenjang, 5 KdMatpel,
        // 6 SKS, 7 Tentor, 8 Nilangka, 9 Nilhu, 10 Bobot, 11 Mutu, 12 Prediket, 13 Ket.
        const std::string nisKey = foldedKey(cells[2].text);
        const std::string codeKey = foldedKey(cells[5].text);
        const auto student = m_students.find(nisKey);
        const auto subject = m_subjects.find(codeKey);
        if (trimmedView(cells[2].text).empty())
            problem(line, QStringLiteral("Nis"), viewText(cells[2].text), QStringLiteral("NIS kosong"));
        else if (student == m_students.end())
            problem(line, QStringLiteral("Nis"), viewText(cells[2].text), QStringLiteral("siswa dengan NIS ini tidak ada"));
        if (trimmedView(cells[5].text).empty())
            problem(line, QStringLiteral("KdMatpel"), viewText(cells[5].text),
                    QStringLiteral("kode mata pelajaran kosong"));
        else if (subject == m_subjects.end())
            problem(line, QStringLiteral("KdMatpel"), viewText(cells[5].text),
                    QStringLiteral("mata pelajaran dengan kode ini tidak ada"));
        if (student != m_students.end()) {
            if (m_sourceField[3] < 0 || cells[3].text.empty())
                cells[3].text = student->second.program;
            if (m_sourceField[4] < 0 || cells[4].text.empty())
                cells[4].text = student->second.level;
        }
        if (subject != m_subjects.end()) {
            if (!cells[6].isNumber) {
                if (subject->second.credits) {
                    cells[6].number = *subject->second.credits;
                    cells[6].isNumber = true;
                } else {
                    problem(line, QStringLiteral("SKS"), QString(),
                            QStringLiteral("SKS mata pelajaran ini tidak tersimpan"));
                }
            }
            if (m_sourceField[7] < 0 || cells[7].text.empty())
                cells[7].text = subject->second.instructor;
        }
        if (m_sourceField[1] < 0)
            cells[1].text = m_today;

        if (int(m_report.problems.size()) == before) {
            if (cells[0].text.empty()) {
                // Rows of one student without a number share one new number.
                auto drawn = m_drawn.find(nisKey);
                if (drawn == m_drawn.end()) {
                    m_lastDrawn = nextFreeRegistration(m_lastDrawn);
                    const std::string number = m_lastDrawn.toStdString();
                    drawn = m_drawn.emplace(nisKey, number).first;
                    m_registrationOwner.emplace(foldedKey(number), cells[2].text);
                }
                cells[0].text = drawn->second;
            }
            const std::string regKey = foldedKey(cells[0].text);
            const auto owner = m_registrationOwner.find(regKey);
            std::string pair = regKey + '\x1f' + codeKey;
            if (owner != m_registrationOwner.end() && foldedKey(owner->second) != nisKey) {
                problem(line, QStringLiteral("Noreg"), viewText(cells[0].text),
                        QStringLiteral("nomor registrasi ini milik siswa lain (NIS %1)").arg(viewText(owner->second)));
            } else if (m_fileKeys.contains(pair)) {
                problem(line, QStringLiteral("KdMatpel"), viewText(cells[5].text),
                        QStringLiteral("mata pelajaran ini sudah ada pada registrasi yang sama di baris lain"));
            } else {
                if (owner == m_registrationOwner.end())
                    m_registrationOwner.emplace(regKey, cells[2].text);
                exists = m_storedKeys.count(pair) > 0;
                m_fileKeys.insert(pair);
                if (exists && !m_options.update)
                    problem(line, QStringLiteral("Noreg"), viewText(cells[0].text),
                            QStringLiteral("nilai mata pelajaran ini pada registrasi ini sudah tersimpan "
                                           "(pakai pilihan update untuk mengubahnya)"));
            }
            // The derived values come from the grading rule alone.
            const Grade grade = GradeForScore(cells[8].number);
            const StoredGrade &texts = storedGrade(grade);
            cells[9].text = texts.letter;
            cells[10].number = grade.weight;
            cells[10].isNumber = true;
            cells[11].number = storedQualityPoints(grade.weight, cells[6].number);
            cells[11].isNumber = true;
            cells[12].text = texts.predicate;
            cells[13].text = texts.remark;
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
    keepPreview(cells);
    if (m_writing)
        writeRow(line, cells, exists);
}

void Importer::keepPreview(const std::vector<Cell> &cells)
{
    if (m_report.previewRows.size() >= m_options.previewRows)
        return;
    QStringList row;
    for (size_t s = 0; s < cells.size(); ++s) {
        const Column &column = m_columns[m_storedColumns[s]];
        if (cells[s].isNumber)
            row << QString::fromStdString(numberText(cells[s].number));
        else if (m_sourceField[s] < 0 && column.kind == Kind::Number)
            row << QString();
        else
            row << QString::fromStdString(cells[s].text);
    }
    m_report.previewRows << row;
}

bool Importer::prepareStatements()
{
    QStringList names;
    for (int i : m_storedColumns)
        names << m_columns[i].name;
    m_db = db::sqliteHandle(m_conn.database());
    if (!m_db)
        return prepareBound(names);
    const QString table = sqlTableName(m_table);
    QStringList marks(names.size(), QStringLiteral("?"));
    m_insert = std::make_unique<Statement>(
        m_db, QStringLiteral("insert into %1(%2) values(%3)").arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    // An update sets what the file has and keeps the rest; the key is not changed.
    QStringList sets;
    QString where;
    if (m_table == Table::Grades) {
        for (size_t s = 0; s < m_storedColumns.size(); ++s)
            if (s != 0 && s != 5)
                sets << names[s] + QStringLiteral("=?%1").arg(s + 1);
        where = QStringLiteral("Noreg=?1 and KdMatpel=?6");
    } else {
        for (size_t s = 1; s < m_storedColumns.size(); ++s)
            if (m_sourceField[s] >= 0)
                sets << names[s] + QStringLiteral("=?%1").arg(s + 1);
        where = names[0] + QStringLiteral("=?1");
    }
    if (!sets.isEmpty())
        m_update = std::make_unique<Statement>(
            m_db, QStringLiteral("update %1 set %2 where %3").arg(table, sets.join(QLatin1Char(',')), where));
    if (m_insert->valid() && (sets.isEmpty() || m_update->valid()))
        return true;
    m_prepareError = QString::fromUtf8(sqlite3_errmsg(m_db));
    return false;
}

// The same statements with Qt's positional values: the update's values are
// bound in the order its marks stand.
bool Importer::prepareBound(const QStringList &names)
{
    QStringList sets;
    QStringList keys;
    std::vector<int> order;
    if (m_table == Table::Grades) {
        for (size_t s = 0; s < m_storedColumns.size(); ++s)
            if (s != 0 && s != 5) {
                sets << names[int(s)] + QStringLiteral("=?");
                order.push_back(int(s));
            }
        keys << QStringLiteral("Noreg=?") << QStringLiteral("KdMatpel=?");
        order.push_back(0);
        order.push_back(5);
    } else {
        for (size_t s = 1; s < m_storedColumns.size(); ++s)
            if (m_sourceField[s] >= 0) {
                sets << names[int(s)] + QStringLiteral("=?");
                order.push_back(int(s));
            }
        keys << names[0] + QStringLiteral("=?");
        order.push_back(0);
    }
    m_bound = std::make_unique<BoundWriter>(m_conn.database(), sqlTableName(m_table), names);
    return m_bound->prepare(sqlTableName(m_table), sets, keys, std::move(order), &m_prepareError);
}

void Importer::writeBound(int line, const std::vector<Cell> &cells, bool exists)
{
    if (exists && !m_bound->updates())
        return; // an update of a key alone: nothing to change
    QVariantList values;
    values.reserve(qsizetype(cells.size()));
    for (const Cell &cell : cells)
        values << (cell.isNumber ? QVariant(cell.number) : QVariant(QString::fromStdString(cell.text)));
    if (exists) {
        // The new rows kept so far go first, so that a refusal names the first refused line.
        flushBound();
        if (!m_writing)
            return;
        if (const auto error = m_bound->update(values)) {
            problem(line, QString(), QString(), QStringLiteral("database menolak baris ini: %1").arg(*error));
            m_writing = false;
        }
        return;
    }
    if (const auto refused = m_bound->insert(line, std::move(values))) {
        problem(refused->first, QString(), QString(),
                QStringLiteral("database menolak baris ini: %1").arg(refused->second));
        m_writing = false;
    }
}

void Importer::flushBound()
{
    if (!m_bound || !m_writing)
        return;
    if (const auto refused = m_bound->flush()) {
        problem(refused->first, QString(), QString(),
                QStringLiteral("database menolak baris ini: %1").arg(refused->second));
        m_writing = false;
    }
}

void Importer::writeRow(int line, const std::vector<Cell> &cells, bool exists)
{
    if (m_bound) {
        writeBound(line, cells, exists);
        return;
    }
    Statement *statement = exists ? m_update.get() : m_insert.get();
    if (!statement)
        return; // an update of a key alone: nothing to change
    for (size_t s = 0; s < cells.size(); ++s) {
        const Column &column = m_columns[m_storedColumns[s]];
        if (cells[s].isNumber)
            statement->number(int(s) + 1, cells[s].number);
        else if (column.kind == Kind::Number || column.kind == Kind::Derived)
            statement->text(int(s) + 1, cells[s].text); // an absent number: the empty text, which the column refuses
        else
            statement->text(int(s) + 1, cells[s].text);
    }
    if (const auto error = statement->run()) {
        problem(line, QString(), QString(), QStringLiteral("database menolak baris ini: %1").arg(*error));
        m_writing = false;
    }
}

} // namespace

ImportReport importCsv(const db::Connection &conn, Table table, const QByteArray &data, const ImportOptions &options)
{
    ImportReport report;
    Importer(conn, table, options, report).run(data);
    if (report.result.ok() && !report.problems.isEmpty())
        report.result = db::Result::failure(db::Result::Kind::BadValue, problemText(report.problems.first()));
    return report;
}

ImportReport importCsvFile(const db::Connection &conn, Table table, const QString &path, const ImportOptions &options)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ImportReport report;
        report.result = db::Result::failure(db::Result::Kind::Failure,
                                            QStringLiteral("File \"%1\" tidak dapat dibaca: %2").arg(path, file.errorString()));
        return report;
    }
    return importCsv(conn, table, file.readAll(), options);
}

} // namespace pel::transfer
