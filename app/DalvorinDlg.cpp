#include "app/DalvorinDlg.h"

#include "app/SearchAddress.h"

NOTIFYICONDATAW g_trayIcon = {};

namespace {

// The tab pages sit inside the tab control, below the tab row.
constexpr int kPageLeft = 10;
constexpr int kPageTop = 30;

struct TabPage {
    const wchar_t* text;
    UINT iconId;
};

constexpr TabPage kTabPages[] = {
    {L"常用软件", IDI_TAB_COMMON},
    {L"文件管理", IDI_TAB_FILES},
    {L"私人空间", IDI_TAB_PRIVATE},
};

HICON LoadResourceIcon(UINT id) { return LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id)); }

}  // namespace

CDalvorinDlg::CDalvorinDlg() : CDialog(IDD, nullptr) { m_hIcon = LoadResourceIcon(IDR_MAINFRAME); }

BEGIN_MESSAGE_MAP(CDalvorinDlg, CDialog)
    ON_EN_CHANGE(IDC_SEARCH_EDIT, &CDalvorinDlg::OnSearchTextChange)
    ON_NOTIFY(TCN_SELCHANGE, IDC_TAB, &CDalvorinDlg::OnTabSelChange)
    ON_BN_CLICKED(IDC_SEARCH_BUTTON, &CDalvorinDlg::OnSearchClicked)
    ON_WM_SIZE()
END_MESSAGE_MAP()

void CDalvorinDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_TAB, m_tab);
    DDX_Control(dx, IDC_START_BUTTON, m_startButton);
}

// Called once when the window is made, before it is first shown.
BOOL CDalvorinDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    AddSystemMenuAboutEntry();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    SetWindowText(kMainWindowTitle);
    AddTrayIcon();

    HICON tabIcons[3];
    for (int i = 0; i < 3; ++i) {
        tabIcons[i] = LoadResourceIcon(kTabPages[i].iconId);
    }
    if (!m_tabImages.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2)) {
        return -1;  // the dialog is still shown, without pages
    }
    m_tabImages.Add(tabIcons[0]);
    m_tab.SetImageList(&m_tabImages);

    const UINT tabMask = TCIF_TEXT | TCIF_IMAGE;
    m_fileToolPage.Create(CFileToolDlg::IDD, &m_tab);
    m_tab.InsertItem(tabMask, 0, kTabPages[0].text, 0, 0);

    m_systemToolPage.Create(CSystemToolDlg::IDD, &m_tab);
    m_tabImages.Add(tabIcons[1]);
    m_tab.InsertItem(tabMask, 1, kTabPages[1].text, 1, 0);

    m_hideToolPage.Create(CHideToolDlg::IDD, &m_tab);
    m_tabImages.Add(tabIcons[2]);
    m_tab.InsertItem(tabMask, 2, kTabPages[2].text, 2, 0);

    // The first placement is sized from the dialog's own client area; later tab changes size
    // every page from the tab control's.
    RECT client;
    GetClientRect(&client);
    m_fileToolPage.SetWindowPos(nullptr, kPageLeft, kPageTop, client.right - 21, client.bottom - 42,
                                SWP_SHOWWINDOW);

    SetDlgItemText(IDC_SEARCH_EDIT, kInitialSearchText);
    return TRUE;
}

void CDalvorinDlg::AddSystemMenuAboutEntry() {
    CMenu* systemMenu = GetSystemMenu(FALSE);
    if (systemMenu == nullptr) {
        return;
    }
    CString aboutText;
    aboutText.LoadString(IDS_ABOUTBOX);
    if (!aboutText.IsEmpty()) {
        systemMenu->AppendMenu(MF_SEPARATOR);
        systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, aboutText);
    }
}

void CDalvorinDlg::AddTrayIcon() {
    g_trayIcon.cbSize = sizeof(NOTIFYICONDATAW);
    g_trayIcon.hWnd = m_hWnd;
    g_trayIcon.uID = kTrayIconId;
    g_trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    g_trayIcon.uCallbackMessage = WM_TRAYNOTIFY;
    g_trayIcon.hIcon = LoadResourceIcon(IDR_MAINFRAME);
    lstrcpynW(g_trayIcon.szTip, kMainWindowTitle, ARRAYSIZE(g_trayIcon.szTip));
    Shell_NotifyIconW(NIM_ADD, &g_trayIcon);  // a missing notification area is not an error here
}

// Typing alone does nothing: the search runs when the button is clicked.
void CDalvorinDlg::OnSearchTextChange() {}

// Called when the user picks another tab.
void CDalvorinDlg::OnTabSelChange(NMHDR*, LRESULT* result) {
    RECT tabClient;
    m_tab.GetClientRect(&tabClient);
    const int selection = static_cast<int>(m_tab.SendMessage(TCM_GETCURSEL, 0, 0));
    if (selection >= 0 && selection <= 2) {
        PlacePages(selection, tabClient);
    }
    *result = 0;
}

void CDalvorinDlg::PlacePages(int visiblePage, const RECT& tabClient) {
    CDialog* pages[] = {&m_fileToolPage, &m_systemToolPage, &m_hideToolPage};
    for (int i = 0; i < 3; ++i) {
        const UINT flags = i == visiblePage ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
        pages[i]->SetWindowPos(nullptr, kPageLeft, kPageTop, tabClient.right - 20, tabClient.bottom - 40,
                               flags);
    }
}

// Called when the search button is clicked: opens the results page in the default browser.
void CDalvorinDlg::OnSearchClicked() {
    wchar_t address[kSearchAddressCapacity] = {};
    CString text;
    GetDlgItemText(IDC_SEARCH_EDIT, text);
    ComposeSearchAddress(text, address, kSearchAddressCapacity);
    AfxShellExecute(m_hWnd, L"open", address, nullptr, nullptr,
                    SW_SHOWNORMAL);  // no browser: nothing to report
}

// Called when the window changes size; a minimised window disappears into the notification area.
void CDalvorinDlg::OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    if (type == SIZE_MINIMIZED) {
        ShowWindow(SW_HIDE);
    }
}
