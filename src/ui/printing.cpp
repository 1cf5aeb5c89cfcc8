#include "ui/printing.h"

#include <QPrinterInfo>

namespace pel {

namespace {
std::optional<bool> installedOverride;
}

bool PrinterInstalled()
{
    if (installedOverride)
        return *installedOverride;
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    return !printer.isNull() && !printer.printerName().isEmpty();
}

void setPrinterInstalledOverride(std::optional<bool> installed)
{
    installedOverride = installed;
}

} // namespace pel
