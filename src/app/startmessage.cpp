#include "app/startmessage.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace pel::app {

namespace {

// A word as a shell reads it back unchanged: quoted only when it has to be.
QString shellWord(const QString &text)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+:@%=-]+$"));
    if (plain.match(text).hasMatch())
        return text;
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QLatin1String("'\\''")) + QLatin1Char('\'');
}

} // namespace

QString startFailureMessage(const QString &reason, bool fileMissing, const QString &filePath)
{
    QString text = reason;
    if (fileMissing) {
        const QFileInfo file(filePath);
        const QString folder = file.absolutePath();
        // The tool makes SISWA.mdb in the folder it runs in; another name
        // is given to it whole.
        const QString tool = file.fileName() == QLatin1String("SISWA.mdb")
                                 ? QStringLiteral("cd %1 && pelitaksa-admin").arg(shellWord(folder))
                                 : QStringLiteral("pelitaksa-admin --db %1").arg(shellWord(file.absoluteFilePath()));
        text += QStringLiteral("\rDatabase kosong dibuat di folder %1 dengan perintah\r    %2 create\r"
                               "atau, untuk mencoba program dengan data contoh,\r    %2 demo")
                    .arg(folder, tool);
    }
    return text + QStringLiteral("\rProgram tidak dapat dijalankan.");
}

} // namespace pel::app
