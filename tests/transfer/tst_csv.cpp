// Reading and writing CSV files as spreadsheets make them, and reading
// their cells as a spreadsheet leaves them.
#include "transfer/cells.h"
#include "transfer/csv.h"

#include <QTest>

using pel::transfer::CsvLine;
using pel::transfer::CsvReader;
using pel::transfer::CsvRecord;

class TestCsv : public QObject
{
    Q_OBJECT
private slots:
    void reads_data();
    void reads();
    void writtenLinesReadBack_data();
    void writtenLinesReadBack();
    void dates_data();
    void dates();
    void spreadsheetNumbers_data();
    void spreadsheetNumbers();
};

// Every record as "line:field|field|...", a broken one as "line:!reason".
static QStringList readAll(const QByteArray &data, char *separator = nullptr)
{
    CsvReader reader(data);
    if (separator)
        *separator = reader.separator();
    QStringList out;
    CsvRecord record;
    QString why;
    for (;;) {
        const CsvReader::Status status = reader.next(record, &why);
        if (status == CsvReader::Status::End)
            break;
        if (status == CsvReader::Status::Malformed) {
            out << QStringLiteral("%1:!%2").arg(record.line).arg(why);
            continue;
        }
        QStringList fields;
        for (int i = 0; i < record.size(); ++i)
            fields << record.text(i);
        out << QStringLiteral("%1:%2").arg(record.line).arg(fields.join(QLatin1Char('|')));
    }
    return out;
}

void TestCsv::reads_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<char>("separator");
    QTest::addColumn<QStringList>("records");

    QTest::newRow("plain, LF") << QByteArray("a,b\n1,2\n") << ',' << QStringList{"1:a|b", "2:1|2"};
    QTest::newRow("CR LF, no line end at the end")
        << QByteArray("a,b\r\n1,2") << ',' << QStringList{"1:a|b", "2:1|2"};
    QTest::newRow("byte-order mark skipped")
        << QByteArray("\xEF\xBB\xBFNIS;Nama\r\n0012;JOS\xC3\x89\r\n") << ';'
        << QStringList{"1:NIS|Nama", QStringLiteral("2:0012|JOS\u00c9")};
    QTest::newRow("semicolon wins over commas in the header")
        << QByteArray("a;b;c\n1,5;2;3\n") << ';' << QStringList{"1:a|b|c", "2:1,5|2|3"};
    QTest::newRow("comma inside quotes does not count")
        << QByteArray("\"a;b\",c\n") << ',' << QStringList{"1:a;b|c"};
    QTest::newRow("quotes, doubled quotes, separators and line breaks inside")
        << QByteArray("x,y\n\"O\"\"NEIL, JR\",\"JL. A\r\nNO. 5\"\n3,\"\"\n") << ','
        << QStringList{"1:x|y", "2:O\"NEIL, JR|JL. A\r\nNO. 5", "4:3|"};
    QTest::newRow("empty fields and empty lines")
        << QByteArray("a,b,c\n,,\n\n1,,3\n") << ',' << QStringList{"1:a|b|c", "2:||", "3:", "4:1||3"};
    QTest::newRow("a quote inside an unquoted field is text")
        << QByteArray("a,b\n5\"7,x\n") << ',' << QStringList{"1:a|b", "2:5\"7|x"};
    QTest::newRow("unbalanced quote: that line refused, the next ones still read")
        << QByteArray("a,b\n1,\"open\n2,ok\n") << ','
        << QStringList{"1:a|b", "2:!tanda kutip tidak ditutup", "3:2|ok"};
    QTest::newRow("text after a closing quote: refused, reading goes on")
        << QByteArray("a,b\n\"x\"y,1\n2,3\n") << ','
        << QStringList{"1:a|b", "2:!ada teks sesudah tanda kutip penutup", "3:2|3"};
}

void TestCsv::reads()
{
    QFETCH(QByteArray, data);
    QFETCH(char, separator);
    QFETCH(QStringList, records);
    char detected = 0;
    QCOMPARE(readAll(data, &detected), records);
    QCOMPARE(detected, separator);
}

void TestCsv::writtenLinesReadBack_data()
{
    QTest::addColumn<char>("separator");
    QTest::newRow("comma") << ',';
    QTest::newRow("semicolon") << ';';
}

void TestCsv::dates_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("stored"); // "!" refused
    QTest::addColumn<bool>("twoDigitYear");
    QTest::newRow("as stored") << QByteArray("01-08-2006") << QByteArray("01-08-2006") << false;
    QTest::newRow("year first") << QByteArray("2006-08-01") << QByteArray("01-08-2006") << false;
    QTest::newRow("as a spreadsheet shows it") << QByteArray("01/08/2006") << QByteArray("01-08-2006") << false;
    QTest::newRow("one-digit day and month") << QByteArray("1/8/2006") << QByteArray("01-08-2006") << false;
    QTest::newRow("one-digit day") << QByteArray("9/12/2006") << QByteArray("09-12-2006") << false;
    QTest::newRow("leap day") << QByteArray("29/02/2004") << QByteArray("29-02-2004") << false;
    QTest::newRow("no such day") << QByteArray("29/02/2005") << QByteArray("!") << false;
    QTest::newRow("month 13") << QByteArray("01/13/2006") << QByteArray("!") << false;
    QTest::newRow("three-digit day") << QByteArray("001/08/2006") << QByteArray("!") << false;
    QTest::newRow("two-digit year") << QByteArray("04/03/05") << QByteArray("!") << true;
    QTest::newRow("two-digit year, short") << QByteArray("4/3/05") << QByteArray("!") << true;
    QTest::newRow("two-digit year with dashes") << QByteArray("04-03-05") << QByteArray("!") << true;
    QTest::newRow("one-digit dashes stay refused") << QByteArray("1-1-2004") << QByteArray("!") << false;
    QTest::newRow("mixed separators") << QByteArray("01/08-2006") << QByteArray("!") << false;
    QTest::newRow("empty date box") << QByteArray("__-__-____") << QByteArray("__-__-____") << false;
    QTest::newRow("empty") << QByteArray("") << QByteArray("") << false;
}

void TestCsv::dates()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, stored);
    QFETCH(bool, twoDigitYear);
    const auto date = pel::transfer::readDate(text.toStdString());
    QCOMPARE(date ? QByteArray::fromStdString(*date) : QByteArray("!"), stored);
    QCOMPARE(pel::transfer::hasTwoDigitYear(text.toStdString()), twoDigitYear);
}

void TestCsv::spreadsheetNumbers_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("exponent");
    QTest::addColumn<bool>("phoneWithoutZero");
    QTest::addColumn<bool>("plainInteger");
    QTest::newRow("a phone as typed") << QByteArray("081234567890") << false << false << true;
    QTest::newRow("its zero lost") << QByteArray("81234567890") << false << true << true;
    QTest::newRow("a landline without zero") << QByteArray("218765432") << false << true << true;
    QTest::newRow("international form") << QByteArray("6281234567890") << false << false << true;
    QTest::newRow("with a plus") << QByteArray("+62 812 3456") << false << false << false;
    QTest::newRow("a short service number") << QByteArray("1500123") << false << false << true;
    QTest::newRow("exponent, decimal comma") << QByteArray("8,12346E+10") << true << false << false;
    QTest::newRow("exponent, point") << QByteArray("8.12345678901235E+016") << true << false << false;
    QTest::newRow("exponent, small e") << QByteArray("1e5") << true << false << false;
    QTest::newRow("a code with an E") << QByteArray("E12") << false << false << false;
    QTest::newRow("a word") << QByteArray("8E+") << false << false << false;
    QTest::newRow("fraction") << QByteArray("74.5") << false << false << false;
    QTest::newRow("negative") << QByteArray("-5") << false << false << true;
    QTest::newRow("sixteen digits") << QByteArray("1234567890123456") << false << false << false;
}

void TestCsv::spreadsheetNumbers()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, exponent);
    QFETCH(bool, phoneWithoutZero);
    QFETCH(bool, plainInteger);
    QCOMPARE(pel::transfer::isExponentForm(text.toStdString()), exponent);
    QCOMPARE(pel::transfer::isPhoneWithoutZero(text.toStdString()), phoneWithoutZero);
    QCOMPARE(pel::transfer::isPlainInteger(text.toStdString()), plainInteger);
}

void TestCsv::writtenLinesReadBack()
{
    QFETCH(char, separator);
    const QStringList values{QStringLiteral("0012"), QStringLiteral("O\"NEIL"), QStringLiteral("a,b;c"),
                             QStringLiteral("line\nbreak"), QString(), QStringLiteral("\u015e\u00dcKR\u00dc")};
    const QByteArray line = CsvLine(values, separator);
    QVERIFY(line.endsWith("\r\n"));
    QVERIFY(line.startsWith("0012")); // a plain value is not quoted
    CsvReader reader(line + line, separator);
    CsvRecord record;
    for (int line = 1; line <= 3; line += 2) {
        QCOMPARE(reader.next(record), CsvReader::Status::Record);
        QCOMPARE(record.line, line);
        QStringList back;
        for (int i = 0; i < record.size(); ++i)
            back << record.text(i);
        QCOMPARE(back, values);
    }
    QCOMPARE(reader.next(record), CsvReader::Status::End);

    // A decimal comma is quoted in either file, so that a spreadsheet that
    // also splits at commas keeps "74,5" one cell.
    QCOMPARE(CsvLine({QStringLiteral("1"), QStringLiteral("74,5")}, separator), QByteArray("1") + separator + "\"74,5\"\r\n");
}

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"
