#include "adminreports.h"

#include "adminhelp.h"
#include "adminio.h"
#include "common/module1.h"
#include "db/failure.h"
#include "db/filewriter.h"
#include "env/clock.h"
#include "reports/reportrunner.h"
#include "reports/reportstore.h"

#include <cstdio>

namespace pel {

namespace {

int usageError(const QString &message)
{
    return admin::usageError(message, {QStringLiteral("report")});
}

// A report that gave no text: no record found, or why it failed.
int reportFailed(const reports::ReportResult &result)
{
    if (result.result.kind == db::Result::Kind::NotFound)
        return admin::failure(reports::NoDataMessage);
    return admin::failure(result.result);
}

// Where the report's text goes: the file named, or standard output.
QString outName(const QString &outPath)
{
    return outPath.isEmpty() ? QString::fromLatin1(db::FileWriter::StandardOutput) : outPath;
}

int outFailed(const QString &outPath, const db::Result &failure)
{
    return admin::failure(failure.withAbout(
        outPath.isEmpty() ? QStringLiteral("Laporan tidak dapat ditulis ke keluaran standar.")
                          : QStringLiteral("Laporan tidak dapat ditulis ke file \"%1\".").arg(outPath)));
}

int writeOut(const QString &text, const QString &outPath)
{
    db::FileWriter out(outName(outPath));
    db::Result written = out.open();
    if (written.ok())
        written = out.writeText(text);
    if (written.ok())
        written = out.commit();
    return written.ok() ? 0 : outFailed(outPath, written);
}

// A file report written to its own file and, as it goes, to outPath (or
// standard output); the text is not kept, so the tool needs no more memory
// for a hundred thousand students than for one.
int writeFileReport(reports::ReportResult (*write)(const db::Connection &, const QDate &,
                                                   const reports::FileReportOptions &),
                    const QString &outPath)
{
    db::FileWriter out(outName(outPath));
    if (const db::Result opened = out.open(); !opened.ok())
        return outFailed(outPath, opened);
    reports::FileReportOptions options;
    options.keepText = false;
    options.copy = &out;
    const reports::ReportResult result = write(dbConnection, clock::today(), options);
    if (!result.done()) {
        out.discard();
        return reportFailed(result);
    }
    if (const db::Result committed = out.commit(); !committed.ok())
        return outFailed(outPath, committed);
    return 0;
}

// The per-student report of every student, one after another; students with
// no grades have no report and are passed over.
reports::ReportResult runForEveryStudent(reports::ReportResult (*run)(const db::Connection &, const QString &,
                                                                      const QDate &),
                                         const QDate &today)
{
    reports::ReportResult all;
    QStringList nisList;
    if (const db::Result read = reports::store::allNis(dbConnection, &nisList); !read.ok())
        return {read, {}};
    bool found = false;
    for (const QString &nis : nisList) {
        reports::ReportResult one = run(dbConnection, nis, today);
        if (one.result.kind == db::Result::Kind::NotFound)
            continue;
        if (!one.done())
            return one;
        all.text += one.text;
        found = true;
    }
    if (!found)
        all.result = db::Result::notFound();
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
        result = words.at(1) == QLatin1String("--all") ? runForEveryStudent(run, today)
                                                       : run(dbConnection, words.at(1), today);
    } else {
        return usageError(QStringLiteral("laporan tidak dikenal: %1").arg(kind));
    }

    if (!result.done())
        return reportFailed(result);
    return writeOut(result.text, outPath);
}

} // namespace pel
