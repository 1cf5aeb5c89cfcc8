#pragma once

class QMenu;

namespace pel::ui {

// Draws the separator lines of menu as a plain line halfway between the
// menu's text and background colours, so that the groups of the menu stand
// apart; the style's own line is often too faint to see.
void showSeparatorsClearly(QMenu *menu);

} // namespace pel::ui
