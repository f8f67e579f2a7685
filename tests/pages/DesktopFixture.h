// Real files for the page tests: shortcuts and other items on the user's desktop folder, and the
// programs and documents they point at in a scratch folder. Everything made here, and every path
// handed to Track, is removed again when the fixture goes, since all tests share one desktop; what
// a stopped test left there is cleared when the next fixture is made.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace fixture {

inline std::wstring DesktopFolder() {
    wchar_t path[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE);
    return path;
}

// Paths of any length go through the "\\?\" form, which skips the classic limit.
inline std::wstring LongForm(const std::wstring& path) { return L"\\\\?\\" + path; }

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(LongForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok = bytes.empty() ||
                    (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                     written == bytes.size());
    CloseHandle(file);
    return ok;
}

inline std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(LongForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty()) {
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    }
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

inline bool Exists(const std::wstring& path) {
    return GetFileAttributesW(LongForm(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The names in a folder, without "." and "..".
inline std::vector<std::wstring> NamesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(LongForm(folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (lstrcmpW(found.cFileName, L".") != 0 && lstrcmpW(found.cFileName, L"..") != 0) {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// Removes a file, or a folder with all it holds, read-only or not, at any path length. A linked
// folder goes as a link: what it points at stays.
inline void RemoveTree(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(LongForm(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    SetFileAttributesW(LongForm(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        DeleteFileW(LongForm(path).c_str());
        return;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        for (const std::wstring& name : NamesIn(path)) {
            RemoveTree(path + L"\\" + name);
        }
    }
    RemoveDirectoryW(LongForm(path).c_str());
}

// Writes a shell link with the platform's own objects, independently of the code under test.
// COM is initialised and released here, so the caller's COM state is unchanged. The link is saved
// into memory and written out here: a save straight to a file also starts a helper program per
// link on some systems, which costs more than everything else a test does.
inline bool WriteShortcut(const std::wstring& linkPath, const std::wstring& target) {
    const HRESULT init = CoInitialize(nullptr);
    std::string bytes;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistStream* persist = nullptr;
        IStream* stream = nullptr;
        if (SUCCEEDED(link->SetPath(target.c_str())) &&
            SUCCEEDED(link->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&persist))) &&
            SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
            SUCCEEDED(persist->Save(stream, TRUE))) {
            HGLOBAL memory = nullptr;
            STATSTG stat = {};
            if (SUCCEEDED(GetHGlobalFromStream(stream, &memory)) &&
                SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME))) {
                bytes.assign(static_cast<const char*>(GlobalLock(memory)),
                             static_cast<size_t>(stat.cbSize.QuadPart));
                GlobalUnlock(memory);
            }
        }
        if (stream != nullptr) {
            stream->Release();
        }
        if (persist != nullptr) {
            persist->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) {
        CoUninitialize();
    }
    return !bytes.empty() && WriteBytes(linkPath, bytes);
}

// The target stored in a link, read with the platform's objects; empty if it is not one.
inline std::wstring ReadShortcutTarget(const std::wstring& linkPath) {
    const HRESULT init = CoInitialize(nullptr);
    std::wstring target;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t buffer[1024] = {};
            if (SUCCEEDED(file->Load(linkPath.c_str(), STGM_READ)) &&
                SUCCEEDED(link->GetPath(buffer, 1024, nullptr, 0))) {
                target = buffer;
            }
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init)) {
        CoUninitialize();
    }
    return target;
}

class DesktopFixture {
public:
    DesktopFixture() : m_desktop(DesktopFolder()) {
        ClearLeftovers();
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_scratch = std::wstring(temp) + L"dalvorin-fixture-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(m_scratch.c_str(), nullptr);
        m_folders.push_back(m_scratch);
    }
    ~DesktopFixture() {
        for (auto it = m_files.rbegin(); it != m_files.rend(); ++it) {
            SetFileAttributesW(LongForm(*it).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(LongForm(*it).c_str());
        }
        for (auto it = m_folders.rbegin(); it != m_folders.rend(); ++it) {
            RemoveDirectoryW(LongForm(*it).c_str());
        }
    }
    DesktopFixture(const DesktopFixture&) = delete;
    DesktopFixture& operator=(const DesktopFixture&) = delete;

    const std::wstring& Desktop() const { return m_desktop; }
    const std::wstring& Scratch() const { return m_scratch; }
    std::wstring OnDesktop(const std::wstring& name) const { return m_desktop + L"\\" + name; }

    // Names in the desktop folder before anything was added (it should be empty).
    static std::vector<std::wstring> DesktopContents() { return NamesIn(DesktopFolder()); }

    // A test stopped from outside (by its time limit) cannot remove what it made; whatever the
    // next fixture finds on the desktop is such a leftover, since tests run one at a time. It goes,
    // so that one stopped test fails alone rather than every test after it that reads the desktop.
    static void ClearLeftovers() {
        const std::vector<std::wstring> leftovers = DesktopContents();
        for (const std::wstring& name : leftovers) {
            RemoveTree(DesktopFolder() + L"\\" + name);
        }
        if (!leftovers.empty()) {
            std::printf("cleared %u leftovers from the shared desktop folder\n",
                        static_cast<unsigned>(leftovers.size()));
        }
    }

    // A sub-folder of the scratch folder (made once) and its full path.
    std::wstring Folder(const std::wstring& relative) {
        const std::wstring path = m_scratch + L"\\" + relative;
        if (CreateDirectoryW(path.c_str(), nullptr)) {
            m_folders.push_back(path);
        }
        return path;
    }
    // A file in the scratch folder; `relative` may name one level of sub-folder.
    std::wstring TargetFile(const std::wstring& relative, const std::string& bytes = "MZ") {
        const size_t slash = relative.find(L'\\');
        if (slash != std::wstring::npos) {
            Folder(relative.substr(0, slash));
        }
        const std::wstring path = m_scratch + L"\\" + relative;
        if (WriteBytes(path, bytes)) {
            Track(path);
        }
        return path;
    }
    // A shortcut on the desktop named `name` (with its extension) pointing at `target`; the path
    // may pass the classic limit.
    std::wstring Shortcut(const std::wstring& name, const std::wstring& target) {
        const std::wstring path = OnDesktop(name);
        if (WriteShortcut(path, target)) {
            Track(path);
        }
        return path;
    }
    // Any other file on the desktop.
    std::wstring DesktopFile(const std::wstring& name, const std::string& bytes) {
        const std::wstring path = OnDesktop(name);
        if (WriteBytes(path, bytes)) {
            Track(path);
        }
        return path;
    }
    // Removes a file now (it stays tracked, in case something writes it again).
    static void Remove(const std::wstring& path) {
        SetFileAttributesW(LongForm(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(LongForm(path).c_str());
    }
    // A path that the code under test may create; removed with the fixture.
    void Track(const std::wstring& path) { m_files.push_back(path); }

    // Bytes that are no shell link: a fixed pseudo-random sequence.
    static std::string RandomBytes(size_t count) {
        std::string bytes(count, '\0');
        uint32_t state = 0x2545F491u;
        for (char& byte : bytes) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            byte = static_cast<char>(state & 0xFF);
        }
        return bytes;
    }

private:
    std::wstring m_desktop;
    std::wstring m_scratch;
    std::vector<std::wstring> m_files;
    std::vector<std::wstring> m_folders;
};

// Registers a file type whose icon the shell reads from each file, as it does for programs, and
// removes it again.
class PerFileIconType {
public:
    static constexpr wchar_t kExtension[] = L".dalvorinicon";
    PerFileIconType() {
        m_ok = SetDefault(L".dalvorinicon", L"Dalvorin.PerFileIcon") &&
               SetDefault(L"Dalvorin.PerFileIcon\\DefaultIcon", L"%1");
    }
    ~PerFileIconType() {
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L".dalvorinicon");
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Dalvorin.PerFileIcon");
        RegDeleteKeyW(HKEY_CLASSES_ROOT, L".dalvorinicon");
        RegDeleteKeyW(HKEY_CLASSES_ROOT, L"Dalvorin.PerFileIcon");
    }
    PerFileIconType(const PerFileIconType&) = delete;
    PerFileIconType& operator=(const PerFileIconType&) = delete;
    bool Registered() const { return m_ok; }

private:
    static bool SetDefault(const wchar_t* key, const wchar_t* value) {
        HKEY handle = nullptr;
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                            nullptr) != ERROR_SUCCESS) {
            return false;
        }
        const LONG set = RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                        static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
        return set == ERROR_SUCCESS;
    }
    bool m_ok = false;
};

}  // namespace fixture
