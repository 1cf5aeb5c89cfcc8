#pragma once

#include <optional>

namespace pel {

// True when the system's default printer can be queried; never shows anything.
bool PrinterInstalled();

// Tests decide what PrinterInstalled() answers; nullopt asks the system again.
void setPrinterInstalledOverride(std::optional<bool> installed);

} // namespace pel
