#include "bench/user_soak/SoakNames.h"

#include <windows.h>
#include <shlwapi.h>

#include <iterator>
#include <utility>

namespace {

const wchar_t kChinese[] = L"百度一下你就知道中文输入测试的字符串空间私人文件管理常用软件开始密码";
const wchar_t* const kDropExtensions[] = {L".txt", L".doc", L".exe", L".dat", L""};
// Longest dropped path: list texts are read back through a 1,024-character buffer.
constexpr int kLongestDropped = 1000;

}  // namespace

CSoakNames::CSoakNames(CSoakDice& dice, std::wstring fixtures)
    : m_dice(dice), m_fixtures(std::move(fixtures)) {}

std::wstring CSoakNames::DropKind(const std::wstring& path) {
    std::wstring extension = PathFindExtensionW(path.c_str());
    CharLowerBuffW(extension.data(), static_cast<DWORD>(extension.size()));
    return L"drop " + extension;
}

std::vector<std::wstring> CSoakNames::DropKinds() {
    std::vector<std::wstring> kinds;
    for (const wchar_t* extension : kDropExtensions) {
        kinds.push_back(DropKind(extension));
    }
    return kinds;
}

std::wstring CSoakNames::SearchText() {
    std::wstring text;
    const int kind = Uniform(0, 4);
    const int length = kind == 1 ? Uniform(150, 400) : Uniform(1, 12);
    for (int i = 0; i < length; ++i) {
        const int what = Uniform(0, 9);
        if (what < 5 || kind == 0) {
            text += kChinese[Uniform(0, static_cast<int>(std::size(kChinese)) - 2)];
        } else if (what < 8) {
            text += static_cast<wchar_t>(Uniform(L' ', L'~'));
        } else if (kind == 2) {
            // Control characters an edit box takes no editing command from.
            const wchar_t controls[] = {0x02, 0x05, 0x07, 0x0B, 0x0E, 0x0F, 0x1C, 0x1F};
            text += controls[Uniform(0, static_cast<int>(std::size(controls)) - 1)];
        } else if (kind == 3) {
            text += L"\U0001F600";
        } else {
            text += L' ';
        }
    }
    return text;
}

std::wstring CSoakNames::NewPassword() {
    std::wstring password;
    const int length = Uniform(1, 10);
    for (int i = 0; i < length; ++i) {
        password += Chance(20) ? kChinese[Uniform(0, static_cast<int>(std::size(kChinese)) - 2)]
                               : static_cast<wchar_t>(Uniform(L'!', L'~'));
    }
    return password;
}

std::vector<std::wstring> CSoakNames::DropPaths() {
    std::vector<std::wstring> paths;
    const int count = Chance(40) ? 1 : Chance(65) ? Uniform(2, 5) : Uniform(6, 30);
    for (int i = 0; i < count; ++i) {
        const std::wstring number = std::to_wstring(m_dropNumber++);
        const std::wstring extension =
            kDropExtensions[Uniform(0, static_cast<int>(std::size(kDropExtensions)) - 1)];
        std::wstring path;
        switch (Uniform(0, 8)) {
            case 0:
                path = m_fixtures + (Chance(50) ? L"\\tool-a.exe" : L"\\工具.exe");
                break;
            case 1:
                path = L"C:\\不存在的文件夹\\文档 " + number + extension;
                break;
            case 2:
                path = L"C:\\soak drops\\  spaced  name " + number + L" " + extension;
                break;
            case 3:
                path = L"C:\\soak drops\\\U0001F600 smile " + number + extension;
                break;
            case 4:
                path = L"loose-name-" + number + extension;
                break;
            case 5:
                path = L"C:\\soak drops\\folder " + number + L"\\";
                break;
            case 6:
                path = L"C:\\soak drops\\100% & odd;name=" + number + extension;
                break;
            case 7: {
                path = L"C:\\soak drops";
                const int length = Uniform(300, kLongestDropped - 20);
                while (static_cast<int>(path.size()) < length) {
                    path += L"\\long folder name " + number;
                }
                path += L"\\end" + extension;
                break;
            }
            default:
                if (!m_dropped.empty()) {
                    path = m_dropped[static_cast<size_t>(Uniform(0, static_cast<int>(m_dropped.size()) - 1))];
                } else {
                    path = L"C:\\soak drops\\first" + extension;
                }
                break;
        }
        paths.push_back(path);
        if (m_dropped.size() < 64) {
            m_dropped.push_back(path);
        } else {
            m_dropped[static_cast<size_t>(m_dropNumber) % m_dropped.size()] = path;
        }
    }
    return paths;
}
