// The file count of a block of dropped files, read safely.
#pragma once

#include "framework/Afx.h"

// The number of files the block names. A block that names none, or whose file list starts outside
// the block, counts 0: some systems would count one file there and read its path past the block.
UINT AfxDroppedFileCount(HDROP drop);
