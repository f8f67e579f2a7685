// Tab control wrapper.
#pragma once

#include "framework/Wnd.h"

class CImageList;

class CTabCtrl : public CWnd {
public:
    HIMAGELIST SetImageList(CImageList* images);
    // Inserts tab `item` with the fields that `mask` names; returns its index or -1.
    LONG InsertItem(UINT mask, int item, LPCWSTR text, int image, LPARAM param);
    int GetCurSel() const;
    int SetCurSel(int item);
    int GetItemCount() const;
    BOOL GetItemRect(int item, LPRECT rect) const;
};
