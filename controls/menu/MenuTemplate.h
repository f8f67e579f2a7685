// Reading of standard (version 0) menu templates held in memory, with no window or menu involved.
// Every read is bounded by the template's size: a template cut short, a text without its
// terminator, a level never closed or items after the last level make the whole template malformed.
#pragma once

#include "framework/Afx.h"

#include <cstddef>
#include <string>
#include <vector>

// Deepest nesting of pop-up levels a template may have, the menu bar counted as level 1. Deeper
// templates are refused rather than built: nobody can use such a menu, and its teardown recurses.
inline constexpr int kMaxMenuTemplateDepth = 64;

// The option flags a template item may carry; anything else (bitmap or owner-drawn types, say)
// would make the platform take the item's data for something it is not.
inline constexpr UINT kMenuTemplateItemFlags = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP |
                                               MF_MENUBARBREAK | MF_MENUBREAK | MF_END | MF_SEPARATOR |
                                               MF_HELP;

struct CMenuTemplateItem {
    UINT flags = 0;  // option flags as stored, MF_END included
    UINT id = 0;     // command id; 0 for a pop-up
    std::wstring text;
};

// Reads all items of the template `bytes` (`size` bytes) in template order. Returns false, with
// `items` emptied, when the template is malformed. Zero bytes after the last level are padding.
bool ParseMenuTemplate(const void* bytes, std::size_t size, std::vector<CMenuTemplateItem>& items);
