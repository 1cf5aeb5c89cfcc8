#pragma once

#include <QString>

#include <optional>

// Numbers as the grade boxes show them and as the database stores them.
// The boxes follow the default locale (QLocale()): in Indonesian a score
// reads "65,25"; the database always receives "65.25".
namespace pel::grades {

// The number a box's text means in the default locale, blanks around it
// allowed. Group separators, letters, a second decimal separator, the empty
// text and infinities give no number.
std::optional<double> ReadNumber(const QString &text);

// A number in the general form of the default locale: "12", "0", "7.5"
// ("7,5" in Indonesian); at most 15 significant digits, no trailing zeros,
// no group separators.
QString FormatNumber(double value);

// The text that stores a box's number in a numeric column: the number in
// the database's own form ("65,25" in Indonesian gives "65.25"). A text that
// is no number comes back as typed, so that the database refuses it.
QString StoredNumber(const QString &text);

// True when a numeric column's text reads as a number that cannot be right:
// infinite or not a number ("1e309", "inf", "nan"), or, for credit units,
// below zero. A text that reads as no number at all is not judged here; the
// database refuses it.
bool ImpossibleNumber(const QString &storedText, bool creditUnits);

} // namespace pel::grades
