#include "admintransfer.h"

#include "adminhelp.h"
#include "adminio.h"
#include "common/module1.h"
#include "transfer/csv.h"
#include "transfer/exporter.h"
#include "transfer/importer.h"

#include <QSet>

#include <cstdio>

namespace pel {

namespace {

int usageError(const QString &message)
{
    return admin::usageError(message, {QStringLiteral("export"), QStringLiteral("import"), QStringLiteral("template")});
}

// The header line on standard output, or an empty file to fill in.
int runTemplate(const QStringList &args)
{
    if (args.isEmpty() || args.size() > 2)
        return usageError(QStringLiteral("template butuh TABLE dan boleh diikuti FILE"));
    const auto table = transfer::tableFromName(args.at(0));
    if (!table)
        return usageError(QStringLiteral("tabel tidak dikenal: %1").arg(args.at(0)));
    if (args.size() == 1) {
        const QByteArray line = transfer::CsvLine(transfer::templateColumnNames(*table), ',');
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        return 0;
    }
    if (!transfer::formatForPath(args.at(1)))
        return usageError(QStringLiteral("FILE harus berakhiran .csv atau .xlsx: %1").arg(args.at(1)));
    if (const db::Result written = transfer::writeTemplate(*table, args.at(1)); !written.ok())
        return admin::failure(written);
    std::printf("Templat %s ditulis ke %s\n", transfer::sqlTableName(*table).toLocal8Bit().constData(),
                args.at(1).toLocal8Bit().constData());
    return 0;
}

int runExport(QStringList args, const db::DatabaseTarget &target)
{
    char separator = ',';
    const qsizetype option = args.indexOf(QStringLiteral("--separator"));
    if (option >= 0) {
        if (option + 1 >= args.size())
            return usageError(QStringLiteral("--separator butuh ',' atau ';'"));
        const QString value = args.at(option + 1);
        if (value != QLatin1String(",") && value != QLatin1String(";"))
            return usageError(QStringLiteral("pemisah harus ',' atau ';': %1").arg(value));
        separator = value.at(0).toLatin1();
        args.remove(option, 2);
    }
    if (args.size() != 2)
        return usageError(QStringLiteral("export butuh TABLE dan OUTFILE"));
    const auto table = transfer::tableFromName(args.at(0));
    if (!table)
        return usageError(QStringLiteral("tabel tidak dikenal: %1").arg(args.at(0)));
    if (!transfer::formatForPath(args.at(1)))
        return usageError(QStringLiteral("OUTFILE harus berakhiran .csv atau .xlsx: %1").arg(args.at(1)));
    if (!admin::openDatabase(target))
        return 1;
    const db::Result result = transfer::exportTable(dbConnection, *table, args.at(1), separator);
    if (!result.ok())
        return admin::failure(result);
    std::printf("%d baris %s ditulis ke %s\n", result.rowsAffected,
                transfer::sqlTableName(*table).toLocal8Bit().constData(), args.at(1).toLocal8Bit().constData());
    return 0;
}

int runImport(QStringList args, const db::DatabaseTarget &target)
{
    transfer::ImportOptions options;
    QString errorsPath;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &word = args.at(i);
        if (word == QLatin1String("--dry-run"))
            options.dryRun = true;
        else if (word == QLatin1String("--update"))
            options.update = true;
        else if (word == QLatin1String("--errors")) {
            if (i + 1 >= args.size())
                return usageError(QStringLiteral("--errors butuh nama file"));
            errorsPath = args.at(++i);
        } else if (word.startsWith(QLatin1String("--")))
            return usageError(QStringLiteral("pilihan tidak dikenal: %1").arg(word));
        else
            positional << word;
    }
    if (positional.size() != 2)
        return usageError(QStringLiteral("import butuh TABLE dan INFILE"));
    const auto table = transfer::tableFromName(positional.at(0));
    if (!table)
        return usageError(QStringLiteral("tabel tidak dikenal: %1").arg(positional.at(0)));
    if (!transfer::formatForPath(positional.at(1)))
        return usageError(QStringLiteral("INFILE harus file .csv atau .xlsx: %1").arg(positional.at(1)));
    if (!admin::openDatabase(target))
        return 1;

    const transfer::ImportReport report = transfer::importFile(dbConnection, *table, positional.at(1), options);
    for (const transfer::Problem &problem : report.problems)
        std::fprintf(stderr, "%s\n", transfer::problemText(problem).toLocal8Bit().constData());
    if (!errorsPath.isEmpty()) {
        if (const db::Result written = transfer::writeProblemsFile(errorsPath, report.problems); !written.ok())
            return admin::failure(written);
    }
    if (!report.accepted()) {
        if (report.problems.isEmpty())
            return admin::failure(report.result);
        QSet<int> lines;
        for (const transfer::Problem &problem : report.problems)
            lines.insert(problem.line);
        return admin::failure(QStringLiteral("%1 masalah pada %2 baris; tidak ada data yang disimpan")
                                  .arg(report.problems.size())
                                  .arg(lines.size()));
    }
    const QString table_ = transfer::sqlTableName(*table);
    if (options.dryRun)
        std::printf("%d baris diperiksa, semuanya lolos (%d baru, %d diubah); tidak ada yang ditulis\n", report.rows,
                    report.inserted, report.updated);
    else
        std::printf("%d baris dimasukkan ke %s: %d baru, %d diubah\n", report.rows, table_.toLocal8Bit().constData(),
                    report.inserted, report.updated);
    return 0;
}

} // namespace

bool isTransferCommand(const QString &command)
{
    return command == QLatin1String("export") || command == QLatin1String("import")
           || command == QLatin1String("template");
}

int runTransferCommand(const QString &command, const QStringList &args, const db::DatabaseTarget &target)
{
    if (command == QLatin1String("template"))
        return runTemplate(args);
    if (command == QLatin1String("export"))
        return runExport(args, target);
    return runImport(args, target);
}

} // namespace pel
