#pragma once

class QMainWindow;

// Alt pressed and released alone, and F10, put the keyboard in the menu bar of `window` with its first menu
// highlighted, as on Windows: Left and Right move between the menus, Enter or Down opens one, Escape leaves
// (from an open menu, the first Escape closes it). Alt or F10 again leaves as well. The menus' captions stay as
// they are: no mnemonic is added.
void enable_menu_bar_keys(QMainWindow* window);
