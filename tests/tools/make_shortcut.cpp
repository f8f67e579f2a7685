// make_shortcut.exe LINK TARGET [LINK TARGET ...]: writes a shell shortcut to each TARGET at LINK
// with the program's own shortcut writer, then reads it back as the desktop page would. Exit code
// 0 when every link resolves to its target, 1 when one does not, 2 on bad arguments. Paths are
// read as UTF-16 from the command line, so Chinese link names pass through unchanged.
#include "pages/ShortcutFiles.h"

#include <shellapi.h>

#include <memory>

namespace {

struct LocalMemFree {
    void operator()(wchar_t** memory) const { LocalFree(memory); }
};
using CArgumentList = std::unique_ptr<wchar_t*, LocalMemFree>;

bool WriteVerifiedShortcut(LPCWSTR linkPath, LPCWSTR target) {
    CreateShortcutFile(target, linkPath);
    // The writer keeps failures to itself; reading the link back tells whether it was written.
    return lstrcmpiW(ResolveShortcutTarget(linkPath), target) == 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    const CArgumentList argv(CommandLineToArgvW(GetCommandLineW(), &argc));
    if (!argv || argc < 3 || argc % 2 == 0) {
        return 2;
    }
    int result = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!WriteVerifiedShortcut(argv.get()[i], argv.get()[i + 1])) {
            result = 1;
        }
    }
    return result;
}
