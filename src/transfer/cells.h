#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>
#include <string_view>

// How the import reads the cells of a file: texts as UTF-8 bytes, keys
// folded as the database compares them, numbers and dates as people write
// them in either locale.
namespace pel::transfer {

// A key as the database compares it: letter case ignored for ASCII letters
// (SQLite's NOCASE; the server's citext agrees on them).
std::string foldedKey(std::string_view key);

QString viewText(std::string_view bytes);

// The text in capitals, as the entry screens turn a box's text on Enter.
void upperCase(std::string_view bytes, std::string &out);

// Where the first byte that is not well-formed UTF-8 stands, or -1. A file
// saved by a spreadsheet in a legacy code page (Windows-1252) would
// otherwise put replacement characters into the names.
qsizetype firstBadUtf8(const QByteArray &data);

std::string_view trimmedView(std::string_view s);

// A number as a person writes it in either locale: "65.25" or "65,25",
// blanks around it allowed; no group separators, no infinities.
std::optional<double> readNumber(std::string_view text);

// A date cell: dd-mm-yyyy as stored; yyyy-mm-dd, and d/m/yyyy or
// dd/mm/yyyy as a spreadsheet shows a date, turned into it; the empty text
// and the empty date box ("__-__-____") kept as they are.
std::optional<std::string> readDate(std::string_view text);
// Whether text is a date with a two-digit year ("04/03/05", "4-3-05"), as
// a spreadsheet saves a date in its short form: which century is meant is
// not the import's to guess.
bool hasTwoDigitYear(std::string_view text);

// Traces of a spreadsheet that turned a text of digits into a number.
bool isDigits(std::string_view text);
// A number in exponent form, "8,12346E+10": the digits after the sixth are gone.
bool isExponentForm(std::string_view text);
// A telephone number of digits alone without the leading 0 that every
// number dialled inside Indonesia has ("81234567890"), and not in the
// international form that begins with 62.
bool isPhoneWithoutZero(std::string_view text);
// A whole number in plain digits, at most fifteen of them, which a number
// cell holds exactly: "123", "-5". Such a number reads as the text it was
// typed as.
bool isPlainInteger(std::string_view text);

// A number in its shortest form, as the preview shows it.
std::string numberText(double value);

} // namespace pel::transfer
