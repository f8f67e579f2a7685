// window_twin.exe: Dalvorin's window built with direct platform calls and nothing of ours: the
// program's own templates, menu bar, icons and background, the three pages inside the tab control,
// the tab's three icon items, the notification-area icon, the list registered as an OLE drop
// target, the desktop folder enumerated through the shell with the same work per shortcut (the
// file's head read, the link resolved, program targets kept, the type icon, the image add, the row
// with its texts), the hint row and the preset entry's type icon. What Dalvorin.exe takes beyond
// this twin is the cost of our own code.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>
#include "resource.h"

namespace {

constexpr wchar_t kTwinTitle[] = L"window twin";
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr int kPageLeft = 10;
constexpr int kPageTop = 30;
constexpr DWORD kShortcutHeaderSize = 0x4C;
constexpr DWORD kShortcutHeadBytes = kShortcutHeaderSize + 2 + 0xFFFF;
constexpr int kTargetCapacity = 1024;

struct TwinTab {
    const wchar_t* text;
    UINT icon;
    UINT page;
};

constexpr TwinTab kTabs[] = {
    {L"常用软件", IDI_TAB_COMMON, IDD_FILE_TOOL},
    {L"文件管理", IDI_TAB_FILES, IDD_SYSTEM_TOOL},
    {L"私人空间", IDI_TAB_PRIVATE, IDD_HIDE_TOOL},
};

HINSTANCE g_instance = nullptr;
NOTIFYICONDATAW g_tray = {};
HIMAGELIST g_tabImages = nullptr;
HIMAGELIST g_pageImages[2] = {};
bool g_oleStarted = false;
std::map<std::wstring, HICON> g_typeIcons;  // by lower-case extension

struct TwinEntry {
    std::wstring name;
    std::wstring path;
    std::wstring target;
    int image = -1;
};

// A drop target that refuses every drag: only its registration is measured.
class CRefusingDropTarget final : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }

private:
    ULONG m_references = 1;
};

HICON LoadOwnIcon(UINT id) { return LoadIconW(g_instance, MAKEINTRESOURCEW(id)); }

HWND PrepareList(HWND page, HIMAGELIST& images) {
    HWND list = GetDlgItem(page, IDC_ENTRY_LIST);
    images = ImageList_Create(32, 32, ILC_COLOR24 | ILC_MASK, 1, 256);
    ListView_SetImageList(list, images, LVSIL_NORMAL);
    const wchar_t* headings[] = {L"ID", L"NAME", L"path"};
    const int widths[] = {40, 50, 50};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.cx = widths[i];
        column.pszText = const_cast<wchar_t*>(headings[i]);
        ListView_InsertColumn(list, i, &column);
    }
    return list;
}

void InsertRow(HWND list, const wchar_t* name, int image, const wchar_t* path, const wchar_t* target) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = ListView_GetItemCount(list);
    item.pszText = const_cast<wchar_t*>(name);
    item.iImage = image;
    const int row = ListView_InsertItem(list, &item);
    if (row < 0)
        return;
    if (path != nullptr)
        ListView_SetItemText(list, row, 1, const_cast<wchar_t*>(path));
    if (target != nullptr)
        ListView_SetItemText(list, row, 2, const_cast<wchar_t*>(target));
}

// Whether the file starts as a shortcut does. Its head, up to the longest item id list a shortcut
// can hold, is read before the shell is asked to load the file.
bool StartsAsShortcut(const wchar_t* path) {
    static BYTE head[kShortcutHeadBytes];
    const HANDLE file =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD read = 0;
    const BOOL readOk = ReadFile(file, head, sizeof(head), &read, nullptr);
    CloseHandle(file);
    DWORD headerSize = 0;
    if (!readOk || read < sizeof(headerSize))
        return false;
    CopyMemory(&headerSize, head, sizeof(headerSize));
    return headerSize == kShortcutHeaderSize;
}

// The program a shortcut points at; empty when the file is no shortcut. COM is already started.
std::wstring ShortcutTarget(const wchar_t* path) {
    std::wstring target;
    if (!StartsAsShortcut(path))
        return target;
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t buffer[kTargetCapacity] = {};
        if (SUCCEEDED(file->Load(path, STGM_READ)) &&
            SUCCEEDED(link->GetPath(buffer, kTargetCapacity, nullptr, 0)))
            target = buffer;
        file->Release();
    }
    link->Release();
    return target;
}

// The shell gives every name of a type the same icon: it is asked once per extension.
int AddTypeIcon(HIMAGELIST images, const std::wstring& path) {
    std::wstring extension = PathFindExtensionW(path.c_str());
    CharLowerBuffW(extension.data(), static_cast<DWORD>(extension.size()));
    auto found = g_typeIcons.find(extension);
    if (found == g_typeIcons.end()) {
        SHFILEINFOW info = {};
        SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_USEFILEATTRIBUTES);
        found = g_typeIcons.emplace(extension, info.hIcon).first;
    }
    return ImageList_ReplaceIcon(images, -1, found->second);
}

// The item's file name in its folder, extension included.
std::wstring ItemName(IShellFolder* folder, LPCITEMIDLIST item) {
    std::wstring name;
    STRRET text = {};
    LPWSTR copy = nullptr;
    if (SUCCEEDED(folder->GetDisplayNameOf(item, SHGDN_INFOLDER | SHGDN_FORPARSING, &text)) &&
        SUCCEEDED(StrRetToStrW(&text, item, &copy)) && copy != nullptr) {
        name = copy;
        CoTaskMemFree(copy);
    }
    return name;
}

// Every shortcut on the desktop whose target is a program, found through the shell: its target
// resolved, its type icon added to the list's images, its row inserted.
void LoadDesktopRows(HWND list, HIMAGELIST images) {
    wchar_t desktopPath[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, desktopPath, CSIDL_DESKTOPDIRECTORY, FALSE);
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)))
        return;
    LPITEMIDLIST folderId = nullptr;
    IShellFolder* folder = nullptr;
    if (SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, desktopPath, nullptr, &folderId, nullptr))) {
        desktop->BindToObject(folderId, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder));
        CoTaskMemFree(folderId);
    }
    std::vector<TwinEntry> entries;
    IEnumIDList* items = nullptr;
    if (folder != nullptr && SUCCEEDED(folder->EnumObjects(nullptr, SHCONTF_NONFOLDERS, &items)) &&
        items != nullptr) {
        LPITEMIDLIST item = nullptr;
        while (items->Next(1, &item, nullptr) == S_OK) {
            TwinEntry entry;
            entry.name = ItemName(folder, item);
            CoTaskMemFree(item);
            entry.path = std::wstring(desktopPath) + L"\\" + entry.name;
            if (entry.name.empty() || entry.path.size() >= MAX_PATH)
                continue;
            entry.target = ShortcutTarget(entry.path.c_str());
            if (entry.target.find(L".exe") == std::wstring::npos)
                continue;
            entry.image = AddTypeIcon(images, entry.path);
            entries.push_back(std::move(entry));
        }
        items->Release();
    }
    if (folder != nullptr)
        folder->Release();
    desktop->Release();

    // Offered to the sorted list from the last name to the first, so each lands at the top.
    std::sort(entries.begin(), entries.end(), [](const TwinEntry& a, const TwinEntry& b) {
        return lstrcmpW(a.name.c_str(), b.name.c_str()) > 0;
    });
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (const TwinEntry& entry : entries)
        InsertRow(list, entry.name.c_str(), entry.image, entry.path.c_str(), entry.target.c_str());
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

INT_PTR CALLBACK FileToolProc(HWND page, UINT message, WPARAM, LPARAM) {
    if (message == WM_DESTROY)
        RevokeDragDrop(GetDlgItem(page, IDC_ENTRY_LIST));
    if (message != WM_INITDIALOG)
        return FALSE;
    HWND list = PrepareList(page, g_pageImages[0]);
    g_oleStarted = SUCCEEDED(OleInitialize(nullptr));
    if (g_oleStarted) {
        auto* target = new CRefusingDropTarget;
        RegisterDragDrop(list, target);
        target->Release();
    }
    LoadDesktopRows(list, g_pageImages[0]);
    const int hint = ImageList_ReplaceIcon(g_pageImages[0], -1, LoadOwnIcon(IDI_DRAG_HINT));
    InsertRow(list, L"可拖拽显示", hint, nullptr, nullptr);
    return TRUE;
}

INT_PTR CALLBACK SystemToolProc(HWND page, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG)
        return FALSE;
    HWND list = PrepareList(page, g_pageImages[1]);
    SHFILEINFOW info = {};
    SHGetFileInfoW(L"d://BigFoot.exe", 0, &info, sizeof(info), SHGFI_ICON | SHGFI_USEFILEATTRIBUTES);
    const int image = ImageList_ReplaceIcon(g_pageImages[1], -1, info.hIcon);
    if (info.hIcon != nullptr)
        DestroyIcon(info.hIcon);
    InsertRow(list, L"d://BigFoot.exe", image, L"d://BigFoot.exe", nullptr);
    return TRUE;
}

// Owner-drawn icon buttons, as the private page and the Start button are.
void DrawIconButton(const DRAWITEMSTRUCT& draw) {
    FillRect(draw.hDC, &draw.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(draw.hDC, const_cast<RECT*>(&draw.rcItem), EDGE_RAISED, BF_RECT);
    auto icon = reinterpret_cast<HICON>(GetWindowLongPtrW(draw.hwndItem, GWLP_USERDATA));
    DrawIconEx(draw.hDC, draw.rcItem.left + 4, draw.rcItem.top + 4, icon, 0, 0, 0, nullptr, DI_NORMAL);
    wchar_t text[64] = {};
    GetWindowTextW(draw.hwndItem, text, 64);
    RECT textRect = draw.rcItem;
    textRect.left += 40;
    SetBkMode(draw.hDC, TRANSPARENT);
    DrawTextW(draw.hDC, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
}

void ForgetIconButton(HWND button) {
    auto icon = reinterpret_cast<HICON>(GetWindowLongPtrW(button, GWLP_USERDATA));
    if (icon != nullptr)
        DestroyIcon(icon);
}

void MakeIconButton(HWND button, UINT iconId) {
    auto icon = static_cast<HICON>(
        LoadImageW(g_instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    SetWindowLongPtrW(button, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(icon));
    SendMessageW(button, BM_SETSTYLE, BS_OWNERDRAW, TRUE);
}

INT_PTR CALLBACK HideToolProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        MakeIconButton(GetDlgItem(page, IDC_OPEN_PRIVATE), IDI_OPEN_PRIVATE);
        MakeIconButton(GetDlgItem(page, IDC_CLOSE_PRIVATE), IDI_CLOSE_PRIVATE);
        return TRUE;
    }
    if (message == WM_DRAWITEM) {
        DrawIconButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    }
    if (message == WM_DESTROY) {
        ForgetIconButton(GetDlgItem(page, IDC_OPEN_PRIVATE));
        ForgetIconButton(GetDlgItem(page, IDC_CLOSE_PRIVATE));
    }
    return FALSE;
}

void InitMainWindow(HWND dialog) {
    HMENU systemMenu = GetSystemMenu(dialog, FALSE);
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, 0x10, L"关于 Dalvorin(&A)...");
    HICON icon = LoadOwnIcon(IDR_MAINFRAME);
    SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    SetWindowTextW(dialog, kTwinTitle);

    g_tray.cbSize = sizeof(g_tray);
    g_tray.hWnd = dialog;
    g_tray.uID = 1;
    g_tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    g_tray.uCallbackMessage = kTrayMessage;
    g_tray.hIcon = icon;
    lstrcpynW(g_tray.szTip, kTwinTitle, ARRAYSIZE(g_tray.szTip));
    Shell_NotifyIconW(NIM_ADD, &g_tray);

    HWND tab = GetDlgItem(dialog, IDC_TAB);
    g_tabImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2);
    TabCtrl_SetImageList(tab, g_tabImages);
    SetWindowLongPtrW(tab, GWL_STYLE, GetWindowLongPtrW(tab, GWL_STYLE) | WS_CLIPCHILDREN);
    const DLGPROC pageProcs[] = {FileToolProc, SystemToolProc, HideToolProc};
    HWND firstPage = nullptr;
    for (int i = 0; i < 3; ++i) {
        HWND page = CreateDialogParamW(g_instance, MAKEINTRESOURCEW(kTabs[i].page), tab, pageProcs[i], 0);
        if (i == 0)
            firstPage = page;
        ImageList_ReplaceIcon(g_tabImages, -1, LoadOwnIcon(kTabs[i].icon));
        TCITEMW item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = const_cast<wchar_t*>(kTabs[i].text);
        item.iImage = i;
        TabCtrl_InsertItem(tab, i, &item);
    }
    RECT client;
    GetClientRect(dialog, &client);
    SetWindowPos(firstPage, nullptr, kPageLeft, kPageTop, client.right - 21, client.bottom - 42,
                 SWP_SHOWWINDOW);
    SetDlgItemTextW(dialog, IDC_SEARCH_EDIT, L"百度我是你大爷");
    MakeIconButton(GetDlgItem(dialog, IDC_START_BUTTON), IDI_START);
}

void PaintBackground(HWND dialog) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    HBITMAP pattern = LoadBitmapW(g_instance, MAKEINTRESOURCEW(IDB_BACKGROUND));
    HBRUSH brush = CreatePatternBrush(pattern);
    HGDIOBJ old = SelectObject(dc, brush);
    Rectangle(dc, 0, 0, 800, 600);
    SelectObject(dc, old);
    DeleteObject(brush);
    DeleteObject(pattern);
    EndPaint(dialog, &paint);
}

INT_PTR CALLBACK MainProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            InitMainWindow(dialog);
            return TRUE;
        case WM_PAINT:
            PaintBackground(dialog);
            return TRUE;
        case WM_DRAWITEM:
            DrawIconButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL)
                EndDialog(dialog, IDCANCEL);
            return TRUE;
        case WM_CLOSE:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case WM_DESTROY:
            Shell_NotifyIconW(NIM_DELETE, &g_tray);
            ForgetIconButton(GetDlgItem(dialog, IDC_START_BUTTON));
            return FALSE;
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    g_instance = instance;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const INT_PTR result =
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_DALVORIN_DIALOG), nullptr, MainProc, 0);
    if (g_tabImages != nullptr)
        ImageList_Destroy(g_tabImages);
    if (g_pageImages[0] != nullptr)
        ImageList_Destroy(g_pageImages[0]);  // shared with its list; the second list owns its own
    for (const auto& [extension, icon] : g_typeIcons) {
        if (icon != nullptr)
            DestroyIcon(icon);
    }
    if (g_oleStarted)
        OleUninitialize();
    return static_cast<int>(result);
}
