// A host window with a real BUTTON child bound to a CHoverButton, and a 32-bit memory surface
// to draw the button into.
#pragma once

#include "controls/button/HoverButton.h"

#include <gtest/gtest.h>

#include <algorithm>

constexpr int kButtonId = 1001;
constexpr int kW = 100;  // button size
constexpr int kH = 40;
constexpr COLORREF kHostColor = RGB(1, 99, 180);

// Exposes the button's state to the tests.
class CProbeButton : public CHoverButton {
public:
    using CHoverButton::m_bitmaps;
    using CHoverButton::m_checkBoxMode;
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

// The host is shown without being activated, so the thread has no active window.
struct ButtonHarness {
    explicit ButtonHarness(DWORD style, LPCWSTR text = L"Go", bool neighbour = false, bool visible = true) {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW windowClass = {0,       DefWindowProcW, 0,       0,       instance,
                                 nullptr, nullptr,        nullptr, nullptr, L"HbHost"};
        if (!GetClassInfoW(instance, windowClass.lpszClassName, &windowClass)) {
            windowClass.hbrBackground = CreateSolidBrush(kHostColor);  // lives as long as the class
            RegisterClassW(&windowClass);
        }
        HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, L"HbHost", L"host", WS_POPUP, 100,
                                      100, 300, 200, nullptr, nullptr, instance, nullptr);
        ShowWindow(window, SW_SHOWNA);
        host.SubclassWindow(window);
        const DWORD childStyle = WS_CHILD | WS_TABSTOP | (visible ? WS_VISIBLE : 0);
        if (neighbour) {
            CreateWindowExW(0, L"BUTTON", L"Next", childStyle, 10, 100, 80, 30, window, nullptr, instance,
                            nullptr);
        }
        button.SubclassWindow(CreateWindowExW(0, L"BUTTON", text, childStyle | style, 10, 10, kW, kH, window,
                                              reinterpret_cast<HMENU>(kButtonId), instance, nullptr));
        UpdateWindow(window);
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageW(button.m_hWnd, message, wParam, lParam);
    }
    // A pointer move to the button's client point (x, y).
    void MoveTo(int x, int y, WPARAM keys = 0) { Send(WM_MOUSEMOVE, keys, MAKELPARAM(x, y)); }
    void Click(UINT down = WM_LBUTTONDOWN) {
        Send(down, MK_LBUTTON, MAKELPARAM(5, 5));
        Send(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    }

    CTestHost host;
    CProbeButton button;
};

inline bool IsEmpty(const RECT& rect) { return IsRectEmpty(&rect) != FALSE; }
inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

// A 32-bit surface in a memory DC.
class Surface {
public:
    Surface(int width = kW, int height = kH) : m_width(width), m_height(height) {
        m_dc.CreateCompatibleDC(nullptr);
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        void* bits = nullptr;
        m_bitmap.Attach(CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_previous = m_dc.SelectObject(&m_bitmap);
    }
    ~Surface() { m_dc.SelectObject(m_previous); }

    HDC Dc() const { return m_dc.m_hDC; }
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
    Surface& Draw(CHoverButton& button, UINT state = 0) {
        DRAWITEMSTRUCT item = {ODT_BUTTON, kButtonId,     0,          ODA_DRAWENTIRE,
                               state,      button.m_hWnd, m_dc.m_hDC, {0, 0, m_width, m_height},
                               0};
        button.DrawItem(&item);
        return *this;
    }

private:
    int m_width;
    int m_height;
    CDC m_dc;
    CBitmap m_bitmap;
    HGDIOBJ m_previous = nullptr;
};

inline COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CScopedSelect select(dc, bitmap);
    return dc.GetPixel(x, y);
}

// A screen-compatible bitmap filled with `outer`, with `inner` in the given rectangle.
inline HBITMAP MakePicture(int side, COLORREF outer, COLORREF inner = 0, RECT innerRect = {}) {
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, side, side);
    ReleaseDC(nullptr, screen);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CScopedSelect select(dc, picture);
    const RECT all = {0, 0, side, side};
    dc.FillSolidRect(&all, outer);
    dc.FillSolidRect(&innerRect, inner);
    return picture;
}

// An icon from a picture and a mask whose right `transparentColumns` are transparent.
inline HICON MakeIcon(HBITMAP picture, int side, BOOL isIcon = TRUE, DWORD hotSpot = 0,
                      int transparentColumns = 0) {
    CBitmap mask;
    mask.CreateBitmap(side, side, 1, 1, nullptr);
    {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        CScopedSelect select(dc, mask);
        PatBlt(dc, 0, 0, side, side, BLACKNESS);
        PatBlt(dc, side - transparentColumns, 0, transparentColumns, side, WHITENESS);
    }
    ICONINFO info = {isIcon, hotSpot, hotSpot, static_cast<HBITMAP>(mask.m_hObject), picture};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(picture);
    return icon;
}

inline HICON MakeSolidIcon(COLORREF color) { return MakeIcon(MakePicture(16, color), 16); }
