#include "adminstats.h"

#include "common/module1.h"
#include "db/failure.h"
#include "reports/reportfile.h"
#include "stats/statstext.h"

#include <cstdio>

namespace pel {

namespace {

const char Usage[] =
    "Pemakaian: pelitaksa-admin [--db FILE] stats subjects|ipk|intake|instructors [--program P] [--level L]\n"
    "           [--from DD-MM-YYYY] [--to DD-MM-YYYY] [--csv]\n";

void printError(QString message)
{
    message.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    std::fprintf(stderr, "pelitaksa-admin: %s\n", message.toLocal8Bit().constData());
}

int usageError(const QString &message)
{
    printError(message);
    std::fputs("\n", stderr);
    std::fputs(Usage, stderr);
    return 2;
}

const QList<std::pair<QString, stats::View>> Views{
    {QStringLiteral("subjects"), stats::View::Subjects},
    {QStringLiteral("ipk"), stats::View::Ipk},
    {QStringLiteral("intake"), stats::View::Intake},
    {QStringLiteral("instructors"), stats::View::Instructors},
};

} // namespace

int runStatsCommand(const QStringList &args)
{
    if (args.isEmpty())
        return usageError(QStringLiteral("statistik mana? subjects, ipk, intake atau instructors"));
    std::optional<stats::View> view;
    for (const auto &[name, which] : Views)
        if (args.first() == name)
            view = which;
    if (!view)
        return usageError(QStringLiteral("statistik tidak dikenal: %1").arg(args.first()));

    stats::Filter filter;
    bool csv = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString option = args.at(i);
        if (option == QLatin1String("--csv")) {
            csv = true;
            continue;
        }
        const QStringList valued{QStringLiteral("--program"), QStringLiteral("--level"), QStringLiteral("--from"),
                                 QStringLiteral("--to")};
        if (!valued.contains(option))
            return usageError(QStringLiteral("argumen tidak dikenal: %1").arg(option));
        if (i + 1 >= args.size())
            return usageError(QStringLiteral("%1 butuh nilai").arg(option));
        const QString value = args.at(++i);
        if (option == QLatin1String("--program")) {
            filter.programme = value;
        } else if (option == QLatin1String("--level")) {
            filter.level = value;
        } else {
            const QDate date = QDate::fromString(value, QStringLiteral("dd-MM-yyyy"));
            if (!date.isValid())
                return usageError(QStringLiteral("tanggal tidak dikenal: %1 (pakai DD-MM-YYYY)").arg(value));
            (option == QLatin1String("--from") ? filter.from : filter.to) = date;
        }
    }
    if (filter.from.isValid() && filter.to.isValid() && filter.from > filter.to)
        return usageError(QStringLiteral("--from jatuh sesudah --to"));

    stats::Table table;
    if (const db::Result read = stats::readView(dbConnection, *view, filter, &table); !read.ok()) {
        printError(db::failureMessage(QStringLiteral("Statistik tidak dapat dihitung:"), read));
        return 1;
    }
    reports::ReportFile out(QString::fromLatin1(reports::ReportFile::StandardOutput));
    const QByteArray bytes =
        csv ? stats::csvText(table) : stats::fixedWidthText(table, filter, stats::systemDecimalPoint()).toUtf8();
    if (!out.open() || !out.write(bytes) || !out.commit()) {
        printError(QStringLiteral("Statistik tidak dapat ditulis ke keluaran standar: %1").arg(out.errorString()));
        return 1;
    }
    return 0;
}

} // namespace pel
