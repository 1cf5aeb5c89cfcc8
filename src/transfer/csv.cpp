#include "transfer/csv.h"

#include <cstring>

namespace pel::transfer {

char DetectSeparator(const QByteArray &data)
{
    qsizetype i = data.startsWith(Utf8Bom) ? 3 : 0;
    int commas = 0;
    int semicolons = 0;
    bool quoted = false;
    for (; i < data.size(); ++i) {
        const char c = data.at(i);
        if (c == '"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == '\n')
            break;
        else if (c == ',')
            ++commas;
        else if (c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

CsvReader::CsvReader(QByteArray data, char separator) : m_data(std::move(data))
{
    m_separator = separator ? separator : DetectSeparator(m_data);
    if (m_data.startsWith(Utf8Bom))
        m_pos = 3;
}

qint64 CsvReader::expectedRecords() const
{
    return m_data.count('\n') + 1;
}

std::unique_ptr<RecordSource> CsvReader::restarted() const
{
    return std::make_unique<CsvReader>(m_data, m_separator);
}

CsvReader::Status CsvReader::next(Record &record, QString *problem)
{
    const char *d = m_data.constData();
    const qint64 n = m_data.size();
    record.fields.clear();
    record.types.clear();
    record.line = m_line;
    m_scratch.clear();
    m_spans.clear();
    if (m_pos >= n)
        return Status::End;

    auto malformed = [&](qint64 fieldStart, int fieldLine, const QString &why) {
        if (problem)
            *problem = why;
        const void *end = std::memchr(d + fieldStart, '\n', size_t(n - fieldStart));
        m_pos = end ? static_cast<const char *>(end) - d + 1 : n;
        m_line = fieldLine + 1;
        return Status::Malformed;
    };

    for (;;) {
        const size_t start = m_scratch.size();
        if (m_pos < n && d[m_pos] == '"') {
            const qint64 quote = m_pos;
            const int quoteLine = m_line;
            ++m_pos;
            for (;;) {
                const void *found = std::memchr(d + m_pos, '"', size_t(n - m_pos));
                if (!found)
                    return malformed(quote, quoteLine, QStringLiteral("tanda kutip tidak ditutup"));
                const qint64 q = static_cast<const char *>(found) - d;
                for (qint64 k = m_pos; k < q; ++k)
                    if (d[k] == '\n')
                        ++m_line;
                m_scratch.append(d + m_pos, size_t(q - m_pos));
                m_pos = q + 1;
                if (m_pos < n && d[m_pos] == '"') {
                    m_scratch.push_back('"');
                    ++m_pos;
                    continue;
                }
                break;
            }
            const bool endsField = m_pos == n || d[m_pos] == m_separator || d[m_pos] == '\n'
                                   || (d[m_pos] == '\r' && (m_pos + 1 == n || d[m_pos + 1] == '\n'));
            if (!endsField)
                return malformed(quote, quoteLine, QStringLiteral("ada teks sesudah tanda kutip penutup"));
        } else {
            qint64 end = m_pos;
            while (end < n && d[end] != m_separator && d[end] != '\n')
                ++end;
            qint64 stop = end;
            if (stop > m_pos && d[stop - 1] == '\r' && (stop == n || d[stop] == '\n'))
                --stop;
            m_scratch.append(d + m_pos, size_t(stop - m_pos));
            m_pos = end;
        }
        m_spans.emplace_back(start, m_scratch.size() - start);
        if (m_pos < n && d[m_pos] == m_separator) {
            ++m_pos;
            continue;
        }
        if (m_pos < n && d[m_pos] == '\r')
            ++m_pos;
        if (m_pos < n && d[m_pos] == '\n') {
            ++m_pos;
            ++m_line;
        }
        break;
    }
    record.fields.reserve(m_spans.size());
    for (const auto &[offset, length] : m_spans)
        record.fields.emplace_back(m_scratch.data() + offset, length);
    return Status::Record;
}

namespace {

// Whether text, after its apostrophes, begins as a spreadsheet formula does.
template <class Text>
bool startsAsFormula(const Text &text, qsizetype from)
{
    while (from < qsizetype(text.size()) && text[from] == '\'')
        ++from;
    if (from >= qsizetype(text.size()))
        return false;
    const auto c = text[from];
    return c == '=' || c == '+' || c == '-' || c == '@' || c == '\t' || c == '\r';
}

} // namespace

QString neutralised(const QString &text)
{
    return startsAsFormula(text, 0) ? QLatin1Char('\'') + text : text;
}

std::string_view unneutralised(std::string_view text)
{
    if (!text.empty() && text.front() == '\'' && startsAsFormula(text, 1))
        text.remove_prefix(1);
    return text;
}

QByteArray CsvField(const QString &value, char separator)
{
    QByteArray bytes = value.toUtf8();
    if (!bytes.contains(separator) && !bytes.contains(',') && !bytes.contains(';') && !bytes.contains('"')
        && !bytes.contains('\n') && !bytes.contains('\r'))
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

QByteArray CsvLine(const QStringList &values, char separator)
{
    QByteArray line;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += separator;
        line += CsvField(values.at(i), separator);
    }
    line += "\r\n";
    return line;
}

} // namespace pel::transfer
