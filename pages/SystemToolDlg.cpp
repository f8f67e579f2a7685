#include "pages/SystemToolDlg.h"

#include "pages/EntryPaths.h"
#include "pages/LauncherList.h"
#include "pages/ShellIcons.h"

namespace {

constexpr wchar_t kPresetProgram[] = L"d://BigFoot.exe";

}  // namespace

CSystemToolDlg::CSystemToolDlg() : CDialog(IDD, nullptr) {}

// A window still up when the object goes is taken down while OnDestroy can still run, so that
// the image list is let go of before m_imageList would destroy it.
CSystemToolDlg::~CSystemToolDlg() { DestroyWindow(); }

// The list binds no notification and the page no command: it only displays its entry.
BEGIN_MESSAGE_MAP(CSystemToolDlg, CDialog)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

void CSystemToolDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_ENTRY_LIST, m_list);
}

// The preset program need not exist: its icon comes from the name's type alone.
BOOL CSystemToolDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    PrepareLauncherList(m_list, m_imageList);

    wchar_t path[kPathCapacity] = {};
    // cppcheck-suppress lstrcpynWCalled ; the source is always a valid string: no fault for SEH to hide
    lstrcpynW(path, kPresetProgram, kPathCapacity);
    AppendTypeIcon(m_imageList, path);  // the list is new, so the icon lands at index 0
    InsertLauncherEntry(m_list, 0, path, 0, path, nullptr);
    return TRUE;
}

// The page goes before its list does. The list's template does not share image lists, so the list
// destroys the one it holds; m_imageList lets go of that handle rather than destroy it a second
// time, when it may already name a newer list.
void CSystemToolDlg::OnDestroy() {
    if (ListView_GetImageList(m_list.m_hWnd, LVSIL_NORMAL) == m_imageList.GetSafeHandle()) {
        m_imageList.Detach();
    }
    CDialog::OnDestroy();
}
