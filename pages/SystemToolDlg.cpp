#include "pages/SystemToolDlg.h"

#include "pages/EntryPaths.h"
#include "pages/LauncherList.h"
#include "pages/ShellIcons.h"

namespace {

constexpr wchar_t kPresetProgram[] = L"d://BigFoot.exe";

}  // namespace

CSystemToolDlg::CSystemToolDlg() : CDialog(IDD, nullptr) {}

// The list binds no notification and the page no command: it only displays its entry.
BEGIN_MESSAGE_MAP(CSystemToolDlg, CDialog)
END_MESSAGE_MAP()

void CSystemToolDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_ENTRY_LIST, m_list);
}

// Called once when the page window is made by the main window. The preset program need not exist:
// its icon comes from the name's type alone.
BOOL CSystemToolDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    PrepareLauncherList(m_list, m_imageList);

    wchar_t path[kPathCapacity] = {};
    lstrcpynW(path, kPresetProgram, kPathCapacity);
    AppendTypeIcon(m_imageList, path);  // the list is new, so the icon lands at index 0
    InsertLauncherEntry(m_list, 0, path, 0, path, nullptr);
    return TRUE;
}
