// A block of dropped files (CF_HDROP), as WM_DROPFILES and an OLE drag hand it over, read safely.
// It does not own the block: WM_DROPFILES gives it back with DragFinish, an OLE drag with
// ReleaseStgMedium.
#pragma once

#include "framework/Afx.h"
#include "framework/String.h"

class CDropBlock {
public:
    explicit CDropBlock(HDROP drop) : m_drop(drop) {}

    // The number of files the block names.
    UINT GetFileCount() const;
    // The whole path of file `index`, however long (a cut path would name another file); empty
    // when the block does not hold it.
    CString GetFilePath(UINT index) const;

private:
    HDROP m_drop;
};
