// Paints and measures the items of a picture menu from what it is handed: the draw request, the
// item's record and the settings the menu gathered. It never calls back into the menu.
#pragma once

#include "controls/menu/MenuPaintRoutines.h"
#include "controls/menu/PictureMenuItem.h"
#include "framework/Dc.h"
#include "framework/String.h"

class CPictureMenuPainter {
public:
    explicit CPictureMenuPainter(const MenuPaintSettings& settings) : m_settings(settings) {}

    // Paints in the look the settings choose; a null record paints an empty item.
    void Paint(DRAWITEMSTRUCT& item, const CPictureMenuItem* record) const;
    void PaintClassic(const DRAWITEMSTRUCT& item, const CPictureMenuItem* record) const;
    void PaintFlat(DRAWITEMSTRUCT& item, const CPictureMenuItem* record) const;
    void Measure(MEASUREITEMSTRUCT& item, const CPictureMenuItem* record) const;

    // A request without a context or with an empty (or inverted) rectangle paints nothing.
    static bool IsDrawable(const DRAWITEMSTRUCT* item);
    // The window whose screen context texts are measured in: the thread's main window, else the desktop.
    static HWND MeasuringWindow();
    static int TextWidth(CDC& dc, const CString& text);

private:
    MenuPaintSettings m_settings;
};
