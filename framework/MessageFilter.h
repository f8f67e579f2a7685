// Lets messages from processes at a lower integrity level reach a window of an elevated process,
// which the system's message filter otherwise keeps out: a file manager's drop, the shell's
// announcement of a restart, a request from a copy of the program started without elevation.
#pragma once

#include "framework/Afx.h"

// Allows `message` for `window`. Where the system has no per-window filter (before Windows 7,
// some Wine versions) nothing changes and the result is false.
bool AllowMessageThroughFilter(HWND window, UINT message);

// Allows WM_DROPFILES, WM_COPYDATA and WM_COPYGLOBALDATA for `window`. Returns whether all three
// were allowed.
bool AllowDropMessagesThroughFilter(HWND window);

// Whether the desktop shell (the usual drag source) runs at a lower integrity level than this
// process, as it does when this program was started as administrator with UAC on. OLE drags cannot
// cross that line, and a window registered for them no longer gets the shell's WM_DROPFILES.
// False when either level cannot be read.
bool IsShellBelowOurIntegrity();
