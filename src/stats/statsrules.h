#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <optional>

// The rules by which the statistics count, the same whichever engine holds
// the rows: how two keys (a programme, a subject code, an instructor) are
// one, what reads as a date, how a score enters a mean, how means and shares
// are rounded and which band an index falls in. On an SQLite file the rows
// are counted here, one by one; on a server the statements of statsstore say
// the very same in SQL, and the tests hold the two side by side.
namespace pel::stats {

// A key as the database compares keys: ASCII letters in lower case, every
// other byte as it is (SQLite's NOCASE; on a server lower() under the "C"
// collation). Two texts are one key when their folded bytes are equal, and
// keys are ordered by those bytes.
QByteArray foldedKey(QByteArrayView utf8);
// One byte so folded.
inline char foldedByte(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
}
// The same into buffer (resized to fit), for a loop over many rows.
void foldInto(QByteArrayView utf8, QByteArray &buffer);

// A stored date "dd-mm-yyyy" (two digits, a dash, two digits, a dash, four
// digits) of a day that exists, from year 1 on, as the number yyyymmdd;
// 0 for every other text, which counts as no date at all.
int dateKey(QByteArrayView text);
// A date as the same number, 0 for an invalid one.
int dateKey(const QDate &date);

// A period of dates as yyyymmdd numbers; 0 leaves that end open. A row
// without a date lies in no period but the open one.
struct Period
{
    int from = 0;
    int to = 0;
    bool isOpen() const { return from == 0 && to == 0; }
    bool holds(int key) const { return isOpen() || (key != 0 && (from == 0 || key >= from) && (to == 0 || key <= to)); }
};

// Scores enter a mean in millionths of a point, rounded halves away from
// zero, so that a mean is exact decimal arithmetic whatever the order of
// the rows: 85.1 and 85.15 are 85.125 on average, never 85.12499... A score
// whose size reaches ScoreLimit leaves its mean undetermined: beyond it the
// millionths are no longer whole numbers a double holds exactly.
inline constexpr double ScoreLimit = 1e9;
std::optional<qint64> scoreMillionths(double score);

// numerator / denominator rounded to a whole number, halves away from zero;
// the denominator is above 0.
qint64 roundedQuotient(qint64 numerator, qint64 denominator);
// The mean of scores in hundredths, from their sum in millionths.
qint64 meanHundredths(qint64 sumMillionths, qint64 count);
// part as a percentage of whole, in tenths of a percent; whole is above 0.
qint64 shareTenths(qint64 part, qint64 whole);

// The IPK bands, in hundredths: 0.00-0.99, 1.00-1.99, 2.00-2.49,
// 2.50-2.99, 3.00-3.49 and 3.50-4.00. An index above 4.00 (credits stored
// beside points that do not fit them) counts in the last band, so that the
// bands always add up to the students counted.
inline constexpr int IpkBandCount = 6;
int ipkBand(qint64 hundredths);
// "0.00-0.99" and so on, with a decimal point.
QString ipkBandLabel(int band);

} // namespace pel::stats
