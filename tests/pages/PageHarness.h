// Drives a list page the way the program and the shell do: the page made from its real template
// inside a hidden host window, rows read back through list-view messages, files dropped as real
// WM_DROPFILES blocks, commands delivered as a menu delivers them, programs started only on record.
#pragma once

#include "framework/AfxWin.h"
#include "res/resource.h"
#include "tests/common/DropFiles.h"
#include "tests/common/ShellCallRecorder.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace harness {

template <typename Page>
class HostedPage {
public:
    HostedPage() {
        m_host.Attach(CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 520, 700, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
        m_created = m_page.Create(Page::IDD, &m_host) != FALSE;
    }
    ~HostedPage() {
        m_page.DestroyWindow();
        ::DestroyWindow(m_host.Detach());
    }
    HostedPage(const HostedPage&) = delete;
    HostedPage& operator=(const HostedPage&) = delete;

    bool Created() const { return m_created && m_page.m_hWnd != nullptr; }
    Page& Get() { return m_page; }
    HWND Window() const { return m_page.m_hWnd; }
    HWND List() const { return ::GetDlgItem(m_page.m_hWnd, IDC_ENTRY_LIST); }

private:
    CWnd m_host;
    Page m_page;
    bool m_created = false;
};

struct Row {
    std::wstring name;
    std::wstring path;    // sub-item 1
    std::wstring target;  // sub-item 2
    int image = -1;
};

inline std::wstring ItemText(HWND list, int item, int subItem) {
    std::vector<wchar_t> buffer(4096, L'\0');
    LVITEMW row = {};
    row.iSubItem = subItem;
    row.pszText = buffer.data();
    row.cchTextMax = static_cast<int>(buffer.size());
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row));
    return buffer.data();
}

inline int ItemImage(HWND list, int item) {
    LVITEMW row = {};
    row.mask = LVIF_IMAGE;
    row.iItem = item;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&row));
    return row.iImage;
}

inline int RowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

inline std::vector<Row> ReadRows(HWND list) {
    std::vector<Row> rows;
    for (int i = 0; i < RowCount(list); ++i) {
        rows.push_back(
            {ItemText(list, i, 0), ItemText(list, i, 1), ItemText(list, i, 2), ItemImage(list, i)});
    }
    return rows;
}

inline std::vector<std::wstring> Names(const std::vector<Row>& rows) {
    std::vector<std::wstring> names;
    for (const Row& row : rows) {
        names.push_back(row.name);
    }
    return names;
}

// Index of the first row named `name`, or -1.
inline int FindRow(HWND list, const std::wstring& name) {
    for (int i = 0; i < RowCount(list); ++i) {
        if (ItemText(list, i, 0) == name) {
            return i;
        }
    }
    return -1;
}

inline int ImageCount(HWND list) {
    auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0));
    return images != nullptr ? ImageList_GetImageCount(images) : -1;
}

inline void Drop(HWND target, const std::vector<std::wstring>& paths) {
    SendMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(paths)), 0);
}

// A menu item reaches its owner as WM_COMMAND with the item's id and no control.
inline void ChooseCommand(HWND page, UINT id) { SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

inline void SetSelectionMark(HWND list, int row) { SendMessageW(list, LVM_SETSELECTIONMARK, 0, row); }

// Sends the list's notification to its page, as the list does for clicks.
inline void NotifyFromList(HWND page, HWND list, UINT code) {
    NMITEMACTIVATE info = {};
    info.hdr.hwndFrom = list;
    info.hdr.idFrom = IDC_ENTRY_LIST;
    info.hdr.code = code;
    info.iItem = -1;
    SendMessageW(page, WM_NOTIFY, IDC_ENTRY_LIST, reinterpret_cast<LPARAM>(&info));
}

struct StartedProcess {
    std::wstring commandLine;
    bool hasApplicationName;
    WORD show;
    DWORD startupFlags;
};

// Records what would have been started through the shell-call table (ShellExecute, WinExec and
// CreateProcess) instead of starting it.
class StartRecorder : public ShellCallRecorder {
public:
    StartRecorder() {
        Processes().clear();
        AfxGetShellCalls().createProcess = &RecordCreateProcess;
    }

    static std::vector<StartedProcess>& Processes() {
        static std::vector<StartedProcess> processes;
        return processes;
    }
    // Everything recorded, of any kind.
    static size_t Total() { return Calls().size() + CommandLines().size() + Processes().size(); }

private:
    static BOOL WINAPI RecordCreateProcess(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES,
                                           LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCWSTR,
                                           LPSTARTUPINFOW startup, LPPROCESS_INFORMATION process) {
        Processes().push_back({commandLine != nullptr ? commandLine : L"", application != nullptr,
                               startup != nullptr ? startup->wShowWindow : WORD{0},
                               startup != nullptr ? startup->dwFlags : 0});
        if (process != nullptr) {
            *process = PROCESS_INFORMATION{};
        }
        return TRUE;
    }
};

// Watches every icon the shell hands out through the file-information query, to tell which of
// them are still alive.
class IconWatch {
public:
    IconWatch() : m_saved(AfxGetShellCalls().getFileInfo) {
        Icons().clear();
        AfxGetShellCalls().getFileInfo = &WatchGetFileInfo;
    }
    ~IconWatch() { AfxGetShellCalls().getFileInfo = m_saved; }
    IconWatch(const IconWatch&) = delete;
    IconWatch& operator=(const IconWatch&) = delete;

    // Icons handed out so far (a destroyed handle may come back for a later icon).
    static std::vector<HICON>& Icons() {
        static std::vector<HICON> icons;
        return icons;
    }
    static size_t HandedOut() { return Icons().size(); }
    // How many different handles among them are still icons now.
    static size_t Alive() {
        std::vector<HICON> distinct = Icons();
        std::sort(distinct.begin(), distinct.end());
        distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
        size_t alive = 0;
        for (HICON icon : distinct) {
            ICONINFO info = {};
            if (icon != nullptr && GetIconInfo(icon, &info)) {
                ++alive;
                DeleteObject(info.hbmMask);
                DeleteObject(info.hbmColor);
            }
        }
        return alive;
    }

private:
    static DWORD_PTR WINAPI WatchGetFileInfo(LPCWSTR path, DWORD attributes, SHFILEINFOW* info, UINT size,
                                             UINT flags) {
        const DWORD_PTR result = SHGetFileInfoW(path, attributes, info, size, flags);
        if ((flags & SHGFI_ICON) != 0 && info != nullptr && info->hIcon != nullptr) {
            Icons().push_back(info->hIcon);
        }
        return result;
    }

    DWORD_PTR(WINAPI* m_saved)(LPCWSTR, DWORD, SHFILEINFOW*, UINT, UINT);
};

}  // namespace harness
