#include "framework/DropBlock.h"

#include <shlobj.h>

#include <climits>

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

// A block that names no file, or whose file list starts outside the block, counts 0: some systems
// would count one file there and read its path past the block.
UINT CDropBlock::GetFileCount() const {
    if (m_drop == nullptr || !NamesAFile(m_drop)) {
        return 0;
    }
    return DragQueryFileW(m_drop, 0xFFFFFFFF, nullptr, 0);
}

// Sized from the length the block reports, and terminated whatever the copy returns.
CString CDropBlock::GetFilePath(UINT index) const {
    const UINT length = m_drop != nullptr ? DragQueryFileW(m_drop, index, nullptr, 0) : 0;
    if (length == 0 || length >= static_cast<UINT>(INT_MAX)) {
        return CString();
    }
    CString path;
    const UINT copied = DragQueryFileW(m_drop, index, path.GetBuffer(static_cast<int>(length)), length + 1);
    path.ReleaseBuffer(static_cast<int>(copied <= length ? copied : length));
    return path;
}
