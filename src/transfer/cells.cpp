#include "transfer/cells.h"

#include <QDate>
#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace pel::transfer {

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

QString viewText(std::string_view bytes)
{
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

namespace {

bool isAscii(std::string_view bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

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

namespace {

// The value of a run of one or two digits ("1", "01"), or -1.
int dayOrMonth(std::string_view digits)
{
    if (digits.empty() || digits.size() > 2 || !isDigits(digits))
        return -1;
    return digits.size() == 1 ? digits[0] - '0' : (digits[0] - '0') * 10 + (digits[1] - '0');
}

// The three parts of a date written with one separator, "1/8/2006".
bool splitDate(std::string_view text, char separator, std::string_view parts[3])
{
    for (int i = 0; i < 2; ++i) {
        const size_t at = text.find(separator);
        if (at == std::string_view::npos)
            return false;
        parts[i] = text.substr(0, at);
        text.remove_prefix(at + 1);
    }
    parts[2] = text;
    return text.find(separator) == std::string_view::npos;
}

std::string dateText(int day, int month, int year)
{
    char out[40]; // room for any int, so that nothing is ever cut
    std::snprintf(out, sizeof out, "%02d-%02d-%04d", day, month, year);
    return out;
}

} // namespace

// A date cell: dd-mm-yyyy as stored; yyyy-mm-dd, and d/m/yyyy or
// dd/mm/yyyy as a spreadsheet shows a date, turned into it; the empty text
// and the empty date box ("__-__-____") kept as they are.
std::optional<std::string> readDate(std::string_view text)
{
    if (text.empty() || text == "__-__-____")
        return std::string(text);
    if (std::string_view parts[3]; splitDate(text, '/', parts)) {
        const int day = dayOrMonth(parts[0]);
        const int month = dayOrMonth(parts[1]);
        if (day < 0 || month < 0 || parts[2].size() != 4 || !isDigits(parts[2]))
            return std::nullopt;
        const int year = std::stoi(std::string(parts[2]));
        if (!QDate::isValid(year, month, day))
            return std::nullopt;
        return dateText(day, month, year);
    }
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

bool hasTwoDigitYear(std::string_view text)
{
    for (char separator : {'/', '-'}) {
        std::string_view parts[3];
        if (splitDate(text, separator, parts) && dayOrMonth(parts[0]) >= 0 && dayOrMonth(parts[1]) >= 0
            && parts[2].size() == 2 && isDigits(parts[2]))
            return true;
    }
    return false;
}

bool isDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

bool isExponentForm(std::string_view text)
{
    text = trimmedView(text);
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    const size_t e = text.find_first_of("eE");
    if (e == std::string_view::npos)
        return false;
    std::string_view mantissa = text.substr(0, e);
    std::string_view exponent = text.substr(e + 1);
    if (!exponent.empty() && (exponent.front() == '+' || exponent.front() == '-'))
        exponent.remove_prefix(1);
    const size_t point = mantissa.find_first_of(".,");
    if (point != std::string_view::npos) {
        if (!isDigits(mantissa.substr(point + 1)))
            return false;
        mantissa = mantissa.substr(0, point);
    }
    return isDigits(mantissa) && isDigits(exponent);
}

bool isPhoneWithoutZero(std::string_view text)
{
    text = trimmedView(text);
    return isDigits(text) && text.size() >= 8 && text.size() <= 13 && text.front() != '0'
           && !text.starts_with("62");
}

bool isPlainInteger(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    return isDigits(text) && text.size() <= 15;
}

std::string numberText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest).toStdString();
}

} // namespace pel::transfer
