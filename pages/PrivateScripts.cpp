#include "pages/PrivateScripts.h"

#include "framework/ShellCalls.h"
#include "pages/AnsiText.h"

#include <algorithm>
#include <vector>

namespace {

// Longest path the wide file calls accept, terminator included.
constexpr DWORD kLongestPath = 32768;

// Calls `fill(buffer, capacity)`, which answers the length it wrote or, when the buffer is too
// small, the capacity it needs (or the capacity itself, when it cannot tell); grows the buffer
// until the answer fits, never beyond the longest path. Empty when the call fails or the text
// would be longer.
template <typename Fill>
CString ReadGrowingText(Fill fill) {
    DWORD capacity = MAX_PATH + 1;
    std::vector<wchar_t> buffer;
    for (;;) {
        buffer.assign(capacity, L'\0');
        const DWORD length = fill(buffer.data(), capacity);
        if (length == 0) {
            return CString();
        }
        if (length < capacity) {
            return CString(buffer.data(), static_cast<int>(length));
        }
        if (capacity >= kLongestPath) {
            return CString();
        }
        capacity = std::min(std::max(length + 1, capacity * 2), kLongestPath);
    }
}

CString CurrentFolder() {
    return ReadGrowingText(
        [](wchar_t* buffer, DWORD capacity) { return GetCurrentDirectoryW(capacity, buffer); });
}

CString SystemFolder() {
    return ReadGrowingText([](wchar_t* buffer, DWORD capacity) {
        return static_cast<DWORD>(GetSystemDirectoryW(buffer, capacity));
    });
}

CString WindowsFolder() {
    return ReadGrowingText([](wchar_t* buffer, DWORD capacity) {
        return static_cast<DWORD>(GetWindowsDirectoryW(buffer, capacity));
    });
}

CString PathVariable() {
    return ReadGrowingText(
        [](wchar_t* buffer, DWORD capacity) { return GetEnvironmentVariableW(L"PATH", buffer, capacity); });
}

// Windows refuses a path of MAX_PATH characters or more unless it carries the \\?\ prefix (Wine
// takes it either way); the prefixed form of a full drive path works on both.
CString LongPathForm(const CString& path) {
    const bool drivePath = path.GetLength() >= 3 && path.GetAt(1) == L':' && path.GetAt(2) == L'\\';
    return drivePath && path.GetLength() >= MAX_PATH ? CString(L"\\\\?\\") + path : path;
}

// TRUE when `folder`\`name` is an existing file; `path` is then its full path.
BOOL IsFileInFolder(const CString& folder, LPCWSTR name, CString& path) {
    if (folder.IsEmpty()) {
        return FALSE;
    }
    CString candidate = folder;
    if (candidate.GetAt(candidate.GetLength() - 1) != L'\\') {
        candidate += L'\\';
    }
    candidate += name;
    const DWORD attributes = GetFileAttributesW(LongPathForm(candidate));
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FALSE;
    }
    path = candidate;
    return TRUE;
}

BOOL SearchPathVariable(LPCWSTR name, CString& path) {
    const CString folders = PathVariable();
    if (folders.IsEmpty()) {
        return FALSE;
    }
    const CString found = ReadGrowingText([&](wchar_t* buffer, DWORD capacity) {
        return SearchPathW(folders, name, nullptr, capacity, buffer, nullptr);
    });
    if (found.IsEmpty()) {
        return FALSE;
    }
    path = found;
    return TRUE;
}

// TRUE when the thread's ANSI code page carries `text` unchanged (no default character, no
// best-fit look-alike).
BOOL SurvivesAnsiCodePage(LPCWSTR text) {
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(CP_THREAD_ACP, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &usedDefault);
    return length > 0 && !usedDefault;
}

}  // namespace

CString ProgramFolder() {
    return ProgramFolderFrom(
        [](wchar_t* buffer, DWORD capacity) { return GetModuleFileNameW(nullptr, buffer, capacity); });
}

// A path that fills the buffer has been cut (and, on Windows XP, left unterminated): it is read
// again into a larger one, never taken as it is.
CString ProgramFolderFrom(ModulePathReader readPath) {
    const CString program = ReadGrowingText(readPath);
    const int slash = program.ReverseFind(L'\\');
    return slash > 0 ? program.Left(slash) : CString();
}

BOOL FindProgramFile(LPCWSTR name, LPCWSTR programFolder, CString& path) {
    if (name == nullptr || name[0] == L'\0') {
        return FALSE;
    }
    const CString windows = WindowsFolder();
    const CString fixedFolders[] = {
        programFolder != nullptr ? CString(programFolder) : CString(), CurrentFolder(), SystemFolder(),
        windows.IsEmpty() ? CString() : windows + L"\\System",         windows,
    };
    for (const CString& folder : fixedFolders) {
        if (IsFileInFolder(folder, name, path)) {
            return TRUE;
        }
    }
    return SearchPathVariable(name, path);
}

// WinExec alone would look only in the current folder under Wine, so the script is found first
// and started by its quoted full path, which works the same on Windows.
void RunScriptHidden(LPCWSTR name) {
    CString path;
    if (!FindProgramFile(name, ProgramFolder(), path)) {
        path = name;  // not found anywhere: the start fails quietly, as for a missing script
    }
    const CString commandLine = CString(L"\"") + path + CString(L"\"");
    if (!SurvivesAnsiCodePage(commandLine)) {
        AfxWinExecW(commandLine, SW_HIDE);  // a folder name the ANSI code page cannot spell
        return;
    }
    const CAnsiText narrow(commandLine, CP_THREAD_ACP);
    AfxWinExec(narrow, SW_HIDE);  // not waited for, not examined
}
