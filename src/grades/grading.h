#pragma once

#include <QString>

// The grading rule: the letter, weight, predicate and remark a score earns,
// and the quality points of a grade.
namespace pel {

struct Grade
{
    QString letter;    // "A" to "E"
    int weight = 0;    // 4 to 0
    QString predicate; // "Excellent", "Very Good", "Good", "Bad", "Worst"
    QString remark;    // "Lulus" or "Failed"
};

// The band a score falls in. The score is first rounded to a whole number,
// halves away from zero, as the reports print it, so that a printed score
// and its letter always agree (79.5 prints as 80 and is an A):
//   A/4 "Excellent" "Lulus"  for 80 <= rounded <= 100
//   B/3 "Very Good" "Lulus"  for 70 <= rounded <= 79
//   C/2 "Good"      "Lulus"  for 60 <= rounded <= 69
//   D/1 "Bad"       "Failed" for 40 <= rounded <= 59
//   E/0 "Worst"     "Failed" below 40, above 100 (and for NaN)
// Only the grade uses the rounded score; the score itself is stored as typed.
Grade GradeForScore(double score);

// Weight times credit units.
double QualityPoints(double weight, double credits);

// The quality points as the box shows them: the general number form of the
// default locale (QLocale()), whole values without a decimal separator
// ("12", "0"), fractions with the locale's separator and at most 15
// significant digits, no trailing zeros ("7.5", or "7,5" in Indonesian).
QString FormatQualityPoints(double points);

} // namespace pel
