#include "grades/gradenumbers.h"

#include <QLocale>

#include <cmath>
#include <cstdlib>

namespace pel::grades {

namespace {

QLocale boxLocale()
{
    QLocale locale;
    // "1.000" in Indonesian must not silently become a thousand, nor
    // "1,5" in English fifteen.
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

} // namespace

std::optional<double> ReadNumber(const QString &text)
{
    bool ok = false;
    const double value = boxLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString FormatNumber(double value)
{
    if (value == 0)
        value = 0; // no "-0"
    return boxLocale().toString(value, 'g', 15);
}

QString StoredNumber(const QString &text)
{
    const std::optional<double> value = ReadNumber(text);
    if (!value)
        return text;
    return QLocale::c().toString(*value, 'g', QLocale::FloatingPointShortest);
}

bool ImpossibleNumber(const QString &storedText, bool creditUnits)
{
    const QByteArray text = storedText.trimmed().toLatin1();
    if (text.isEmpty())
        return false;
    char *end = nullptr;
    const double value = std::strtod(text.constData(), &end);
    if (end != text.constData() + text.size())
        return false;
    return !std::isfinite(value) || (creditUnits && value < 0);
}

} // namespace pel::grades
