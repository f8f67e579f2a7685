#include "pages/MyListCtrl.h"

#include "framework/DropBlock.h"
#include "framework/MessageFilter.h"
#include "framework/ScopedRedrawPause.h"
#include "framework/String.h"
#include "pages/EntryPaths.h"
#include "pages/LauncherList.h"
#include "pages/ListDropTarget.h"
#include "pages/ListOwnerPage.h"

BEGIN_MESSAGE_MAP(CMyListCtrl, CListCtrl)
    ON_WM_DROPFILES()
    ON_WM_SETFOCUS()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

// A window registered with RegisterDragDrop gets a shell drag through its drop target only: the
// shell falls back to WM_DROPFILES just for windows without one (Windows and Wine alike), so one
// drop never reaches both handlers. Keeping the accept-files style serves programs that still post
// WM_DROPFILES themselves, and the elevated case below.
void CMyListCtrl::AcceptShellDrops() {
    AllowDropMessagesThroughFilter(m_hWnd);
    // Started as administrator under a shell of lower integrity: OLE drags from it cannot reach
    // us, and registering would stop the WM_DROPFILES the message filter now lets through.
    if (m_dropTarget || IsShellBelowOurIntegrity()) {
        return;
    }
    // RegisterDragDrop needs OLE on this thread (single-threaded); a nested start answers S_FALSE,
    // which counts once too and is balanced when the scope ends in RevokeDropTarget.
    m_ole.emplace();
    if (!m_ole->Succeeded()) {
        m_ole.reset();
        return;
    }
    m_dropTarget = AfxMakeComObject<CListDropTarget>(*this, m_hWnd);
    if (FAILED(RegisterDragDrop(m_hWnd, m_dropTarget.Get()))) {
        // Not revoked: a registration that is there already belongs to someone else.
        m_dropTarget.Reset();
        m_ole.reset();
    }
}

// The target is let go before OLE ends, as every object OLE has seen must be.
void CMyListCtrl::RevokeDropTarget() {
    if (m_dropTarget) {
        RevokeDragDrop(m_hWnd);
        m_dropTarget.Reset();
    }
    m_ole.reset();
}

void CMyListCtrl::AddDroppedFiles(HDROP drop) {
    if (m_pOwnerPage == nullptr || drop == nullptr) {
        return;
    }
    const CDropBlock block(drop);
    const UINT count = block.GetFileCount();
    const CScopedRedrawPause quiet(*this);
    for (UINT i = 0; i < count; ++i) {
        const CString path = block.GetFilePath(i);
        const int image = m_pOwnerPage->AppendEntryIcon(path);
        InsertLauncherEntry(*this, image, DisplayNameFromPath(path), image, path, nullptr);
    }
}

void CMyListCtrl::OnDropFiles(HDROP drop) {
    AddDroppedFiles(drop);
    DragFinish(drop);
    Default();
}

void CMyListCtrl::OnDestroy() {
    RevokeDropTarget();
    CListCtrl::OnDestroy();
}
