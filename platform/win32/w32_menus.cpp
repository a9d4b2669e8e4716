// Popup menus, their items and check marks, addressed by program numbers and command ids.
#include "platform/gui.h"
#include "platform/win32/w32_state.h"

namespace platform {

static HMENU menuHandle(int menu) {
    auto& menus = w32::services().menus;
    auto found = menus.find(menu);
    return found == menus.end() ? nullptr : found->second;
}

void createPopupMenu(int menu) {
    if (HMENU old = menuHandle(menu)) {
        DestroyMenu(old);
    }
    w32::services().menus[menu] = CreatePopupMenu();
}

void appendMenuItem(int menu, int item, const char* text) {
    if (HMENU handle = menuHandle(menu)) {
        AppendMenuA(handle, MF_STRING, static_cast<UINT_PTR>(item), text);
    }
}

void appendMenuSeparator(int menu) {
    if (HMENU handle = menuHandle(menu)) {
        AppendMenuA(handle, MF_SEPARATOR, 0, nullptr);
    }
}

// The submenu becomes part of `menu` and is destroyed with it.
void appendSubmenu(int menu, int submenu, const char* text) {
    HMENU handle = menuHandle(menu);
    HMENU sub = menuHandle(submenu);
    if (handle != nullptr && sub != nullptr) {
        AppendMenuA(handle, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text);
        w32::services().embeddedMenus.insert(sub);
    }
}

// Items are found by command id, also inside submenus.
void setMenuCheck(int menu, int item, bool checked) {
    HMENU handle = menuHandle(menu);
    if (handle == nullptr) {
        return;
    }
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    if (!GetMenuItemInfoA(handle, static_cast<UINT>(item), FALSE, &info)) {
        return;
    }
    info.fState = checked ? (info.fState | MFS_CHECKED) : (info.fState & ~static_cast<UINT>(MFS_CHECKED));
    SetMenuItemInfoA(handle, static_cast<UINT>(item), FALSE, &info);
}

void showPopupMenu(int menu, int ownerWindow, int screenX, int screenY) {
    HMENU handle = menuHandle(menu);
    if (handle == nullptr) {
        return;
    }
    TrackPopupMenu(handle, TPM_RIGHTBUTTON, screenX, screenY, 0, w32::windowHandle(ownerWindow), nullptr);
    w32::forgetCursor();
}

}  // namespace platform
