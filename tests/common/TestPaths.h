// Where the build put things: every exe (program, tests, tools) is in one folder.
#pragma once
#include <string>

namespace test_paths {

// Folder of the running test exe, without a trailing backslash.
std::wstring ModuleFolder();

// Full path of a file next to the test exe, e.g. BinFile(L"Dalvorin.exe").
std::wstring BinFile(const std::wstring& name);

}  // namespace test_paths
