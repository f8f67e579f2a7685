// The "常用软件" page filled from a real desktop folder at start-up.
#include "pages/FileToolDlg.h"
#include "tests/pages/DesktopFixture.h"
#include "tests/pages/PageHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using fixture::DesktopFixture;
using harness::HostedPage;
using harness::Row;

namespace {

constexpr wchar_t kHint[] = L"可拖拽显示";

struct Expected {
    std::wstring name;
    std::wstring target;
};

// A desktop with one item of every kind the page meets. Returns the entries the page must list.
std::vector<Expected> MakeMixedDesktop(DesktopFixture& desk) {
    const std::wstring tool = desk.TargetFile(L"bin\\tool.exe");
    const std::wstring game = desk.TargetFile(L"bin\\game two.exe");
    const std::wstring calc = desk.TargetFile(L"bin\\计算器.exe");
    const std::wstring hangul = desk.TargetFile(L"도구\\한글.exe");
    const std::wstring trick = desk.TargetFile(L"setup.exe.d\\readme.txt", "text");
    const std::wstring notes = desk.TargetFile(L"docs\\notes.txt", "text");
    const std::wstring caps = desk.TargetFile(L"bin\\LOUD.EXE");

    desk.Shortcut(L"Tool.lnk", tool);
    desk.Shortcut(L"My Game 2.lnk", game);
    desk.Shortcut(L"计算器.lnk", calc);
    desk.Shortcut(L"한글 도구.lnk", hangul);
    desk.Shortcut(L"\U0001F3AE Play.lnk", tool);  // a character beyond the basic plane
    desk.Shortcut(L"Folder Trick.lnk", trick);    // ".exe" only inside a folder name
    desk.Shortcut(L"Notes.lnk", notes);           // a document
    desk.Shortcut(L"Loud.lnk", caps);             // ".EXE" does not count
    desk.DesktopFile(L"plain.exe", "MZ");         // a program, but no shortcut
    desk.DesktopFile(L"Site.url", "[InternetShortcut]\r\nURL=http://example.com/\r\n");
    desk.DesktopFile(L"Broken.lnk", DesktopFixture::RandomBytes(512));
    const std::wstring readOnly = desk.Shortcut(L"Kept.lnk", tool);
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);

    return {{L"Tool.lnk", tool},        {L"My Game 2.lnk", game},       {L"计算器.lnk", calc},
            {L"한글 도구.lnk", hangul}, {L"\U0001F3AE Play.lnk", tool}, {L"Folder Trick.lnk", trick},
            {L"Kept.lnk", tool}};
}

// Lets the shell answer the first icon query only; every later one finds no icon, so that
// entry's image add fails.
class OnlyTheFirstIcon {
public:
    OnlyTheFirstIcon() : m_saved(AfxGetShellCalls().getFileInfo) {
        s_answered = 0;
        AfxGetShellCalls().getFileInfo = &Answer;
    }
    ~OnlyTheFirstIcon() { AfxGetShellCalls().getFileInfo = m_saved; }
    OnlyTheFirstIcon(const OnlyTheFirstIcon&) = delete;
    OnlyTheFirstIcon& operator=(const OnlyTheFirstIcon&) = delete;

private:
    static DWORD_PTR WINAPI Answer(LPCWSTR path, DWORD attributes, SHFILEINFOW* info, UINT size, UINT flags) {
        if ((flags & SHGFI_ICON) != 0 && s_answered++ > 0) {
            *info = SHFILEINFOW{};
            return 0;
        }
        return SHGetFileInfoW(path, attributes, info, size, flags);
    }

    static inline int s_answered = 0;
    DWORD_PTR(WINAPI* m_saved)(LPCWSTR, DWORD, SHFILEINFOW*, UINT, UINT);
};

class DesktopEntriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(DesktopFixture::DesktopContents().empty()) << "the shared desktop folder holds leftovers";
    }
    DesktopFixture m_desk;
};

}  // namespace

// Rows, their order, their texts and their images, from a desktop with every kind of item.
TEST_F(DesktopEntriesTest, ListsShortcutsToProgramsInOrderUnderTheirOwnNamesWithTheHintRow) {
    const std::vector<Expected> expected = MakeMixedDesktop(m_desk);
    std::vector<Row> rows;
    int imageCount = 0;
    {
        HostedPage<CFileToolDlg> page;
        ASSERT_TRUE(page.Created());
        rows = harness::ReadRows(page.List());
        imageCount = harness::ImageCount(page.List());
        EXPECT_NE(0u, GetWindowLongW(page.List(), GWL_STYLE) & LVS_SORTASCENDING);
    }

    ASSERT_EQ(expected.size() + 1, rows.size());
    for (const Expected& entry : expected) {
        const auto found =
            std::find_if(rows.begin(), rows.end(), [&](const Row& row) { return row.name == entry.name; });
        ASSERT_NE(rows.end(), found) << "missing row for a shortcut";
        EXPECT_EQ(m_desk.OnDesktop(entry.name), found->path);
        EXPECT_EQ(entry.target, found->target);
    }
    for (size_t i = 1; i < rows.size(); ++i) {
        EXPECT_LE(lstrcmpiW(rows[i - 1].name.c_str(), rows[i].name.c_str()), 0)
            << "rows " << i - 1 << " and " << i;
    }

    // Each entry has an image of its own, counted from 0; the hint's icon comes after them.
    std::set<int> entryImages;
    const Row* hint = nullptr;
    for (const Row& row : rows) {
        if (row.name == kHint) {
            hint = &row;
        } else {
            entryImages.insert(row.image);
        }
    }
    ASSERT_NE(nullptr, hint);
    EXPECT_EQ(L"", hint->path);
    EXPECT_EQ(L"", hint->target);
    EXPECT_EQ(expected.size(), entryImages.size()) << "two entries share an image index";
    EXPECT_EQ(0, *entryImages.begin());
    EXPECT_EQ(static_cast<int>(expected.size()) - 1, *entryImages.rbegin());
    EXPECT_EQ(static_cast<int>(expected.size()), hint->image);
    EXPECT_EQ(static_cast<int>(expected.size()) + 1, imageCount);

    EXPECT_EQ(S_OK, CoInitialize(nullptr)) << "the page left COM initialised";
    CoUninitialize();
}

TEST_F(DesktopEntriesTest, AnItemWhosePathWouldNotFitIsSkippedRatherThanCut) {
    const std::wstring tool = m_desk.TargetFile(L"bin\\tool.exe");
    // The longest name that still fits beside the desktop path, and one character more.
    const size_t room = MAX_PATH - 1 - m_desk.Desktop().size() - 1;
    const std::wstring fits = std::wstring(room - 4, L'F') + L".lnk";
    const std::wstring tooLong = std::wstring(room - 3, L'L') + L".lnk";
    m_desk.Shortcut(fits, tool);
    m_desk.Shortcut(tooLong, tool);
    m_desk.Shortcut(L"Zed.lnk", tool);
    ASSERT_TRUE(fixture::Exists(m_desk.OnDesktop(tooLong)));
    ASSERT_EQ(MAX_PATH - 1, m_desk.OnDesktop(fits).size());

    HostedPage<CFileToolDlg> page;
    ASSERT_TRUE(page.Created());
    const std::vector<Row> rows = harness::ReadRows(page.List());

    EXPECT_EQ((std::vector<std::wstring>{fits, L"Zed.lnk", kHint}), harness::Names(rows));
    for (const Row& row : rows) {
        EXPECT_EQ(std::wstring::npos, row.path.find(L"LLL")) << "a cut path of the long item was listed";
    }
}

// The rows are added while the list does not redraw; afterwards it must redraw and bring its
// scroll bar up to date, or rows beyond the visible area cannot be reached.
TEST_F(DesktopEntriesTest, AFullListCanBeScrolledAfterTheFillAndAfterDrops) {
    const std::wstring tool = m_desk.TargetFile(L"bin\\tool.exe");
    for (int i = 0; i < 40; ++i) {
        m_desk.Shortcut(L"Tool " + std::to_wstring(i) + L".lnk", tool);
    }
    HostedPage<CFileToolDlg> page;
    ASSERT_TRUE(page.Created());
    ASSERT_EQ(41, harness::RowCount(page.List()));
    SCROLLINFO scroll = {};
    scroll.cbSize = sizeof(scroll);
    scroll.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(page.List(), SB_VERT, &scroll)) << "no scroll bar after the fill";
    EXPECT_GT(scroll.nMax - scroll.nMin + 1, static_cast<int>(scroll.nPage));

    std::vector<std::wstring> dropped;
    for (int i = 0; i < 40; ++i) {
        dropped.push_back(m_desk.Scratch() + L"\\more " + std::to_wstring(i) + L".txt");
    }
    harness::Drop(page.List(), dropped);
    SCROLLINFO after = scroll;
    ASSERT_TRUE(GetScrollInfo(page.List(), SB_VERT, &after));
    EXPECT_GT(after.nMax, scroll.nMax) << "the scroll range did not grow with the dropped rows";
}

// Whichever entry comes second loses its icon; the hint row must still show its own picture, the
// last one added, and not the first entry's.
TEST_F(DesktopEntriesTest, TheHintRowShowsItsOwnIconWhenAnEntrysIconCouldNotBeAdded) {
    const std::wstring tool = m_desk.TargetFile(L"bin\\tool.exe");
    // Two types, so that the second entry's icon is asked of the shell rather than reused.
    m_desk.Shortcut(L"Alpha.lnk", tool);
    m_desk.Shortcut(L"Beta.dalvorinlink", tool);
    std::vector<Row> rows;
    int imageCount = 0;
    {
        OnlyTheFirstIcon firstOnly;
        HostedPage<CFileToolDlg> page;
        ASSERT_TRUE(page.Created());
        rows = harness::ReadRows(page.List());
        imageCount = harness::ImageCount(page.List());
    }

    EXPECT_EQ((std::vector<std::wstring>{L"Alpha.lnk", L"Beta.dalvorinlink", kHint}), harness::Names(rows));
    ASSERT_EQ(2, imageCount) << "one entry's icon and the hint's";
    EXPECT_EQ(1, rows[2].image);
}

TEST_F(DesktopEntriesTest, AnEmptyDesktopGivesOnlyTheHintRow) {
    HostedPage<CFileToolDlg> page;
    ASSERT_TRUE(page.Created());
    const std::vector<Row> rows = harness::ReadRows(page.List());
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(kHint, rows[0].name);
    EXPECT_EQ(0, rows[0].image);
    EXPECT_EQ(1, harness::ImageCount(page.List()));
}

// The thread's own COM initialisation must neither hide the desktop entries nor be undone, and
// the page must leave no initialisation of its own behind.
TEST_F(DesktopEntriesTest, ComAlreadyInitialisedByTheThreadStillListsEntriesAndStaysBalanced) {
    const std::wstring tool = m_desk.TargetFile(L"bin\\tool.exe");
    m_desk.Shortcut(L"Tool.lnk", tool);
    ASSERT_EQ(S_OK, CoInitialize(nullptr));
    {
        HostedPage<CFileToolDlg> page;
        ASSERT_TRUE(page.Created());
        const std::vector<Row> rows = harness::ReadRows(page.List());
        EXPECT_EQ((std::vector<std::wstring>{L"Tool.lnk", kHint}), harness::Names(rows));
        EXPECT_EQ(tool, rows[0].target);
    }
    // Still initialised exactly once: another initialisation nests, and after ours goes, a new
    // one starts from scratch.
    EXPECT_EQ(S_FALSE, CoInitialize(nullptr));
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(S_OK, CoInitialize(nullptr)) << "the page left COM initialised";
    CoUninitialize();
}
