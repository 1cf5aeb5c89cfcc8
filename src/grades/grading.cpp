#include "grades/grading.h"

#include "grades/gradenumbers.h"

namespace pel {

Grade GradeForScore(double score)
{
    if (score >= 80 && score <= 100)
        return {QStringLiteral("A"), 4, QStringLiteral("Excellent"), QStringLiteral("Lulus")};
    if (score >= 70 && score < 80)
        return {QStringLiteral("B"), 3, QStringLiteral("Very Good"), QStringLiteral("Lulus")};
    if (score >= 60 && score < 70)
        return {QStringLiteral("C"), 2, QStringLiteral("Good"), QStringLiteral("Lulus")};
    if (score >= 40 && score < 60)
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
