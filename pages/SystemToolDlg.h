// The "文件管理" page: one preset program entry, shown and nothing more.
#pragma once

#include "framework/AfxWin.h"
#include "res/resource.h"

class CSystemToolDlg : public CDialog {
public:
    enum { IDD = IDD_SYSTEM_TOOL };

    CSystemToolDlg();
    ~CSystemToolDlg() override;

    CListCtrl m_list;
    CImageList m_imageList;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnDestroy();

    DECLARE_MESSAGE_MAP()
};
