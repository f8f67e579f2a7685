// Texts derived from the path of a launcher entry.
#pragma once

#include "framework/String.h"

// Capacity of the classic path buffer, terminator included.
inline constexpr int kPathCapacity = MAX_PATH;

// What a dropped item is called in the list: the text after the last backslash, or the whole
// path when it has none. The extension stays; nothing changes case.
CString DisplayNameFromPath(const CString& path);

// Joins a folder and a file name with a backslash. FALSE when the result would not fit the
// classic path buffer: such a path is not used at all, since a cut one names another file.
BOOL JoinItemPath(LPCWSTR folder, LPCWSTR name, CString& path);

// The command line that shows `path` selected in the file manager. The path is quoted, so names
// with spaces or commas reach the file manager whole.
CString LocateCommandLine(const CString& path);
