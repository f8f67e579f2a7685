#include "bench/user_soak/SoakText.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <iterator>

std::string CSoakText::Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

std::vector<std::string> CSoakText::Lines(const std::wstring& path) {
    std::vector<std::string> lines;
    std::ifstream file(path.c_str(), std::ios::binary);
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::wstring CSoakText::WithoutControlCharacters(const std::wstring& text) {
    std::wstring kept;
    std::copy_if(text.begin(), text.end(), std::back_inserter(kept), [](wchar_t c) { return c >= L' '; });
    return kept;
}
