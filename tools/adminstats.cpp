#include "adminstats.h"

#include "adminhelp.h"
#include "adminio.h"
#include "common/module1.h"
#include "db/failure.h"
#include "db/filewriter.h"
#include "stats/statstext.h"


namespace pel {

namespace {

int usageError(const QString &message)
{
    return admin::usageError(message, {QStringLiteral("stats")});
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
    if (const db::Result read = stats::readView(dbConnection, *view, filter, &table); !read.ok())
        return admin::failure(db::failureMessage(QStringLiteral("Statistik tidak dapat dihitung:"), read));
    db::FileWriter out(QString::fromLatin1(db::FileWriter::StandardOutput));
    const QByteArray bytes =
        csv ? stats::csvText(table) : stats::fixedWidthText(table, filter, stats::systemDecimalPoint()).toUtf8();
    db::Result written = out.open();
    if (written.ok())
        written = out.write(bytes);
    if (written.ok())
        written = out.commit();
    if (!written.ok())
        return admin::failure(written.withAbout(QStringLiteral("Statistik tidak dapat ditulis ke keluaran standar.")));
    return 0;
}

} // namespace pel
