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

// The band a score falls in:
//   A/4 "Excellent" "Lulus"  for 80 <= score <= 100
//   B/3 "Very Good" "Lulus"  for 70 <= score <  80
//   C/2 "Good"      "Lulus"  for 60 <= score <  70
//   D/1 "Bad"       "Failed" for 40 <= score <  60
//   E/0 "Worst"     "Failed" below 40, above 100 (and for NaN)
// A score between two whole-number bands (79.5) keeps the lower band: a band
// is earned only by reaching its lower bound.
Grade GradeForScore(double score);

// Weight times credit units.
double QualityPoints(double weight, double credits);

// The quality points as the box shows them: the general number form of the
// default locale (QLocale()), whole values without a decimal separator
// ("12", "0"), fractions with the locale's separator and at most 15
// significant digits, no trailing zeros ("7.5", or "7,5" in Indonesian).
QString FormatQualityPoints(double points);

} // namespace pel
