// Grey copies of icons, for a button's idle picture.
#pragma once

#include "framework/Afx.h"

// A grey copy of `icon` with its size and mask: each pixel's colour becomes its grey level (pure
// black stays black) and each pixel's alpha is kept, so the copy is as transparent as the icon.
// NULL for an icon without a colour picture (a monochrome one) or when a copy cannot be made.
HICON CreateGreyIcon(HICON icon);
// The grey level a colour gets in the copy.
BYTE GreyLevel(BYTE red, BYTE green, BYTE blue);
