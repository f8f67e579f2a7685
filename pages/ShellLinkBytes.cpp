#include "pages/ShellLinkBytes.h"

#include <cstring>

namespace {

constexpr size_t kHeaderSize = 0x4C;
constexpr size_t kClassIdOffset = 4;
constexpr size_t kFlagsOffset = 0x14;
constexpr DWORD kHasTargetItemList = 0x1;
// {00021401-0000-0000-C000-000000000046}, as stored in the file.
constexpr BYTE kShellLinkClassId[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                        0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

DWORD ReadDword(const BYTE* at) {
    DWORD value = 0;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

size_t ReadWord(const BYTE* at) {
    WORD value = 0;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

}  // namespace

bool ShellLinkItemListIsWhole(const BYTE* data, size_t size) {
    if (data == nullptr || size < kHeaderSize || ReadDword(data) != kHeaderSize ||
        std::memcmp(data + kClassIdOffset, kShellLinkClassId, sizeof(kShellLinkClassId)) != 0) {
        return false;
    }
    if ((ReadDword(data + kFlagsOffset) & kHasTargetItemList) == 0) {
        return true;
    }
    if (size < kHeaderSize + 2) {
        return false;
    }
    const size_t listStart = kHeaderSize + 2;
    const size_t listEnd = listStart + ReadWord(data + kHeaderSize);
    if (listEnd > size) {
        return false;
    }
    for (size_t at = listStart; at + 2 <= listEnd;) {
        const size_t length = ReadWord(data + at);
        if (length == 0) {
            return true;
        }
        if (length < 3 || length > listEnd - at) {
            return false;
        }
        at += length;
    }
    return false;  // no terminator inside the list
}
