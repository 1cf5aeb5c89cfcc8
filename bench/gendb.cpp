// Builds a SISWA.mdb of a chosen size for the benchmarks:
//   pelitaksa-bench-gen [--students N] [--subjects S] [--grades G] FILE
#include "generator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: pelitaksa-bench-gen [--students N] [--subjects S] [--grades G] FILE\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    pel::bench::GeneratorSize size;
    QString path;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg.startsWith(QLatin1String("--"))) {
            if (args.isEmpty())
                return usage();
            bool ok = false;
            const int value = args.takeFirst().toInt(&ok);
            if (!ok)
                return usage();
            if (arg == QLatin1String("--students"))
                size.students = value;
            else if (arg == QLatin1String("--subjects"))
                size.subjects = value;
            else if (arg == QLatin1String("--grades"))
                size.gradesPerStudent = value;
            else
                return usage();
        } else if (path.isEmpty()) {
            path = arg;
        } else {
            return usage();
        }
    }
    if (path.isEmpty())
        return usage();

    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!pel::bench::generateDatabase(path, size, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s: %d students, %d subjects, %lld grade rows in %.1f s\n", qPrintable(path), size.students,
                size.subjects, qlonglong(size.students) * size.gradesPerStudent, timer.elapsed() / 1000.0);
    return 0;
}
