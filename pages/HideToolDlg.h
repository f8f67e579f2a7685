// The "私人空间" page: two buttons that run the scripts which reveal and hide the private folder.
#pragma once

#include "controls/button/HoverButton.h"
#include "framework/AfxWin.h"
#include "res/resource.h"

// The scripts that reveal and hide the private folder, shipped beside the program.
inline constexpr wchar_t kOpenPrivateScript[] = L"systemopen.bat";
inline constexpr wchar_t kClosePrivateScript[] = L"systemclose.bat";
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

// The folder of the running program, without a trailing backslash.
CString ProgramFolder();
// Finds the file a bare program name stands for, in the order Windows looks for programs: the
// program's own folder, the current folder, the system folders, then the folders of PATH.
BOOL FindProgramFile(LPCWSTR name, LPCWSTR programFolder, CString& path);
// Starts a script by bare name, found as above, hidden and without waiting for it. A script that
// cannot be found or started is not reported.
void RunScriptHidden(LPCWSTR name);
