// Whoever takes the files of a drop that the OLE drop target received.
#pragma once

#include "framework/Afx.h"

class CDroppedFilesReceiver {
public:
    // Takes the files the block names; does not free the block.
    virtual void AddDroppedFiles(HDROP drop) = 0;

protected:
    ~CDroppedFilesReceiver() = default;  // never deleted through this interface
};
