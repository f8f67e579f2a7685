// A menu whose items the program paints itself, with pictures, in a classic look (raised and
// sunken picture frames, highlight-coloured selection bar) or a flat look (a tinted picture column,
// a light selection rectangle with a thin border). Every pop-up level is a CPictureMenu of its own,
// bound to its menu handle, so the framework hands each level's WM_DRAWITEM and WM_MEASUREITEM to
// the object that holds the level's item records.
#pragma once

#include "controls/menu/MenuPaintRoutines.h"
#include "controls/menu/PictureMenuItem.h"
#include "controls/menu/PictureMenuItemList.h"
#include "controls/menu/PictureMenuShared.h"
#include "framework/Array.h"
#include "framework/Dc.h"
#include "framework/GdiObject.h"
#include "framework/ImageList.h"
#include "framework/Menu.h"
#include "framework/String.h"

#include <cstddef>
#include <memory>
#include <vector>

struct CMenuTemplateItem;

class CPictureMenu : public CMenu {
public:
    CPictureMenu();
    ~CPictureMenu() override;

    // --- The look: Windows version, desktop theme, draw mode (kept in CPictureMenuShared).
    static int GetOsVersionCode() noexcept;
    // Whether the desktop runs the classic theme; read once, then cached.
    static BOOL IsClassicTheme();

    enum DrawMode : int {
        DRAW_MODE_AUTO = CPictureMenuShared::kDrawModeAuto,
        DRAW_MODE_FLAT = CPictureMenuShared::kDrawModeFlat
    };
    // FALSE, with the mode unchanged, for a mode other than DRAW_MODE_AUTO or DRAW_MODE_FLAT.
    static BOOL SetDrawMode(int mode);
    static int GetDrawMode();

    // --- Building and tearing down.
    // Who owns what: this menu owns its records, the sub-menus handed to AppendSubMenu (and those
    // loading makes), and its check pictures unless they are shared from a parent. A pop-up's
    // sub-menu given to AppendItem by handle stays its giver's: teardown takes it out of this
    // menu, unharmed, and whoever made it destroys it.
    BOOL AppendItem(LPCWSTR text, UINT flags, UINT_PTR id);
    // Appends a pop-up entry (MF_POPUP is added) for `subMenu`, which this menu then owns; FALSE,
    // with the sub-menu deleted, when the platform refuses the entry.
    BOOL AppendSubMenu(LPCWSTR text, UINT flags, std::unique_ptr<CPictureMenu> subMenu);
    BOOL GetItemText(int index, CString& text) const;
    // Whether `menu` is a sub-menu appended to some CPictureMenu (the registry of sub-menus).
    static BOOL IsOwnedSubMenu(HMENU menu);
    static BOOL IsOwnedSubMenu(const CMenu* menu);
    void RestoreBarItems();
    BOOL DestroyMenu() override;

    // --- Loading from a menu template.
    BOOL LoadMenu(UINT id) override;
    BOOL LoadMenu(LPCWSTR name) override;
    // Builds the menu from the bytes of a standard menu template; FALSE, with the menu as it was,
    // when the template is malformed.
    BOOL LoadMenuTemplate(const void* bytes, std::size_t size);
    void AlignAcceleratorText();

    // --- Measuring.
    void MeasureItem(LPMEASUREITEMSTRUCT item) override;
    // The record an item's data points at when it is one of this menu's or its sub-menus'; nullptr
    // for data that other code gave an owner-drawn item.
    const CPictureMenuItem* FindRecord(ULONG_PTR itemData) const;

    // --- Keyboard mnemonics and record re-synchronisation.
    static LRESULT FindShortcut(UINT ch, UINT flags, CMenu* menu);
    void SyncItems();
    std::unique_ptr<CPictureMenuItem> ReplaceItemAt(int position, UINT_PTR id, LPCWSTR text, UINT flags);

    // --- Drawing (both looks), done by CPictureMenuPainter with this menu's settings.
    void DrawItem(LPDRAWITEMSTRUCT item) override;
    // One look, whatever the settings; the item data must be a record (or 0 for an empty item).
    void DrawItemClassic(LPDRAWITEMSTRUCT item);
    void DrawItemFlat(LPDRAWITEMSTRUCT item);
    static COLORREF LightenColor(double fraction, COLORREF color);
    static BOOL RenderImageToBitmap(int index, CDC* target, const CPictureMenu* menu, const CImageList* list,
                                    CBitmap& bitmap);
    static void DrawDisabledEmbossed(int height, int width, CDC* target, int x, int y, CBitmap* source,
                                     COLORREF background);
    static void DrawDisabledDib(CDC* target, int height, int x, int y, int width, CBitmap* source,
                                COLORREF background);
    void DrawCheckBoxClassic(LPCRECT box, CDC* dc, BOOL selected, BOOL radio);
    BOOL DrawCheckBoxFlat(COLORREF highlight, LPCRECT box, CDC* dc, BOOL radio);
    static void DrawCheckMark(COLORREF color, int x, int y, CDC* dc);
    static void DrawRadioDot(COLORREF color, int x, int y, CDC* dc);
    static BOOL HasImageTriple(int index);

    // --- Pictures. Icons handed in are copied: the caller keeps (and destroys) them.
    static constexpr int kDefaultIconWidth = 16;
    static constexpr int kDefaultIconHeight = 15;
    // Gives every item with `commandId`, in this menu and its sub-menus, its own copy of `icon`;
    // NULL takes the own picture away. FALSE when no item has that id or a picture cannot be made.
    BOOL SetItemPicture(UINT commandId, HICON icon);
    // Appends a picture for `commandId` to the shared list; its index, or -1 (nothing added).
    static int AddSharedPicture(UINT commandId, HICON icon);
    // Appends a flat-look triple for `commandId`: `hot` (selected or checked), `rest` (unselected)
    // and the hot picture's `shadow`. The index of `hot`, or -1 with nothing added.
    static int AddSharedPictureTriple(UINT commandId, HICON hot, HICON rest, HICON shadow);
    static void ClearSharedPictures();
    // Points this menu's records (and its sub-menus') at their command's first shared picture.
    // Registered sub-menus are kept up to date by the shared-picture operations themselves.
    void ResolveSharedPictures();
    // Check pictures of this menu and of the sub-menus sharing its pictures; a NULL icon is absent
    // (the other one stands in for it), two NULLs take the check pictures away.
    BOOL SetCheckPictures(HICON unselected, HICON selected);

    // --- Members.
    CPictureMenuItemList m_items;
    // Every sub-menu appended, owned or not (see AppendItem).
    CTypedPtrArray<CPtrArray, HMENU> m_subMenus;
    int m_iconWidth = kDefaultIconWidth;
    int m_iconHeight = kDefaultIconHeight;
    BOOL m_ditherDisabled = FALSE;
    // The check pictures in use: this menu's own, or a parent's it shares (m_checkImagesShared).
    const CImageList* m_checkImages = nullptr;
    std::unique_ptr<CImageList> m_ownCheckImages;
    BOOL m_checkImagesShared = FALSE;
    int m_checkSelectedId = -1;
    int m_checkUnselectedId = -1;
    BOOL m_isMenuBar = FALSE;

private:
    // Flags of a pop-up entry of a loaded menu bar: a plain string, not owner-drawn.
    static constexpr UINT kBarPopupFlags = MF_BYPOSITION | MF_POPUP;

    static CPictureMenuShared& Shared();
    // What the painter is told about this menu and the class-wide settings.
    MenuPaintSettings PaintSettings() const;
    // TRUE when an owner-drawn item of this level carries `data`.
    BOOL HoldsItemData(ULONG_PTR data) const;
    BOOL OwnsSubMenu(HMENU subMenu) const;
    void TakeOutForeignSubMenus();
    BOOL BuildLevels(const std::vector<CMenuTemplateItem>& items);
    void FinishMenuBar();
    // This menu and every sub-menu object below it, each once.
    std::vector<CPictureMenu*> Levels();
    void ResolveOwnSharedPictures();
    static void ResolveRegisteredSharedPictures();
    void ShareCheckPictures(const CImageList* previous);

    // The sub-menus this menu made or was given to own, in the order they were appended.
    std::vector<std::unique_ptr<CPictureMenu>> m_ownedSubMenus;
};
