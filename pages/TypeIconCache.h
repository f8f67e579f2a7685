// Type icons kept per file-name extension, so that entries of one type ask the shell only once.
#pragma once

#include "framework/Icon.h"
#include "framework/ImageList.h"

#include <map>
#include <set>
#include <string>

class CTypeIconCache {
public:
    CTypeIconCache() = default;
    CTypeIconCache(const CTypeIconCache&) = delete;
    CTypeIconCache& operator=(const CTypeIconCache&) = delete;
    ~CTypeIconCache();

    // Appends the type icon of `path` to `images`; returns the new image's index, or -1.
    int Append(CImageList& images, LPCWSTR path);

    // Number of icons held (one per extension seen whose icon does not depend on the file).
    int GetIconCount() const { return static_cast<int>(m_icons.size()); }

private:
    std::map<std::wstring, CIcon> m_icons;
    std::set<std::wstring> m_iconPerFile;
};
