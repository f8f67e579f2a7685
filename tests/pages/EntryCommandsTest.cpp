// The entry commands of the "常用软件" page, delivered as the context menu delivers them. Nothing is
// started: the shell-call table records what would have been.
#include "pages/FileToolDlg.h"
#include "tests/common/MessagePump.h"
#include "tests/pages/DesktopFixture.h"
#include "tests/pages/PageHarness.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using fixture::DesktopFixture;
using harness::HostedPage;
using harness::StartRecorder;

namespace {

constexpr wchar_t kHint[] = L"可拖拽显示";

class EntryCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(DesktopFixture::DesktopContents().empty()) << "the shared desktop folder holds leftovers";
        m_tool = m_desk.TargetFile(L"bin\\tool.exe");
        m_other = m_desk.TargetFile(L"bin\\tool two.exe");
        m_toolLink = m_desk.Shortcut(L"Tool.lnk", m_tool);
        m_oddLink = m_desk.Shortcut(L"한글, 도구.lnk", m_other);
        m_page = std::make_unique<HostedPage<CFileToolDlg>>();
        ASSERT_TRUE(m_page->Created());
        ASSERT_EQ(3, harness::RowCount(List()));
    }
    void TearDown() override { m_page.reset(); }

    HWND Page() const { return m_page->Window(); }
    HWND List() const { return m_page->List(); }
    void Mark(const std::wstring& name) {
        const int row = harness::FindRow(List(), name);
        ASSERT_GE(row, 0);
        harness::SetSelectionMark(List(), row);
    }
    void Choose(UINT id) { harness::ChooseCommand(Page(), id); }

    DesktopFixture m_desk;
    std::unique_ptr<HostedPage<CFileToolDlg>> m_page;
    StartRecorder m_started;
    std::wstring m_tool, m_other, m_toolLink, m_oddLink;
};

}  // namespace

TEST_F(EntryCommandsTest, OpenStartsTheMarkedShortcutsTargetOnce) {
    Mark(L"Tool.lnk");
    Choose(ID_ENTRY_OPEN);

    ASSERT_EQ(1u, StartRecorder::Calls().size()) << "one choice, one run";
    const RecordedShellCall& call = StartRecorder::Calls()[0];
    EXPECT_EQ(Page(), call.owner);
    EXPECT_EQ(L"open", call.verb);
    EXPECT_EQ(m_tool, call.file);
    EXPECT_EQ(L"", call.parameters);
    EXPECT_EQ(L"", call.directory);
    EXPECT_EQ(SW_SHOWNORMAL, call.show);
    EXPECT_EQ(1u, StartRecorder::Total());
}

// The link is resolved again at every open; a dropped file that is no link opens as itself.
TEST_F(EntryCommandsTest, OpenResolvesDroppedShortcutsAndOpensOtherFilesAsThemselves) {
    const std::wstring document = m_desk.TargetFile(L"docs\\plan.txt", "text");
    const std::wstring outsideLink = m_desk.Scratch() + L"\\elsewhere.lnk";
    ASSERT_TRUE(fixture::WriteShortcut(outsideLink, m_other));
    m_desk.Track(outsideLink);
    harness::Drop(List(), {document, outsideLink});

    Mark(L"plan.txt");
    Choose(ID_ENTRY_OPEN);
    Mark(L"elsewhere.lnk");
    Choose(ID_ENTRY_OPEN);
    Mark(kHint);
    Choose(ID_ENTRY_OPEN);

    ASSERT_EQ(3u, StartRecorder::Calls().size());
    EXPECT_EQ(document, StartRecorder::Calls()[0].file);
    EXPECT_EQ(m_other, StartRecorder::Calls()[1].file);
    EXPECT_EQ(L"", StartRecorder::Calls()[2].file) << "the hint row has no file";
}

TEST_F(EntryCommandsTest, DoubleClickOpensTheMarkedEntryWhereverItLands) {
    Mark(L"Tool.lnk");
    NMITEMACTIVATE click = {};
    click.hdr = {List(), IDC_ENTRY_LIST, static_cast<UINT>(NM_DBLCLK)};
    click.iItem = -1;  // empty space: the mark decides
    const LRESULT result = SendMessageW(Page(), WM_NOTIFY, IDC_ENTRY_LIST, reinterpret_cast<LPARAM>(&click));

    EXPECT_EQ(0, result);
    ASSERT_EQ(1u, StartRecorder::Calls().size());
    EXPECT_EQ(m_tool, StartRecorder::Calls()[0].file);
    EXPECT_EQ(L"open", StartRecorder::Calls()[0].verb);
}

// The file manager gets the whole path, quoted and in wide text, so spaces, commas and characters
// outside the ANSI code page survive.
TEST_F(EntryCommandsTest, LocateRunsTheFileManagerOnTheQuotedWidePath) {
    Mark(L"한글, 도구.lnk");
    Choose(ID_ENTRY_LOCATE);

    ASSERT_EQ(1u, StartRecorder::Processes().size());
    const harness::StartedProcess& started = StartRecorder::Processes()[0];
    EXPECT_EQ(L"Explorer /select, \"" + m_oddLink + L"\"", started.commandLine);
    EXPECT_FALSE(started.hasApplicationName) << "the program is looked up as WinExec looks it up";
    EXPECT_EQ(SW_SHOWNORMAL, started.show);
    EXPECT_NE(0u, started.startupFlags & STARTF_USESHOWWINDOW);
    EXPECT_TRUE(StartRecorder::CommandLines().empty()) << "nothing goes through a code page";
    EXPECT_EQ(1u, StartRecorder::Total());
}

TEST_F(EntryCommandsTest, LocateOfADroppedLongPathKeepsItWhole) {
    const std::wstring path =
        m_desk.Scratch() + L"\\" + std::wstring(120, L'x') + L"\\" + std::wstring(120, L'y') + L"\\file.txt";
    harness::Drop(List(), {path});
    Mark(L"file.txt");
    Choose(ID_ENTRY_LOCATE);
    ASSERT_EQ(1u, StartRecorder::Processes().size());
    EXPECT_EQ(L"Explorer /select, \"" + path + L"\"", StartRecorder::Processes()[0].commandLine);
}

TEST_F(EntryCommandsTest, DeleteRemovesOnlyTheMarkedRowAndLaterEntriesGetFreshImages) {
    const int images = harness::ImageCount(List());
    Mark(L"Tool.lnk");
    Choose(ID_ENTRY_DELETE);

    EXPECT_EQ(2, harness::RowCount(List())) << "one choice deletes one row";
    EXPECT_EQ(-1, harness::FindRow(List(), L"Tool.lnk"));
    EXPECT_TRUE(fixture::Exists(m_toolLink)) << "no file is touched";
    EXPECT_EQ(images, harness::ImageCount(List())) << "the image stays";

    harness::Drop(List(), {m_desk.TargetFile(L"after.txt", "text")});
    const int row = harness::FindRow(List(), L"after.txt");
    ASSERT_GE(row, 0);
    EXPECT_EQ(images, harness::ItemImage(List(), row));
    EXPECT_EQ(0u, StartRecorder::Total());
}

TEST_F(EntryCommandsTest, DesktopShortcutLeavesAnExistingFileAlone) {
    const std::string before = fixture::ReadBytes(m_toolLink);
    Mark(L"Tool.lnk");
    Choose(ID_DESKTOP_SHORTCUT);
    EXPECT_EQ(before, fixture::ReadBytes(m_toolLink));

    // A dropped document that exists is not replaced by a shortcut either.
    const std::wstring document = m_desk.TargetFile(L"keep.txt", "precious");
    harness::Drop(List(), {document});
    Mark(L"keep.txt");
    Choose(ID_DESKTOP_SHORTCUT);
    EXPECT_EQ("precious", fixture::ReadBytes(document));
}

TEST_F(EntryCommandsTest, DesktopShortcutPutsAMissingShortcutBackWithItsRecordedTarget) {
    DesktopFixture::Remove(m_oddLink);
    ASSERT_FALSE(fixture::Exists(m_oddLink));
    Mark(L"한글, 도구.lnk");
    Choose(ID_DESKTOP_SHORTCUT);

    ASSERT_TRUE(fixture::Exists(m_oddLink));
    EXPECT_EQ(m_other, fixture::ReadShortcutTarget(m_oddLink));
    EXPECT_EQ(0u, StartRecorder::Total());
}

// A dropped row records no target: once its file is gone, there is nothing to link to.
TEST_F(EntryCommandsTest, DesktopShortcutOnARowWithoutATargetWritesNothing) {
    const std::wstring dropped = m_desk.TargetFile(L"gone.txt", "text");
    harness::Drop(List(), {dropped});
    DesktopFixture::Remove(dropped);
    const std::vector<std::wstring> desktopBefore = DesktopFixture::DesktopContents();

    Mark(L"gone.txt");
    Choose(ID_DESKTOP_SHORTCUT);
    Mark(kHint);
    Choose(ID_DESKTOP_SHORTCUT);

    EXPECT_FALSE(fixture::Exists(dropped));
    EXPECT_EQ(desktopBefore, DesktopFixture::DesktopContents());
}

TEST_F(EntryCommandsTest, CommandsBeforeAnySelectionActOnNoRow) {
    ASSERT_EQ(-1, SendMessageW(List(), LVM_GETSELECTIONMARK, 0, 0));
    const std::vector<std::wstring> desktopBefore = DesktopFixture::DesktopContents();
    Choose(ID_ENTRY_OPEN);
    Choose(ID_ENTRY_LOCATE);
    Choose(ID_ENTRY_DELETE);
    Choose(ID_DESKTOP_SHORTCUT);

    ASSERT_EQ(1u, StartRecorder::Calls().size());
    EXPECT_EQ(L"", StartRecorder::Calls()[0].file);
    ASSERT_EQ(1u, StartRecorder::Processes().size());
    EXPECT_EQ(L"Explorer /select, \"\"", StartRecorder::Processes()[0].commandLine);
    EXPECT_EQ(3, harness::RowCount(List()));
    EXPECT_EQ(desktopBefore, DesktopFixture::DesktopContents());
}

TEST_F(EntryCommandsTest, TheSixOtherMenuItemsDoNothing) {
    Mark(L"Tool.lnk");
    for (UINT id : {ID_ENTRY_CUT, ID_ENTRY_PASTE, ID_ENTRY_HOTKEY, ID_ENTRY_EDIT_INFO, ID_ENTRY_MOVE_UP,
                    ID_ENTRY_MOVE_DOWN}) {
        Choose(id);
    }
    EXPECT_EQ(0u, StartRecorder::Total());
    EXPECT_EQ(3, harness::RowCount(List()));
    EXPECT_EQ(2u, DesktopFixture::DesktopContents().size());
}

// Showing a menu asks its owner to prepare the popup; none of the actions may run then.
TEST_F(EntryCommandsTest, PreparingTheMenuRunsNoAction) {
    Mark(L"Tool.lnk");
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_ENTRY_MENU));
    HMENU popup = GetSubMenu(menu.m_hMenu, 0);
    SendMessageW(Page(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    SendMessageW(Page(), WM_INITMENU, reinterpret_cast<WPARAM>(popup), 0);

    EXPECT_EQ(0u, StartRecorder::Total());
    EXPECT_EQ(3, harness::RowCount(List()));
}

namespace {

// Runs inside the menu's own loop, once the popup is up: records it, then either picks its first
// item with the keyboard or closes it.
struct MenuVisit {
    static inline bool s_choose = false;
    static inline int s_items = -1;

    static void CALLBACK Act(HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        HWND window = FindWindowW(L"#32768", nullptr);
        if (window != nullptr && IsWindowVisible(window)) {
            s_items = GetMenuItemCount(reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0)));
        }
        if (s_choose && window != nullptr) {
            PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageW(window, WM_CHAR, L'\r', 0);
        } else {
            EndMenu();
        }
    }
};

}  // namespace

TEST_F(EntryCommandsTest, ARightClickShowsTheMenuWithoutRunningAnything) {
    Mark(L"Tool.lnk");
    MenuVisit::s_choose = false;
    MenuVisit::s_items = -1;
    SetTimer(nullptr, 0, 200, &MenuVisit::Act);
    harness::NotifyFromList(Page(), List(), NM_RCLICK);
    PumpPendingMessages();

    EXPECT_EQ(10, MenuVisit::s_items) << "the entry menu was not shown";
    EXPECT_EQ(0u, StartRecorder::Total());
    EXPECT_EQ(3, harness::RowCount(List()));
}

TEST_F(EntryCommandsTest, AnItemChosenInTheMenuRunsOnceAfterItCloses) {
    Mark(L"Tool.lnk");
    MenuVisit::s_choose = true;
    MenuVisit::s_items = -1;
    SetTimer(nullptr, 0, 200, &MenuVisit::Act);
    harness::NotifyFromList(Page(), List(), NM_RCLICK);
    PumpPendingMessages();

    EXPECT_EQ(10, MenuVisit::s_items);
    EXPECT_EQ(2, harness::RowCount(List())) << "the first item, delete, removes the marked row once";
    EXPECT_EQ(-1, harness::FindRow(List(), L"Tool.lnk"));
}
