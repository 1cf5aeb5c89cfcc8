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
    // The parsers also read "nan" and "inf" in any letter case; a stored
    // text such as a name NAN is a text, never a number.
    bool ok = false;
    double number = QLocale::c().toDouble(text, &ok);
    if (ok && std::isfinite(number))
        return number;
    number = QLocale().toDouble(text, &ok);
    if (ok && std::isfinite(number))
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

bool QuickPadRight(const QVariant &value, const QString &mask, QString *cell)
{
    const qsizetype width = mask.size();
    const auto padded = [&](const QString &text) {
        *cell = text;
        if (text.size() < width)
            cell->append(QString(width - text.size(), QLatin1Char(' ')));
    };
    switch (value.typeId()) {
    case QMetaType::QString: {
        if (value.isNull())
            return false;
        const QString &text = *static_cast<const QString *>(value.constData());
        if (text.isEmpty())
            return false;
        const QChar first = text.at(0);
        // A letter first: neither a number (the parsers' "nan" and "inf" are
        // refused as numbers anyway) nor a day-month-year date.
        if (first.isLetter()) {
            padded(text);
            return true;
        }
        // A stored day-month-year date under the date picture.
        if (mask == QLatin1String("dd-mm-yyyy")) {
            const auto number = [&](qsizetype from, qsizetype to, int *value) {
                if (to <= from)
                    return false;
                *value = 0;
                for (qsizetype i = from; i < to; ++i) {
                    if (text.at(i) < QLatin1Char('0') || text.at(i) > QLatin1Char('9'))
                        return false;
                    *value = *value * 10 + (text.at(i).unicode() - '0');
                }
                return true;
            };
            const qsizetype dash1 = text.indexOf(QLatin1Char('-'));
            const qsizetype dash2 = dash1 < 0 ? -1 : text.indexOf(QLatin1Char('-'), dash1 + 1);
            int day = 0, month = 0, year = 0;
            if (dash1 < 1 || dash1 > 2 || dash2 - dash1 < 2 || dash2 - dash1 > 3 || text.size() - dash2 != 5
                || !number(0, dash1, &day) || !number(dash1 + 1, dash2, &month)
                || !number(dash2 + 1, text.size(), &year))
                return false;
            const QDate date(year, month, day);
            if (!date.isValid())
                return false;
            *cell = date.toString(QStringLiteral("dd-MM-yyyy"));
            return true;
        }
        // Digits only: printed as stored; not positive when every digit is 0.
        bool nonZero = false;
        for (const QChar c : text) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
            nonZero = nonZero || c != QLatin1Char('0');
        }
        if (!nonZero)
            *cell = QString(width, QLatin1Char(' '));
        else
            padded(text);
        return true;
    }
    case QMetaType::Int:
    case QMetaType::LongLong: {
        for (const QChar c : mask)
            if (c != QLatin1Char('#'))
                return false;
        const qint64 number = value.toLongLong();
        if (number <= 0)
            *cell = QString(width, QLatin1Char(' '));
        else
            padded(QString::number(number));
        return true;
    }
    default:
        return false;
    }
}

QString PadRightFormat(const QVariant &value, const QString &mask)
{
    if (QString cell; QuickPadRight(value, mask, &cell))
        return cell;
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
