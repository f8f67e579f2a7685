// Reading and writing shell shortcut (.lnk) files.
#pragma once

#include "framework/String.h"

// The target path stored in the shortcut file at `path`; empty when the file is not a shortcut
// or cannot be read.
CString ResolveShortcutTarget(LPCWSTR path);

// Writes a shortcut to `target` into the file at `linkPath`, replacing the file if it exists.
// Nothing but the target is set. Failures pass silently.
void CreateShortcutFile(LPCWSTR target, LPCWSTR linkPath);
