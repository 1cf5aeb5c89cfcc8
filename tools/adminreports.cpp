#include "adminreports.h"

#include "adminhelp.h"

#include "env/clock.h"
#include "reports/reportfile.h"
#include "reports/reportrunner.h"
#include "reports/reportstore.h"

#include <cstdio>

namespace pel {

namespace {

void printError(const QString &message)
{
    QString text = message;
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fprintf(stderr, "pelitaksa-admin: %s\n", text.toLocal8Bit().constData());
}

int usageError(const QString &message)
{
    return admin::usageError(message, {QStringLiteral("report")});
}

bool writeOut(const QString &text, const QString &outPath)
{
    reports::ReportFile out(outPath.isEmpty() ? QString::fromLatin1(reports::ReportFile::StandardOutput) : outPath);
    if (!out.open() || !out.writeText(text) || !out.commit()) {
        printError(outPath.isEmpty()
                       ? QStringLiteral("Laporan tidak dapat ditulis ke keluaran standar: %1").arg(out.errorString())
                       : QStringLiteral("Laporan tidak dapat ditulis ke file \"%1\": %2").arg(outPath, out.errorString()));
        return false;
    }
    return true;
}

// A file report written to its own file and, as it goes, to outPath (or
// standard output); the text is not kept, so the tool needs no more memory
// for a hundred thousand students than for one.
int writeFileReport(reports::ReportResult (*write)(const QDate &, const reports::FileReportOptions &),
                    const QString &outPath)
{
    reports::ReportFile out(outPath.isEmpty() ? QString::fromLatin1(reports::ReportFile::StandardOutput) : outPath);
    if (!out.open()) {
        printError(QStringLiteral("Laporan tidak dapat ditulis ke file \"%1\": %2").arg(outPath, out.errorString()));
        return 1;
    }
    reports::FileReportOptions options;
    options.keepText = false;
    options.copy = &out;
    const reports::ReportResult result = write(clock::today(), options);
    if (!result.done()) {
        out.discard();
        printError(result.error);
        return 1;
    }
    if (!out.commit()) {
        printError(outPath.isEmpty()
                       ? QStringLiteral("Laporan tidak dapat ditulis ke keluaran standar: %1").arg(out.errorString())
                       : QStringLiteral("Laporan tidak dapat ditulis ke file \"%1\": %2").arg(outPath, out.errorString()));
        return 1;
    }
    return 0;
}

// The per-student report of every student, one after another; students with
// no grades have no report and are passed over.
reports::ReportResult runForEveryStudent(reports::ReportResult (*run)(const QString &, const QDate &),
                                         const QDate &today)
{
    reports::ReportResult all;
    QStringList nisList;
    if (const db::Result read = reports::store::allNis(&nisList); !read.ok()) {
        all.outcome = reports::Outcome::DatabaseFailed;
        all.error = read.reason;
        return all;
    }
    bool found = false;
    for (const QString &nis : nisList) {
        reports::ReportResult one = run(nis, today);
        if (one.outcome == reports::Outcome::NoData)
            continue;
        if (!one.done())
            return one;
        all.text += one.text;
        found = true;
    }
    if (!found) {
        all.outcome = reports::Outcome::NoData;
        all.error = reports::NoDataMessage;
    }
    return all;
}

} // namespace

int runReportCommand(const QStringList &args)
{
    QStringList words;
    QString outPath;
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--out")) {
            if (i + 1 >= args.size() || args.at(i + 1).isEmpty())
                return usageError(QStringLiteral("--out butuh nama file"));
            outPath = args.at(++i);
        } else {
            words << args.at(i);
        }
    }
    if (words.isEmpty())
        return usageError(QStringLiteral("laporan mana? list, ipk, statement atau certificate"));

    const QString kind = words.first();
    const QDate today = clock::today();
    reports::ReportResult result;
    if (kind == QLatin1String("list") || kind == QLatin1String("ipk")) {
        if (words.size() != 1)
            return usageError(QStringLiteral("argumen tidak dikenal: %1").arg(words.at(1)));
        return writeFileReport(kind == QLatin1String("list") ? reports::writeStudentList : reports::writeIpkList,
                               outPath);
    } else if (kind == QLatin1String("statement") || kind == QLatin1String("certificate")) {
        if (words.size() != 2)
            return usageError(words.size() < 2 ? QStringLiteral("%1 butuh NIS atau --all").arg(kind)
                                               : QStringLiteral("argumen tidak dikenal: %1").arg(words.at(2)));
        const auto run = kind == QLatin1String("statement") ? reports::runGradeStatement : reports::runCertificate;
        result = words.at(1) == QLatin1String("--all") ? runForEveryStudent(run, today) : run(words.at(1), today);
    } else {
        return usageError(QStringLiteral("laporan tidak dikenal: %1").arg(kind));
    }

    if (!result.done()) {
        printError(result.error);
        return 1;
    }
    return writeOut(result.text, outPath) ? 0 : 1;
}

} // namespace pel
