#include "transfer/xlsxreader.h"

#include "transfer/cells.h"
#include "transfer/zippart.h"

#include <QDate>
#include <QHash>
#include <QLocale>
#include <QStringList>

#include <charconv>
#include <cmath>

namespace pel::transfer {

namespace {

// How a cell's style shows a number.
struct Style
{
    bool date = false; // as a date
    int zeroPad = 0;   // with leading zeros up to this many digits ("0000"), or 0
};

// The built-in number formats that show a date (the time-only ones show a number).
bool isBuiltinDate(int id)
{
    return (id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 36) || (id >= 50 && id <= 58);
}

// A format code without its quoted texts, escaped characters and bracketed
// parts (colours, locales, conditions), first section only.
QString formatSymbols(const QString &code)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (quoted) {
            quoted = c != QLatin1Char('"');
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char('\\') || c == QLatin1Char('_') || c == QLatin1Char('*')) {
            ++i;
        } else if (c == QLatin1Char('[')) {
            const qsizetype close = code.indexOf(QLatin1Char(']'), i);
            if (close < 0)
                break;
            i = close;
        } else if (c == QLatin1Char(';')) {
            break;
        } else {
            out += c;
        }
    }
    return out;
}

Style styleFor(int formatId, const QHash<int, QString> &codes)
{
    Style style;
    if (isBuiltinDate(formatId)) {
        style.date = true;
        return style;
    }
    const auto code = codes.find(formatId);
    if (code == codes.end())
        return style;
    const QString symbols = formatSymbols(*code).toLower();
    if (symbols.contains(QLatin1Char('d')) || symbols.contains(QLatin1Char('y')))
        style.date = true;
    else if (symbols.size() > 1 && symbols.count(QLatin1Char('0')) == symbols.size())
        style.zeroPad = int(symbols.size());
    return style;
}

// A part's name from a relationship's target, which is relative to the
// folder of the part that names it (or, with a leading slash, to the root).
QString partName(const QString &folder, const QString &target)
{
    const QString whole = target.startsWith(QLatin1Char('/')) ? target.mid(1) : folder + target;
    QStringList parts;
    for (const QString &part : whole.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".."))
            parts.removeLast();
        else if (part != QLatin1String("."))
            parts << part;
    }
    return parts.join(QLatin1Char('/'));
}

QString folderOf(const QString &part)
{
    return part.left(part.lastIndexOf(QLatin1Char('/')) + 1);
}

struct Relation
{
    QString type;
    QString target;
};

// The relationships of a part, by their id.
QHash<QString, Relation> relations(const QByteArray &xml)
{
    QHash<QString, Relation> found;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("Relationship")) {
            const QXmlStreamAttributes a = reader.attributes();
            found.insert(a.value(QLatin1String("Id")).toString(),
                         {a.value(QLatin1String("Type")).toString(), a.value(QLatin1String("Target")).toString()});
        }
    }
    return found;
}

QString targetOfType(const QHash<QString, Relation> &rels, const QString &folder, QLatin1String typeEnd)
{
    for (const Relation &rel : rels)
        if (rel.type.endsWith(typeEnd))
            return partName(folder, rel.target);
    return {};
}

// "A", "AB", ... of a cell reference "AB12" as a column counted from 0; -1 without letters.
int columnOf(QStringView reference)
{
    int column = 0;
    int letters = 0;
    for (const QChar c : reference) {
        const char16_t u = c.toUpper().unicode();
        if (u < 'A' || u > 'Z')
            break;
        column = column * 26 + (u - 'A' + 1);
        if (++letters > 3)
            return -1;
    }
    return letters ? column - 1 : -1;
}

// A text as the workbook stores it, with "_xHHHH_" standing for a character
// that XML cannot carry (a carriage return is "_x000D_").
void appendDecoded(QStringView text, std::string &out)
{
    if (!text.contains(QLatin1String("_x"))) {
        out += text.toUtf8().toStdString();
        return;
    }
    QString decoded;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('_') && i + 6 < text.size() && text.at(i + 1) == QLatin1Char('x')
            && text.at(i + 6) == QLatin1Char('_')) {
            bool hex = false;
            const uint code = text.mid(i + 2, 4).toUInt(&hex, 16);
            if (hex) {
                decoded += QChar(char16_t(code));
                i += 6;
                continue;
            }
        }
        decoded += text.at(i);
    }
    out += decoded.toUtf8().toStdString();
}

// The text of a string item or an inline string: its runs joined, without
// the phonetic guides.
std::string stringItem(QXmlStreamReader &reader)
{
    std::string text;
    const QString end = reader.name().toString();
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement() && reader.name() == end)
            break;
        if (!reader.isStartElement())
            continue;
        if (reader.name() == QLatin1String("rPh"))
            reader.skipCurrentElement();
        else if (reader.name() == QLatin1String("t"))
            appendDecoded(reader.readElementText(), text);
    }
    return text;
}

// The workbook's shared strings, in their order; false for broken XML.
bool readStrings(const QByteArray &xml, std::vector<std::string> *strings)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("si"))
            strings->push_back(stringItem(reader));
    }
    return !reader.hasError();
}

// How each cell style (by its index in cellXfs) shows a number; false for
// broken XML.
bool readStyles(const QByteArray &xml, std::vector<Style> *styles)
{
    QXmlStreamReader reader(xml);
    QHash<int, QString> codes;
    bool cellFormats = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement() && reader.name() == QLatin1String("cellXfs"))
            cellFormats = false;
        if (!reader.isStartElement())
            continue;
        const QXmlStreamAttributes a = reader.attributes();
        if (reader.name() == QLatin1String("numFmt"))
            codes.insert(a.value(QLatin1String("numFmtId")).toInt(), a.value(QLatin1String("formatCode")).toString());
        else if (reader.name() == QLatin1String("cellXfs"))
            cellFormats = true;
        else if (cellFormats && reader.name() == QLatin1String("xf"))
            styles->push_back(styleFor(a.value(QLatin1String("numFmtId")).toInt(), codes));
    }
    return !reader.hasError();
}

// A number as a text: plain digits, no exponent ("81234567890", "74.5").
std::string plainNumber(double value)
{
    if (value == 0)
        return "0";
    return QString::number(value, 'f', QLocale::FloatingPointShortest).toStdString();
}

// The day a date cell's serial number stands for, as dd-mm-yyyy. Serial 1
// of the 1900 system is 01-01-1900, and that system counts a 29 February
// 1900 (serial 60), which the calendar does not have.
std::string serialDate(double serial, bool date1904)
{
    const qint64 day = qint64(std::floor(serial));
    QDate date;
    if (date1904)
        date = QDate(1904, 1, 1).addDays(day);
    else if (day == 60)
        return "29-02-1900";
    else
        date = QDate(1899, 12, day < 60 ? 31 : 30).addDays(day);
    return date.toString(QStringLiteral("dd-MM-yyyy")).toStdString();
}

} // namespace

struct XlsxReader::Book
{
    QString path;
    QString sheetPart;
    std::vector<std::string> strings;
    std::vector<Style> styles; // by the cell's style index
    bool date1904 = false;
};

XlsxReader::XlsxReader(const QString &path, const QString &sheetName) : m_path(path), m_sheetName(sheetName) {}

XlsxReader::XlsxReader(std::shared_ptr<const Book> book) : m_path(book->path), m_book(std::move(book)) {}

XlsxReader::~XlsxReader() = default;

db::Result XlsxReader::open()
{
    auto notABook = [this](const QString &why) {
        return db::Result::failed(
            QStringLiteral("File \"%1\" bukan workbook Excel (.xlsx) yang dapat dibaca: %2.").arg(m_path, why));
    };
    ZipArchive zip(m_path);
    if (!zip.isOpen())
        return notABook(QStringLiteral("bukan file zip"));
    auto book = std::make_shared<Book>();
    book->path = m_path;

    QByteArray xml;
    QString workbookPart = QStringLiteral("xl/workbook.xml");
    if (readPart(zip, QStringLiteral("_rels/.rels"), &xml)) {
        const QString named = targetOfType(relations(xml), QString(), QLatin1String("/officeDocument"));
        if (!named.isEmpty())
            workbookPart = named;
    }
    if (!readPart(zip, workbookPart, &xml))
        return notABook(QStringLiteral("bagian %1 tidak ada").arg(workbookPart));
    QString sheetId;
    {
        QXmlStreamReader reader(xml);
        QString firstId;
        while (!reader.atEnd()) {
            reader.readNext();
            if (!reader.isStartElement())
                continue;
            const QXmlStreamAttributes a = reader.attributes();
            if (reader.name() == QLatin1String("workbookPr")) {
                const QStringView value = a.value(QLatin1String("date1904"));
                book->date1904 = value == QLatin1String("1") || value == QLatin1String("true");
            } else if (reader.name() == QLatin1String("sheet")) {
                QString id;
                for (const QXmlStreamAttribute &attribute : a)
                    if (attribute.name() == QLatin1String("id"))
                        id = attribute.value().toString();
                if (firstId.isEmpty())
                    firstId = id;
                if (sheetId.isEmpty()
                    && a.value(QLatin1String("name")).compare(m_sheetName, Qt::CaseInsensitive) == 0)
                    sheetId = id;
            }
        }
        if (reader.hasError())
            return notABook(QStringLiteral("XML %1 rusak").arg(workbookPart));
        if (sheetId.isEmpty())
            sheetId = firstId;
    }
    const QString folder = folderOf(workbookPart);
    if (!readPart(zip, folder + QStringLiteral("_rels/") + workbookPart.mid(folder.size()) + QStringLiteral(".rels"),
                  &xml))
        return notABook(QStringLiteral("daftar bagian workbook tidak ada"));
    const QHash<QString, Relation> rels = relations(xml);
    if (sheetId.isEmpty() || !rels.contains(sheetId))
        return notABook(QStringLiteral("tidak ada lembar kerja"));
    book->sheetPart = partName(folder, rels.value(sheetId).target);

    if (const QString part = targetOfType(rels, folder, QLatin1String("/sharedStrings")); !part.isEmpty()) {
        if (!readPart(zip, part, &xml))
            return notABook(QStringLiteral("bagian %1 tidak ada").arg(part));
        if (!readStrings(xml, &book->strings))
            return notABook(QStringLiteral("XML %1 rusak").arg(part));
    }
    if (const QString part = targetOfType(rels, folder, QLatin1String("/styles")); !part.isEmpty()) {
        if (!readPart(zip, part, &xml))
            return notABook(QStringLiteral("bagian %1 tidak ada").arg(part));
        if (!readStyles(xml, &book->styles))
            return notABook(QStringLiteral("XML %1 rusak").arg(part));
    }
    m_book = std::move(book);
    return openSheet();
}

db::Result XlsxReader::openSheet()
{
    m_entry.reset();
    m_zip = std::make_unique<ZipArchive>(m_path);
    if (!m_zip->find(m_book->sheetPart))
        return db::Result::failed(QStringLiteral("File \"%1\" bukan workbook Excel (.xlsx) yang dapat dibaca: "
                                                 "lembar kerja %2 tidak ada.")
                                      .arg(m_path, m_book->sheetPart));
    m_entry = std::make_unique<ZipPart>(*m_zip);
    if (!m_entry->openPart(&m_size))
        return db::Result::failed(QStringLiteral("File \"%1\" bukan workbook Excel (.xlsx) yang dapat dibaca: "
                                                 "lembar kerja %2 rusak.")
                                      .arg(m_path, m_book->sheetPart));
    m_xml.setDevice(m_entry.get());
    return db::Result::success();
}

std::unique_ptr<RecordSource> XlsxReader::restarted() const
{
    auto again = std::unique_ptr<XlsxReader>(new XlsxReader(m_book));
    if (!again->openSheet().ok())
        again->m_done = true;
    return again;
}

qint64 XlsxReader::position() const
{
    return m_entry ? m_entry->delivered() : m_size;
}

qint64 XlsxReader::size() const
{
    return m_size;
}

void XlsxReader::putCell(int column, CellType type, std::string_view text)
{
    if (column >= int(m_spans.size())) {
        m_spans.resize(size_t(column) + 1, {0, 0});
        m_types.resize(size_t(column) + 1, CellType::Text);
    }
    m_spans[size_t(column)] = {m_scratch.size(), text.size()};
    m_types[size_t(column)] = type;
    m_scratch.append(text);
}

// One <c> element, the reader at its start.
bool XlsxReader::readCell(int column, QString *problem)
{
    const QXmlStreamAttributes a = m_xml.attributes();
    const QStringView type = a.value(QLatin1String("t"));
    const int style = a.value(QLatin1String("s")).toInt();
    m_cellText.clear();
    std::string inlineText;
    bool hasInline = false;
    while (!m_xml.atEnd()) {
        m_xml.readNext();
        if (m_xml.isEndElement() && m_xml.name() == QLatin1String("c"))
            break;
        if (!m_xml.isStartElement())
            continue;
        if (m_xml.name() == QLatin1String("v"))
            appendDecoded(m_xml.readElementText(), m_cellText);
        else if (m_xml.name() == QLatin1String("is")) {
            inlineText = stringItem(m_xml);
            hasInline = true;
        } else {
            m_xml.skipCurrentElement(); // a formula, or what this reading does not need
        }
    }
    if (m_xml.hasError())
        return false;

    if (type == QLatin1String("inlineStr")) {
        putCell(column, CellType::Text, hasInline ? inlineText : m_cellText);
    } else if (type == QLatin1String("s") && m_cellText.empty()) {
        putCell(column, CellType::Text, {});
    } else if (type == QLatin1String("s")) {
        size_t index = 0;
        const auto [end, error] = std::from_chars(m_cellText.data(), m_cellText.data() + m_cellText.size(), index);
        if (error != std::errc() || end != m_cellText.data() + m_cellText.size() || index >= m_book->strings.size()) {
            if (problem)
                *problem = QStringLiteral("sel merujuk teks yang tidak ada di workbook");
            return false;
        }
        putCell(column, CellType::Text, m_book->strings[index]);
    } else if (type == QLatin1String("str")) {
        putCell(column, CellType::Text, m_cellText);
    } else if (type == QLatin1String("b")) {
        putCell(column, CellType::Boolean, m_cellText == "1" || m_cellText == "true" ? "TRUE" : "FALSE");
    } else if (type == QLatin1String("e")) {
        putCell(column, CellType::Error, m_cellText);
    } else if (type == QLatin1String("d")) {
        const QDate date = QDate::fromString(QString::fromStdString(m_cellText.substr(0, 10)), Qt::ISODate);
        putCell(column, date.isValid() ? CellType::Date : CellType::Text,
                date.isValid() ? date.toString(QStringLiteral("dd-MM-yyyy")).toStdString() : m_cellText);
    } else if (!m_cellText.empty()) {
        double value = 0;
        const auto [end, error] =
            std::from_chars(m_cellText.data(), m_cellText.data() + m_cellText.size(), value);
        if (error != std::errc() || end != m_cellText.data() + m_cellText.size() || !std::isfinite(value)) {
            putCell(column, CellType::Text, m_cellText);
            return true;
        }
        const Style shown = style >= 0 && size_t(style) < m_book->styles.size() ? m_book->styles[size_t(style)] : Style();
        if (shown.date) {
            putCell(column, CellType::Date, serialDate(value, m_book->date1904));
            return true;
        }
        std::string text = plainNumber(value);
        // A whole number shown with leading zeros ("0012" in a format of
        // zeros) is the text shown.
        if (shown.zeroPad > 0 && value >= 0 && isPlainInteger(text) && int(text.size()) < shown.zeroPad)
            text.insert(0, size_t(shown.zeroPad) - text.size(), '0');
        putCell(column, CellType::Number, text);
    }
    return true;
}

XlsxReader::Status XlsxReader::next(Record &record, QString *problem)
{
    record.fields.clear();
    record.types.clear();
    m_scratch.clear();
    m_spans.clear();
    m_types.clear();
    if (m_done)
        return Status::End;
    auto broken = [&](int line) {
        m_done = true;
        record.line = line;
        if (problem && problem->isEmpty())
            *problem = QStringLiteral("lembar kerja rusak (XML tidak utuh)");
        return Status::Malformed;
    };
    if (problem)
        problem->clear();

    // The next row.
    while (!m_xml.atEnd()) {
        m_xml.readNext();
        if (m_xml.isStartElement() && m_xml.name() == QLatin1String("dimension")) {
            // "A1:P1000": about as many rows as the last one's number.
            const QStringView ref = m_xml.attributes().value(QLatin1String("ref"));
            const qsizetype colon = ref.indexOf(QLatin1Char(':'));
            QStringView last = colon >= 0 ? ref.mid(colon + 1) : ref;
            while (!last.isEmpty() && last.front().isLetter())
                last = last.mid(1);
            m_expectedRows = last.toLongLong();
        }
        if (m_xml.isStartElement() && m_xml.name() == QLatin1String("row"))
            break;
    }
    if (m_xml.atEnd()) {
        // The sheet was read to its end: it ends where it should, and its
        // checksum matches.
        if (m_xml.hasError() || m_entry->damaged())
            return broken(m_lastRow + 1);
        m_done = true;
        return Status::End;
    }
    bool numbered = false;
    const int rowNumber = m_xml.attributes().value(QLatin1String("r")).toInt(&numbered);
    m_lastRow = numbered && rowNumber > 0 ? rowNumber : m_lastRow + 1;
    record.line = m_lastRow;

    int column = -1;
    while (!m_xml.atEnd()) {
        m_xml.readNext();
        if (m_xml.isEndElement() && m_xml.name() == QLatin1String("row"))
            break;
        if (!m_xml.isStartElement())
            continue;
        if (m_xml.name() != QLatin1String("c")) {
            m_xml.skipCurrentElement();
            continue;
        }
        const int named = columnOf(m_xml.attributes().value(QLatin1String("r")));
        column = named >= 0 ? named : column + 1;
        if (!readCell(column, problem))
            return broken(m_lastRow);
    }
    if (m_xml.hasError())
        return broken(m_lastRow);

    if (m_width < 0)
        m_width = int(m_spans.size());
    if (int(m_spans.size()) < m_width) {
        m_spans.resize(size_t(m_width), {0, 0});
        m_types.resize(size_t(m_width), CellType::Text);
    }
    record.fields.reserve(m_spans.size());
    for (const auto &[offset, length] : m_spans)
        record.fields.emplace_back(m_scratch.data() + offset, length);
    record.types = m_types;
    return Status::Record;
}

} // namespace pel::transfer
