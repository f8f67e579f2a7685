// The enter-password prompt shown before the hidden window is restored.
#pragma once

#include "framework/Dialog.h"
#include "framework/MessageMap.h"
#include "framework/String.h"
#include "res/resource.h"

class CPasswdDlg;

// Caption of the prompt, as its template has it.
inline constexpr wchar_t kPasswordPromptTitle[] = L"请输入密码";

class CCheckPasswdDlg : public CDialog {
public:
    enum { IDD = IDD_CHECK_PASSWD };

    CCheckPasswdDlg();

    CPasswdDlg* m_pPasswdDlg = nullptr;
    bool m_bPassed = false;
    CString m_strInput;

protected:
    void OnOkClicked();
    void OnCancelClicked();

    DECLARE_MESSAGE_MAP()
};
