#include "pages/FileToolDlg.h"

#include "framework/ComInitScope.h"
#include "framework/InterfacePtr.h"
#include "framework/Menu.h"
#include "framework/Module.h"
#include "framework/ScopedRedrawPause.h"
#include "framework/ShellCalls.h"
#include "framework/String.h"
#include "framework/TaskMemory.h"
#include "pages/EntryPaths.h"
#include "pages/LauncherList.h"
#include "pages/ShortcutFiles.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

constexpr wchar_t kHintText[] = L"可拖拽显示";

// A program shortcut found on the desktop, waiting for its row.
struct CDesktopEntry {
    CString name;
    CString path;
    CString target;
    int image = -1;
};

// The item's name in its folder as a file name, extension included. The find data of an item
// would carry its ANSI name on some systems, which turns characters outside the code page into '?'.
CString ItemFileName(IShellFolder* folder, PCUITEMID_CHILD item) {
    STRRET name = {};
    if (FAILED(folder->GetDisplayNameOf(item, SHGDN_INFOLDER | SHGDN_FORPARSING, &name))) {
        return {};
    }
    CTaskMemory<wchar_t> text;
    if (FAILED(StrRetToStrW(&name, item, text.Receive())) || text.Get() == nullptr) {
        return {};
    }
    return CString(text.Get());
}

// The file-system folder of the current user's desktop, bound as a shell folder; empty on failure.
CInterfacePtr<IShellFolder> BindDesktopDirectory(wchar_t (&path)[kPathCapacity]) {
    CInterfacePtr<IShellFolder> result;
    // On failure the path stays empty, and the parse below fails.
    SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE);
    CInterfacePtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.Receive()))) {
        return result;
    }
    CTaskMemory<ITEMIDLIST> folderId;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, path, nullptr, folderId.Receive(), nullptr))) {
        return result;
    }
    if (FAILED(desktop->BindToObject(folderId.Get(), nullptr, IID_IShellFolder, result.ReceiveVoid()))) {
        result.Reset();
    }
    return result;
}

}  // namespace

CFileToolDlg::CFileToolDlg() : CDialog(IDD, nullptr) {}

BEGIN_MESSAGE_MAP(CFileToolDlg, CDialog)
    ON_UPDATE_COMMAND_UI(ID_ENTRY_OPEN, &CFileToolDlg::OnUpdateEntryOpen)
    ON_UPDATE_COMMAND_UI(ID_ENTRY_LOCATE, &CFileToolDlg::OnUpdateEntryLocate)
    ON_UPDATE_COMMAND_UI(ID_ENTRY_DELETE, &CFileToolDlg::OnUpdateEntryDelete)
    ON_NOTIFY(NM_RCLICK, IDC_ENTRY_LIST, &CFileToolDlg::OnListRightClick)
    ON_NOTIFY(NM_DBLCLK, IDC_ENTRY_LIST, &CFileToolDlg::OnListDoubleClick)
    ON_UPDATE_COMMAND_UI(ID_DESKTOP_SHORTCUT, &CFileToolDlg::OnUpdateDesktopShortcut)
END_MESSAGE_MAP()

void CFileToolDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_ENTRY_LIST, m_list);
}

BOOL CFileToolDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    PrepareLauncherList(m_list, m_imageList);
    m_list.m_pOwnerPage = this;
    m_list.AcceptShellDrops();
    LoadDesktopEntries();
    return TRUE;
}

int CFileToolDlg::AppendEntryIcon(LPCWSTR path) { return m_typeIcons.Append(m_imageList, path); }

// Lists every shortcut on the user's desktop whose target path contains ".exe" (exactly so, in
// lower case), then the hint row. A failure before the enumeration leaves the list empty.
void CFileToolDlg::LoadDesktopEntries() {
    // One apartment for the whole scan: each resolve below nests inside it instead of starting COM
    // up and tearing it down again.
    CComInitScope com;

    wchar_t desktopPath[kPathCapacity] = {};
    CInterfacePtr<IShellFolder> folder = BindDesktopDirectory(desktopPath);
    if (!folder) {
        return;
    }
    CInterfacePtr<IEnumIDList> items;
    if (FAILED(folder->EnumObjects(nullptr, SHCONTF_NONFOLDERS, items.Receive()))) {
        return;
    }

    // Rows are gathered first and offered to the sorted list in descending order of their names: a
    // sorted list may look for each new row's place from its top, and then every row lands at once.
    std::vector<CDesktopEntry> entries;
    CTaskMemory<ITEMIDLIST> item;
    while (items && items->Next(1, item.Receive(), nullptr) == S_OK) {
        CDesktopEntry entry;
        entry.name = ItemFileName(folder.Get(), item.Get());
        if (entry.name.IsEmpty() || !JoinItemPath(desktopPath, entry.name, entry.path)) {
            continue;  // a path that does not fit is skipped rather than cut
        }
        entry.target = ResolveShortcutTarget(entry.path);
        if (entry.target.Find(L".exe") < 0) {
            continue;  // not a shortcut, or not to a program
        }
        entry.image = AppendEntryIcon(entry.path);
        entries.push_back(std::move(entry));
    }
    // The scan is over: the shell's objects go now rather than after the rows are drawn.
    item.Reset();
    items.Reset();
    folder.Reset();

    std::sort(entries.begin(), entries.end(),
              [](const CDesktopEntry& a, const CDesktopEntry& b) { return lstrcmpW(a.name, b.name) > 0; });
    const CScopedRedrawPause quiet(m_list);
    for (const CDesktopEntry& entry : entries) {
        InsertLauncherEntry(m_list, entry.image, entry.name, entry.image, entry.path, entry.target);
    }

    HICON hint = LoadIconW(AfxFindResourceHandle(MAKEINTRESOURCEW(IDI_DRAG_HINT), RT_GROUP_ICON),
                           MAKEINTRESOURCEW(IDI_DRAG_HINT));  // shared: not destroyed
    // The hint shows the picture its own add made: an entry whose icon could not be added leaves
    // no image behind, so counting on from the entries would point at another entry's picture.
    const int hintImage = m_imageList.Add(hint);
    InsertLauncherEntry(m_list, hintImage, kHintText, hintImage, nullptr, nullptr);
}

// The entry commands act on the list's selection mark: the entry most recently selected or
// focused, -1 (empty texts) when there was none.

// "打开" starts the shortcut's target, or opens the file itself.
void CFileToolDlg::OnUpdateEntryOpen(CCmdUI*) { OpenMarkedEntry(); }

void CFileToolDlg::OpenMarkedEntry() {
    const CString path = m_list.GetItemText(m_list.GetSelectionMark(), 1);
    CString file = ResolveShortcutTarget(path);
    if (file.IsEmpty()) {
        file = path;
    }
    AfxShellExecute(m_hWnd, L"open", file, nullptr, nullptr, SW_SHOWNORMAL);  // failures are not reported
}

// "定位文件" shows the entry's file selected in the file manager.
void CFileToolDlg::OnUpdateEntryLocate(CCmdUI*) {
    const CString path = m_list.GetItemText(m_list.GetSelectionMark(), 1);
    AfxWinExecW(LocateCommandLine(path), SW_SHOWNORMAL);  // failures are not reported
}

// "删除图标" removes the row only; its image and the file stay.
void CFileToolDlg::OnUpdateEntryDelete(CCmdUI*) { m_list.DeleteItem(m_list.GetSelectionMark()); }

// "创建桌面快捷方式" puts the entry's shortcut file back if it is missing.
void CFileToolDlg::OnUpdateDesktopShortcut(CCmdUI*) {
    const int row = m_list.GetSelectionMark();
    const CString path = m_list.GetItemText(row, 1);
    const CString target = m_list.GetItemText(row, 2);
    // Dropped rows and the hint have no target: a link to nothing would only be litter. The save
    // replaces whatever is at the path, so it runs only where nothing is. A path too long for the
    // existence check is left alone.
    if (target.IsEmpty() || path.GetLength() >= kPathCapacity || PathFileExistsW(path)) {
        return;
    }
    CreateShortcutFile(target, path);
}

// The entry menu shows at the cursor, wherever in the list the click was. The chosen command comes
// back to this page once the menu has closed.
void CFileToolDlg::OnListRightClick(NMHDR*, LRESULT* result) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    CMenu menu;
    if (menu.LoadMenu(IDR_ENTRY_MENU)) {
        CMenu* popup = menu.GetSubMenu(0);
        if (popup != nullptr) {
            popup->TrackPopupMenu(TPM_RIGHTBUTTON, cursor.x, cursor.y, m_hWnd);
        }
    }
    *result = 0;
}

// Wherever in the list the double click was, the marked entry opens.
void CFileToolDlg::OnListDoubleClick(NMHDR*, LRESULT* result) {
    OpenMarkedEntry();
    *result = 0;
}
