// The "私人空间" page: two buttons that run the scripts which reveal and hide the private folder.
#pragma once

#include "controls/button/HoverButton.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/MessageMap.h"
#include "pages/PrivateScripts.h"
#include "res/resource.h"

// Where the revealed folder appears.
inline constexpr wchar_t kPrivateLocation[] = L"k://";
// How long the opening script gets before the folder is announced and opened.
inline constexpr DWORD kOpenScriptHeadStartMs = 1000;

class CHideToolDlg : public CDialog {
public:
    enum { IDD = IDD_HIDE_TOOL };

    CHideToolDlg();

    CHoverButton m_btnOpen;
    CHoverButton m_btnClose;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    void OnOpenPrivateClicked();
    void OnClosePrivateClicked();

    DECLARE_MESSAGE_MAP()
};
