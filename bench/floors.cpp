#include "floors.h"

#include "common/formatters.h"
#include "db/audit.h"
#include "db/gradestatements.h"
#include "db/loginstatements.h"
#include "reports/reportstore.h"
#include "db/searchstatements.h"
#include "db/sqltext.h"
#include "db/studentstatements.h"
#include "reports/reporttext.h"

#include <QDate>
#include <QProcess>
#include <QTemporaryFile>


namespace pel::bench {

namespace {

const QString CrLf = QStringLiteral("' || char(13, 10) || '");

// A text as an SQL literal whose line ends stay CR LF.
QString literal(const QString &text)
{
    return db::quoted(text).replace(QLatin1String("\r\n"), CrLf);
}

// The page-break block of a report as an SQL expression of the row number n:
// the program's own block, its sample count and page replaced by expressions.
QString pageBreakExpression(const reports::FileReportLayout &layout)
{
    const int sampleCount = 987654;
    const int samplePage = 77;
    QString sql = literal(reports::fileReportPageBreak(layout, sampleCount, samplePage));
    sql.replace(PadRightFormat(sampleCount, QStringLiteral("###,###")),
                QStringLiteral("' || printf('%-7s', printf('%,d', n - 1)) || '"));
    sql.replace(QStringLiteral("Halaman: 77"), QStringLiteral("Halaman: ' || printf('%02d', (n - 1) / 5 + 1) || '"));
    return QStringLiteral("case when n > 1 and (n - 1) % 5 = 0 then %1 else '' end").arg(sql);
}

// A file report: the header, the rows with their page breaks, the footer,
// each line ending with CR LF, into fileName.
QString fileReport(const QString &fileName, const QString &header, const QString &rows, const QString &footer)
{
    return QStringLiteral(".mode list\n.separator \"\" \"\\r\\n\"\n.output '%1'\n"
                          "select %2;\n%3;\nselect %4;\n.output stdout\n")
        .arg(fileName, literal(header), rows, literal(footer));
}

QString repeated(const QString &statement, int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += statement + QStringLiteral(";\n");
    return text;
}

// What the program does when it opens the database: the tables read and a
// write lock taken and given back.
const QString OpenChecks = QStringLiteral("PRAGMA foreign_keys = ON;\n"
                                          "select name from sqlite_master where type = 'table';\n"
                                          "BEGIN IMMEDIATE;\nROLLBACK;\n");

// A score's millionths and a mean in hundredths from them, as the program
// counts them (halves away from zero; scores here are not negative).
const QString Millionths = QStringLiteral("cast(Nilangka * 1000000 + 0.5 as integer)");
QString meanText(const QString &sum, const QString &count)
{
    const QString hundredths = QStringLiteral("((2 * %1 + %2 * 10000) / (2 * %2 * 10000))").arg(sum, count);
    // printf's own "%02d" stays out of arg(), which would take it for a place.
    return QStringLiteral("case when ") + count + QStringLiteral(" > 0 then printf('%d.%02d', ") + hundredths
           + QStringLiteral(" / 100, ") + hundredths + QStringLiteral(" % 100) end");
}

// A query's rows as CSV with a header into floor-stats.csv.
QString statsCsv(const QString &sql)
{
    return QStringLiteral(".mode csv\n.headers on\n.output floor-stats.csv\n%1;\n.output stdout\n").arg(sql);
}

// The grade rows counted by a key column, with the figures of the tool's CSV.
QString gradeFigures(const QString &key, const QString &extra)
{
    return QStringLiteral("select min(%1 collate binary) as %1%2, count(*) as Jumlah, %3 as RataRata")
               .arg(key, extra, meanText(QStringLiteral("sum(") + Millionths + QLatin1Char(')'),
                                         QStringLiteral("count(Nilangka)")));
}

} // namespace

FloorScript floorScript(Floor floor, const QString &nis, int reportRows)
{
    const QDate today = QDate::currentDate();
    switch (floor) {
    case Floor::StartUp:
        return {OpenChecks, 1};
    case Floor::Login:
        return {OpenChecks + db::selectOperators() + QStringLiteral(";\n") + db::selectOperatorByUserId("manager")
                    + QStringLiteral(";\n"),
                1};
    case Floor::ReportScreenOpen:
        return {QStringLiteral(".output floor-nis.txt\nselect nis from (%1);\n.output stdout\n")
                    .arg(reports::store::reportStudentsSql()),
                1};
    case Floor::StudentList: {
        const QString rows =
            QStringLiteral("select %1 || printf(' %-4d  %-7s  %-14s   %-14s %-10s   %-24s   %-10s      %-11s %-10s   "
                           "%-15s  %-14s  %-19s  %-14s', n, NIS, substr(NamaSiswa, 1, 15), substr(TptLahir, 1, 15), "
                           "TglLahir, substr(Alamat, 1, 25), JenisKelamin, Agama, TglMasuk, ProgamJurusan, LevelTahap, "
                           "AsalSekolah, TelpHp) from (select row_number() over () as n, * from (%2))")
                .arg(pageBreakExpression(reports::studentListLayout()), reports::store::studentListSql());
        return {fileReport(QStringLiteral("floor-Data Siswa.txt"), reports::fileReportHeader(reports::studentListLayout()), rows,
                           reports::fileReportFooter(reports::studentListLayout(), reportRows, today)),
                1};
    }
    case Floor::IpkList: {
        // The student query, each student's sums of the totals query, and the
        // index, in one statement.
        const QString rows =
            QStringLiteral("select %1 || printf(' %-4d %-7s  %-14s     %-3d       %-3d     %.2f', n, nis, "
                           "substr(namasiswa, 1, 15), vsks, vnilai, vnilai * 1.0 / vsks) from "
                           "(select row_number() over () as n, s.nis as nis, s.namasiswa as namasiswa, "
                           "cast(round(t.vsks) as integer) as vsks, cast(round(t.vnilai) as integer) as vnilai "
                           "from (%2) s join (SELECT nilai.nis as nis, sum(nilai.sks) AS VSKS, sum(nilai.mutu) AS "
                           "VNILAI from nilai group by nilai.nis) t on t.nis = s.nis)")
                .arg(pageBreakExpression(reports::ipkListLayout()), reports::store::ipkStudentsSql());
        return {fileReport(QStringLiteral("floor-IPK.txt"), reports::fileReportHeader(reports::ipkListLayout()), rows,
                           reports::fileReportFooter(reports::ipkListLayout(), reportRows, today)),
                1};
    }
    case Floor::GradeStatement:
        return {QStringLiteral(".mode column\n") + repeated(reports::store::gradeStatementSql(nis), 500), 500};
    case Floor::Certificate:
        return {QStringLiteral(".mode column\n") + repeated(reports::store::certificateSql(nis), 500), 500};
    case Floor::NextRegistrationNumber:
        return {repeated(db::LastGradeRowStatement(), 5000), 5000};
    case Floor::StudentLookup:
        return {QStringLiteral(".mode column\n") + repeated(db::studentLookupSql(nis), 5000), 5000};
    case Floor::SaveGradeRow: {
        db::GradeRowValues row{QStringLiteral("FLOOR-9"), QStringLiteral("01-06-2024"), nis, "NIRWA COM", "DASAR",
                               "MP001", "3", "BUDI", "85", "A", "4", "12", "Excellent", "Lulus"};
        // Each insert is its own transaction, as the program's save is; the
        // rows go again at the end.
        return {QStringLiteral("PRAGMA foreign_keys = ON;\n") + repeated(db::GradeInsertStatement(row), 100)
                    + db::GradeDeleteStatement(row.noreg) + QStringLiteral(";\n"),
                100};
    }
    case Floor::StatsSubjects:
        return {statsCsv(gradeFigures(QStringLiteral("KdMatpel"),
                                      QStringLiteral(", (select NmMatpel from Pelajaran p where p.KdMatpel = "
                                                     "Nilai.KdMatpel) as NmMatpel"))
                         + QStringLiteral(", sum(Nilhu = 'A') as A, sum(Nilhu = 'B') as B, sum(Nilhu = 'C') as C, "
                                          "sum(Nilhu = 'D') as D, sum(Nilhu = 'E') as E, sum(Ket = 'Lulus') as Lulus "
                                          "from Nilai group by KdMatpel order by KdMatpel")),
                1};
    case Floor::StatsInstructors:
        return {statsCsv(gradeFigures(QStringLiteral("Tentor"), QString())
                         + QStringLiteral(", sum(Ket = 'Lulus') as Lulus from Nilai group by Tentor order by Tentor")),
                1};
    case Floor::StatsIpk: {
        // The IPK list's own sums, each brought to a whole number, their
        // quotient to hundredths.
        const QString students =
            QStringLiteral("select s.ProgamJurusan as p, s.LevelTahap as l, cast(round(cast(round(t.VNILAI) as integer) "
                           "* 100.0 / cast(round(t.VSKS) as integer)) as integer) as h from (%1) t join SISWA s on "
                           "s.NIS = t.nis")
                .arg(reports::store::ipkAllTotalsSql());
        return {statsCsv(QStringLiteral("select min(p collate binary) as Program, min(l collate binary) as Level, "
                                        "count(*) as Jumlah, %1 as RataRataIPK, sum(h < 100) as \"0.00-0.99\", "
                                        "sum(h >= 100 and h < 200) as \"1.00-1.99\", sum(h >= 200 and h < 250) as "
                                        "\"2.00-2.49\", sum(h >= 250 and h < 300) as \"2.50-2.99\", sum(h >= 300 and "
                                        "h < 350) as \"3.00-3.49\", sum(h >= 350) as \"3.50-4.00\" from (select p, l, "
                                        "coalesce(h, 0) as h from (%2)) group by p, l order by p, l")
                             .arg(meanText(QStringLiteral("sum(h) * 10000"), QStringLiteral("count(*)")), students)),
                1};
    }
    case Floor::StatsIntake:
        return {statsCsv(QStringLiteral(
                    "select * from (select cast(substr(TglMasuk, 7, 4) as integer) as Tahun, cast(substr(TglMasuk, 4, "
                    "2) as integer) as Bulan, min(ProgamJurusan collate binary) as Program, count(*) as Jumlah from "
                    "SISWA where TglMasuk glob '[0-9][0-9]-[0-9][0-9]-[0-9][0-9][0-9][0-9]' group by Tahun, Bulan, "
                    "ProgamJurusan order by Tahun, Bulan, ProgamJurusan) union all select * from (select 'tanpa "
                    "tanggal', '', min(ProgamJurusan collate binary), count(*) from SISWA where TglMasuk not glob "
                    "'[0-9][0-9]-[0-9][0-9]-[0-9][0-9][0-9][0-9]' group by ProgamJurusan order by ProgamJurusan)")),
                1};
    case Floor::SearchAll:
        return {QStringLiteral(".mode column\n.output floor-all.txt\n%1;\n.output stdout\n")
                    .arg(db::listAllStudentsStatement()),
                1};
    }
    return {};
}

QString importFloorScript(const QString &csvPath, const QString &table)
{
    QString script;
    for (const QString &statement : db::sqliteAuditStatements())
        script += statement + QStringLiteral(";\n");
    return script + QStringLiteral(".import --csv --skip 1 '%1' %2\n").arg(csvPath, table);
}

ShellRun runShell(const QString &launcher, const QString &database, const QString &script)
{
    ShellRun run;
    QTemporaryFile input;
    if (!input.open()) {
        run.error = QStringLiteral("temporary file: ") + input.errorString();
        return run;
    }
    input.write(script.toUtf8());
    input.flush();
    QProcess shell;
    shell.start(launcher, {database, input.fileName()});
    if (!shell.waitForFinished(-1) || shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0) {
        run.error = QStringLiteral("sqlite3 failed: ") + QString::fromLocal8Bit(shell.readAllStandardError()).trimmed()
                    + shell.errorString();
        return run;
    }
    const QStringList figures = QString::fromLatin1(shell.readAllStandardOutput()).split(QLatin1Char(' '));
    if (figures.size() != 3) {
        run.error = QStringLiteral("no figures from ") + launcher;
        return run;
    }
    run.seconds = figures.at(0).toDouble();
    run.peakMegabytes = figures.at(1).toDouble() / 1024.0;
    run.processorSeconds = figures.at(2).toDouble();
    run.ok = true;
    return run;
}

} // namespace pel::bench
