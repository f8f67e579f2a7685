// The "文件管理" page: one preset program entry, shown and nothing more.
#pragma once

#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"
#include "framework/MessageMap.h"
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
