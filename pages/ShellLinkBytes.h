// Checks on the raw bytes of a shell shortcut (.lnk) file, made before the shell is asked to read
// one: some shell versions follow the item id list of a cut or damaged file past its end.
#pragma once

#include <windows.h>

#include <cstddef>

// The most bytes the check needs: the fixed header, the list's length and the longest list.
constexpr size_t kShellLinkCheckedBytes = 0x4C + 2 + 0xFFFF;

// Whether `data` starts with a shortcut's fixed header and, where the header says an item id list
// follows, holds that list whole: every item inside it, at least one byte past its length field,
// and the terminating zero length inside it too.
bool ShellLinkItemListIsWhole(const BYTE* data, size_t size);
