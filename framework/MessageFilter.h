// Lets the messages of a shell drop reach a window of an elevated process, which the system's
// message filter otherwise keeps from a file manager running at a lower level.
#pragma once

#include "framework/Afx.h"

// Allows WM_DROPFILES, WM_COPYDATA and WM_COPYGLOBALDATA for `window`. Where the system has no
// per-window filter (before Windows 7, some Wine versions) nothing changes. Returns whether all
// three were allowed.
bool AllowDropMessagesThroughFilter(HWND window);
