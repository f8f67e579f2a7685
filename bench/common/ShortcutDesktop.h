// Program shortcuts put on the user's desktop for a benchmark, and the program files they point
// at. Both go with the object; bench/run empties the desktop before every benchmark in case a
// killed one could not clean up.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "framework/InterfacePtr.h"

#include <string>
#include <utility>
#include <vector>

namespace bench {

inline constexpr wchar_t kShortcutPrefix[] = L"bench-program-";

inline std::wstring DesktopFolder() {
    wchar_t path[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE);
    return path;
}

// Files and folders in the desktop folder, whoever put them there.
inline int DesktopEntryCount() {
    const std::wstring pattern = DesktopFolder() + L"\\*";
    WIN32_FIND_DATAW found = {};
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    int count = 0;
    do {
        if (lstrcmpW(found.cFileName, L".") != 0 && lstrcmpW(found.cFileName, L"..") != 0) {
            ++count;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

class CShortcutDesktop {
public:
    // The targets go into `folder` under the temporary folder. Each is a copy of `program`, so
    // that it is a real program; with no program given they are empty files, which cost nothing
    // to make by the thousand and resolve the same.
    explicit CShortcutDesktop(const wchar_t* folder, std::wstring program = {})
        : m_program(std::move(program)) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_targets = std::wstring(temp) + folder;
        CreateDirectoryW(m_targets.c_str(), nullptr);  // it may be left from a run that was stopped
    }
    ~CShortcutDesktop() {
        for (const std::wstring& path : m_links) {
            DeleteFileW(path.c_str());
        }
        for (const std::wstring& path : m_files) {
            DeleteFileW(path.c_str());
        }
        RemoveDirectoryW(m_targets.c_str());
    }
    CShortcutDesktop(const CShortcutDesktop&) = delete;
    CShortcutDesktop& operator=(const CShortcutDesktop&) = delete;

    // Adds shortcuts until the desktop holds `count` of ours; false when a target or a shortcut
    // could not be written.
    bool GrowTo(int count) {
        const std::wstring desktop = DesktopFolder();
        const HRESULT com = CoInitialize(nullptr);
        bool written = true;
        for (int i = static_cast<int>(m_files.size()); i < count; ++i) {
            const std::wstring target = m_targets + L"\\program" + Numbered(i) + L".exe";
            written = WriteTarget(target) && written;
            m_files.push_back(target);
            const std::wstring link = desktop + L"\\" + kShortcutPrefix + Numbered(i) + L".lnk";
            if (WriteShortcut(link, target)) {
                m_links.push_back(link);
            }
        }
        if (SUCCEEDED(com)) {
            CoUninitialize();
        }
        return written && static_cast<int>(m_links.size()) == count;
    }

    const std::vector<std::wstring>& Links() const { return m_links; }

    // Writes one shortcut to `target` at `link`. The link is saved into memory and written out
    // here: saving it straight to a file also makes some systems start a helper program per link,
    // which would dominate the set-up time.
    static bool WriteShortcut(const std::wstring& link, const std::wstring& target) {
        CInterfacePtr<IShellLinkW> shellLink;
        CInterfacePtr<IPersistStream> persist;
        CInterfacePtr<IStream> stream;
        HGLOBAL memory = nullptr;
        STATSTG stat = {};
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    shellLink.ReceiveVoid())) ||
            FAILED(shellLink->SetPath(target.c_str())) ||
            FAILED(shellLink->QueryInterface(IID_IPersistStream, persist.ReceiveVoid())) ||
            FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive())) ||
            FAILED(persist->Save(stream.Get(), TRUE)) ||
            FAILED(GetHGlobalFromStream(stream.Get(), &memory)) ||
            FAILED(stream->Stat(&stat, STATFLAG_NONAME))) {
            return false;
        }
        const HANDLE file = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        DWORD written = 0;
        const auto size = static_cast<DWORD>(stat.cbSize.QuadPart);
        const bool saved = WriteFile(file, GlobalLock(memory), size, &written, nullptr) && written == size;
        GlobalUnlock(memory);
        CloseHandle(file);
        return saved;
    }

private:
    static std::wstring Numbered(int number) {
        wchar_t digits[16];
        wsprintfW(digits, L"%05d", number);
        return digits;
    }

    bool WriteTarget(const std::wstring& target) const {
        if (!m_program.empty()) {
            return CopyFileW(m_program.c_str(), target.c_str(), FALSE) != FALSE;
        }
        const HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        CloseHandle(file);
        return true;
    }

    std::wstring m_program;
    std::wstring m_targets;
    std::vector<std::wstring> m_files;
    std::vector<std::wstring> m_links;
};

}  // namespace bench
