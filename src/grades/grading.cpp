#include "grades/grading.h"

#include "grades/gradenumbers.h"

#include <cmath>

namespace pel {

namespace {

// The score as the reports print it in a whole-number cell: the nearest
// whole number, halves away from zero (79.5 gives 80, -0.5 gives -1).
double printedScore(double score)
{
    return std::round(score);
}

} // namespace

Grade GradeForScore(double typed)
{
    const double score = printedScore(typed);
    if (score >= 80 && score <= 100)
        return {QStringLiteral("A"), 4, QStringLiteral("Excellent"), QStringLiteral("Lulus")};
    if (score >= 70 && score <= 79)
        return {QStringLiteral("B"), 3, QStringLiteral("Very Good"), QStringLiteral("Lulus")};
    if (score >= 60 && score <= 69)
        return {QStringLiteral("C"), 2, QStringLiteral("Good"), QStringLiteral("Lulus")};
    if (score >= 40 && score <= 59)
        return {QStringLiteral("D"), 1, QStringLiteral("Bad"), QStringLiteral("Failed")};
    return {QStringLiteral("E"), 0, QStringLiteral("Worst"), QStringLiteral("Failed")};
}

double QualityPoints(double weight, double credits)
{
    return weight * credits;
}

QString FormatQualityPoints(double points)
{
    return grades::FormatNumber(points);
}

} // namespace pel
