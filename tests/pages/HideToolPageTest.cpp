// The "私人空间" page: its buttons run the private-folder scripts, found as Windows finds programs.
#include "pages/HideToolDlg.h"
#include "pages/PrivateScripts.h"
#include "tests/common/DialogAutoResponder.h"
#include "tests/pages/PageHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point g_scriptStarted;

UINT WINAPI RecordTimedWinExec(LPCSTR commandLine, UINT show) {
    g_scriptStarted = Clock::now();
    ShellCallRecorder::CommandLines().push_back({commandLine, show});
    return 33;
}

// A quoted full path to the script, run hidden.
void ExpectScriptRunHidden(const RecordedCommandLine& run, const std::string& script) {
    const std::string end = "\\" + script + "\"";
    EXPECT_EQ('"', run.commandLine.front());
    EXPECT_EQ(':', run.commandLine[2]) << run.commandLine;
    EXPECT_EQ(run.commandLine.size() - end.size(), run.commandLine.rfind(end)) << run.commandLine;
    EXPECT_EQ(static_cast<UINT>(SW_HIDE), run.show);
}

std::wstring MakeFolderWithFile(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = temp + std::wstring(name) + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    CloseHandle(CreateFileW((folder + L"\\fixture script.bat").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr));
    return folder;
}

void RemoveFolderWithFile(const std::wstring& folder) {
    DeleteFileW((folder + L"\\fixture script.bat").c_str());
    RemoveDirectoryW(folder.c_str());
}

std::wstring g_modulePath;

// GetModuleFileNameW as Windows XP answers: a path that does not fit is cut, unterminated.
DWORD ReadFakeModulePath(wchar_t* buffer, DWORD capacity) {
    const DWORD whole = static_cast<DWORD>(g_modulePath.size() + 1);
    wmemcpy(buffer, g_modulePath.c_str(), std::min(whole, capacity));
    return whole <= capacity ? whole - 1 : capacity;
}

}  // namespace

TEST(HideToolPage, OpenRunsItsScriptHiddenAnnouncesASecondLaterThenOpensKCloseRunsItsScriptOnly) {
    ShellCallRecorder recorder;
    AfxGetShellCalls().winExec = &RecordTimedWinExec;
    harness::HostedPage<CHideToolDlg> page;
    ASSERT_TRUE(page.Created());
    Clock::duration headStart{};
    size_t openedBefore = 99;
    DialogAutoResponder box([&](HWND dialog) {
        headStart = Clock::now() - g_scriptStarted;
        openedBefore = ShellCallRecorder::Calls().size();
        DialogAutoResponder::PressButton(dialog, IDOK);
    });
    SendMessageW(page.Get().m_btnOpen, BM_CLICK, 0, 0);

    ASSERT_EQ(1u, ShellCallRecorder::CommandLines().size());
    ExpectScriptRunHidden(ShellCallRecorder::CommandLines()[0], "systemopen.bat");
    EXPECT_EQ(std::vector<std::wstring>{L"恭喜"}, box.Captions());
    EXPECT_EQ(std::vector<std::wstring>{L"你可以放入你的私密文件了"}, box.Texts());
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(headStart).count(), 1000);
    EXPECT_EQ(0u, openedBefore);
    ASSERT_EQ(1u, ShellCallRecorder::Calls().size());
    const RecordedShellCall& open = ShellCallRecorder::Calls()[0];
    EXPECT_EQ(nullptr, open.owner);
    EXPECT_EQ(L"open", open.verb);
    EXPECT_EQ(L"k://", open.file);
    EXPECT_EQ(SW_SHOW, open.show);

    SendMessageW(page.Get().m_btnClose, BM_CLICK, 0, 0);
    ASSERT_EQ(2u, ShellCallRecorder::CommandLines().size());
    ExpectScriptRunHidden(ShellCallRecorder::CommandLines()[1], "systemclose.bat");
    EXPECT_EQ(1u, box.Captions().size());
    EXPECT_EQ(1u, ShellCallRecorder::Calls().size());
}

TEST(HideToolPage, ABareNameIsFoundInTheProgramFolderFirstThenTheCurrentFolderThenTheSystemFolders) {
    const std::wstring program = MakeFolderWithFile(L"dalvorin-program-");
    const std::wstring current = MakeFolderWithFile(L"dalvorin-current-");
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    SetCurrentDirectoryW(current.c_str());
    CString found;
    EXPECT_TRUE(FindProgramFile(L"fixture script.bat", program.c_str(), found));
    EXPECT_EQ(program + L"\\fixture script.bat", found.Str());
    EXPECT_TRUE(FindProgramFile(L"fixture script.bat", L"C:\\no such folder", found));
    EXPECT_EQ(current + L"\\fixture script.bat", found.Str());
    EXPECT_TRUE(FindProgramFile(L"cmd.exe", program.c_str(), found));
    EXPECT_FALSE(FindProgramFile(L"no-such-dalvorin-script.bat", program.c_str(), found));
    EXPECT_FALSE(FindProgramFile(L"", program.c_str(), found));
    SetCurrentDirectoryW(saved);
    RemoveFolderWithFile(program);
    RemoveFolderWithFile(current);
}

TEST(HideToolPage, ScriptsAreFoundBesideAProgramWhoseFolderIsLongerThanTheClassicPathLimit) {
    const std::wstring outer = MakeFolderWithFile(L"dalvorin-long-");
    const std::wstring folder = outer + L"\\" + std::wstring(250, L'd');
    const std::wstring script = folder + L"\\fixture script.bat";
    CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr);
    CloseHandle(
        CreateFileW((L"\\\\?\\" + script).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    g_modulePath = folder + L"\\Dalvorin.exe";
    CString found;
    EXPECT_TRUE(FindProgramFile(L"fixture script.bat", ProgramFolderFrom(&ReadFakeModulePath), found));
    EXPECT_EQ(script, found.Str());  // not the one in the folder above, where a cut path would lead
    DeleteFileW((L"\\\\?\\" + script).c_str());
    RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
    RemoveFolderWithFile(outer);
}
