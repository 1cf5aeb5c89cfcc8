// Reading and writing CSV files as spreadsheets make them.
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
}

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"
