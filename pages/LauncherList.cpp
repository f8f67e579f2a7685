#include "pages/LauncherList.h"

namespace {

constexpr int kIconSize = 32;
constexpr int kInitialImages = 1;
// Room made for this many more images whenever the list is full. A grow count of 0 lets comctl32
// pick a few (Wine: 4), and then nearly every add copies the whole list; Wine takes no more than 256.
constexpr int kImageGrowCount = 256;

}  // namespace

void PrepareLauncherList(CListCtrl& list, CImageList& images) {
    images.Create(kIconSize, kIconSize, ILC_COLOR24 | ILC_MASK, kInitialImages, kImageGrowCount);
    list.SetImageList(&images, LVSIL_NORMAL);
    // The large-icon view never shows these headings; the columns exist to hold the sub-items.
    list.InsertColumn(0, L"ID", LVCFMT_LEFT, 40, -1);
    list.InsertColumn(1, L"NAME", LVCFMT_LEFT, 50, -1);
    list.InsertColumn(2, L"path", LVCFMT_LEFT, 50, -1);
}

int InsertLauncherEntry(CListCtrl& list, int requestedIndex, LPCWSTR name, int image, LPCWSTR path,
                        LPCWSTR target) {
    // A failed image add hands in -1, which names no place to insert at; such a row still goes in.
    const int at = requestedIndex < 0 ? list.GetItemCount() : requestedIndex;
    const int row = list.InsertItem(LVIF_TEXT | LVIF_IMAGE, at, name, 0, 0, image, 0);
    if (row < 0) {
        return row;  // no row to carry the texts
    }
    if (path != nullptr) {
        list.SetItemText(row, 1, path);
    }
    if (target != nullptr) {
        list.SetItemText(row, 2, target);
    }
    return row;
}
