#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>

#include <memory>

class QTranslator;

// What the program and the administration tool share on their command lines:
// the options -h/--help and -v/--version, Qt's command-line parser speaking
// Indonesian, the help and version texts, and where they are written.
namespace pel::cli {

// The version of this build, as the project names it ("1.0").
QString version();

// -h, --help and -v, --version, described in Indonesian.
QCommandLineOption helpOption();
QCommandLineOption versionOption();

// While it lives, QCommandLineParser writes its own words (the headings of a
// help text, its error texts) in Indonesian. Needs an application object.
class ParserWords
{
public:
    ParserWords();
    ~ParserWords();
    ParserWords(const ParserWords &) = delete;
    ParserWords &operator=(const ParserWords &) = delete;

private:
    std::unique_ptr<QTranslator> m_words;
};

// The parser's help text, naming the program by its name rather than by the
// path it was started from (a manual page is made from it). Needs an
// application object.
QString helpText(const QCommandLineParser &parser, const QString &program);

// "PROGRAM VERSION" and a line end: what --version prints.
QString versionText(const QString &program);

// Writes text as it stands to standard output, or to standard error.
void printOut(const QString &text);
void printError(const QString &text);

} // namespace pel::cli
