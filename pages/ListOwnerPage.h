// What the launcher list needs of the page that holds it: a picture for each row it adds.
#pragma once

#include "framework/Afx.h"

class CListOwnerPage {
public:
    // Appends the large type icon of `path` to the page's image list; returns its index, or -1.
    virtual int AppendEntryIcon(LPCWSTR path) = 0;

protected:
    ~CListOwnerPage() = default;  // never deleted through this interface
};
