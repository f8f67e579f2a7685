#include "app/DalvorinDlg.h"

#include "app/AboutDlg.h"
#include "app/MenuForegroundScope.h"
#include "app/SearchAddress.h"
#include "framework/Dc.h"
#include "framework/DropBlock.h"
#include "framework/Exception.h"
#include "framework/GdiObject.h"
#include "framework/Icon.h"
#include "framework/Menu.h"
#include "framework/MessageFilter.h"
#include "framework/Module.h"
#include "framework/ScopedSelect.h"
#include "framework/ShellCalls.h"
#include "framework/String.h"
#include "framework/Wnd.h"

#include <iterator>
#include <utility>

namespace {

// The tab pages sit inside the tab control, below the tab row.
constexpr int kPageLeft = 10;
constexpr int kPageTop = 30;

// The first placement is sized from the dialog's client area, later ones from the tab control's.
constexpr int kFirstPageWidthInset = 21;
constexpr int kFirstPageHeightInset = 42;
constexpr int kPageWidthInset = 20;
constexpr int kPageHeightInset = 40;

constexpr int kTabIconSize = 16;
constexpr int kTabImagesGrowBy = 2;

// The background pattern fills this rectangle from the client origin, whatever the window's size.
constexpr int kBackgroundWidth = 800;
constexpr int kBackgroundHeight = 600;

// System-menu commands carry flags in their low four bits.
constexpr UINT kSystemCommandMask = 0xFFF0;

// What the shell broadcasts to every top-level window when it (re)starts.
constexpr wchar_t kTaskbarCreatedMessageName[] = L"TaskbarCreated";
constexpr wchar_t kRestoreRequestMessageName[] = L"Dalvorin.Nivvo.RestoreRequest";

HICON LoadResourceIcon(UINT id) { return LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id)); }

BOOL CALLBACK ForwardSysColorChange(HWND child, LPARAM) {
    return AfxCallGuarded(child, TRUE, [child] {
        SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
        return TRUE;
    });
}

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(kTaskbarCreatedMessageName);
    return message;
}

}  // namespace

const CDalvorinDlg::TabPage CDalvorinDlg::kTabPages[] = {
    {L"常用软件", IDI_TAB_COMMON, CFileToolDlg::IDD,
     [](CDalvorinDlg& window) -> CDialog& {
         return window.m_fileToolPage;
     }},
    {L"文件管理", IDI_TAB_FILES, CSystemToolDlg::IDD,
     [](CDalvorinDlg& window) -> CDialog& {
         return window.m_systemToolPage;
     }},
    {L"私人空间", IDI_TAB_PRIVATE, CHideToolDlg::IDD,
     [](CDalvorinDlg& window) -> CDialog& {
         return window.m_hideToolPage;
     }},
};

namespace {

constexpr int kPageCount = static_cast<int>(std::size(CDalvorinDlg::kTabPages));

}  // namespace

CDalvorinDlg::CDalvorinDlg() : CDialog(IDD, nullptr) { m_hIcon = LoadResourceIcon(IDR_MAINFRAME); }

// A window still alive here is taken down while the whole object exists, so that its
// notification-area icon goes with it.
CDalvorinDlg::~CDalvorinDlg() {
    if (m_hWnd != nullptr) {
        DestroyWindow();
    }
}

UINT CDalvorinDlg::RestoreRequestMessage() {
    static const UINT message = RegisterWindowMessageW(kRestoreRequestMessageName);
    return message;
}

BEGIN_MESSAGE_MAP(CDalvorinDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_QUERYOPEN()
    ON_MESSAGE(kGatedRestoreMessage, &CDalvorinDlg::OnGatedRestore)
    ON_MESSAGE(kWindowReadyMessage, &CDalvorinDlg::OnWindowReady)
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_EN_CHANGE(IDC_SEARCH_EDIT, &CDalvorinDlg::OnSearchTextChange)
    ON_WM_DROPFILES()
    ON_MESSAGE(WM_TRAYNOTIFY, &CDalvorinDlg::OnTrayNotify)
    ON_NOTIFY(TCN_SELCHANGE, IDC_TAB, &CDalvorinDlg::OnTabSelChange)
    ON_UPDATE_COMMAND_UI(ID_CREATE_PASSWORD, &CDalvorinDlg::OnUpdateCreatePassword)
    ON_BN_CLICKED(IDC_SEARCH_BUTTON, &CDalvorinDlg::OnSearchClicked)
    ON_WM_SIZE()
    ON_BN_CLICKED(IDC_START_BUTTON, &CDalvorinDlg::OnStartClicked)
    ON_REGISTERED_MESSAGE(TaskbarCreatedMessage(), &CDalvorinDlg::OnTaskbarCreated)
    ON_REGISTERED_MESSAGE(RestoreRequestMessage(), &CDalvorinDlg::OnRestoreRequest)
    ON_WM_TIMER()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

void CDalvorinDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_TAB, m_tab);
    DDX_Control(dx, IDC_START_BUTTON, m_startButton);
}

BOOL CDalvorinDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Handled once the modal loop runs, when the window can answer a later start.
    PostMessage(kWindowReadyMessage);
    AllowRequestsThroughFilter();

    AddSystemMenuAboutEntry();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    SetWindowText(kMainWindowTitle);
    AddTrayIcon();

    if (!CreatePages()) {
        return -1;  // the dialog is still shown, without pages
    }
    SetDlgItemText(IDC_SEARCH_EDIT, kInitialSearchText);
    AllowDropMessagesThroughFilter(::GetDlgItem(m_hWnd, IDC_SEARCH_EDIT));
    SetUpStartButton();
    return TRUE;
}

// Every tab's icon is loaded before the image list is made; the first goes in before the list is
// handed to the tab control, each later one with its page.
bool CDalvorinDlg::CreatePages() {
    HICON tabIcons[kPageCount];
    for (int i = 0; i < kPageCount; ++i) {
        tabIcons[i] = LoadResourceIcon(kTabPages[i].iconId);
    }
    if (!m_tabImages.Create(kTabIconSize, kTabIconSize, ILC_COLOR32 | ILC_MASK, kTabImagesGrowBy,
                            kTabImagesGrowBy)) {
        return false;
    }
    m_tabImages.Add(tabIcons[0]);
    m_tab.SetImageList(&m_tabImages);
    // The pages cover the tab's pane and paint their own background: drawing the themed pane
    // under them first only cost time (a third of the window's first paint).
    m_tab.ModifyStyle(0, WS_CLIPCHILDREN);

    const UINT tabMask = TCIF_TEXT | TCIF_IMAGE;
    for (int i = 0; i < kPageCount; ++i) {
        kTabPages[i].page(*this).Create(kTabPages[i].templateId, &m_tab);
        if (i > 0) {
            m_tabImages.Add(tabIcons[i]);
        }
        m_tab.InsertItem(tabMask, i, kTabPages[i].text, i, 0);
    }

    // The first page shows at once; the others stay hidden where their templates put them until a
    // tab is chosen.
    RECT client;
    GetClientRect(&client);
    kTabPages[0].page(*this).SetWindowPos(nullptr, kPageLeft, kPageTop, client.right - kFirstPageWidthInset,
                                          client.bottom - kFirstPageHeightInset, SWP_SHOWWINDOW);
    return true;
}

// Started as administrator, the window would not hear the shell announce a restart (and would
// never put its icon back), nor a later start without elevation asking for it.
void CDalvorinDlg::AllowRequestsThroughFilter() {
    AllowMessageThroughFilter(m_hWnd, TaskbarCreatedMessage());
    AllowMessageThroughFilter(m_hWnd, RestoreRequestMessage());
    AllowMessageThroughFilter(m_hWnd, WM_NULL);  // a later start's probe whether the window answers
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

// A shell that does not take the icon yet gets it again later; until it has it, the window is
// not hidden when minimised.
void CDalvorinDlg::AddTrayIcon() {
    m_trayIcon.Add(m_hWnd, LoadResourceIcon(IDR_MAINFRAME), kMainWindowTitle);
}

// The Start button shows its icon and keeps the flat, hover-lit look.
void CDalvorinDlg::SetUpStartButton() {
    m_startButton.AssignIcons(LoadButtonIcon(IDI_START), nullptr);  // the button reports nothing
}

// The About entry opens the About box. A window minimised without a notification-area icon
// keeps its taskbar button; restoring it from there asks for the password as the icon would.
void CDalvorinDlg::OnSysCommand(UINT id, LPARAM lParam) {
    const UINT command = id & kSystemCommandMask;
    if (command == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return;
    }
    if (command == SC_RESTORE && IsIconic() && m_passwdDlg.m_bPasswordSet) {
        if (PassPasswordGate()) {
            const bool passed = std::exchange(m_restorePassedGate, true);
            CWnd::OnSysCommand(id, lParam);
            m_restorePassedGate = passed;
        }
        return;
    }
    CWnd::OnSysCommand(id, lParam);
}

// Every way back from minimised asks here first: the system menu, the taskbar, a task switcher,
// undoing "minimise all". Nothing may be shown and the focus must not move while the system
// waits for the answer, so a restore that has not passed the gate is refused and the prompt runs
// once the question has been answered.
BOOL CDalvorinDlg::OnQueryOpen() {
    if (IsEnding()) {
        return FALSE;
    }
    if (!m_passwdDlg.m_bPasswordSet || m_restorePassedGate) {
        return TRUE;
    }
    if (!m_gatedRestorePosted) {
        m_gatedRestorePosted = PostMessage(kGatedRestoreMessage) != FALSE;
    }
    return FALSE;
}

LRESULT CDalvorinDlg::OnGatedRestore(WPARAM, LPARAM) {
    m_gatedRestorePosted = false;
    RestoreThroughPasswordGate();
    return 0;
}

LRESULT CDalvorinDlg::OnWindowReady(WPARAM, LPARAM) {
    if (m_instance != nullptr && !IsEnding()) {
        m_instance->PublishWindow(m_hWnd);
    }
    return 0;
}

// The background pattern, or the program icon while minimised.
void CDalvorinDlg::OnPaint() {
    CPaintDC dc(this);
    CBitmap pattern;
    pattern.LoadBitmap(IDB_BACKGROUND);
    CBrush brush;
    brush.CreatePatternBrush(&pattern);
    {
        CScopedSelect selectBrush(dc, brush);
        dc.Rectangle(0, 0, kBackgroundWidth, kBackgroundHeight);
    }
    if (IsIconic()) {
        DrawMinimisedIcon();
    } else {
        CDialog::OnPaint();
    }
}

void CDalvorinDlg::DrawMinimisedIcon() {
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    RECT client;
    GetClientRect(&client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CDalvorinDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

// Files dropped on the window itself, not on a page's list: the title shows the last one's full path.
void CDalvorinDlg::OnDropFiles(HDROP drop) {
    const CDropBlock block(drop);
    const UINT count = block.GetFileCount();
    for (UINT i = 0; i < count; ++i) {
        const CString path = block.GetFilePath(i);
        if (!path.IsEmpty()) {  // a malformed drop may count a file it does not hold
            SetWindowText(path);
        }
    }
    if (drop != nullptr) {
        DragFinish(drop);
    }
    CWnd::OnDropFiles(drop);
}

// A double click on the notification-area icon restores the window through the password gate, a
// right click offers to end the program.
LRESULT CDalvorinDlg::OnTrayNotify(WPARAM iconId, LPARAM mouseMessage) {
    if (iconId != kTrayIconId) {
        return 1;
    }
    if (IsEnding()) {
        return 0;  // the window is going: it neither shows itself nor offers its menu any more
    }
    switch (static_cast<UINT>(mouseMessage)) {
        case WM_LBUTTONDBLCLK:
            RestoreThroughPasswordGate();
            break;
        case WM_RBUTTONUP:
            ShowTrayMenu();
            break;
        default:
            break;
    }
    return 0;
}

// Once a password exists the window shows only after it has been entered. While a dialog of ours
// is open (the prompt among them), that dialog comes to the front instead: activating the disabled
// window under it would leave the dialog out of reach and send the keys to the window. A window the
// user can see already is only brought to the front: nothing is hidden to guard.
void CDalvorinDlg::RestoreThroughPasswordGate() {
    if (IsEnding() || BringOpenDialogForward()) {
        return;
    }
    if (IsShownNormally() || !m_passwdDlg.m_bPasswordSet || PassPasswordGate()) {
        ShowAndActivate();
    }
}

// Runs the prompt unless one is open already; true when the right password was entered in it.
// A program told to close meanwhile ends the prompt, and then nothing passes.
bool CDalvorinDlg::PassPasswordGate() {
    if (IsEnding() || IsPasswordPromptOpen()) {
        return false;
    }
    m_checkPasswdDlg.m_bPassed = false;
    m_checkPasswdDlg.m_pPasswdDlg = &m_passwdDlg;
    m_checkPasswdDlg.DoModal();
    return m_checkPasswdDlg.m_bPassed && !IsEnding();
}

bool CDalvorinDlg::IsPasswordPromptOpen() const {
    return m_checkPasswdDlg.IsInModalLoop() || m_checkPasswdDlg.m_hWnd != nullptr;
}

bool CDalvorinDlg::IsShownNormally() const { return IsWindowVisible() && !IsIconic(); }

// While a dialog of ours is open (the password prompt, say), it keeps the main window disabled
// and is its last active popup: it comes to the front instead of a second one.
bool CDalvorinDlg::BringOpenDialogForward() {
    if (::IsWindowEnabled(m_hWnd)) {
        return false;
    }
    const HWND open = ::GetLastActivePopup(m_hWnd);
    if (open != m_hWnd) {
        ::SetForegroundWindow(open);
    }
    return true;
}

// This restore has passed the gate (or needs none): the system's question lets it through.
void CDalvorinDlg::ShowAndActivate() {
    const bool passed = std::exchange(m_restorePassedGate, true);
    ShowWindow(SW_SHOWNORMAL);
    m_restorePassedGate = passed;
    SetForegroundWindow();
}

// The posted WM_NULL lets the menu's loop see that it has ended.
void CDalvorinDlg::ShowTrayMenu() {
    POINT cursor = {};
    GetCursorPos(&cursor);
    CMenu menu;
    if (!menu.CreatePopupMenu()) {
        return;
    }
    menu.AppendMenu(MF_STRING, IDCANCEL, kTrayCloseText);
    const CMenuForegroundScope foreground(m_hWnd);
    menu.TrackPopupMenu(0, cursor.x, cursor.y, m_hWnd);
    PostMessage(WM_NULL);
}

// A restarted shell has forgotten the icon. If it does not take it back, a hidden window gets its
// taskbar button again rather than being lost.
LRESULT CDalvorinDlg::OnTaskbarCreated(WPARAM, LPARAM) {
    m_trayIcon.OnTaskbarCreated();
    if (!m_trayIcon.IsRegistered() && !IsWindowVisible() && !IsEnding()) {
        ShowWindow(SW_SHOWMINNOACTIVE);
    }
    return 0;
}

// The program was started again: the window comes back through the password gate.
LRESULT CDalvorinDlg::OnRestoreRequest(WPARAM, LPARAM) {
    RestoreThroughPasswordGate();
    return 0;
}

void CDalvorinDlg::OnTimer(UINT_PTR id) {
    if (!m_trayIcon.OnTimer(id)) {
        Default();
    }
}

// The system sends colour changes to top-level windows only: the pages, lists, tabs and buttons
// inside learn of them from here, and everything is drawn again in the new colours.
void CDalvorinDlg::OnSysColorChange() {
    Default();
    EnumChildWindows(m_hWnd, ForwardSysColorChange, 0);
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

// The icon must not outlive the window in the notification area, and a later start must not hand
// its request to a window that is gone.
void CDalvorinDlg::OnDestroy() {
    if (m_instance != nullptr) {
        m_instance->WithdrawWindow();
    }
    m_trayIcon.Remove();
    CWnd::OnDestroy();
}

// "创建密码" runs from the menu's question whether the command is enabled. The window then goes to
// the notification area, after OK and Cancel, unless the program was told to close meanwhile.
void CDalvorinDlg::OnUpdateCreatePassword(CCmdUI*) {
    m_passwdDlg.DoModal();
    if (!IsEnding()) {
        ShowWindow(SW_MINIMIZE);
    }
}

// The menu of "开始" pops up at the pointer; none of its items acts here.
void CDalvorinDlg::OnStartClicked() {
    POINT cursor = {};
    GetCursorPos(&cursor);
    CMenu menu;
    if (!menu.LoadMenu(IDR_ENTRY_MENU)) {
        return;
    }
    CMenu* popup = menu.GetSubMenu(0);
    if (popup != nullptr) {
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, m_hWnd);
    }
}

// Typing alone does nothing: the search runs when the button is clicked.
void CDalvorinDlg::OnSearchTextChange() {}

void CDalvorinDlg::OnTabSelChange(NMHDR*, LRESULT* result) {
    RECT tabClient;
    m_tab.GetClientRect(&tabClient);
    const int selection = static_cast<int>(m_tab.SendMessage(TCM_GETCURSEL, 0, 0));
    if (selection >= 0 && selection < kPageCount) {
        PlacePages(selection, tabClient);
    }
    *result = 0;
}

void CDalvorinDlg::PlacePages(int visiblePage, const RECT& tabClient) {
    for (int i = 0; i < kPageCount; ++i) {
        const UINT flags = i == visiblePage ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
        kTabPages[i].page(*this).SetWindowPos(nullptr, kPageLeft, kPageTop, tabClient.right - kPageWidthInset,
                                              tabClient.bottom - kPageHeightInset, flags);
    }
}

// The results page opens in the default browser.
void CDalvorinDlg::OnSearchClicked() {
    wchar_t address[kSearchAddressCapacity] = {};
    CString text;
    GetDlgItemText(IDC_SEARCH_EDIT, text);
    ComposeSearchAddress(text, address, kSearchAddressCapacity);
    AfxShellExecute(m_hWnd, L"open", address, nullptr, nullptr,
                    SW_SHOWNORMAL);  // no browser: nothing to report
}

// A minimised window disappears into the notification area, if its icon is there to bring it back:
// a shell that restarted without our hearing of it (its announcement lost) is asked first.
void CDalvorinDlg::OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    if (type == SIZE_MINIMIZED && m_trayIcon.ConfirmRegistered()) {
        ShowWindow(SW_HIDE);
    }
}
