// The main window: search box, tab control with the three pages, Start button, notification-area
// icon with its password gate.
#pragma once

#include "app/SingleInstance.h"
#include "app/TrayIcon.h"
#include "controls/button/HoverButton.h"
#include "framework/CmdUI.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/ImageList.h"
#include "framework/MessageMap.h"
#include "framework/TabCtrl.h"
#include "pages/FileToolDlg.h"
#include "pages/HideToolDlg.h"
#include "pages/SystemToolDlg.h"
#include "password/CheckPasswdDlg.h"
#include "password/PasswdDlg.h"
#include "res/resource.h"

// Notification-area callback message and icon id.
inline constexpr UINT WM_TRAYNOTIFY = WM_USER + 10;
inline constexpr UINT kTrayIconId = 128;
// The main window's timer that retries an icon the shell did not take.
inline constexpr UINT_PTR kTrayRetryTimerId = 1;
// Posted by the main window to itself: a restore refused until the password prompt has run, and
// the end of its initialisation.
inline constexpr UINT kGatedRestoreMessage = WM_APP + 1;
inline constexpr UINT kWindowReadyMessage = WM_APP + 2;

// Title of the main window and tooltip of the notification-area icon.
inline constexpr wchar_t kMainWindowTitle[] = L"Nivvo桌面管理";
inline constexpr wchar_t kInitialSearchText[] = L"百度我是你大爷";
// The one item of the notification-area menu; it ends the program.
inline constexpr wchar_t kTrayCloseText[] = L"关闭Nivvo";

class CDalvorinDlg : public CDialog {
public:
    enum { IDD = IDD_DALVORIN_DIALOG };

    CDalvorinDlg();
    ~CDalvorinDlg() override;

    // Asks the main window to show itself through the password gate, as a double click on its
    // notification-area icon does; a second start of the program sends it.
    static UINT RestoreRequestMessage();

    // Once its initialisation is over, the window is published in `instance` (when that holds the
    // program's place), so that a later start can hand its request over.
    void PublishWhenReady(CSingleInstance* instance) { m_instance = instance; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT id, LPARAM lParam);
    BOOL OnQueryOpen();
    LRESULT OnGatedRestore(WPARAM, LPARAM);
    LRESULT OnWindowReady(WPARAM, LPARAM);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSearchTextChange();
    void OnDropFiles(HDROP drop);
    LRESULT OnTrayNotify(WPARAM iconId, LPARAM mouseMessage);
    void OnTabSelChange(NMHDR* header, LRESULT* result);
    void OnUpdateCreatePassword(CCmdUI* command);
    void OnSearchClicked();
    void OnSize(UINT type, int cx, int cy);
    void OnStartClicked();
    LRESULT OnTaskbarCreated(WPARAM, LPARAM);
    LRESULT OnRestoreRequest(WPARAM, LPARAM);
    void OnTimer(UINT_PTR id);
    void OnSysColorChange();
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

public:
    HICON m_hIcon = nullptr;
    CFileToolDlg m_fileToolPage;
    CSystemToolDlg m_systemToolPage;
    CHideToolDlg m_hideToolPage;
    CTabCtrl m_tab;
    CImageList m_tabImages;
    CPasswdDlg m_passwdDlg;
    CCheckPasswdDlg m_checkPasswdDlg;
    CHoverButton m_startButton;
    CTrayIcon m_trayIcon{kTrayIconId, WM_TRAYNOTIFY, kTrayRetryTimerId};

    // A page is one row of kTabPages (its tab's text and icon, its template, the member that holds
    // it) and its class; the rows' order is the tabs' order and the order the pages are made in.
    struct TabPage {
        const wchar_t* text;
        UINT iconId;
        UINT templateId;
        CDialog& (*page)(CDalvorinDlg& window);
    };
    static const TabPage kTabPages[];  // defined beside the dialog's code

private:
    void AddSystemMenuAboutEntry();
    void AddTrayIcon();
    void SetUpStartButton();
    // Makes the pages and their tabs from kTabPages, and shows the first; false without them.
    bool CreatePages();
    // Places every page inside the tab control, showing the one at `visiblePage`.
    void PlacePages(int visiblePage, const RECT& tabClient);
    void DrawMinimisedIcon();
    void RestoreThroughPasswordGate();
    bool PassPasswordGate();
    bool IsPasswordPromptOpen() const;
    bool IsShownNormally() const;
    bool BringOpenDialogForward();
    void ShowAndActivate();
    void ShowTrayMenu();
    void AllowRequestsThroughFilter();

    CSingleInstance* m_instance = nullptr;
    // Set while the window is being restored after the gate was passed: that restore goes through.
    bool m_restorePassedGate = false;
    bool m_gatedRestorePosted = false;
};
