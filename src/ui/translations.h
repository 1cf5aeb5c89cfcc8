#pragma once

// Qt's own texts in Indonesian: the buttons of the message boxes ("&Ya",
// "&Tidak", "OK", "&Batal"), the file, print and page dialogs, the edit
// menus of the boxes. Qt ships no Indonesian translation; the program's own
// (translations/pelitaksa_id.ts, compiled into the program) is loaded
// whatever the system's language, since the screens are Indonesian in every
// locale. The program's own captions and messages are not translated.
namespace pel::ui {

// Loads the translation once; true when it is in use.
bool useIndonesianQtTexts();

} // namespace pel::ui
