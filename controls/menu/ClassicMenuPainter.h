// Paints one picture-menu item in the classic look: raised and sunken picture frames and a
// highlight-coloured selection bar. It paints from its arguments alone.
#pragma once

#include "controls/menu/MenuPaintRoutines.h"
#include "controls/menu/PictureMenuItem.h"
#include "framework/Dc.h"
#include "framework/String.h"

class CClassicMenuPainter {
public:
    explicit CClassicMenuPainter(const MenuPaintSettings& settings) : m_settings(settings) {}

    // A null record paints an empty item.
    void Paint(const DRAWITEMSTRUCT& item, const CPictureMenuItem* record) const;
    void DrawCheckBox(LPCRECT box, CDC* dc, BOOL selected, BOOL radio) const;

    // Grayed text: a highlight copy one pixel lower right, then gray text.
    static void DrawGrayedText(CDC* dc, const RECT& rect, const CString& label, const CString& shortcut);
    static void DrawSeparator(CDC* dc, const RECT& rect, COLORREF background);
    static void DrawSelection(CDC* dc, const RECT& rect, int left, COLORREF highlight);

private:
    COLORREF Background() const;
    MenuPictureSource PictureSource(const CPictureMenuItem* record) const;

    MenuPaintSettings m_settings;
};
