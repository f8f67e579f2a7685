// The create-password dialog. It keeps the password for the life of the process, in memory only.
#pragma once

#include "framework/Dialog.h"
#include "framework/MessageMap.h"
#include "framework/String.h"
#include "res/resource.h"

class CPasswdDlg : public CDialog {
public:
    enum { IDD = IDD_PASSWD };

    CPasswdDlg();

    CString m_strPassword;
    bool m_bPasswordSet = false;

protected:
    BOOL OnInitDialog() override;

    void OnOkClicked();
    void OnCancelClicked();

    DECLARE_MESSAGE_MAP()
};
