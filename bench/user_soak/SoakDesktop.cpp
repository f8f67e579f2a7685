#include "bench/user_soak/SoakDesktop.h"

#include "bench/common/ShortcutDesktop.h"

#include <iterator>

namespace {

constexpr size_t kMostEntries = 14;
// A cut shortcut keeps less than its 76-byte header.
constexpr DWORD kCutLength = 40;

const wchar_t* const kProgramFixtures[] = {L"tool-a.exe", L"tool b.exe", L"工具.exe", L"tool.exe.cmd.exe"};
const wchar_t* const kNameParts[] = {L"程序", L"app", L"a b", L"游戏 二", L"x"};

bool WriteBytes(const std::wstring& path, const void* bytes, DWORD size) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok = size == 0 || (WriteFile(file, bytes, size, &written, nullptr) && written == size);
    CloseHandle(file);
    return ok;
}

std::vector<char> ReadBytes(const std::wstring& path) {
    std::vector<char> bytes;
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    bytes.resize(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        read = 0;
    }
    bytes.resize(read);
    CloseHandle(file);
    return bytes;
}

template <typename T, size_t N>
const T& Pick(std::mt19937& random, const T (&items)[N]) {
    return items[std::uniform_int_distribution<size_t>(0, N - 1)(random)];
}

}  // namespace

CSoakDesktop::CSoakDesktop(std::wstring desktop, std::wstring fixtures)
    : m_desktop(std::move(desktop)), m_fixtures(std::move(fixtures)) {
    // Entries a stopped run left behind go first: the model starts from an empty set.
    WIN32_FIND_DATAW found = {};
    const std::wstring pattern = m_desktop + L"\\soak-*";
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileW((m_desktop + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
}

CSoakDesktop::~CSoakDesktop() {
    for (const auto& [name, entry] : m_entries) {
        DeleteFileW((m_desktop + L"\\" + name).c_str());
    }
}

std::wstring CSoakDesktop::Change(std::mt19937& random) {
    const int kind = std::uniform_int_distribution<int>(0, 9)(random);
    if (m_entries.empty() || (kind < 5 && m_entries.size() < kMostEntries)) {
        return Add(random);
    }
    auto chosen = m_entries.begin();
    std::advance(chosen, std::uniform_int_distribution<size_t>(0, m_entries.size() - 1)(random));
    const std::wstring path = m_desktop + L"\\" + chosen->first;
    if (kind < 8 || chosen->second.target.empty()) {
        DeleteFileW(path.c_str());
        const std::wstring line = L"desktop: removed " + chosen->first;
        m_entries.erase(chosen);
        return line;
    }
    std::vector<char> bytes = ReadBytes(path);
    bytes.resize(std::min<size_t>(bytes.size(), kCutLength));
    WriteBytes(path, bytes.data(), static_cast<DWORD>(bytes.size()));
    chosen->second.listed = false;
    return L"desktop: cut " + chosen->first + L" short";
}

std::wstring CSoakDesktop::Add(std::mt19937& random) {
    const std::wstring number = std::to_wstring(m_next++);
    const int kind = std::uniform_int_distribution<int>(0, 9)(random);
    std::wstring name;
    Entry entry;
    std::wstring what;
    const HRESULT com = CoInitialize(nullptr);
    if (kind < 5) {
        name = L"soak-" + number + L" " + Pick(random, kNameParts) + L".lnk";
        entry.target = m_fixtures + L"\\" + Pick(random, kProgramFixtures);
        entry.listed = bench::CShortcutDesktop::WriteShortcut(m_desktop + L"\\" + name, entry.target);
        what = L"program shortcut";
    } else if (kind == 5) {
        name = L"soak-" + number + L" script.lnk";
        entry.target = m_fixtures + L"\\script.bat";
        bench::CShortcutDesktop::WriteShortcut(m_desktop + L"\\" + name, entry.target);
        what = L"script shortcut (no program)";
    } else if (kind == 6) {
        // The rule is ".exe" in lower case: a program named in capitals is left out.
        name = L"soak-" + number + L" upper.lnk";
        entry.target = m_fixtures + L"\\TOOL-UP.EXE";
        bench::CShortcutDesktop::WriteShortcut(m_desktop + L"\\" + name, entry.target);
        what = L"shortcut to an upper-case .EXE";
    } else if (kind == 7) {
        name = L"soak-" + number + L" note.txt";
        const char text[] = "not a shortcut\r\n";
        WriteBytes(m_desktop + L"\\" + name, text, sizeof(text) - 1);
        what = L"text file";
    } else if (kind == 8) {
        name = L"soak-" + number + L" empty.lnk";
        WriteBytes(m_desktop + L"\\" + name, nullptr, 0);
        what = L"empty .lnk";
    } else {
        name = L"soak-" + number + L" junk.lnk";
        std::vector<char> junk(300);
        for (char& byte : junk) {
            byte = static_cast<char>(random() & 0xFF);
        }
        junk[0] = 'J';  // never the shortcut signature
        WriteBytes(m_desktop + L"\\" + name, junk.data(), static_cast<DWORD>(junk.size()));
        what = L"junk .lnk";
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    m_entries[name] = entry;
    return L"desktop: added " + name + L" (" + what + L")";
}

std::vector<CSoakRow> CSoakDesktop::ListedRows() const {
    std::vector<CSoakRow> rows;
    for (const auto& [name, entry] : m_entries) {
        if (entry.listed) {
            rows.push_back({name, m_desktop + L"\\" + name, entry.target});
        }
    }
    return rows;
}

bool CSoakDesktop::IsForeign(const CSoakRow& row) const {
    const std::wstring prefix = m_desktop + L"\\";
    return row.path.compare(0, prefix.size(), prefix) == 0 && row.name.compare(0, 5, L"soak-") != 0;
}

std::wstring CSoakDesktop::RemoveListedFile(std::mt19937& random) {
    std::vector<std::wstring> listed;
    for (const auto& [name, entry] : m_entries) {
        if (entry.listed) {
            listed.push_back(name);
        }
    }
    if (listed.empty()) {
        return {};
    }
    const std::wstring name = listed[std::uniform_int_distribution<size_t>(0, listed.size() - 1)(random)];
    DeleteFileW((m_desktop + L"\\" + name).c_str());
    m_entries.erase(name);
    return m_desktop + L"\\" + name;
}

void CSoakDesktop::Restored(const std::wstring& path, const std::wstring& target) {
    const std::wstring prefix = m_desktop + L"\\";
    if (path.compare(0, prefix.size(), prefix) == 0) {
        m_entries[path.substr(prefix.size())] = Entry{target, true};
    }
}

bool CSoakDesktop::Exists(const std::wstring& path) const {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
