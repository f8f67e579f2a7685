// The rows of a list view in another process, read through memory both processes see: the list
// record and its text buffer are placed there and the list fills them.
#pragma once

#include "support/RemoteSharedMemory.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace remote {

struct ListRow {
    std::wstring name;
    std::wstring path;
    std::wstring target;
};

// One cell's text; empty when no memory could be shared with the process.
inline std::wstring ItemText(HANDLE process, HWND list, int item, int subItem) {
    constexpr int kChars = 1024;
    struct Shared {
        LVITEMW item;
        wchar_t text[kChars];
    };
    RemoteSharedMemory memory(process, sizeof(Shared));
    if (!memory.Valid()) {
        return {};
    }
    Shared* local = memory.Local<Shared>();
    local->item = LVITEMW{};
    local->item.iSubItem = subItem;
    local->item.pszText = memory.Remote<Shared>()->text;
    local->item.cchTextMax = kChars;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(&memory.Remote<Shared>()->item));
    local->text[kChars - 1] = L'\0';
    return local->text;
}

// Every row's name, path and target (the first three columns).
inline std::vector<ListRow> ReadRows(HANDLE process, HWND list) {
    std::vector<ListRow> rows;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        rows.push_back(
            {ItemText(process, list, i, 0), ItemText(process, list, i, 1), ItemText(process, list, i, 2)});
    }
    return rows;
}

// The rectangle of one item in screen coordinates, or an empty one.
inline RECT ItemScreenRect(HANDLE process, HWND list, int item) {
    RECT rect = {};
    RemoteSharedMemory memory(process, sizeof(RECT));
    if (!memory.Valid()) {
        return rect;
    }
    memory.Local<RECT>()->left = LVIR_LABEL;
    if (SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(item),
                     reinterpret_cast<LPARAM>(memory.Remote<RECT>()))) {
        rect = *memory.Local<RECT>();
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

}  // namespace remote
