// Lets the messages of a shell drop reach a window of an elevated process, which the system's
// message filter otherwise keeps from a file manager running at a lower level.
#pragma once

#include "framework/Afx.h"

// Allows WM_DROPFILES, WM_COPYDATA and WM_COPYGLOBALDATA for `window`. Where the system has no
// per-window filter (before Windows 7, some Wine versions) nothing changes. Returns whether all
// three were allowed.
bool AllowDropMessagesThroughFilter(HWND window);

// Whether the desktop shell (the usual drag source) runs at a lower integrity level than this
// process, as it does when this program was started as administrator with UAC on. OLE drags cannot
// cross that line, and a window registered for them no longer gets the shell's WM_DROPFILES.
// False when either level cannot be read.
bool IsShellBelowOurIntegrity();
