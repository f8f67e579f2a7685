// The list of the "常用软件" page: takes files dropped from the shell and adds them as entries.
#pragma once

#include "framework/AfxWin.h"

class CFileToolDlg;

class CMyListCtrl : public CListCtrl {
public:
    // The page that holds this list as its m_list; set by the page before anything can be dropped.
    CFileToolDlg* m_pOwnerPage = nullptr;

protected:
    void OnDropFiles(HDROP drop);

    DECLARE_MESSAGE_MAP()
};
