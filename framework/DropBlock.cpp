#include "framework/DropBlock.h"

#include <shlobj.h>

namespace {

// Whether the file list of the block has a first, non-empty path inside the block.
bool NamesAFile(HDROP drop) {
    const SIZE_T size = GlobalSize(drop);
    const auto* header = static_cast<const DROPFILES*>(GlobalLock(drop));
    if (header == nullptr) {
        return false;
    }
    const SIZE_T characterSize = header->fWide ? sizeof(wchar_t) : sizeof(char);
    bool names = false;
    if (size >= sizeof(DROPFILES) && header->pFiles >= sizeof(DROPFILES) &&
        header->pFiles <= size - characterSize) {
        const BYTE* first = reinterpret_cast<const BYTE*>(header) + header->pFiles;
        names = header->fWide ? *reinterpret_cast<const wchar_t*>(first) != L'\0' : *first != '\0';
    }
    GlobalUnlock(drop);
    return names;
}

}  // namespace

UINT AfxDroppedFileCount(HDROP drop) {
    if (drop == nullptr || !NamesAFile(drop)) {
        return 0;
    }
    return DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
}
