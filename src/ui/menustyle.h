#pragma once

class QMenu;

namespace pel::ui {

// Draws the separator lines of menu as a plain line in the palette's dark
// shade, so that they stand out against the menu as the menus' groups are
// meant to; the style's own line is often too faint to see.
void showSeparatorsClearly(QMenu *menu);

} // namespace pel::ui
