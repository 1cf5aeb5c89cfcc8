#include "stats/statsrules.h"

#include <array>
#include <cmath>

namespace pel::stats {

void foldInto(QByteArrayView utf8, QByteArray &buffer)
{
    buffer.resize(utf8.size());
    char *out = buffer.data();
    for (qsizetype i = 0; i < utf8.size(); ++i)
        out[i] = foldedByte(utf8[i]);
}

QByteArray foldedKey(QByteArrayView utf8)
{
    QByteArray folded;
    foldInto(utf8, folded);
    return folded;
}

namespace {

int daysInMonth(int month, int year)
{
    static constexpr std::array<int, 12> days{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return month == 2 && leap ? 29 : days[size_t(month - 1)];
}

} // namespace

int dateKey(QByteArrayView text)
{
    if (text.size() != 10 || text[2] != '-' || text[5] != '-')
        return 0;
    int digits[8];
    int n = 0;
    for (qsizetype i = 0; i < 10; ++i) {
        if (i == 2 || i == 5)
            continue;
        if (text[i] < '0' || text[i] > '9')
            return 0;
        digits[n++] = text[i] - '0';
    }
    const int day = digits[0] * 10 + digits[1];
    const int month = digits[2] * 10 + digits[3];
    const int year = digits[4] * 1000 + digits[5] * 100 + digits[6] * 10 + digits[7];
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(month, year))
        return 0;
    return year * 10000 + month * 100 + day;
}

int dateKey(const QDate &date)
{
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return 0;
    return date.year() * 10000 + date.month() * 100 + date.day();
}

std::optional<qint64> scoreMillionths(double score)
{
    if (!std::isfinite(score) || std::fabs(score) >= ScoreLimit)
        return std::nullopt;
    // The same steps as the server's statement: the product, half a unit
    // away from zero, the fraction dropped.
    const double scaled = score * 1000000.0 + (score < 0 ? -0.5 : 0.5);
    return qint64(std::trunc(scaled));
}

qint64 roundedQuotient(qint64 numerator, qint64 denominator)
{
    // In 128 bits: twice a sum of millionths may not fit in 64.
    const __int128 twice = __int128(numerator) * 2;
    const __int128 d = denominator;
    const __int128 q = twice >= 0 ? (twice + d) / (2 * d) : -((-twice + d) / (2 * d));
    return qint64(q);
}

qint64 meanHundredths(qint64 sumMillionths, qint64 count)
{
    // Hundredths are ten thousand millionths; the product stays far inside
    // 64 bits for any count of rows a table can hold.
    return roundedQuotient(sumMillionths, count * 10000);
}

qint64 shareTenths(qint64 part, qint64 whole)
{
    return roundedQuotient(part * 1000, whole);
}

int ipkBand(qint64 hundredths)
{
    if (hundredths < 100)
        return 0;
    if (hundredths < 200)
        return 1;
    if (hundredths < 250)
        return 2;
    if (hundredths < 300)
        return 3;
    if (hundredths < 350)
        return 4;
    return 5;
}

QString ipkBandLabel(int band)
{
    static const std::array<const char *, IpkBandCount> labels{"0.00-0.99", "1.00-1.99", "2.00-2.49",
                                                               "2.50-2.99", "3.00-3.49", "3.50-4.00"};
    return band >= 0 && band < IpkBandCount ? QLatin1String(labels[size_t(band)]) : QString();
}

} // namespace pel::stats
