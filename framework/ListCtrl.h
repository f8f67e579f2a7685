// List-view control wrapper.
#pragma once

#include "framework/Wnd.h"

class CImageList;

class CListCtrl : public CWnd {
public:
    HIMAGELIST SetImageList(CImageList* images, int which);
    int InsertColumn(int column, LPCWSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
    // Inserts a row; the list may place it elsewhere when it is sorted. Returns the row's index.
    int InsertItem(UINT mask, int item, LPCWSTR text, UINT state, UINT stateMask, int image, LPARAM param);
    BOOL SetItemText(int item, int subItem, LPCWSTR text);
    // Whole text of a row's sub-item (empty for a row that does not exist).
    CString GetItemText(int item, int subItem) const;
    // Copies at most length - 1 characters into `buffer`; returns the number copied.
    int GetItemText(int item, int subItem, LPWSTR buffer, int length) const;
    int GetSelectionMark() const;
    BOOL DeleteItem(int item);
    int GetItemCount() const;
};
