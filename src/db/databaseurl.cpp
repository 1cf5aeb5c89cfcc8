#include "db/databaseurl.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>

namespace pel::db {

namespace {

const QString PasswordRefused = QStringLiteral(
    "Kata sandi database tidak boleh ditulis di %1; berikan lewat PGPASSWORD, ~/.pgpass atau PGPASSFILE.");

QString decoded(const QString &text)
{
    return QUrl::fromPercentEncoding(text.toUtf8());
}

DatabaseChoice refused(const QString &reason)
{
    DatabaseChoice choice;
    choice.error = reason;
    return choice;
}

bool readPort(const QString &text, int *port)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 1 || value > 65535)
        return false;
    *port = value;
    return true;
}

DatabaseChoice parsePostgres(const QString &url, const QString &rest)
{
    DatabaseChoice choice;
    DatabaseTarget &target = choice.target;
    target.engine = DatabaseTarget::Engine::PostgreSQL;

    const qsizetype queryStart = rest.indexOf(QLatin1Char('?'));
    const QString beforeQuery = queryStart < 0 ? rest : rest.left(queryStart);
    const QString query = queryStart < 0 ? QString() : rest.mid(queryStart + 1);
    const qsizetype slash = beforeQuery.indexOf(QLatin1Char('/'));
    const QString authority = slash < 0 ? beforeQuery : beforeQuery.left(slash);
    if (slash >= 0)
        target.databaseName = decoded(beforeQuery.mid(slash + 1));

    QString hostPort = authority;
    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString userInfo = authority.left(at);
        hostPort = authority.mid(at + 1);
        if (userInfo.contains(QLatin1Char(':')))
            return refused(PasswordRefused.arg(QStringLiteral("URL")));
        target.user = decoded(userInfo);
    }
    QString portText;
    if (hostPort.startsWith(QLatin1Char('['))) { // [IPv6 address]:port
        const qsizetype close = hostPort.indexOf(QLatin1Char(']'));
        if (close < 0)
            return refused(QStringLiteral("URL database tidak sah: %1").arg(url));
        target.host = hostPort.mid(1, close - 1);
        if (hostPort.mid(close + 1).startsWith(QLatin1Char(':')))
            portText = hostPort.mid(close + 2);
    } else {
        const qsizetype colon = hostPort.lastIndexOf(QLatin1Char(':'));
        target.host = decoded(colon < 0 ? hostPort : hostPort.left(colon));
        if (colon >= 0)
            portText = hostPort.mid(colon + 1);
    }
    if (!portText.isEmpty() && !readPort(portText, &target.port))
        return refused(QStringLiteral("Nomor port tidak sah di URL database: %1").arg(portText));

    for (const QString &pair : query.split(QLatin1Char('&'), Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        const QString key = decoded(equals < 0 ? pair : pair.left(equals)).trimmed();
        const QString value = equals < 0 ? QString() : decoded(pair.mid(equals + 1));
        if (key == QLatin1String("password"))
            return refused(PasswordRefused.arg(QStringLiteral("URL")));
        if (key == QLatin1String("host"))
            target.host = value;
        else if (key == QLatin1String("port")) {
            if (!readPort(value, &target.port))
                return refused(QStringLiteral("Nomor port tidak sah di URL database: %1").arg(value));
        } else if (key == QLatin1String("user"))
            target.user = value;
        else if (key == QLatin1String("dbname"))
            target.databaseName = value;
        else if (key.isEmpty() || value.contains(QLatin1Char(';')))
            return refused(QStringLiteral("Parameter tidak sah di URL database: %1").arg(pair));
        else
            target.options << QStringLiteral("%1=%2").arg(key, value);
    }
    return choice;
}

} // namespace

QString DatabaseTarget::serverName() const
{
    QString name = host.isEmpty() ? QStringLiteral("socket lokal") : host;
    if (port > 0)
        name += QStringLiteral(":%1").arg(port);
    return name;
}

QString DatabaseTarget::describe() const
{
    if (!isPostgres())
        return filePath;
    return QStringLiteral("server %1, database %2").arg(serverName(), databaseName.isEmpty() ? user : databaseName);
}

DatabaseChoice parseDatabaseUrl(const QString &url, const QString &folder)
{
    const QString text = url.trimmed();
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*)://"));
    const QRegularExpressionMatch match = scheme.match(text);
    if (match.hasMatch()) {
        const QString name = match.captured(1).toLower();
        if (name == QLatin1String("postgresql") || name == QLatin1String("postgres"))
            return parsePostgres(text, text.mid(match.capturedLength()));
        return refused(QStringLiteral("Jenis database tidak dikenal: %1 (yang dikenal: postgresql://... atau "
                                      "nama file SQLite)").arg(text));
    }
    DatabaseChoice choice;
    choice.target.filePath = QDir::cleanPath(QDir(folder).absoluteFilePath(text));
    return choice;
}

QString databaseUrlFromIni(const QString &iniText, bool *passwordGiven)
{
    if (passwordGiven)
        *passwordGiven = false;
    QString url;
    bool inDatabase = false;
    for (const QString &raw : iniText.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inDatabase = line.compare(QLatin1String("[database]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inDatabase || equals < 0)
            continue;
        const QString key = line.left(equals).trimmed().toLower();
        if (key == QLatin1String("password") && passwordGiven)
            *passwordGiven = true;
        if (key != QLatin1String("url") || !url.isEmpty())
            continue;
        url = line.mid(equals + 1).trimmed();
        if (url.size() >= 2 && url.startsWith(QLatin1Char('"')) && url.endsWith(QLatin1Char('"')))
            url = url.mid(1, url.size() - 2);
    }
    return url;
}

DatabaseChoice chooseDatabase(const QString &option, const QString &environment, const QString &iniText,
                              const QString &folder)
{
    bool iniPassword = false;
    const QString iniUrl = databaseUrlFromIni(iniText, &iniPassword);
    if (option.trimmed().isEmpty() && environment.trimmed().isEmpty() && iniPassword) {
        DatabaseChoice choice = refused(QStringLiteral("pelitaksa.ini: ") + PasswordRefused.arg(QStringLiteral("pelitaksa.ini")));
        choice.source = QStringLiteral("pelitaksa.ini");
        return choice;
    }
    const struct {
        const QString &url;
        const char *source;
    } settings[] = {{option, "--database"}, {environment, "PELITAKSA_DATABASE"}, {iniUrl, "pelitaksa.ini"}};
    for (const auto &setting : settings) {
        if (setting.url.trimmed().isEmpty())
            continue;
        DatabaseChoice choice = parseDatabaseUrl(setting.url, folder);
        choice.source = QString::fromLatin1(setting.source);
        if (!choice.ok())
            choice.error = QStringLiteral("%1: %2").arg(choice.source, choice.error);
        return choice;
    }
    DatabaseChoice choice;
    choice.target.filePath = QDir(folder).absoluteFilePath(QStringLiteral("SISWA.mdb"));
    return choice;
}

DatabaseChoice chooseDatabase(const QString &option)
{
    const QString folder = QDir::currentPath();
    QString iniText;
    QFile ini(QDir(folder).filePath(QStringLiteral("pelitaksa.ini")));
    if (ini.open(QIODevice::ReadOnly | QIODevice::Text))
        iniText = QString::fromUtf8(ini.readAll());
    return chooseDatabase(option, qEnvironmentVariable("PELITAKSA_DATABASE"), iniText, folder);
}

} // namespace pel::db
