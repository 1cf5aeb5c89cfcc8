#include "common/formatters.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

#include <cmath>
#include <optional>

namespace pel {

namespace {

bool isDateMask(const QString &mask)
{
    return mask.contains(QLatin1String("dd"), Qt::CaseInsensitive)
           || mask.contains(QLatin1String("yy"), Qt::CaseInsensitive);
}

bool isNumericMask(const QString &mask)
{
    if (mask.isEmpty())
        return false;
    for (const QChar c : mask)
        if (c != QLatin1Char('#') && c != QLatin1Char('0') && c != QLatin1Char(',') && c != QLatin1Char('.'))
            return false;
    return true;
}

bool isNumberType(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool isDateType(const QVariant &value)
{
    return value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime;
}

// A number, or a text that reads as one in the C or in the system's notation.
std::optional<double> asNumber(const QVariant &value)
{
    if (isNumberType(value))
        return value.toDouble();
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    double number = QLocale::c().toDouble(text, &ok);
    if (ok)
        return number;
    number = QLocale().toDouble(text, &ok);
    if (ok)
        return number;
    return std::nullopt;
}

std::optional<QDate> asDate(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDate)
        return value.toDate();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    const QString text = value.toString().trimmed();
    for (const char *format : {"d-M-yyyy", "d/M/yyyy", "d.M.yyyy"}) {
        const QDate date = QDate::fromString(text, QLatin1String(format));
        if (date.isValid())
            return date;
    }
    return std::nullopt;
}

QString formatDate(const QDate &date, const QString &mask)
{
    // Qt spells the month "MM" where the picture says "mm".
    QString format = mask.toLower();
    format.replace(QLatin1String("mm"), QLatin1String("MM"));
    return date.toString(format);
}

QString formatNumber(double number, const QString &mask)
{
    const QLocale locale; // the default locale: the system's unless a test sets another
    const int dot = mask.indexOf(QLatin1Char('.'));
    const QString intMask = dot < 0 ? mask : mask.left(dot);
    const QString decMask = dot < 0 ? QString() : mask.mid(dot + 1);

    const int decimals = int(decMask.count(QLatin1Char('#')) + decMask.count(QLatin1Char('0')));
    const int requiredDecimals = [&] {
        int places = 0, required = 0;
        for (const QChar c : decMask) {
            if (c == QLatin1Char('#') || c == QLatin1Char('0'))
                ++places;
            if (c == QLatin1Char('0'))
                required = places;
        }
        return required;
    }();
    const int requiredIntegers = int(intMask.count(QLatin1Char('0')));

    // Halves round away from zero.
    const long double scaled = std::round(std::fabs(static_cast<long double>(number)) * std::pow(10.0L, decimals));
    QString digits = QString::number(static_cast<double>(scaled), 'f', 0);
    while (digits.size() <= decimals)
        digits.prepend(QLatin1Char('0'));
    QString integer = digits.left(digits.size() - decimals);
    QString fraction = digits.right(decimals);

    qsizetype leadingZeros = 0;
    while (leadingZeros < integer.size() && integer.at(leadingZeros) == QLatin1Char('0'))
        ++leadingZeros;
    integer.remove(0, leadingZeros);
    while (integer.size() < requiredIntegers)
        integer.prepend(QLatin1Char('0'));
    if (intMask.contains(QLatin1Char(',')) && integer.size() > 3) {
        const QString group = locale.groupSeparator();
        for (qsizetype i = integer.size() - 3; i > 0; i -= 3)
            integer.insert(i, group);
    }
    while (fraction.size() > requiredDecimals && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);

    QString text = number < 0 ? QStringLiteral("-") : QString();
    text += integer;
    if (dot >= 0)
        text += locale.decimalPoint() + fraction;
    return text;
}

} // namespace

bool ReadsAsNumber(const QVariant &value)
{
    return asNumber(value).has_value();
}

bool IsPositiveValue(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return false;
    if (isDateType(value))
        return true;
    if (const auto number = asNumber(value))
        return *number > 0;
    return !value.toString().isEmpty();
}

QString FormatWithMask(const QVariant &value, const QString &mask)
{
    if (isDateMask(mask)) {
        if (const auto date = asDate(value))
            return formatDate(*date, mask);
        return value.toString();
    }
    // Numbers take the picture; a text prints as it is stored, even when it
    // reads as a number, so a telephone number or a NIS keeps its leading zeros.
    if (isNumericMask(mask) && isNumberType(value))
        return formatNumber(value.toDouble(), mask);
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("dd-MM-yyyy"));
    return value.toString();
}

QString PadRightFormat(const QVariant &value, const QString &mask)
{
    const qsizetype width = mask.size();
    if (!IsPositiveValue(value))
        return QString(width, QLatin1Char(' '));
    const QString text = FormatWithMask(value, mask);
    return text.size() >= width ? text : text + QString(width - text.size(), QLatin1Char(' '));
}

QString PadLeftFormat(const QVariant &value, const QString &mask)
{
    const qsizetype width = mask.size();
    if (!IsPositiveValue(value))
        return QString(qMax<qsizetype>(width - 1, 0), QLatin1Char(' ')) + QLatin1Char('0');
    const QString text = FormatWithMask(value, mask);
    return text.size() >= width ? text : QString(width - text.size(), QLatin1Char(' ')) + text;
}

} // namespace pel
