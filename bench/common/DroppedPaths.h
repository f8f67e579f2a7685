// Names of files that the drop benchmarks hand to the page.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

inline constexpr int kDroppedTypeCount = 8;

// Names in no particular order, of the kinds a user drops: programs, documents, shortcuts,
// pictures, folders; under C:\`folder`\.
inline std::wstring DroppedPath(const wchar_t* folder, int number) {
    static const wchar_t* const kTypes[kDroppedTypeCount] = {L".exe", L".txt", L".docx", L".lnk",
                                                             L".png", L".pdf", L".zip",  L""};
    unsigned state = static_cast<unsigned>(number) * 2654435761u + 12345u;
    state ^= state >> 15;
    wchar_t name[96];
    wsprintfW(name, L"C:\\%s\\batch%03d\\%08x-%05d%s", folder, number / 1000, state, number,
              kTypes[number % kDroppedTypeCount]);
    return name;
}

}  // namespace bench
