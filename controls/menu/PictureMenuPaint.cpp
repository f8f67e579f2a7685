#include "controls/menu/PictureMenuPaint.h"

#include "framework/GdiObject.h"

namespace {

constexpr UINT kPictureStyle = ILD_TRANSPARENT;

}  // namespace

MenuPictureSource OwnPictureSource(const CPictureMenuItem* record) {
    MenuPictureSource source;
    if (record != nullptr) {
        source.index = record->m_imageIndex;
        source.imageId = record->m_imageId;
        source.list = record->m_imageList.get();
    }
    return source;
}

void UseSharedPicture(MenuPictureSource& source, int index) {
    source.index = index;
    source.imageId = 0;
    source.list = &CPictureMenu::SharedImages();
}

bool HasPictureList(const CImageList* list) { return list != nullptr && list->m_hImageList != nullptr; }

void DrawMenuPicture(CDC* dc, const CImageList* list, int index, int x, int y) {
    if (HasPictureList(list)) {
        ::ImageList_Draw(*list, index, dc->m_hDC, x, y, kPictureStyle);
    }
}

void DrawMenuPicture(CDC* dc, const CImageList* list, int index, POINT at) {
    DrawMenuPicture(dc, list, index, at.x, at.y);
}

void FillMenuArea(CDC* dc, int left, int top, int right, int bottom, COLORREF color) {
    const RECT rect = {left, top, right, bottom};
    dc->FillSolidRect(&rect, color);
}

void FillAndFrame(CDC* dc, const RECT& rect, COLORREF fill, COLORREF frame) {
    dc->FillSolidRect(&rect, fill);
    dc->Draw3dRect(&rect, frame, frame);
}

std::optional<MenuItemText> PrepareMenuItemText(const CPictureMenuItem* record, RECT rect, int pictureWidth) {
    if (record == nullptr || *record->GetText() == L'\0') {
        return std::nullopt;
    }
    const CString text = record->GetText();
    MenuItemText result;
    CPictureMenu::SplitItemText(text, result.label, result.shortcut);
    if (text.Find(L'\t') >= 0) {
        rect.right -= pictureWidth;
    }
    result.rect = rect;
    return result;
}

void DrawDisabledMenuPicture(const CPictureMenu& menu, CDC* dc, const MenuPictureSource& picture, POINT at,
                             COLORREF background) {
    CBitmap bitmap;
    if (!CPictureMenu::RenderImageToBitmap(picture.index, dc, &menu, picture.list, bitmap)) {
        return;
    }
    if (menu.m_ditherDisabled) {
        CPictureMenu::DrawDisabledDib(dc, menu.m_iconHeight, at.x, at.y, menu.m_iconWidth, &bitmap,
                                      background);
    } else {
        CPictureMenu::DrawDisabledEmbossed(menu.m_iconHeight, menu.m_iconWidth, dc, at.x, at.y, &bitmap,
                                           background);
    }
}
