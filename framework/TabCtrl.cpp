#include "framework/TabCtrl.h"

#include "framework/ImageList.h"

HIMAGELIST CTabCtrl::SetImageList(CImageList* images) {
    return reinterpret_cast<HIMAGELIST>(SendMessage(
        TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images != nullptr ? images->m_hImageList : nullptr)));
}

LONG CTabCtrl::InsertItem(UINT mask, int item, LPCWSTR text, int image, LPARAM param) {
    TCITEMW tab = {};
    tab.mask = mask;
    tab.pszText = const_cast<LPWSTR>(text);
    tab.iImage = image;
    tab.lParam = param;
    return static_cast<LONG>(
        SendMessage(TCM_INSERTITEMW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&tab)));
}

int CTabCtrl::GetCurSel() const { return static_cast<int>(SendMessage(TCM_GETCURSEL)); }

int CTabCtrl::SetCurSel(int item) {
    return static_cast<int>(SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(item)));
}

int CTabCtrl::GetItemCount() const { return static_cast<int>(SendMessage(TCM_GETITEMCOUNT)); }

BOOL CTabCtrl::GetItemRect(int item, LPRECT rect) const {
    return static_cast<BOOL>(
        SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(rect)));
}
