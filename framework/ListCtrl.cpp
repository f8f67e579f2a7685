#include "framework/ListCtrl.h"

#include "framework/ImageList.h"

HIMAGELIST CListCtrl::SetImageList(CImageList* images, int which) {
    return reinterpret_cast<HIMAGELIST>(
        SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(which),
                    reinterpret_cast<LPARAM>(images != nullptr ? images->m_hImageList : nullptr)));
}

int CListCtrl::InsertColumn(int column, LPCWSTR heading, int format, int width, int subItem) {
    LVCOLUMNW col = {};
    col.mask = LVCF_FMT | LVCF_TEXT;
    col.fmt = format;
    col.pszText = const_cast<LPWSTR>(heading);
    if (width != -1) {
        col.mask |= LVCF_WIDTH;
        col.cx = width;
    }
    if (subItem != -1) {
        col.mask |= LVCF_SUBITEM;
        col.iSubItem = subItem;
    }
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::InsertItem(UINT mask, int item, LPCWSTR text, UINT state, UINT stateMask, int image,
                          LPARAM param) {
    LVITEMW row = {};
    row.mask = mask;
    row.iItem = item;
    row.pszText = const_cast<LPWSTR>(text);
    row.state = state;
    row.stateMask = stateMask;
    row.iImage = image;
    row.lParam = param;
    return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row)));
}

BOOL CListCtrl::SetItemText(int item, int subItem, LPCWSTR text) {
    LVITEMW row = {};
    row.iSubItem = subItem;
    row.pszText = const_cast<LPWSTR>(text);
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row)));
}

CString CListCtrl::GetItemText(int item, int subItem) const {
    CString text;
    if (item < 0) {
        return text;
    }
    // The control copies at most the buffer's size and gives no length up front: grow until the
    // text fits with room to spare.
    for (int capacity = 256;; capacity *= 2) {
        wchar_t* buffer = text.GetBuffer(capacity);
        LVITEMW row = {};
        row.iSubItem = subItem;
        row.pszText = buffer;
        row.cchTextMax = capacity + 1;
        const int copied = static_cast<int>(
            SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row)));
        if (copied < capacity || capacity >= (1 << 20)) {
            text.ReleaseBuffer(copied);
            return text;
        }
    }
}

int CListCtrl::GetItemText(int item, int subItem, LPWSTR buffer, int length) const {
    if (buffer == nullptr || length <= 0) {
        return 0;
    }
    buffer[0] = L'\0';
    if (item < 0) {
        return 0;
    }
    LVITEMW row = {};
    row.iSubItem = subItem;
    row.pszText = buffer;
    row.cchTextMax = length;
    return static_cast<int>(
        SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row)));
}

int CListCtrl::GetSelectionMark() const { return static_cast<int>(SendMessage(LVM_GETSELECTIONMARK)); }

BOOL CListCtrl::DeleteItem(int item) {
    return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(item)));
}

int CListCtrl::GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
