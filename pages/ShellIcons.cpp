#include "pages/ShellIcons.h"

#include "framework/Icon.h"
#include "framework/ShellCalls.h"

#include <shlwapi.h>

#include <string>

namespace {

// The default value of a key under HKEY_CLASSES_ROOT, unexpanded; empty when there is none.
std::wstring ClassesRootDefault(const std::wstring& key) {
    constexpr DWORD kFlags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    DWORD size = 0;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, kFlags, nullptr, nullptr, &size) !=
            ERROR_SUCCESS ||
        size < sizeof(wchar_t)) {
        return {};
    }
    std::wstring value(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, kFlags, nullptr, value.data(), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    value.resize(wcsnlen(value.c_str(), value.size()));
    return value;
}

bool NamesTheFileItself(const std::wstring& iconLocation) {
    return iconLocation.find(L"%1") != std::wstring::npos;
}

}  // namespace

CIcon LoadTypeIcon(LPCWSTR path) {
    SHFILEINFOW info = {};
    // Large icon (SHGFI_LARGEICON is 0) of the name's type; the result is in the record, which stays
    // zeroed on failure.
    AfxGetFileInfo(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_USEFILEATTRIBUTES);
    return CIcon(info.hIcon);
}

BOOL TypeIconComesFromFile(LPCWSTR path) {
    const std::wstring extension = PathFindExtensionW(path);
    if (extension.empty()) {
        return FALSE;
    }
    if (NamesTheFileItself(ClassesRootDefault(extension + L"\\DefaultIcon"))) {
        return TRUE;
    }
    const std::wstring type = ClassesRootDefault(extension);
    return !type.empty() && NamesTheFileItself(ClassesRootDefault(type + L"\\DefaultIcon"));
}

int AppendTypeIcon(CImageList& images, LPCWSTR path) {
    const CIcon icon = LoadTypeIcon(path);
    return images.Add(icon);  // the image list keeps its own copy
}
