#include "controls/menu/PictureMenuPainter.h"

#include "controls/menu/ClassicMenuPainter.h"
#include "controls/menu/FlatMenuPainter.h"
#include "controls/menu/OsVersionCode.h"
#include "framework/GdiObject.h"
#include "framework/ScopedSelect.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"

#include <algorithm>

namespace {

// Space between the picture and the text, per look.
constexpr int kClassicGap = 4;
constexpr int kFlatGap = 7;
constexpr int kFlatTextMargin = 8;

}  // namespace

// Palette devices always get the classic look.
void CPictureMenuPainter::Paint(DRAWITEMSTRUCT& item, const CPictureMenuItem* record) const {
    const bool palette = (::GetDeviceCaps(item.hDC, RASTERCAPS) & RC_PALETTE) != 0;
    if (!palette && m_settings.flat) {
        PaintFlat(item, record);
    } else {
        PaintClassic(item, record);
    }
}

void CPictureMenuPainter::PaintClassic(const DRAWITEMSTRUCT& item, const CPictureMenuItem* record) const {
    CClassicMenuPainter(m_settings).Paint(item, record);
}

void CPictureMenuPainter::PaintFlat(DRAWITEMSTRUCT& item, const CPictureMenuItem* record) const {
    CFlatMenuPainter(m_settings).Paint(item, record);
}

// Sizes one owner-drawn item from its record, the picture size and the effective look. The font
// and the screen context are made for every item: nothing is cached between calls.
void CPictureMenuPainter::Measure(MEASUREITEMSTRUCT& item, const CPictureMenuItem* record) const {
    const int gap = m_settings.flat ? kFlatGap : kClassicGap;
    if (record != nullptr && (record->m_flags & MF_SEPARATOR) != 0) {
        item.itemWidth = 0;
        item.itemHeight =
            static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU) / 2, (m_settings.iconHeight + gap) / 2));
        return;
    }
    SIZE textSize = {};
    if (MeasuresItemText(m_settings.osVersion)) {
        CFont font;
        CMenuPaintRoutines::CreateMenuFont(font);
        CClientDC dc(CWnd::FromHandle(MeasuringWindow()));
        // Without the menu font selected the text is measured in the context's own font.
        const HGDIOBJ menuFont = MeasuresInMenuFont(m_settings.osVersion) ? font.m_hObject : nullptr;
        CScopedSelect selectFont(dc, menuFont);
        const CString text = record != nullptr ? record->GetText() : L"";
        GetTextExtentPoint32W(dc, text, text.GetLength(), &textSize);
    }
    const int iconWidth = m_settings.iconWidth;
    const int width =
        m_settings.flat ? textSize.cx + iconWidth + gap + kFlatTextMargin : textSize.cx + 2 * iconWidth + 1;
    item.itemWidth = static_cast<UINT>(std::max(width, 0));
    item.itemHeight = static_cast<UINT>(std::max(GetSystemMetrics(SM_CYMENU), m_settings.iconHeight + gap));
}

bool CPictureMenuPainter::IsDrawable(const DRAWITEMSTRUCT* item) {
    return item != nullptr && item->hDC != nullptr && !::IsRectEmpty(&item->rcItem);
}

HWND CPictureMenuPainter::MeasuringWindow() {
    const CWinThread* thread = AfxGetThread();
    if (thread != nullptr && thread->m_pMainWnd != nullptr && thread->m_pMainWnd->m_hWnd != nullptr) {
        return thread->m_pMainWnd->m_hWnd;
    }
    return GetDesktopWindow();
}

int CPictureMenuPainter::TextWidth(CDC& dc, const CString& text) {
    SIZE size = {};
    if (!GetTextExtentPoint32W(dc, text, text.GetLength(), &size)) {
        return 0;
    }
    return size.cx;
}
