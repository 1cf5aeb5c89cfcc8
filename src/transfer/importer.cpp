#include "transfer/importer.h"

#include "app/clock.h"
#include "db/connection.h"
#include "db/gradestatements.h"
#include "db/transaction.h"
#include "grades/gradestore.h"
#include "grades/grading.h"
#include "transfer/csv.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <charconv>
#include <cstdio>
#include <memory>
#include <cmath>
#include <optional>
#include <string>

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
QString folded(const QString &key)
{
    QString out = key;
    for (QChar &c : out)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    return out;
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
std::string upperCased(std::string_view bytes)
{
    if (isAscii(bytes)) {
        std::string out(bytes);
        for (char &c : out)
            if (c >= 'a' && c <= 'z')
                c = char(c - 32);
        return out;
    }
    return viewText(bytes).toUpper().toStdString();
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
    char out[11];
    std::snprintf(out, sizeof out, "%02d-%02d-%04d", day, month, year);
    return std::string(out, 10);
}

// The quality points as the grade screen stores them: the product in its
// general form of at most 15 significant digits, read back as a number.
double storedQualityPoints(double weight, double credits)
{
    return QString::number(QualityPoints(weight, credits), 'g', 15).toDouble();
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

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// One cell of a row, as it will be stored.
struct Cell
{
    std::string text;
    double number = 0;
    bool isNumber = false;
};

struct StudentInfo
{
    QString program;
    QString level;
};

struct SubjectInfo
{
    std::optional<double> credits;
    QString instructor;
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
    bool collectFileRegistrations(const QByteArray &data);
    void checkRow(const CsvRecord &record);
    void writeRow(int line, const std::vector<Cell> &cells, bool exists);
    bool prepareStatements();
    QString nextFreeRegistration(QString after);
    void keepPreview(const std::vector<Cell> &cells);

    int fileIndex(const QString &name) const { return m_fileIndex.value(folded(name), -1); }

    const db::Connection &m_conn;
    Table m_table;
    const ImportOptions &m_options;
    ImportReport &m_report;
    const std::vector<Column> &m_columns;

    int m_fieldCount = 0;
    QHash<QString, int> m_fileIndex;   // folded column name -> field of the file
    std::vector<int> m_storedColumns;  // indexes into m_columns of what the table stores
    std::vector<int> m_sourceField;    // per stored column: the file's field, or -1

    // What is stored, and what the file brought so far.
    QSet<QString> m_storedKeys;
    QSet<QString> m_fileKeys;
    QHash<QString, StudentInfo> m_students;
    QHash<QString, SubjectInfo> m_subjects;
    QHash<QString, QString> m_registrationOwner; // folded Noreg -> folded NIS, stored and from the file
    QSet<QString> m_usedRegistrations;          // folded, stored and written in the file
    QVariant m_lastRegistration;
    QString m_lastDrawn;
    QHash<QString, QString> m_drawn; // folded NIS -> the number drawn for its rows without one
    QString m_today;

    sqlite3 *m_db = nullptr;
    std::unique_ptr<Statement> m_insert;
    std::unique_ptr<Statement> m_update;
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

    CsvReader reader(data);
    if (!readHeader(reader))
        return;
    if (!loadStored())
        return;
    if (m_table == Table::Grades && fileIndex(QStringLiteral("Noreg")) >= 0 && !collectFileRegistrations(data))
        return;
    m_today = clock::today().toString(QStringLiteral("dd-MM-yyyy"));

    std::optional<db::Transaction> transaction;
    m_writing = !m_options.dryRun;
    if (m_writing) {
        transaction.emplace(m_conn);
        if (!transaction->isActive() || !prepareStatements()) {
            m_report.result = db::Result::failure(db::Result::Kind::Failure,
                                                  m_conn.database().lastError().text());
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
            m_writing = false;
            continue;
        }
        if (record.isBlank())
            continue;
        ++m_report.rows;
        checkRow(record);
    }
    if (m_options.progress)
        m_options.progress(reader.size(), reader.size());

    if (!m_report.problems.isEmpty()) {
        m_report.result = db::Result::failure(db::Result::Kind::BadValue,
                                              QStringLiteral("%1 masalah ditemukan; tidak ada data yang disimpan.")
                                                  .arg(m_report.problems.size()));
        return; // the transaction rolls back
    }
    if (transaction) {
        m_insert.reset();
        m_update.reset();
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
        known.insert(folded(m_columns[i].name), i);
    for (int f = 0; f < header.size(); ++f) {
        const QString name = header.text(f).trimmed();
        const QString key = folded(name);
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
            m_storedKeys.insert(folded(query.value(0).toString()));
        return true;
    case Table::Subjects:
        if (!query.exec(QStringLiteral("select KdMatpel from Pelajaran")))
            return fail();
        while (query.next())
            m_storedKeys.insert(folded(query.value(0).toString()));
        return true;
    case Table::Grades:
        break;
    }
    if (!query.exec(QStringLiteral("select NIS, ProgamJurusan, LevelTahap from SISWA")))
        return fail();
    while (query.next())
        m_students.insert(folded(query.value(0).toString()), {query.value(1).toString(), query.value(2).toString()});
    if (!query.exec(QStringLiteral("select KdMatpel, SKS, Instruktur from Pelajaran")))
        return fail();
    while (query.next()) {
        SubjectInfo info;
        if (!query.value(1).isNull())
            info.credits = query.value(1).toDouble();
        info.instructor = query.value(2).toString();
        m_subjects.insert(folded(query.value(0).toString()), info);
    }
    if (!query.exec(QStringLiteral("select Noreg, Nis, KdMatpel from Nilai")))
        return fail();
    while (query.next()) {
        const QString noreg = folded(query.value(0).toString());
        m_registrationOwner.insert(noreg, folded(query.value(1).toString()));
        m_usedRegistrations.insert(noreg);
        m_storedKeys.insert(noreg + QChar(0x1f) + folded(query.value(2).toString()));
    }
    // The next registration number follows the last row, as the grade screen draws it.
    if (!query.exec(db::LastGradeRowStatement()))
        return fail();
    if (query.next())
        m_lastRegistration = query.value(0);
    return true;
}

bool Importer::collectFileRegistrations(const QByteArray &data)
{
    const int field = fileIndex(QStringLiteral("Noreg"));
    CsvReader reader(data);
    CsvRecord record;
    reader.next(record); // the header
    for (;;) {
        const CsvReader::Status status = reader.next(record);
        if (status == CsvReader::Status::End)
            return true;
        if (status == CsvReader::Status::Record && field < record.size() && !record.fields[field].empty())
            m_usedRegistrations.insert(folded(record.text(field)));
    }
}

QString Importer::nextFreeRegistration(QString after)
{
    QString number = grades::NextNumberAfter(after.isNull() ? m_lastRegistration : QVariant(after));
    while (m_usedRegistrations.contains(folded(number)))
        number = grades::NextNumberAfter(number);
    m_usedRegistrations.insert(folded(number));
    return number;
}

void Importer::checkRow(const CsvRecord &record)
{
    const int line = record.line;
    if (record.size() != m_fieldCount) {
        problem(line, QString(), QString(),
                QStringLiteral("baris berisi %1 kolom, baris judul %2 kolom").arg(record.size()).arg(m_fieldCount));
        m_writing = false;
        return;
    }
    const int before = int(m_report.problems.size());
    std::vector<Cell> cells(m_storedColumns.size());
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
            cell.text = upperCased(raw);
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
        const QString key = QString::fromStdString(cells[0].text);
        const QString fold = folded(key);
        if (key.trimmed().isEmpty()) {
            problem(line, keyName, key, QStringLiteral("kunci kosong"));
        } else if (m_fileKeys.contains(fold)) {
            problem(line, keyName, key, QStringLiteral("%1 ini sudah ada pada baris lain di file").arg(keyName));
        } else {
            m_fileKeys.insert(fold);
            exists = m_storedKeys.contains(fold);
            if (exists && !m_options.update)
                problem(line, keyName, key,
                        QStringLiteral("%1 ini sudah tersimpan (pakai pilihan update untuk mengubahnya)").arg(keyName));
        }
    } else {
        // Stored columns of Nilai: 0 Noreg, 1 TglProses, 2 Nis, 3 Program, 4 Jenjang, 5 KdMatpel,
        // 6 SKS, 7 Tentor, 8 Nilangka, 9 Nilhu, 10 Bobot, 11 Mutu, 12 Prediket, 13 Ket.
        const QString nis = QString::fromStdString(cells[2].text);
        const QString code = QString::fromStdString(cells[5].text);
        const auto student = m_students.constFind(folded(nis));
        const auto subject = m_subjects.constFind(folded(code));
        if (nis.trimmed().isEmpty())
            problem(line, QStringLiteral("Nis"), nis, QStringLiteral("NIS kosong"));
        else if (student == m_students.constEnd())
            problem(line, QStringLiteral("Nis"), nis, QStringLiteral("siswa dengan NIS ini tidak ada"));
        if (code.trimmed().isEmpty())
            problem(line, QStringLiteral("KdMatpel"), code, QStringLiteral("kode mata pelajaran kosong"));
        else if (subject == m_subjects.constEnd())
            problem(line, QStringLiteral("KdMatpel"), code, QStringLiteral("mata pelajaran dengan kode ini tidak ada"));
        if (student != m_students.constEnd()) {
            if (m_sourceField[3] < 0 || cells[3].text.empty())
                cells[3].text = student->program.toStdString();
            if (m_sourceField[4] < 0 || cells[4].text.empty())
                cells[4].text = student->level.toStdString();
        }
        if (subject != m_subjects.constEnd()) {
            if (!cells[6].isNumber) {
                if (subject->credits) {
                    cells[6].number = *subject->credits;
                    cells[6].isNumber = true;
                } else {
                    problem(line, QStringLiteral("SKS"), QString(),
                            QStringLiteral("SKS mata pelajaran ini tidak tersimpan"));
                }
            }
            if (m_sourceField[7] < 0 || cells[7].text.empty())
                cells[7].text = subject->instructor.toStdString();
        }
        if (m_sourceField[1] < 0)
            cells[1].text = m_today.toStdString();

        if (int(m_report.problems.size()) == before) {
            const QString nisKey = folded(nis);
            QString noreg = QString::fromStdString(cells[0].text);
            if (noreg.isEmpty()) {
                // Rows of one student without a number share one new number.
                auto drawn = m_drawn.find(nisKey);
                if (drawn == m_drawn.end()) {
                    m_lastDrawn = nextFreeRegistration(m_lastDrawn);
                    drawn = m_drawn.insert(nisKey, m_lastDrawn);
                    m_registrationOwner.insert(folded(m_lastDrawn), nisKey);
                }
                noreg = *drawn;
                cells[0].text = noreg.toStdString();
            }
            const QString regKey = folded(noreg);
            const auto owner = m_registrationOwner.constFind(regKey);
            const QString pair = regKey + QChar(0x1f) + folded(code);
            if (owner != m_registrationOwner.constEnd() && *owner != nisKey) {
                problem(line, QStringLiteral("Noreg"), noreg,
                        QStringLiteral("nomor registrasi ini milik siswa lain (NIS %1)").arg(*owner));
            } else if (m_fileKeys.contains(pair)) {
                problem(line, QStringLiteral("KdMatpel"), code,
                        QStringLiteral("mata pelajaran ini sudah ada pada registrasi yang sama di baris lain"));
            } else {
                m_registrationOwner.insert(regKey, nisKey);
                m_fileKeys.insert(pair);
                exists = m_storedKeys.contains(pair);
                if (exists && !m_options.update)
                    problem(line, QStringLiteral("Noreg"), noreg,
                            QStringLiteral("nilai mata pelajaran ini pada registrasi ini sudah tersimpan "
                                           "(pakai pilihan update untuk mengubahnya)"));
            }
            // The derived values come from the grading rule alone.
            const Grade grade = GradeForScore(cells[8].number);
            cells[9].text = grade.letter.toStdString();
            cells[10].number = grade.weight;
            cells[10].isNumber = true;
            cells[11].number = storedQualityPoints(grade.weight, cells[6].number);
            cells[11].isNumber = true;
            cells[12].text = grade.predicate.toStdString();
            cells[13].text = grade.remark.toStdString();
        }
    }

    if (int(m_report.problems.size()) != before) {
        m_writing = false;
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
    m_db = sqliteHandle(m_conn.database());
    if (!m_db)
        return false;
    QStringList names;
    for (int i : m_storedColumns)
        names << m_columns[i].name;
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
    return m_insert->valid() && (sets.isEmpty() || m_update->valid());
}

void Importer::writeRow(int line, const std::vector<Cell> &cells, bool exists)
{
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
