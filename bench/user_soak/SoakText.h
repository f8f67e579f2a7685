// Text as the soak reads and writes it: UTF-8 for logs and files, Unicode for the program.
#pragma once

#include <string>
#include <vector>

class CSoakText {
public:
    static std::string Utf8(const std::wstring& text);
    // The lines of a file, empty when it cannot be read.
    static std::vector<std::string> Lines(const std::wstring& path);
    // What an edit box keeps of typed text: control characters give it no text.
    static std::wstring WithoutControlCharacters(const std::wstring& text);
};
