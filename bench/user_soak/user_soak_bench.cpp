// user_soak_bench.exe [ACTIONS] [SEED] [TOLERATED]: a seeded random user plays Dalvorin.exe for ACTIONS
// actions (10,000 by default) with real input (SendInput: clicks on tabs, buttons, menus, the notification
// area's icon; keys; Unicode typing), lets the program settle after each one (polling its state,
// bounded) and checks invariants against a model of what it must show: alive, or gone within a
// second with no window left when the action ends it (it is then started again); the password gate
// holds; reachable (shown, minimised with a taskbar button, or its icon in the notification area);
// no hidden window of ours in the foreground; one process, one main window, one prompt; the rows of
// both lists; the expected message boxes and no others; no crash (exception exit code or a new
// minidump); objects flat (GDI and USER objects counted inside the program by user_soak_probe.dll,
// windows from outside). Dropped
// files are posted as WM_DROPFILES, the way a shell drop reaches a window, not dragged.
// Every action and check goes to user_soak-SEED.log beside the exe; a broken invariant prints the
// seed and step, and `bench/run user_soak STEP SEED` replays the same sequence up to it. Last line:
// "user_soak: N actions, B broken invariants, C crashes, objects per action X". The exit code is 0
// without crashes and with at most TOLERATED broken invariants (0 by default).
#include "bench/common/Headroom.h"  // NowMs
#include "bench/user_soak/SoakChecks.h"
#include "bench/user_soak/SoakDesktop.h"
#include "bench/user_soak/SoakModel.h"
#include "bench/user_soak/SoakTarget.h"
#include "bench/user_soak/SoakText.h"
#include "bench/user_soak/SoakUser.h"
#include "bench/user_soak/SoakWatchdog.h"
#include "tests/common/TestPaths.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kDefaultActions = 10000;
constexpr unsigned kDefaultSeed = 20261209;
// A process's objects are counted once it is warm (see CSoakUser::Warm) and has played at least
// this many actions, then every kCountEvery actions where it is quiet.
constexpr int kWarmUpActions = 60;
constexpr int kCountEvery = 20;
constexpr DWORD kCountMs = 60000;
// Every this many actions the rows of both lists are read in full (and after every action that
// changes them); otherwise they are counted.
constexpr int kFullRowsEvery = 10;
constexpr DWORD kPollMs = 10;
// How much longer a process that should have ended is given, to tell a late end from a hang.
constexpr DWORD kLateEndMs = 5000;
constexpr wchar_t kExeName[] = L"Dalvorin.exe";
// A run that makes no progress this long is stuck (the longest bounded wait, the object count,
// is half of it) and ends with kStuckExit.
constexpr DWORD kStuckMs = 120000;
constexpr int kStuckExit = 3;

const wchar_t* const kFixturePrograms[] = {L"tool-a.exe", L"tool b.exe", L"工具.exe", L"tool.exe.cmd.exe",
                                           L"TOOL-UP.EXE"};

FILE* g_log = nullptr;

void Log(const std::wstring& line) {
    if (g_log != nullptr) {
        const std::string text = CSoakText::Utf8(line) + "\n";
        std::fwrite(text.data(), 1, text.size(), g_log);
        std::fflush(g_log);  // a run that is stopped or crashes keeps its last steps
    }
}

void Print(const std::wstring& line) {
    const std::string text = CSoakText::Utf8(line) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    Log(line);
}

std::wstring Hex(DWORD value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(value));
    return text;
}

std::wstring Fixed(double value, int decimals) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%.*f", decimals, value);
    return text;
}

bool WriteText(const std::wstring& path, const std::string& text) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
    CloseHandle(file);
    return ok;
}

std::wstring TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return temp;
}

std::wstring SpecialFolder(int id) {
    wchar_t path[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, path, id, TRUE);
    return path;
}

int CountFiles(const std::wstring& pattern) {
    WIN32_FIND_DATAW found = {};
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    int count = 0;
    do {
        ++count;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

// An exit code that is an exception code (access violation, stack overflow, a breakpoint).
bool IsCrashCode(DWORD code) { return (code & 0xF0000000u) == 0xC0000000u || code == 0x80000003u; }

// The program's copy in a folder of its own, with private-space scripts that only leave a line in a
// log, and the harmless programs and script that shortcuts and drops point at.
bool PrepareFolder(const std::wstring& bin, const std::wstring& folder, const std::wstring& fixtures) {
    CreateDirectoryW(folder.c_str(), nullptr);
    CreateDirectoryW(fixtures.c_str(), nullptr);
    bool ok = CopyFileW((bin + L"\\Dalvorin.exe").c_str(), (folder + L"\\Dalvorin.exe").c_str(), FALSE) != 0;
    ok = WriteText(folder + L"\\systemopen.bat", "@echo open>>\"%~dp0private.log\"\r\n") && ok;
    ok = WriteText(folder + L"\\systemclose.bat", "@echo close>>\"%~dp0private.log\"\r\n") && ok;
    for (const wchar_t* name : kFixturePrograms) {
        ok =
            CopyFileW((bin + L"\\soak_fixture.exe").c_str(), (fixtures + L"\\" + name).c_str(), FALSE) != 0 &&
            ok;
    }
    ok = WriteText(fixtures + L"\\script.bat", "@exit /b 0\r\n") && ok;
    DeleteFileW((folder + L"\\urls.log").c_str());
    return ok;
}

// The http and https handlers of this prefix become the URL recorder for the run, so that nothing
// reaches a network; the earlier commands come back afterwards.
class CUrlHandlers {
public:
    CUrlHandlers(const std::wstring& recorder, const std::wstring& log) {
        const std::wstring command = L"\"" + recorder + L"\" \"" + log + L"\" \"%1\"";
        for (int i = 0; i < 2; ++i) {
            HKEY key = nullptr;
            if (RegCreateKeyExW(HKEY_CLASSES_ROOT, kKeys[i], 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                                &key, nullptr) != ERROR_SUCCESS) {
                continue;
            }
            wchar_t old[2048] = {};
            DWORD size = sizeof(old) - sizeof(wchar_t);
            m_had[i] = RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old),
                                        &size) == ERROR_SUCCESS;
            m_old[i] = old;
            m_set[i] =
                RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                               static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
            RegCloseKey(key);
        }
    }
    ~CUrlHandlers() {
        for (int i = 0; i < 2; ++i) {
            HKEY key = nullptr;
            if (!m_set[i] ||
                RegOpenKeyExW(HKEY_CLASSES_ROOT, kKeys[i], 0, KEY_WRITE, &key) != ERROR_SUCCESS) {
                continue;
            }
            if (m_had[i]) {
                RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(m_old[i].c_str()),
                               static_cast<DWORD>((m_old[i].size() + 1) * sizeof(wchar_t)));
            } else {
                RegDeleteValueW(key, nullptr);
            }
            RegCloseKey(key);
        }
    }
    CUrlHandlers(const CUrlHandlers&) = delete;
    CUrlHandlers& operator=(const CUrlHandlers&) = delete;
    bool Set() const { return m_set[0] && m_set[1]; }

private:
    static constexpr const wchar_t* kKeys[2] = {L"http\\shell\\open\\command",
                                                L"https\\shell\\open\\command"};
    bool m_had[2] = {};
    bool m_set[2] = {};
    std::wstring m_old[2];
};

// Objects gained over the measured stretches of every process's life: counted once it has warmed
// up and then now and then while no dialog, box or menu is open, so that every count sees the same
// windows; a life's growth runs from its first count to its last.
struct CObjectAccount {
    bool warm = false;
    int atWarmUp = 0;
    int warmUpAction = 0;
    int last = 0;
    int lastAction = 0;
    long long lost = 0;
    long long actions = 0;
    int measurements = 0;
    double ms = 0;
};

// GDI and USER objects of the program: the probe's count inside it, plus its windows.
int CountObjects(CSoakTarget& target, CObjectAccount& account) {
    const double start = bench::NowMs();
    const DWORD inside = target.CallProbe("SoakObjectCount", nullptr, 0, kCountMs, 0);
    if (inside == 0) {
        return -1;
    }
    const int gdi = static_cast<int>(inside & 0xFFFF);
    const int user = static_cast<int>(inside >> 16);
    const int windows = target.WindowCount();
    const DWORD kinds = target.CallProbe("SoakGdiKinds", nullptr, 0, kCountMs, 0);
    account.ms += bench::NowMs() - start;
    ++account.measurements;
    const int known =
        static_cast<int>((kinds & 0xFF) + ((kinds >> 8) & 0xFF) + ((kinds >> 16) & 0xFF) + (kinds >> 24));
    Log(L"  objects: " + std::to_wstring(gdi) + L" GDI, " + std::to_wstring(user) + L" USER, " +
        std::to_wstring(windows) + L" windows; GDI bitmaps/brushes/fonts/DCs/rest mod 256: " +
        std::to_wstring(kinds & 0xFF) + L"/" + std::to_wstring((kinds >> 8) & 0xFF) + L"/" +
        std::to_wstring((kinds >> 16) & 0xFF) + L"/" + std::to_wstring(kinds >> 24) + L"/" +
        std::to_wstring(((gdi - known) % 256 + 256) % 256) + L" (" + Fixed(bench::NowMs() - start, 0) +
        L" ms)");
    return gdi + user + windows;
}

// No dialog, box or menu open, and no caret shown: under Wine a caret is a bitmap of the process
// that comes and goes with the focus of an edit box, so counts are taken only where there is none.
bool IsQuiet(const CSoakModel& model, CSoakTarget& target) {
    if (!model.running || model.dialog != CSoakDialog::kNone || !model.box.empty()) {
        return false;
    }
    const HWND main = target.Windows().main;
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return main != nullptr && GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info) &&
           info.hwndCaret == nullptr;
}

void CountNow(CSoakTarget& target, const CSoakModel& model, CObjectAccount& account) {
    const int count = CountObjects(target, account);
    if (count < 0) {
        return;
    }
    if (!account.warm) {
        Log(L"  warm after " + std::to_wstring(model.lifeActions) + L" actions");
        account.warm = true;
        account.atWarmUp = count;
        account.warmUpAction = model.lifeActions;
    }
    account.last = count;
    account.lastAction = model.lifeActions;
}

// The life ends: its growth from the first count to the last goes into the account.
void CloseAccount(CObjectAccount& account) {
    if (account.warm && account.lastAction > account.warmUpAction) {
        const int grown = std::max(0, account.last - account.atWarmUp);
        account.lost += grown;
        account.actions += account.lastAction - account.warmUpAction;
        Log(L"  objects grown over " + std::to_wstring(account.lastAction - account.warmUpAction) +
            L" actions: " + std::to_wstring(grown));
    }
    account.warm = false;
}

// After a broken invariant the model takes over what is seen, where it can say it; otherwise the
// program is ended and started afresh.
void Resync(CSoakModel& model, const CSoakObserved& seen, CSoakTarget& target, CSoakChecks& checks) {
    if (!seen.alive) {
        model.Ended();
        return;
    }
    const CSoakWindows& windows = seen.windows;
    const int dialogs = (windows.create != nullptr ? 1 : 0) + (windows.prompt != nullptr ? 1 : 0) +
                        (windows.about != nullptr ? 1 : 0);
    if (windows.menu != nullptr || windows.boxes.size() > 1 || windows.prompts > 1 || windows.mains != 1 ||
        dialogs > 1 || seen.page < 0 || (seen.mainVisible && seen.mainIconic)) {
        Log(L"  the state cannot be modelled: the program is ended and started again");
        target.Kill();
        model.Ended();
        return;
    }
    model.shown = seen.mainVisible;
    model.dialog = windows.create != nullptr   ? CSoakDialog::kCreate
                   : windows.prompt != nullptr ? CSoakDialog::kPrompt
                   : windows.about != nullptr  ? CSoakDialog::kAbout
                                               : CSoakDialog::kNone;
    model.box = windows.boxes.empty() ? L"" : CSoakTarget::BoxText(windows.boxes.front());
    model.tab = seen.page;
    model.rows = checks.FirstRows();
    Log(L"  model taken over from what is seen: " + model.Describe());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    const int actions = argc > 1 ? std::max(1, _wtoi(argv[1])) : kDefaultActions;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::wcstoul(argv[2], nullptr, 10)) : kDefaultSeed;
    // The exit code fails on any crash, and on more broken invariants than this (none by default).
    const int tolerated = argc > 3 ? std::max(0, _wtoi(argv[3])) : 0;
    const int summaryEvery = std::max(10, std::min(500, actions / 20));

    const std::wstring bin = test_paths::ModuleFolder();
    const std::wstring folder = TempFolder() + L"dalvorin-soak";
    CSoakPaths paths;
    paths.folder = folder;
    paths.exe = folder + L"\\Dalvorin.exe";
    paths.probe = bin + L"\\user_soak_probe.dll";
    paths.fixtures = folder + L"\\fx";
    paths.urlLog = folder + L"\\urls.log";
    if (!PrepareFolder(bin, folder, paths.fixtures)) {
        std::fprintf(stderr, "user_soak: cannot prepare %s\n", CSoakText::Utf8(folder).c_str());
        return 1;
    }
    const CUrlHandlers handlers(bin + L"\\urlrecorder.exe", paths.urlLog);
    if (!handlers.Set()) {
        std::fprintf(stderr, "user_soak: cannot make the URL recorder this prefix's browser\n");
        return 1;
    }
    const std::wstring logPath = bin + L"\\user_soak-" + std::to_wstring(seed) + L".log";
    g_log = _wfopen(logPath.c_str(), L"wb");
    const std::wstring dumps = SpecialFolder(CSIDL_LOCAL_APPDATA) + L"\\Dalvorin\\CrashDumps\\*.dmp";
    int dumpCount = CountFiles(dumps);
    if (!CSoakTarget::ProcessesNamed(kExeName).empty()) {
        Print(L"user_soak: another Dalvorin.exe runs in this prefix; the count of copies will be off");
    }
    Print(L"user_soak: " + std::to_wstring(actions) + L" actions, seed " + std::to_wstring(seed) + L", log " +
          logPath);

    const HRESULT com = CoInitialize(nullptr);
    CSoakTarget target;
    CSoakModel model;
    int broken = 0;
    int crashes = 0;
    int lives = 0;
    int closedWindows = 0;
    int firstBrokenStep = 0;
    CObjectAccount objects;
    {
        CSoakDesktop desktop(SpecialFolder(CSIDL_DESKTOPDIRECTORY), paths.fixtures);
        CSoakChecks checks(target, desktop, kExeName);
        CSoakUser user(seed, paths, target, checks, model, desktop);
        user.RememberBaseline();
        const double start = bench::NowMs();
        const CSoakWatchdog watchdog(Print, kStuckMs, kStuckExit);

        for (int step = 1; step <= actions; ++step) {
            CSoakWatchdog::Step(step);
            const CSoakAction action = user.Choose();
            CSoakWatchdog::Stage(ActionName(action));
            const std::wstring before = model.Describe();
            const double actionStart = bench::NowMs();
            CSoakStep played = user.Perform(action);
            const double settleFrom = bench::NowMs();
            if (action == CSoakAction::kStart && model.running) {
                ++lives;
            }

            // Settle: poll until what is seen is what the model expects, or the time is up.
            CSoakWatchdog::Stage(L"settling");
            CSoakObserved seen;
            std::wstring missing;
            const DWORD settleStart = GetTickCount();
            for (;;) {
                seen = checks.Observe();
                missing = checks.Difference(model, seen);
                if (missing.empty() && played.await) {
                    missing = played.await();
                }
                if (missing.empty() || GetTickCount() - settleStart >= played.deadlineMs) {
                    break;
                }
                Sleep(kPollMs);
            }
            const double checkFrom = bench::NowMs();
            CSoakWatchdog::Stage(L"checking");
            std::vector<std::wstring> found = played.broken;
            const bool allRows = played.rowsChanged || step % kFullRowsEvery == 0;
            for (const std::wstring& line : checks.Broken(model, seen, allRows)) {
                found.push_back(line);
            }
            if (!missing.empty() && std::find(found.begin(), found.end(), missing) == found.end()) {
                found.push_back(missing);
            }

            // A process that ended, as expected or not: how it ended.
            if (target.Started() && (!model.running || !seen.alive)) {
                DWORD code = target.WaitForEnd(0);
                if (code == STILL_ACTIVE && !model.running) {
                    // Late or not at all: the log says which before the process is ended.
                    const double lateFrom = bench::NowMs();
                    code = target.WaitForEnd(kLateEndMs);
                    found.push_back(code == STILL_ACTIVE
                                        ? L"it still ran " +
                                              Fixed((bench::NowMs() - lateFrom) / 1000.0 + 1.0, 1) +
                                              L" s after the action"
                                        : L"it ended " + Fixed(bench::NowMs() - lateFrom + 1000.0, 0) +
                                              L" ms after the action");
                }
                if (code == STILL_ACTIVE) {
                    target.Kill();
                } else if (IsCrashCode(code)) {
                    ++crashes;
                    found.push_back(L"the program crashed: exit code " + Hex(code));
                }
                const int dumpsNow = CountFiles(dumps);
                if (dumpsNow > dumpCount) {
                    if (!IsCrashCode(code)) {
                        ++crashes;
                    }
                    found.push_back(L"a new minidump in " + dumps);
                }
                dumpCount = dumpsNow;
                Log(L"  process ended, exit code " + Hex(code));
                if (!user.Warm()) {
                    Log(L"  never warm; it had still to play: " + user.Unplayed());
                }
                CloseAccount(objects);
                model.Ended();
                target.Close();
            }
            const double checkMs = bench::NowMs() - checkFrom;
            const int closed = user.CloseForeignWindows();
            closedWindows += closed;

            Log(L"step " + std::to_wstring(step) + L" " + played.what + L" " + before + L" -> " +
                model.Describe() + L" " + Fixed(bench::NowMs() - actionStart, 0) + L" ms (play " +
                Fixed(settleFrom - actionStart, 0) + L", settle " + Fixed(checkFrom - settleFrom, 0) +
                L", check " + Fixed(checkMs, 0) + L")" +
                (closed > 0 ? L", closed " + std::to_wstring(closed) + L" window(s) of other programs"
                            : L""));
            if (!found.empty()) {
                broken += static_cast<int>(found.size());
                firstBrokenStep = firstBrokenStep == 0 ? step : firstBrokenStep;
                for (const std::wstring& line : found) {
                    Print(L"user_soak: BROKEN at step " + std::to_wstring(step) + L" (" + played.what +
                          L"): " + line + L"; replay: bench/run user_soak " + std::to_wstring(step) + L" " +
                          std::to_wstring(seed));
                }
                model.urls = user.RecordedUrls();
                if (model.running) {
                    Resync(model, checks.Observe(), target, checks);
                    if (!model.running) {
                        CloseAccount(objects);
                        target.Close();
                    }
                }
            }
            if (model.running && user.Warm() && model.lifeActions >= kWarmUpActions &&
                IsQuiet(model, target) &&
                (!objects.warm || model.lifeActions - objects.lastAction >= kCountEvery)) {
                CSoakWatchdog::Stage(L"counting objects");
                CountNow(target, model, objects);
            }
            if (step % summaryEvery == 0 || step == actions) {
                const double seconds = (bench::NowMs() - start) / 1000.0;
                Print(L"user_soak: " + std::to_wstring(step) + L"/" + std::to_wstring(actions) +
                      L" actions, " + Fixed(seconds / step, 3) + L" s each, " + std::to_wstring(lives) +
                      L" starts, " + std::to_wstring(broken) + L" broken, " + std::to_wstring(crashes) +
                      L" crashes, " + std::to_wstring(user.Repeats()) +
                      L" inputs played again, objects grown " + std::to_wstring(objects.lost) + L" over " +
                      std::to_wstring(objects.actions) + L" measured actions");
            }
        }
        if (objects.warm && IsQuiet(model, target)) {
            CountNow(target, model, objects);
        }
        CloseAccount(objects);
        const double seconds = (bench::NowMs() - start) / 1000.0;
        target.Kill();
        target.Close();
        Print(L"user_soak: " + Fixed(seconds, 0) + L" s, " + Fixed(seconds / actions, 3) +
              L" s per action; " + std::to_wstring(lives) + L" starts; " + std::to_wstring(closedWindows) +
              L" windows of other programs closed; " + std::to_wstring(user.Repeats()) +
              L" inputs played again; objects counted " + std::to_wstring(objects.measurements) +
              L" times (" + Fixed(objects.ms / 1000.0, 1) + L" s), " + std::to_wstring(objects.lost) +
              L" grown over " + std::to_wstring(objects.actions) + L" measured actions");
        if (firstBrokenStep != 0) {
            Print(L"user_soak: first broken invariant at step " + std::to_wstring(firstBrokenStep) +
                  L", seed " + std::to_wstring(seed) + L": bench/run user_soak " +
                  std::to_wstring(firstBrokenStep) + L" " + std::to_wstring(seed));
        }
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    const double perAction =
        objects.actions > 0 ? static_cast<double>(objects.lost) / static_cast<double>(objects.actions) : 0.0;
    Print(L"user_soak: " + std::to_wstring(actions) + L" actions, " + std::to_wstring(broken) +
          L" broken invariants, " + std::to_wstring(crashes) + L" crashes, objects per action " +
          Fixed(perAction, 3));
    if (g_log != nullptr) {
        std::fclose(g_log);
    }
    return broken <= tolerated && crashes == 0 ? 0 : 1;
}
