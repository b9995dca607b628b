// CMenu: a menu handle that this program does not own (the system menu).
#pragma once

#include <windows.h>

class CMenu {
public:
    explicit CMenu(HMENU menu = nullptr) : m_hMenu(menu) {}

    // Null when the window has no such menu.
    HMENU GetSafeHmenu() const { return m_hMenu; }

    // Adds an item at the end: MF_SEPARATOR, or MF_STRING with a command
    // identifier and its text.
    BOOL AppendMenu(UINT flags, UINT_PTR idNewItem = 0, LPCSTR newItem = nullptr);

private:
    HMENU m_hMenu;
};
