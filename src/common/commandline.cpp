#include "common/commandline.h"

#include <QCoreApplication>
#include <QTranslator>

#include <cstdio>

namespace pel::cli {

namespace {

// The texts QCommandLineParser writes itself, in Indonesian.
class IndonesianParserWords : public QTranslator
{
public:
    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        if (qstrcmp(context, "QCommandLineParser") != 0)
            return {};
        static const struct
        {
            const char *source;
            const char *text;
        } words[] = {
            {"Usage: %1", "Pemakaian: %1"},
            {"[options]", "[pilihan]"},
            {"Options:", "Pilihan:"},
            {"Arguments:", "Argumen:"},
            {"Unknown option '%1'.", "Pilihan '%1' tidak dikenal."},
            {"Unknown options: %1.", "Pilihan tidak dikenal: %1."},
            {"Missing value after '%1'.", "Pilihan '%1' butuh nilai."},
            {"Unexpected value after '%1'.", "Pilihan '%1' tidak memakai nilai."},
        };
        for (const auto &word : words)
            if (qstrcmp(sourceText, word.source) == 0)
                return QString::fromUtf8(word.text);
        return {};
    }
};

void print(const QString &text, FILE *stream)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

QString version()
{
    return QStringLiteral(PELITAKSA_VERSION);
}

QCommandLineOption helpOption()
{
    return QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                              QStringLiteral("Menampilkan bantuan ini, lalu selesai."));
}

QCommandLineOption versionOption()
{
    return QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                              QStringLiteral("Menampilkan versi program, lalu selesai."));
}

ParserWords::ParserWords()
    : m_words(std::make_unique<IndonesianParserWords>())
{
    QCoreApplication::installTranslator(m_words.get());
}

ParserWords::~ParserWords()
{
    QCoreApplication::removeTranslator(m_words.get());
}

QString helpText(const QCommandLineParser &parser, const QString &program)
{
    QString text = parser.helpText();
    // The first line reads "Pemakaian: <the path as started> ...".
    const QString started = QCoreApplication::arguments().value(0);
    const qsizetype at = started.isEmpty() ? -1 : text.indexOf(started);
    if (at >= 0 && at < text.indexOf(QLatin1Char('\n')))
        text.replace(at, started.size(), program);
    return text;
}

QString versionText(const QString &program)
{
    return program + QLatin1Char(' ') + version() + QLatin1Char('\n');
}

void printOut(const QString &text)
{
    print(text, stdout);
}

void printError(const QString &text)
{
    print(text, stderr);
}

} // namespace pel::cli
