// paint_soak_bench.exe [PAINTS] [OPENINGS]: paints the main window's owner-drawn buttons PAINTS times
// in each look (10,000 by default), opens the Start menu and the About box OPENINGS times each
// (1,000), and reports the objects that this leaves behind, measured as lost headroom
// (bench/common/Headroom.h). Headline "paint_soak objects per paint: X": the lost objects of both
// kinds divided by all the paints, openings and boxes.
#include "app/DalvorinDlg.h"
#include "bench/common/Headroom.h"
#include "tests/common/DialogAutoResponder.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kDefaultPaints = 10000;
constexpr int kDefaultOpenings = 1000;

struct CButtonLook {
    const char* name;
    bool flatButton;  // the Start button (flat) or the private page's open button (classic)
    bool lit;         // the pointer is over the button
    UINT state;       // item state of the draw request
};

constexpr CButtonLook kLooks[] = {
    {"flat at rest", true, false, 0},
    {"flat lit", true, true, 0},
    {"flat pressed", true, true, ODS_SELECTED},
    {"flat disabled", true, false, ODS_DISABLED},
    {"classic at rest", false, false, 0},
    {"classic focused", false, false, ODS_FOCUS},
    {"classic pressed", false, false, ODS_SELECTED | ODS_FOCUS},
    {"classic disabled", false, false, ODS_DISABLED},
};

// A 32-bpp memory canvas that the draw requests paint into.
class CCanvas {
public:
    CCanvas(int width, int height) : m_dc(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_previous = SelectObject(m_dc, m_bitmap);
    }
    ~CCanvas() {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    CCanvas(const CCanvas&) = delete;
    CCanvas& operator=(const CCanvas&) = delete;

    HDC Dc() const { return m_dc; }

private:
    HDC m_dc;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
};

// Moves the pointer over the button (lit) or away from it (at rest), as the button sees it.
void PointAt(HWND button, bool over) {
    RECT rect;
    GetWindowRect(button, &rect);
    if (over) {
        SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        POINT inside = {(rect.right - rect.left) / 2, (rect.bottom - rect.top) / 2};
        SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(inside.x, inside.y));
    } else {
        SetCursorPos(rect.right + 200, rect.bottom + 200);
        SendMessageW(button, WM_MOUSELEAVE, 0, 0);
    }
}

void Paint(HWND button, HDC canvas, UINT state) {
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID(button));
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = button;
    item.hDC = canvas;
    GetClientRect(button, &item.rcItem);
    SendMessageW(GetParent(button), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

void PaintLooks(HWND flatButton, HWND classicButton, HDC canvas, int paints) {
    for (const CButtonLook& look : kLooks) {
        HWND button = look.flatButton ? flatButton : classicButton;
        PointAt(button, look.lit);
        const double start = bench::NowMs();
        for (int i = 0; i < paints; ++i) {
            Paint(button, canvas, look.state);
        }
        const double perPaint = (bench::NowMs() - start) / paints;
        // A lit flat button at rest draws a raised border, whose top-left corner is the highlight colour.
        const bool bordered = GetPixel(canvas, 0, 0) == GetSysColor(COLOR_BTNHIGHLIGHT);
        std::printf("%-17s %d paints, %.3f ms per paint%s\n", look.name, paints, perPaint,
                    look.lit && look.state == 0 && !bordered
                        ? " (NOT LIT: the pointer did not reach the button)"
                        : "");
    }
    PointAt(flatButton, false);
}

// The Start menu is tracked modally; a thread timer closes it from inside its loop.
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    EndMenu();
}

void OpenStartMenu(CDalvorinDlg& dialog, int openings) {
    HWND button = dialog.m_startButton.m_hWnd;
    const double start = bench::NowMs();
    for (int i = 0; i < openings; ++i) {
        SetTimer(nullptr, 0, 1, CloseMenu);
        SendMessageW(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_START_BUTTON, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    }
    std::printf("Start menu        %d openings, %.2f ms each\n", openings,
                (bench::NowMs() - start) / openings);
}

void OpenAboutBox(CDalvorinDlg& dialog, int openings) {
    int shown = 0;
    // The main window is a dialog too, activated again when each box closes: answer only the box.
    HWND mainWindow = dialog.m_hWnd;
    DialogAutoResponder answer([&shown, mainWindow](HWND box) {
        if (box != mainWindow) {
            ++shown;
            DialogAutoResponder::PressButton(box, IDOK);
        }
    });
    const double start = bench::NowMs();
    for (int i = 0; i < openings; ++i) {
        SendMessageW(dialog.m_hWnd, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    }
    std::printf("About box         %d openings (%d shown), %.2f ms each\n", openings, shown,
                (bench::NowMs() - start) / openings);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    const int paints = argc > 1 ? std::max(1, _wtoi(argv[1])) : kDefaultPaints;
    const int openings = argc > 2 ? std::max(1, _wtoi(argv[2])) : kDefaultOpenings;

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    CDalvorinDlg dialog;
    if (!dialog.Create(CDalvorinDlg::IDD)) {
        std::fprintf(stderr, "cannot make the main window\n");
        return 1;
    }
    dialog.ShowWindow(SW_SHOWNORMAL);
    dialog.SetForegroundWindow();
    HWND flatButton = dialog.m_startButton.m_hWnd;
    HWND classicButton = dialog.m_hideToolPage.m_btnOpen.m_hWnd;
    RECT largest;
    GetClientRect(classicButton, &largest);
    CCanvas canvas(std::max<int>(200, largest.right), std::max<int>(100, largest.bottom));

    // One round before measuring: the first paint makes the tool tip and loads code and fonts.
    PaintLooks(flatButton, classicButton, canvas.Dc(), 1);
    OpenStartMenu(dialog, 1);
    OpenAboutBox(dialog, 1);

    const bench::CHeadroom before = bench::MeasureHeadroom();
    std::printf("headroom before: %d icons, %d brushes\n", before.icons, before.brushes);
    PaintLooks(flatButton, classicButton, canvas.Dc(), paints);
    OpenStartMenu(dialog, openings);
    OpenAboutBox(dialog, openings);
    const bench::CHeadroom after = bench::MeasureHeadroom();
    std::printf("headroom after:  %d icons, %d brushes\n", after.icons, after.brushes);
    dialog.DestroyWindow();

    const int operations = paints * static_cast<int>(std::size(kLooks)) + 2 * openings;
    std::printf("paint_soak objects per paint: %.4f\n",
                static_cast<double>(bench::LostObjects(before, after)) / operations);
    std::fflush(stdout);
    return 0;
}
