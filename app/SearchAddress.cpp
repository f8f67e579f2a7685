#include "app/SearchAddress.h"

#include <cwchar>

namespace {

constexpr wchar_t kAddressStart[] = L"http://";
constexpr wchar_t kQueryStart[] = L"/s?wd=";
constexpr wchar_t kQueryRest[] =
    L"&rsv_spt=1&issp=1&rsv_bp=0&ie=utf-8&tn=baiduhome_pg&rsv_sug3=3&rsv_sug=0&rsv_sug1=3&rsv_sug4=266&"
    L"inputT=5488";

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsUnreserved(char32_t c) {
    return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || (c >= U'0' && c <= U'9') || c == U'-' ||
           c == U'_' || c == U'.' || c == U'~';
}

// Reads one code point starting at text[*index] and advances the index past it. A lone
// surrogate stands for the replacement character.
char32_t NextCodePoint(const wchar_t* text, std::size_t* index) {
    const char32_t first = static_cast<char16_t>(text[*index]);
    ++*index;
    if (first >= 0xD800 && first <= 0xDBFF) {
        const char32_t second = static_cast<char16_t>(text[*index]);
        if (second >= 0xDC00 && second <= 0xDFFF) {
            ++*index;
            return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
        }
        return kReplacementCharacter;
    }
    if (first >= 0xDC00 && first <= 0xDFFF) {
        return kReplacementCharacter;
    }
    return first;
}

std::size_t AppendEscapedByte(unsigned byte, wchar_t* out) {
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    out[0] = L'%';
    out[1] = kHex[(byte >> 4) & 0xF];
    out[2] = kHex[byte & 0xF];
    return 3;
}

}  // namespace

std::size_t PercentEncodeCodePoint(char32_t c, wchar_t* out) {
    if (IsUnreserved(c)) {
        out[0] = static_cast<wchar_t>(c);
        return 1;
    }
    unsigned char bytes[4];
    std::size_t count = 0;
    if (c < 0x80) {
        bytes[count++] = static_cast<unsigned char>(c);
    } else if (c < 0x800) {
        bytes[count++] = static_cast<unsigned char>(0xC0 | (c >> 6));
        bytes[count++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        bytes[count++] = static_cast<unsigned char>(0xE0 | (c >> 12));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else {
        bytes[count++] = static_cast<unsigned char>(0xF0 | (c >> 18));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
    std::size_t written = 0;
    for (std::size_t i = 0; i < count; ++i) {
        written += AppendEscapedByte(bytes[i], out + written);
    }
    return written;
}

std::size_t ComposeSearchAddress(const wchar_t* text, wchar_t* address, std::size_t capacity) {
    if (address == nullptr || capacity == 0) {
        return 0;
    }
    address[0] = L'\0';
    const std::size_t fixedLength = std::wcslen(kAddressStart) + std::wcslen(kSearchHost) +
                                    std::wcslen(kQueryStart) + std::wcslen(kQueryRest);
    if (fixedLength + 1 > capacity) {
        return 0;
    }
    std::size_t length = 0;
    auto append = [&](const wchar_t* part) {
        const std::size_t partLength = std::wcslen(part);
        std::wmemcpy(address + length, part, partLength);
        length += partLength;
    };
    append(kAddressStart);
    append(kSearchHost);
    append(kQueryStart);

    // Room left for the encoded text, keeping the rest of the query and the terminator.
    const std::size_t textRoom = capacity - 1 - fixedLength;
    std::size_t textUsed = 0;
    std::size_t encodedLength = 0;
    if (text != nullptr) {
        wchar_t encoded[12];
        std::size_t index = 0;
        while (text[index] != L'\0') {
            std::size_t next = index;
            const std::size_t size = PercentEncodeCodePoint(NextCodePoint(text, &next), encoded);
            if (encodedLength + size > textRoom) {
                break;  // cut before a character that does not fit whole
            }
            std::wmemcpy(address + length, encoded, size);
            length += size;
            encodedLength += size;
            index = next;
        }
        textUsed = index;
    }
    append(kQueryRest);
    address[length] = L'\0';
    return textUsed;
}
