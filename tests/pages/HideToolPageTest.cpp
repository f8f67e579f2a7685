// The "私人空间" page: its buttons run the private-folder scripts, found as Windows finds programs.
#include "pages/HideToolDlg.h"
#include "pages/PrivateScripts.h"
#include "tests/common/DialogAutoResponder.h"
#include "tests/common/ShellCallRecorder.h"
#include "tests/pages/PageHarness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

using harness::HostedPage;

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point g_scriptStarted;

UINT WINAPI RecordTimedWinExec(LPCSTR commandLine, UINT show) {
    g_scriptStarted = Clock::now();
    ShellCallRecorder::CommandLines().push_back({commandLine, show});
    return 33;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

void ClickButton(HWND page, int id) { SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0); }

// A folder of its own under the temporary folder, removed with its files.
class ScratchFolder {
public:
    explicit ScratchFolder(const wchar_t* name) {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_path = std::wstring(temp) + name + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~ScratchFolder() {
        for (const std::wstring& file : m_files) {
            DeleteFileW(file.c_str());
        }
        RemoveDirectoryW(m_path.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::wstring Put(const wchar_t* name) {
        const std::wstring file = m_path + L"\\" + name;
        HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(handle);
        m_files.push_back(file);
        return file;
    }
    const std::wstring& Path() const { return m_path; }

private:
    std::wstring m_path;
    std::vector<std::wstring> m_files;
};

}  // namespace

TEST(HideToolPage, OpenRunsTheScriptHiddenAnnouncesTheFolderASecondLaterThenOpensK) {
    ShellCallRecorder recorder;
    AfxGetShellCalls().winExec = &RecordTimedWinExec;
    HostedPage<CHideToolDlg> page;
    ASSERT_TRUE(page.Created());
    EXPECT_EQ(GetDlgItem(page.Window(), IDC_OPEN_PRIVATE), page.Get().m_btnOpen.m_hWnd);
    EXPECT_EQ(GetDlgItem(page.Window(), IDC_CLOSE_PRIVATE), page.Get().m_btnClose.m_hWnd);

    Clock::time_point announced;
    size_t openedBeforeAnnouncement = 99;
    DialogAutoResponder box([&](HWND dialog) {
        announced = Clock::now();
        openedBeforeAnnouncement = ShellCallRecorder::Calls().size();
        DialogAutoResponder::PressButton(dialog, IDOK);
    });
    ClickButton(page.Window(), IDC_OPEN_PRIVATE);

    ASSERT_EQ(1u, ShellCallRecorder::CommandLines().size());
    const RecordedCommandLine& run = ShellCallRecorder::CommandLines()[0];
    EXPECT_EQ(static_cast<UINT>(SW_HIDE), run.show);
    EXPECT_EQ('"', run.commandLine.front());
    EXPECT_TRUE(EndsWith(run.commandLine, "\\systemopen.bat\"")) << run.commandLine;
    EXPECT_EQ(':', run.commandLine[2]) << "started by its full path: " << run.commandLine;

    ASSERT_EQ(1u, box.Captions().size());
    EXPECT_EQ(L"恭喜", box.Captions()[0]);
    EXPECT_EQ(std::vector<std::wstring>{L"你可以放入你的私密文件了"}, box.Texts());
    EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(announced - g_scriptStarted).count(),
              1000);
    EXPECT_EQ(0u, openedBeforeAnnouncement);

    ASSERT_EQ(1u, ShellCallRecorder::Calls().size());
    const RecordedShellCall& open = ShellCallRecorder::Calls()[0];
    EXPECT_EQ(nullptr, open.owner);
    EXPECT_EQ(L"open", open.verb);
    EXPECT_EQ(L"k://", open.file);
    EXPECT_EQ(L"", open.parameters);
    EXPECT_EQ(SW_SHOW, open.show);
}

TEST(HideToolPage, CloseRunsItsScriptHiddenAndShowsNothing) {
    ShellCallRecorder recorder;
    HostedPage<CHideToolDlg> page;
    ASSERT_TRUE(page.Created());
    DialogAutoResponder box([](HWND dialog) { DialogAutoResponder::PressButton(dialog, IDCANCEL); });
    ClickButton(page.Window(), IDC_CLOSE_PRIVATE);

    ASSERT_EQ(1u, ShellCallRecorder::CommandLines().size());
    EXPECT_TRUE(EndsWith(ShellCallRecorder::CommandLines()[0].commandLine, "\\systemclose.bat\""));
    EXPECT_EQ(static_cast<UINT>(SW_HIDE), ShellCallRecorder::CommandLines()[0].show);
    EXPECT_TRUE(box.Captions().empty());
    EXPECT_TRUE(ShellCallRecorder::Calls().empty());
}

TEST(HideToolPage, ABareNameIsFoundInTheProgramFolderFirstThenTheCurrentFolderThenTheSystemAndPath) {
    ScratchFolder program(L"dalvorin-program-");
    ScratchFolder current(L"dalvorin-current-");
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryW(current.Path().c_str()));

    const std::wstring inCurrent = current.Put(L"fixture script.bat");
    CString found;
    EXPECT_TRUE(FindProgramFile(L"fixture script.bat", program.Path().c_str(), found));
    EXPECT_EQ(inCurrent, found.Str());
    const std::wstring inProgram = program.Put(L"fixture script.bat");
    EXPECT_TRUE(FindProgramFile(L"fixture script.bat", program.Path().c_str(), found));
    EXPECT_EQ(inProgram, found.Str());

    EXPECT_TRUE(FindProgramFile(L"cmd.exe", program.Path().c_str(), found));  // a system folder
    EXPECT_FALSE(FindProgramFile(L"no-such-dalvorin-script.bat", program.Path().c_str(), found));
    EXPECT_FALSE(FindProgramFile(L"", program.Path().c_str(), found));
    EXPECT_FALSE(FindProgramFile(nullptr, nullptr, found));
    SetCurrentDirectoryW(saved);
}
