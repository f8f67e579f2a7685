// The "常用软件" page: the programs linked from the user's desktop, plus what is dropped on it.
#pragma once

#include "framework/CmdUI.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/ImageList.h"
#include "framework/MessageMap.h"
#include "pages/ListOwnerPage.h"
#include "pages/MyListCtrl.h"
#include "pages/TypeIconCache.h"
#include "res/resource.h"

class CFileToolDlg : public CDialog, public CListOwnerPage {
public:
    enum { IDD = IDD_FILE_TOOL };

    CFileToolDlg();

    CMyListCtrl m_list;
    CImageList m_imageList;

    // Appends the large type icon of `path` to m_imageList; returns its index, or -1.
    int AppendEntryIcon(LPCWSTR path) override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    void LoadDesktopEntries();

    void OnUpdateEntryOpen(CCmdUI* cmdUI);
    void OnUpdateEntryLocate(CCmdUI* cmdUI);
    void OnUpdateEntryDelete(CCmdUI* cmdUI);
    void OnListRightClick(NMHDR* header, LRESULT* result);
    void OnListDoubleClick(NMHDR* header, LRESULT* result);
    void OnUpdateDesktopShortcut(CCmdUI* cmdUI);

    DECLARE_MESSAGE_MAP()

private:
    void OpenMarkedEntry();

    CTypeIconCache m_typeIcons;
};
