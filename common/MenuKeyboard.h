#pragma once

class QMenuBar;

namespace tabel {

// Reaches a window's menu bar without the mouse: F10 opens the first menu the user may open,
// and the arrows go on from there to the other menus and their items. Alt pressed and released
// alone is Qt's own way in, where the desktop's theme lets the menu bar have it. The captions
// stay as they are: nothing is underlined and no Alt+letter is taken from the window's boxes.
void reachMenuByKeyboard(QMenuBar& bar);

} // namespace tabel
