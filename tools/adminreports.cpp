#include "adminreports.h"

#include "env/clock.h"
#include "reports/reportrunner.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

namespace pel {

namespace {

const char Usage[] =
    "Pemakaian: pelitaksa-admin [--db FILE] report list|ipk [--out FILE]\n"
    "           pelitaksa-admin [--db FILE] report statement|certificate NIS|--all [--out FILE]\n";

void printError(const QString &message)
{
    QString text = message;
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fprintf(stderr, "pelitaksa-admin: %s\n", text.toLocal8Bit().constData());
}

int usageError(const QString &message)
{
    printError(message);
    std::fputs("\n", stderr);
    std::fputs(Usage, stderr);
    return 2;
}

bool writeOut(const QString &text, const QString &outPath)
{
    const QByteArray bytes = text.toUtf8();
    if (outPath.isEmpty()) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.flush()) {
            printError(QStringLiteral("Laporan tidak dapat ditulis ke keluaran standar: %1").arg(out.errorString()));
            return false;
        }
        return true;
    }
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        printError(QStringLiteral("Laporan tidak dapat ditulis ke file \"%1\": %2").arg(outPath, out.errorString()));
        return false;
    }
    return true;
}

// The per-student report of every student, one after another; students with
// no grades have no report and are passed over.
reports::ReportResult runForEveryStudent(reports::ReportResult (*run)(const QString &, const QDate &),
                                         const QDate &today)
{
    reports::ReportResult all;
    QStringList nisList;
    QString error;
    if (!reports::studentNisList(&nisList, &error)) {
        all.outcome = reports::Outcome::DatabaseFailed;
        all.error = error;
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
        result = kind == QLatin1String("list") ? reports::runStudentList(today) : reports::runIpkList(today);
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
