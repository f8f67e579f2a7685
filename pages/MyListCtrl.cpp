#include "pages/MyListCtrl.h"

#include "framework/ScopedRedrawPause.h"
#include "pages/EntryPaths.h"
#include "pages/FileToolDlg.h"
#include "pages/LauncherList.h"

BEGIN_MESSAGE_MAP(CMyListCtrl, CListCtrl)
    ON_WM_DROPFILES()
    ON_WM_SETFOCUS()
END_MESSAGE_MAP()

namespace {

// The whole path of one dropped item, however long: a cut path would name another file.
CString DroppedPath(HDROP drop, UINT index) {
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    CString path;
    const UINT copied = DragQueryFileW(drop, index, path.GetBuffer(static_cast<int>(length)), length + 1);
    path.ReleaseBuffer(static_cast<int>(copied <= length ? copied : length));
    return path;
}

}  // namespace

// Called when files or folders from the shell are dropped on the list: one entry per item, in the
// order the shell lists them, none filtered.
void CMyListCtrl::OnDropFiles(HDROP drop) {
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (m_pOwnerPage != nullptr) {
        const CScopedRedrawPause quiet(m_pOwnerPage->m_list);
        for (UINT i = 0; i < count; ++i) {
            const CString path = DroppedPath(drop, i);
            const int image = m_pOwnerPage->AppendEntryIcon(path);
            InsertLauncherEntry(m_pOwnerPage->m_list, image, DisplayNameFromPath(path), image, path, nullptr);
        }
    }
    DragFinish(drop);
    Default();
}
