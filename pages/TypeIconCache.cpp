#include "pages/TypeIconCache.h"

#include "pages/ShellIcons.h"

#include <shlwapi.h>

#include <utility>

namespace {

std::wstring ExtensionKey(LPCWSTR path) {
    std::wstring key = PathFindExtensionW(path);
    if (!key.empty()) {
        CharLowerBuffW(key.data(), static_cast<DWORD>(key.size()));
    }
    return key;
}

}  // namespace

CTypeIconCache::~CTypeIconCache() = default;

// The shell picks these icons from the name's type alone, so one icon per extension serves every
// entry, except for types whose icon is read from each file.
int CTypeIconCache::Append(CImageList& images, LPCWSTR path) {
    const std::wstring key = ExtensionKey(path);
    const auto found = m_icons.find(key);
    if (found != m_icons.end()) {
        return images.Add(found->second);
    }
    if (m_iconPerFile.count(key) != 0) {
        return AppendTypeIcon(images, path);
    }
    if (TypeIconComesFromFile(path)) {
        m_iconPerFile.insert(key);
        return AppendTypeIcon(images, path);
    }
    CIcon icon = LoadTypeIcon(path);
    const int index = images.Add(icon);
    if (icon != nullptr) {
        m_icons.emplace(key, std::move(icon));
    }
    return index;
}
