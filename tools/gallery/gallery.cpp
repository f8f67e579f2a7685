// gallery.exe [buttons|classic|flat] [SIGNAL_FOLDER]: shows the owner-drawn components for people
// to look at. "buttons" (the default) is a grid of hover buttons in every look and state, each
// captioned with its look; "classic" and "flat" open a picture menu with every kind of item, its
// sub-menu open and an item hot, in that look.
// With a SIGNAL_FOLDER the run is unattended (tools/gallery/capture.sh): once the view is on screen
// the program writes SIGNAL_FOLDER\ready holding the screen area worth capturing ("WxH+X+Y"), then
// ends when SIGNAL_FOLDER\done appears, or after kHoldLimitMs at the latest.
#include "controls/button/HoverButton.h"
#include "controls/menu/PictureMenu.h"
#include "framework/Dialog.h"
#include "framework/Icon.h"
#include "framework/ScopedSelect.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "tools/gallery/gallery_resource.h"

#include <array>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr UINT_PTR kStepTimer = 1;
constexpr UINT kStepMs = 100;
// Ticks between setting the looks up and calling the view ready (X needs a moment to show them).
constexpr int kSettleTicks = 5;
// Longest wait for the menu's two levels to appear, and longest stay after the view is ready.
constexpr DWORD kMenuWaitLimitMs = 15000;
constexpr DWORD kHoldLimitMs = 60000;
constexpr int kCaptureMargin = 6;

constexpr int kButtonWidth = 150;
constexpr int kButtonHeight = 56;
constexpr int kGridGap = 10;
constexpr int kGridColumns = 4;
constexpr POINT kWindowPlace = {20, 20};
constexpr SIZE kMenuViewClient = {240, 60};
constexpr POINT kMenuOrigin = {12, 12};
constexpr int kFirstButtonId = 1100;

constexpr COLORREF kBitmapTransparent = RGB(255, 0, 255);
constexpr int kBitmapSize = 24;
constexpr int kMenuPictureSize = 16;
// The radio mark is any checked-state bitmap. Key messages: repeat count 1, and for a release the
// previous-state and transition bits.
constexpr int kRadioMarkSize = 8;
constexpr LPARAM kKeyDownFlags = 1;
constexpr LPARAM kKeyUpFlags = static_cast<LPARAM>(0xC0000001);

enum class View { kButtons, kMenuClassic, kMenuFlat };

enum class Pin { kRest, kLit, kPressed, kFocused, kDisabled, kChecked };
enum class Picture { kNone, kStartIcon, kOpenIcon, kCloseIcon, kGreyIdleIcon, kBitmapPair };

struct CButtonLook {
    const wchar_t* caption;
    bool flat;
    Picture picture;
    BYTE align;
    Pin pin;
    DWORD style;  // BS_DEFPUSHBUTTON or BS_AUTOCHECKBOX where the look needs it
    bool coloured;
};

constexpr BYTE kLeft = CHoverButton::ALIGN_IMAGE_LEFT;
constexpr BYTE kTop = CHoverButton::ALIGN_IMAGE_TOP;
constexpr BYTE kRight = CHoverButton::ALIGN_IMAGE_RIGHT;

// Row by row: the Start button's flat look, the private page's classic look, image placement,
// check-box mode and image pairs, bitmap pairs and colour slots.
constexpr CButtonLook kLooks[] = {
    {L"flat at rest", true, Picture::kStartIcon, kLeft, Pin::kRest, BS_PUSHBUTTON, false},
    {L"flat lit", true, Picture::kStartIcon, kLeft, Pin::kLit, BS_PUSHBUTTON, false},
    {L"flat pressed", true, Picture::kStartIcon, kLeft, Pin::kPressed, BS_PUSHBUTTON, false},
    {L"flat disabled", true, Picture::kStartIcon, kLeft, Pin::kDisabled, BS_PUSHBUTTON, false},
    {L"classic at rest", false, Picture::kOpenIcon, kLeft, Pin::kRest, BS_PUSHBUTTON, false},
    {L"classic focused", false, Picture::kOpenIcon, kLeft, Pin::kFocused, BS_PUSHBUTTON, false},
    {L"classic default", false, Picture::kOpenIcon, kLeft, Pin::kRest, BS_DEFPUSHBUTTON, false},
    {L"classic pressed", false, Picture::kOpenIcon, kLeft, Pin::kPressed, BS_PUSHBUTTON, false},
    {L"classic disabled caption", false, Picture::kNone, kLeft, Pin::kDisabled, BS_PUSHBUTTON, false},
    {L"icon left", false, Picture::kCloseIcon, kLeft, Pin::kRest, BS_PUSHBUTTON, false},
    {L"icon top", false, Picture::kCloseIcon, kTop, Pin::kRest, BS_PUSHBUTTON, false},
    {L"icon right", false, Picture::kCloseIcon, kRight, Pin::kRest, BS_PUSHBUTTON, false},
    {L"check box checked", false, Picture::kNone, kLeft, Pin::kChecked, BS_AUTOCHECKBOX, false},
    {L"check box unchecked", false, Picture::kNone, kLeft, Pin::kRest, BS_AUTOCHECKBOX, false},
    {L"icon pair at rest (grey idle)", true, Picture::kGreyIdleIcon, kLeft, Pin::kRest, BS_PUSHBUTTON, false},
    {L"icon pair pressed", true, Picture::kGreyIdleIcon, kLeft, Pin::kPressed, BS_PUSHBUTTON, false},
    {L"bitmap pair at rest", true, Picture::kBitmapPair, kLeft, Pin::kRest, BS_PUSHBUTTON, false},
    {L"bitmap pair pressed", true, Picture::kBitmapPair, kLeft, Pin::kPressed, BS_PUSHBUTTON, false},
    {L"coloured at rest", true, Picture::kNone, kLeft, Pin::kRest, BS_PUSHBUTTON, true},
    {L"coloured pressed", true, Picture::kNone, kLeft, Pin::kPressed, BS_PUSHBUTTON, true},
};

// Colour slots of the coloured looks: dark face and white text at rest, amber and black when hot.
constexpr COLORREF kRestFace = RGB(0, 70, 110);
constexpr COLORREF kRestText = RGB(255, 255, 255);
constexpr COLORREF kHotFace = RGB(255, 190, 60);
constexpr COLORREF kHotText = RGB(0, 0, 0);

HICON LoadProgramIcon(UINT id, int size) {
    LPCWSTR name = MAKEINTRESOURCEW(id);
    return static_cast<HICON>(LoadImageW(AfxFindResourceHandle(name, RT_GROUP_ICON), name, IMAGE_ICON, size,
                                         size, LR_DEFAULTCOLOR));
}

// A square bitmap with a disc on the transparent colour, for the bitmap pair.
HBITMAP MakeDiscBitmap(COLORREF disc) {
    CClientDC screen(nullptr);
    CDC dc;
    CBitmap bitmap;
    if (!dc.CreateCompatibleDC(&screen) ||
        !bitmap.CreateCompatibleBitmap(screen, kBitmapSize, kBitmapSize)) {
        return nullptr;
    }
    {
        CScopedSelect selectBitmap(dc, bitmap);
        const RECT all = {0, 0, kBitmapSize, kBitmapSize};
        dc.FillSolidRect(&all, kBitmapTransparent);
        CBrush brush(disc);
        CPen pen;
        pen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
        CScopedSelect selectBrush(dc, brush);
        CScopedSelect selectPen(dc, pen);
        ::Ellipse(dc, 2, 2, kBitmapSize - 2, kBitmapSize - 2);
    }
    return static_cast<HBITMAP>(bitmap.Detach());
}

std::wstring JoinPath(const std::wstring& folder, const wchar_t* name) {
    return folder.empty() ? std::wstring() : folder + L"\\" + name;
}

bool FileExists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Written under another name first, so that the reader never sees half of it.
void WriteSignal(const std::wstring& path, const RECT& area) {
    if (path.empty()) {
        return;
    }
    char text[64];
    const int length = std::snprintf(text, sizeof(text), "%ldx%ld+%ld+%ld\n", area.right - area.left,
                                     area.bottom - area.top, area.left, area.top);
    const std::wstring partial = path + L".partial";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// The visible pop-up menu windows of this thread.
BOOL CALLBACK CollectMenuWindow(HWND hwnd, LPARAM lParam) {
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
    if (std::wcscmp(name, L"#32768") == 0 && IsWindowVisible(hwnd)) {
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    }
    return TRUE;
}

std::vector<HWND> VisibleMenuWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectMenuWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The window and its open menus, with a margin, kept on the screen.
RECT CaptureArea(HWND window) {
    RECT area = {};
    GetWindowRect(window, &area);
    for (HWND menu : VisibleMenuWindows()) {
        RECT rect = {};
        GetWindowRect(menu, &rect);
        UnionRect(&area, &area, &rect);
    }
    InflateRect(&area, kCaptureMargin, kCaptureMargin);
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    IntersectRect(&area, &area, &screen);
    return area;
}

// Gives the item a picture of its own, a copy of the program's icon in the menu's picture size.
void GiveOwnPicture(CPictureMenu& menu, UINT id, UINT iconId) {
    const CIcon icon(LoadProgramIcon(iconId, kMenuPictureSize));
    menu.SetItemPicture(id, icon);  // a missing picture only leaves the item plain
}

// The class-wide pictures must be in place before the menu is loaded: items look them up as
// they are appended.
void ShareStartPicture() {
    const CIcon icon(LoadProgramIcon(IDI_START, kMenuPictureSize));
    CPictureMenu::AddSharedPicture(ID_GALLERY_SHARED_PICTURE, icon);
}

class CGalleryDlg : public CDialog {
public:
    CGalleryDlg(View view, std::wstring signalFolder)
        : CDialog(IDD_GALLERY),
          m_view(view),
          m_readyPath(JoinPath(signalFolder, L"ready")),
          m_donePath(JoinPath(signalFolder, L"done")) {}

    BOOL OnInitDialog() override;

protected:
    // Called every kStepMs, also while the menu is open: moves the view on, step by step.
    LRESULT OnTimerMessage(WPARAM id, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    enum class Step { kSetUp, kSettle, kWaitForMenu, kHold, kOver };

    void SetClientSize(SIZE size);
    void CreateButtons();
    void DressButton(CHoverButton& button, const CButtonLook& look);
    void PinButtonStates();
    void PointAt(const CHoverButton& button);
    void LoadGalleryMenu();
    void OpenMenu();
    void CallReady();
    void Finish();

    View m_view;
    std::wstring m_readyPath;
    std::wstring m_donePath;
    Step m_step = Step::kSetUp;
    int m_ticks = 0;
    DWORD m_stepStart = 0;
    std::array<CHoverButton, std::size(kLooks)> m_buttons;
    CPictureMenu m_menu;
    CBitmap m_radioMark;
};

BEGIN_MESSAGE_MAP(CGalleryDlg, CDialog)
    ON_MESSAGE(WM_TIMER, &CGalleryDlg::OnTimerMessage)
    // void OnMeasureItem(int controlId, LPMEASUREITEMSTRUCT item): menu items go to the menu shown
    ON_WM_MEASUREITEM()
END_MESSAGE_MAP()

// FALSE: the gallery sets the focus itself, onto the button that shows the focused look.
BOOL CGalleryDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (m_view == View::kButtons) {
        SetWindowText(L"CHoverButton gallery");
        const int rows = (static_cast<int>(std::size(kLooks)) + kGridColumns - 1) / kGridColumns;
        SetClientSize({kGridColumns * (kButtonWidth + kGridGap) + kGridGap,
                       rows * (kButtonHeight + kGridGap) + kGridGap});
        CreateButtons();
    } else {
        CPictureMenu::SetDrawMode(m_view == View::kMenuFlat ? 1 : 0);
        SetWindowText(m_view == View::kMenuFlat ? L"CPictureMenu, flat look" : L"CPictureMenu, classic look");
        SetClientSize(kMenuViewClient);
        LoadGalleryMenu();
    }
    m_stepStart = GetTickCount();
    ::SetTimer(m_hWnd, kStepTimer, kStepMs, nullptr);
    return FALSE;
}

void CGalleryDlg::SetClientSize(SIZE size) {
    RECT rect = {0, 0, size.cx, size.cy};
    AdjustWindowRectEx(&rect, GetStyle(), FALSE, GetExStyle());
    SetWindowPos(nullptr, kWindowPlace.x, kWindowPlace.y, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CGalleryDlg::CreateButtons() {
    const auto font = static_cast<WPARAM>(SendMessage(WM_GETFONT));
    for (size_t i = 0; i < std::size(kLooks); ++i) {
        const CButtonLook& look = kLooks[i];
        const int column = static_cast<int>(i) % kGridColumns;
        const int row = static_cast<int>(i) / kGridColumns;
        HWND hwnd = CreateWindowExW(0, L"Button", look.caption, WS_CHILD | WS_VISIBLE | look.style,
                                    kGridGap + column * (kButtonWidth + kGridGap),
                                    kGridGap + row * (kButtonHeight + kGridGap), kButtonWidth, kButtonHeight,
                                    m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButtonId + i)),
                                    AfxGetInstanceHandle(), nullptr);
        if (hwnd == nullptr) {
            continue;
        }
        ::SendMessageW(hwnd, WM_SETFONT, font, FALSE);
        m_buttons[i].SubclassWindow(hwnd);
        DressButton(m_buttons[i], look);
    }
}

void CGalleryDlg::DressButton(CHoverButton& button, const CButtonLook& look) {
    switch (look.picture) {
        case Picture::kNone:
            break;
        case Picture::kStartIcon:
            button.AssignIcons(LoadProgramIcon(IDI_START, 0), nullptr);
            break;
        case Picture::kOpenIcon:
            button.AssignIcons(LoadProgramIcon(IDI_OPEN_PRIVATE, 0), nullptr);
            break;
        case Picture::kCloseIcon:
            button.AssignIcons(LoadProgramIcon(IDI_CLOSE_PRIVATE, 0), nullptr);
            break;
        case Picture::kGreyIdleIcon:
            button.AssignIcons(LoadProgramIcon(IDI_START, 0), CHoverButton::ICON_AUTO_GREY);
            break;
        case Picture::kBitmapPair:
            button.AssignBitmaps(MakeDiscBitmap(RGB(40, 170, 60)), MakeDiscBitmap(RGB(170, 170, 170)),
                                 kBitmapTransparent);
            break;
    }
    button.SetImageAlign(look.align);
    button.SetFlatLook(look.flat);
    if (look.coloured) {
        button.SetColor(CHoverButton::BTN_FACE_REST, kRestFace, FALSE);
        button.SetColor(CHoverButton::BTN_TEXT_REST, kRestText, FALSE);
        button.SetColor(CHoverButton::BTN_FACE_HOT, kHotFace, FALSE);
        button.SetColor(CHoverButton::BTN_TEXT_HOT, kHotText, TRUE);
    }
}

// Every state through the messages a user's actions would send; the focus last but one (a
// disabled button hands it on) and the pointer last.
void CGalleryDlg::PinButtonStates() {
    SetForegroundWindow();
    const CHoverButton* lit = nullptr;
    const CHoverButton* focused = nullptr;
    for (size_t i = 0; i < std::size(kLooks); ++i) {
        CHoverButton& button = m_buttons[i];
        if (button.m_hWnd == nullptr) {
            continue;
        }
        switch (kLooks[i].pin) {
            case Pin::kPressed:
                button.SendMessage(BM_SETSTATE, TRUE);
                break;
            case Pin::kDisabled:
                button.EnableWindow(FALSE);
                break;
            case Pin::kChecked:
                button.SendMessage(BM_SETCHECK, BST_CHECKED);
                break;
            case Pin::kFocused:
                focused = &button;
                break;
            case Pin::kLit:
                lit = &button;
                break;
            case Pin::kRest:
                break;
        }
    }
    if (focused != nullptr) {
        // SetFocus, not WM_NEXTDLGCTL: the dialog manager would also make it the default button.
        ::SetFocus(focused->m_hWnd);
    }
    if (lit != nullptr) {
        PointAt(*lit);
    }
}

// Moves the pointer over the button and tells the button, as a real move would.
void CGalleryDlg::PointAt(const CHoverButton& button) {
    RECT rect = {};
    button.GetWindowRect(&rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    button.SendMessage(WM_MOUSEMOVE, 0,
                       MAKELPARAM((rect.right - rect.left) / 2, (rect.bottom - rect.top) / 2));
}

void CGalleryDlg::LoadGalleryMenu() {
    ShareStartPicture();
    if (!m_menu.LoadMenu(IDR_GALLERY_MENU)) {
        return;
    }
    GiveOwnPicture(m_menu, ID_GALLERY_OWN_PICTURE, IDI_TAB_COMMON);
    GiveOwnPicture(m_menu, ID_GALLERY_CHECKED_PICTURE, IDI_TAB_FILES);
    GiveOwnPicture(m_menu, ID_GALLERY_GRAYED_PICTURE, IDI_TAB_PRIVATE);
    GiveOwnPicture(m_menu, ID_GALLERY_HOT_PICTURE, IDI_DRAG_HINT);
    // A checked-state bitmap makes the item a radio item.
    m_radioMark.CreateBitmap(kRadioMarkSize, kRadioMarkSize, 1, 1, nullptr);
    SetMenuItemBitmaps(::GetSubMenu(m_menu, 0), ID_GALLERY_RADIO, MF_BYCOMMAND, nullptr, m_radioMark);
}

// The last item is the sub-menu: Up selects it, Right opens it with its first item hot. The keys
// wait in the queue for the menu's own loop; the pointer is parked where no menu will be.
void CGalleryDlg::OpenMenu() {
    HMENU popup = ::GetSubMenu(m_menu, 0);
    if (popup == nullptr) {
        Finish();
        return;
    }
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    for (const WPARAM key : {VK_UP, VK_RIGHT}) {
        PostMessage(WM_KEYDOWN, key, kKeyDownFlags);
        PostMessage(WM_KEYUP, key, kKeyUpFlags);
    }
    POINT origin = kMenuOrigin;
    ::ClientToScreen(m_hWnd, &origin);
    m_step = Step::kWaitForMenu;
    m_stepStart = GetTickCount();
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, origin.x, origin.y, 0, m_hWnd,
                     nullptr);
    Finish();
}

void CGalleryDlg::CallReady() {
    WriteSignal(m_readyPath, CaptureArea(m_hWnd));
    m_step = Step::kHold;
    m_stepStart = GetTickCount();
}

void CGalleryDlg::Finish() {
    if (m_step == Step::kOver) {
        return;
    }
    m_step = Step::kOver;
    ::KillTimer(m_hWnd, kStepTimer);
    EndDialog(IDOK);
}

LRESULT CGalleryDlg::OnTimerMessage(WPARAM id, LPARAM) {
    if (id != kStepTimer) {
        return 0;
    }
    const DWORD elapsed = GetTickCount() - m_stepStart;
    switch (m_step) {
        case Step::kSetUp:
            if (m_view == View::kButtons) {
                PinButtonStates();
                m_step = Step::kSettle;
            } else {
                SetForegroundWindow();
                OpenMenu();  // returns once the menu has closed
            }
            break;
        case Step::kSettle:
            if (++m_ticks >= kSettleTicks) {
                CallReady();
            }
            break;
        case Step::kWaitForMenu:
            // Both levels shown, then a few ticks for them to be painted.
            if (VisibleMenuWindows().size() < 2 && elapsed < kMenuWaitLimitMs) {
                break;
            }
            if (++m_ticks >= kSettleTicks) {
                CallReady();
            }
            break;
        case Step::kHold:
            // Without a signal folder the view stays until it is closed by hand.
            if (!m_readyPath.empty() && (FileExists(m_donePath) || elapsed >= kHoldLimitMs)) {
                if (m_view == View::kButtons) {
                    Finish();
                } else {
                    EndMenu();
                }
            }
            break;
        case Step::kOver:
            break;
    }
    return 0;
}

View ParseView(const wchar_t* name) {
    if (name != nullptr && std::wcscmp(name, L"classic") == 0) {
        return View::kMenuClassic;
    }
    if (name != nullptr && std::wcscmp(name, L"flat") == 0) {
        return View::kMenuFlat;
    }
    return View::kButtons;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const View view = ParseView(argv != nullptr && argc > 1 ? argv[1] : nullptr);
    std::wstring signalFolder = argv != nullptr && argc > 2 ? argv[2] : L"";
    LocalFree(argv);
    CGalleryDlg gallery(view, signalFolder);
    return gallery.DoModal() == IDOK ? 0 : 1;
}
