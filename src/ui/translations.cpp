#include "ui/translations.h"

#include <QCoreApplication>
#include <QTranslator>

namespace pel::ui {

bool useIndonesianQtTexts()
{
    static QTranslator *translator = nullptr;
    if (translator)
        return true;
    if (!QCoreApplication::instance())
        return false;
    auto *loaded = new QTranslator(QCoreApplication::instance());
    if (!loaded->load(QStringLiteral(":/i18n/pelitaksa_id.qm")) || !QCoreApplication::installTranslator(loaded)) {
        delete loaded;
        return false;
    }
    translator = loaded;
    return true;
}

} // namespace pel::ui
