// The shell's large icons for entry paths, chosen from the name's type without opening the item.
#pragma once

#include "framework/Icon.h"
#include "framework/ImageList.h"

// A new icon for the type of `path`, owned from the start; empty when the shell has none.
CIcon LoadTypeIcon(LPCWSTR path);

// Whether the shell takes the icon of this type from each file itself (a "%1" default icon), so
// that two files of the type may show different icons.
BOOL TypeIconComesFromFile(LPCWSTR path);

// Appends the type icon of `path` to `images` and lets go of the shell's icon; returns the new
// image's index, or -1 when there was no icon or the add failed.
int AppendTypeIcon(CImageList& images, LPCWSTR path);
