// A visible host window with a real BUTTON child bound to a CHoverButton, and a 32-bit memory
// surface to draw the button into.
#pragma once

#include "controls/button/HoverButton.h"

#include <gtest/gtest.h>

#include <algorithm>

constexpr int kButtonId = 1001;
constexpr int kNeighbourId = 1002;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 40;
constexpr COLORREF kHostColor = RGB(1, 99, 180);

// Exposes the button's state to the tests.
class CProbeButton : public CHoverButton {
public:
    using CHoverButton::m_bitmaps;
    using CHoverButton::m_checkBoxMode;
    using CHoverButton::m_checkState;
    using CHoverButton::m_defaultButton;
    using CHoverButton::m_dropMenu;
    using CHoverButton::m_hover;
    using CHoverButton::m_icons;
    using CHoverButton::m_menuShown;
    using CHoverButton::m_tipCtrl;
    using CHoverButton::MakeGreyIcon;
};

// Reflects the button's notifications back to it, as a dialog does, and counts the clicks.
class CTestHost : public CWnd {
public:
    int m_clicks = 0;
    void OnButtonClicked() { ++m_clicks; }
    DECLARE_MESSAGE_MAP()
};

struct ButtonHarness {
    explicit ButtonHarness(DWORD style, LPCWSTR text = L"Go", bool neighbour = false, bool visible = true,
                           DWORD hostExStyle = 0) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"HoverButtonTestHost";
        if (!GetClassInfoW(windowClass.hInstance, windowClass.lpszClassName, &windowClass)) {
            windowClass.hbrBackground = CreateSolidBrush(kHostColor);  // lives as long as the class
            RegisterClassW(&windowClass);
        }
        HWND window =
            CreateWindowExW(WS_EX_TOPMOST | hostExStyle, L"HoverButtonTestHost", L"host",
                            WS_POPUP | ((hostExStyle & WS_EX_NOACTIVATE) != 0 ? 0 : WS_VISIBLE), 100, 100,
                            300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        if ((hostExStyle & WS_EX_NOACTIVATE) != 0) {
            ShowWindow(window, SW_SHOWNA);
        }
        host.SubclassWindow(window);
        HWND control =
            CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_TABSTOP | (visible ? WS_VISIBLE : 0) | style,
                            10, 10, kButtonWidth, kButtonHeight, window, reinterpret_cast<HMENU>(kButtonId),
                            GetModuleHandleW(nullptr), nullptr);
        if (neighbour) {
            CreateWindowExW(0, L"BUTTON", L"Next", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 100, 80, 30,
                            window, reinterpret_cast<HMENU>(kNeighbourId), GetModuleHandleW(nullptr),
                            nullptr);
        }
        button.SubclassWindow(control);
        UpdateWindow(window);
    }

    // Sends a move to the client point (x, y) of the button.
    void MoveTo(int x, int y, WPARAM keys = 0) {
        SendMessageW(button.m_hWnd, WM_MOUSEMOVE, keys, MAKELPARAM(x, y));
    }
    void Click() {
        SendMessageW(button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageW(button.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }

    CTestHost host;
    CProbeButton button;
};

inline bool IsEmpty(const RECT& rect) { return IsRectEmpty(&rect) != FALSE; }

// A 32-bit surface in a memory DC.
class Surface {
public:
    Surface(int width = kButtonWidth, int height = kButtonHeight) : m_width(width), m_height(height) {
        m_dc.CreateCompatibleDC(nullptr);
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        m_bitmap.Attach(CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_previous = m_dc.SelectObject(&m_bitmap);
    }
    ~Surface() { m_dc.SelectObject(m_previous); }

    COLORREF At(int x, int y) const { return m_dc.GetPixel(x, y); }
    // Bounding box of the pixels of one colour; empty when there is none.
    RECT BoxOf(COLORREF color) const {
        RECT box = {m_width, m_height, 0, 0};
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                if (At(x, y) == color) {
                    box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                           std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
                }
            }
        }
        return box;
    }

    // Draws the button as WM_DRAWITEM would, with the given item state.
    void Draw(CHoverButton& button, UINT state = 0) {
        DRAWITEMSTRUCT item = {ODT_BUTTON, kButtonId,     0,          ODA_DRAWENTIRE,
                               state,      button.m_hWnd, m_dc.m_hDC, {0, 0, m_width, m_height},
                               0};
        button.DrawItem(&item);
    }

private:
    int m_width;
    int m_height;
    CDC m_dc;
    CBitmap m_bitmap;
    HGDIOBJ m_previous = nullptr;
};

// A square icon of one opaque colour; the caller (or the button it is handed to) destroys it.
inline HICON MakeSolidIcon(COLORREF color, int size = 16) {
    HDC screen = GetDC(nullptr);
    CBitmap picture;
    picture.Attach(CreateCompatibleBitmap(screen, size, size));
    ReleaseDC(nullptr, screen);
    CBitmap mask;
    mask.CreateBitmap(size, size, 1, 1, nullptr);
    {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        const RECT all = {0, 0, size, size};
        CScopedSelect selectPicture(dc, picture);
        dc.FillSolidRect(&all, color);
        CScopedSelect selectMask(dc, mask);
        PatBlt(dc, 0, 0, size, size, BLACKNESS);  // every pixel opaque
    }
    ICONINFO info = {TRUE, 0, 0, static_cast<HBITMAP>(mask.m_hObject),
                     static_cast<HBITMAP>(picture.m_hObject)};
    return CreateIconIndirect(&info);
}
