// Paints one picture-menu item in the flat look: a tinted picture column on the left and a light
// selection rectangle with a thin border. It paints from its arguments alone.
#pragma once

#include "controls/menu/MenuPaintRoutines.h"
#include "controls/menu/PictureMenuItem.h"
#include "framework/Dc.h"

class CFlatMenuPainter {
public:
    explicit CFlatMenuPainter(const MenuPaintSettings& settings) : m_settings(settings) {}

    // A null record paints an empty item. The request's state may be changed (see the definition).
    void Paint(DRAWITEMSTRUCT& item, const CPictureMenuItem* record) const;

    static BOOL DrawCheckBox(COLORREF highlight, LPCRECT box, CDC* dc, BOOL radio);
    static void DrawSeparator(CDC* dc, const RECT& rect, int columnWidth, COLORREF window, COLORREF column);
    static void DrawSelection(CDC* dc, const RECT& rect, COLORREF fill, COLORREF highlight);

private:
    MenuPictureSource PictureSource(const CPictureMenuItem* record) const;

    MenuPaintSettings m_settings;
};
