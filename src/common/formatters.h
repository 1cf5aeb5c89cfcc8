#pragma once

#include <QString>
#include <QVariant>

// The report cell formatters. A cell is as wide as its mask. Masks are
// pictures: "#" an optional digit, "0" a digit always printed, "," thousands
// grouping, "." the decimal point (grouping and decimal characters come from
// the system's number settings), or the date picture "dd-mm-yyyy".
// A formatted value longer than its mask is returned whole, without padding:
// cutting it could print a wrong number as if it were right, so the reports
// cut texts to their cells themselves before formatting.
namespace pel {

// Left-aligned cell: the formatted value and spaces up to the width, or only
// spaces for a value that is not positive.
QString PadRightFormat(const QVariant &value, const QString &mask);

// Right-aligned cell: spaces up to the width and the formatted value, or
// width-1 spaces and "0" for a value that is not positive.
QString PadLeftFormat(const QVariant &value, const QString &mask);

// Positive: a number (or a text that reads as one) above zero, a date, any
// other non-empty text. Not positive: zero, below zero, empty, missing.
bool IsPositiveValue(const QVariant &value);

// True for a number, or a text that reads as one in the C or in the
// system's notation.
bool ReadsAsNumber(const QVariant &value);

// The value formatted with the picture, without padding. Numbers take a
// numeric picture, dates and day-month-year texts the date picture; any other
// text comes back unchanged, also one that reads as a number ("0812" stays
// "0812"), since a report must show a stored text as it was stored.
QString FormatWithMask(const QVariant &value, const QString &mask);

} // namespace pel
