// Bad input to the "常用软件" page and the private-space scripts: names in every script, paths around
// and far past the classic limit, and cut shortcut files, dropped and on the desktop.
// Whatever comes in, no crash, no cut path taken for another file, no lost row, no leak.
#include "pages/FileToolDlg.h"
#include "pages/PrivateScripts.h"
#include "tests/common/ObjectHeadroom.h"
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
constexpr size_t kLongestPath = 32767;

// Every row with its texts read whole, however long they are.
std::vector<Row> ReadWholeRows(HWND list) {
    std::vector<Row> rows;
    std::vector<wchar_t> buffer(kLongestPath + 1, L'\0');
    const auto text = [&](int item, int subItem) {
        LVITEMW row = {};
        row.iSubItem = subItem;
        row.pszText = buffer.data();
        row.cchTextMax = static_cast<int>(buffer.size());
        buffer[0] = L'\0';
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&row));
        return std::wstring(buffer.data());
    };
    for (int i = 0; i < harness::RowCount(list); ++i) {
        rows.push_back({text(i, 0), text(i, 1), text(i, 2), harness::ItemImage(list, i)});
    }
    return rows;
}

const Row* RowNamed(const std::vector<Row>& rows, const std::wstring& name) {
    for (const Row& row : rows) {
        if (row.name == name) {
            return &row;
        }
    }
    return nullptr;
}

// A path of exactly `length` characters: `base`, folders of 200 characters, then a file name that
// ends in `tail`.
std::wstring PathOfLength(const std::wstring& base, size_t length, const std::wstring& tail) {
    std::wstring path = base;
    while (length - path.size() > 1 + 200 + tail.size()) {
        path += L'\\' + std::wstring(200, static_cast<wchar_t>(L'a' + path.size() % 26));
    }
    path += L'\\';
    return path + std::wstring(length - path.size() - tail.size(), L'n') + tail;
}

std::wstring AfterLastBackslash(const std::wstring& path) { return path.substr(path.rfind(L'\\') + 1); }

// Where the parts of a shortcut file end: the header, each item of the item id list and the list,
// the location block, each counted string and each extra block. Readers go wrong at these edges.
std::vector<size_t> ShortcutPartEnds(const std::string& bytes) {
    const auto number = [&](size_t at, size_t width) {
        size_t value = 0;
        for (size_t i = width; i > 0 && at + width <= bytes.size(); --i) {
            value = value << 8 | static_cast<BYTE>(bytes[at + i - 1]);
        }
        return value;
    };
    constexpr size_t kHeaderSize = 0x4C;
    const size_t flags = number(0x14, 4);
    std::vector<size_t> ends = {kHeaderSize};
    size_t at = kHeaderSize;
    if ((flags & 0x1) != 0) {  // the item id list: its size, then items that give their own sizes
        const size_t listEnd = at + 2 + number(at, 2);
        for (at += 2; at < listEnd && number(at, 2) != 0; at += number(at, 2)) {
            ends.push_back(at);
        }
        ends.push_back(at);
        ends.push_back(at = listEnd);
    }
    if ((flags & 0x2) != 0) {  // the location block gives its size
        ends.push_back(at += number(at, 4));
    }
    const size_t charSize = (flags & 0x80) != 0 ? 2 : 1;
    for (size_t flag = 0x4; flag <= 0x40; flag <<= 1) {  // counted strings: name, paths, arguments, icon
        if ((flags & flag) != 0) {
            ends.push_back(at += 2 + charSize * number(at, 2));
        }
    }
    while (number(at, 4) >= 4) {  // extra blocks, then their end mark
        ends.push_back(at += number(at, 4));
    }
    ends.push_back(at + 4);
    return ends;
}

// Where to cut a shortcut file: at and one byte either side of every part's end, and a
// stride between them that lands on odd and even offsets.
std::set<size_t> CutSizes(const std::string& bytes) {
    constexpr size_t kStride = 7;
    std::set<size_t> sizes;
    for (size_t size = 0; size <= bytes.size(); size += kStride) {
        sizes.insert(size);
    }
    for (const size_t end : ShortcutPartEnds(bytes)) {
        for (const size_t size : {end - 1, end, end + 1}) {
            if (size <= bytes.size()) {
                sizes.insert(size);
            }
        }
    }
    sizes.insert(bytes.size());
    return sizes;
}

class BadInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(DesktopFixture::DesktopContents().empty()) << "the shared desktop folder holds leftovers";
    }
    DesktopFixture m_desk;
};

}  // namespace

// Chinese, characters beyond the basic plane (surrogate pairs), right-to-left scripts and the
// override that turns text around: each name comes back exactly as the file system has it.
TEST_F(BadInput, NamesInEveryScriptKeepTheirRowsWholeOnTheDesktopAndDropped) {
    const std::wstring names[] = {
        L"常用软件 工具", L"\U00020BB7野家", L"\U0001F680 rocket",          L"שלום עולם",
        L"مرحبا بالعالم", L"photo\u202Egnp", L"עברית 中文 \U00020BB7 عربي",
    };
    std::vector<std::wstring> targets;
    for (const std::wstring& name : names) {
        targets.push_back(m_desk.TargetFile(name + L"\\" + name + L".exe"));
        ASSERT_TRUE(fixture::Exists(targets.back()));
        m_desk.Shortcut(name + L".lnk", targets.back());
    }
    HostedPage<CFileToolDlg> page;
    ASSERT_TRUE(page.Created());
    harness::Drop(page.List(), targets);

    const std::vector<Row> rows = ReadWholeRows(page.List());
    EXPECT_EQ(2 * std::size(names) + 1, rows.size());
    for (size_t i = 0; i < std::size(names); ++i) {
        const Row* linked = RowNamed(rows, names[i] + L".lnk");
        ASSERT_NE(nullptr, linked) << "no row for the shortcut of name " << i;
        EXPECT_EQ(m_desk.OnDesktop(names[i] + L".lnk"), linked->path) << i;
        EXPECT_EQ(targets[i], linked->target) << i;
        const Row* dropped = RowNamed(rows, names[i] + L".exe");
        ASSERT_NE(nullptr, dropped) << "no row for the dropped file of name " << i;
        EXPECT_EQ(targets[i], dropped->path) << i;
        EXPECT_EQ(L"", dropped->target) << i;
    }
}

// The scripts are started through the ANSI code page where it spells the whole command line (here
// 936), and wide where it cannot: no character may turn into '?' or a look-alike on the way.
TEST_F(BadInput, ScriptNamesReachTheStartNarrowOnlyWhereTheCodePageSpellsThemWhole) {
    ASSERT_EQ(936u, GetACP()) << "the test prefix runs in the Simplified Chinese code page";
    const std::wstring folder = m_desk.Scratch();
    ASSERT_TRUE(std::all_of(folder.begin(), folder.end(), [](wchar_t c) { return c < 0x80; }));
    const std::string narrowFolder(folder.begin(), folder.end());
    struct Case {
        std::wstring name;
        std::string gbk;  // the name in code page 936, or empty when it has no spelling there
    };
    const Case cases[] = {
        {L"脚本", "\xBD\xC5\xB1\xBE"}, {L"\U00020BB7野家", ""}, {L"שלום", ""},
        {L"مرحبا 脚本", ""},           {L"\U0001F680", ""},
    };
    wchar_t saved[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    for (const Case& script : cases) {
        const std::wstring file = script.name + L".bat";
        m_desk.TargetFile(file, "@exit\r\n");
        harness::StartRecorder started;
        RunScriptHidden(file.c_str());
        if (!script.gbk.empty()) {
            ASSERT_EQ(1u, started.CommandLines().size());
            EXPECT_TRUE(started.Processes().empty());
            EXPECT_EQ("\"" + narrowFolder + "\\" + script.gbk + ".bat\"",
                      started.CommandLines()[0].commandLine);
        } else {
            ASSERT_EQ(1u, started.Processes().size());
            EXPECT_TRUE(started.CommandLines().empty());
            EXPECT_EQ(L"\"" + folder + L"\\" + file + L"\"", started.Processes()[0].commandLine);
        }
    }
    SetCurrentDirectoryW(saved);
}

// Dropped paths are kept whole at any length. Shortcut files whose own path would not fit the
// classic buffer are left out rather than cut; a target is listed whole or not at all (some
// systems cannot read targets past the classic limit), and never as a shorter path.
TEST_F(BadInput, PathsAroundAndFarPastTheClassicLimitAreKeptWholeOrLeftOutNeverCut) {
    const size_t lengths[] = {MAX_PATH - 1, MAX_PATH, MAX_PATH + 1, 32000};
    std::vector<std::wstring> dropped;
    std::vector<std::wstring> targetNames;
    std::vector<std::wstring> targets;
    std::vector<std::wstring> linkNames;
    for (const size_t length : lengths) {
        dropped.push_back(
            PathOfLength(m_desk.Scratch(), length, L" 文件 " + std::to_wstring(length) + L".exe"));
        ASSERT_EQ(length, dropped.back().size());

        // A target of this length, made on disk where it can be: a folder, then a 40-character name.
        const std::wstring name = std::wstring(30, L't') + std::to_wstring(length) + L".exe";
        targets.push_back(
            length < 1000
                ? m_desk.TargetFile(std::wstring(length - m_desk.Scratch().size() - 2 - name.size(), L'f') +
                                    L"\\" + name)
                : PathOfLength(m_desk.Scratch(), length, L"\\" + name));
        ASSERT_EQ(length, targets.back().size());
        targetNames.push_back(L"Target " + std::to_wstring(length) + L".lnk");
        m_desk.Shortcut(targetNames.back(), targets.back());
    }
    const std::wstring tool = m_desk.TargetFile(L"tool.exe");
    m_desk.Shortcut(L"Beside.lnk", tool);
    for (const size_t length : {MAX_PATH - 1, MAX_PATH, MAX_PATH + 1}) {
        linkNames.push_back(std::wstring(length - m_desk.Desktop().size() - 5, L'L') + L".lnk");
        ASSERT_TRUE(fixture::Exists(m_desk.Shortcut(linkNames.back(), tool)));
    }

    HostedPage<CFileToolDlg> page;
    ASSERT_TRUE(page.Created());
    harness::Drop(page.List(), dropped);
    const std::vector<Row> rows = ReadWholeRows(page.List());

    for (const std::wstring& path : dropped) {
        const Row* row = RowNamed(rows, AfterLastBackslash(path));
        ASSERT_NE(nullptr, row) << "a dropped path of " << path.size() << " characters lost its row";
        EXPECT_EQ(path, row->path);
    }
    ASSERT_NE(nullptr, RowNamed(rows, L"Beside.lnk"));
    EXPECT_EQ(tool, RowNamed(rows, L"Beside.lnk")->target);
    ASSERT_NE(nullptr, RowNamed(rows, linkNames[0])) << "a shortcut whose path just fits is listed";
    EXPECT_EQ(m_desk.OnDesktop(linkNames[0]), RowNamed(rows, linkNames[0])->path);
    EXPECT_EQ(nullptr, RowNamed(rows, linkNames[1]));
    EXPECT_EQ(nullptr, RowNamed(rows, linkNames[2]));
    ASSERT_NE(nullptr, RowNamed(rows, targetNames[0])) << "a target that fits the classic limit is read";
    for (size_t i = 0; i < targets.size(); ++i) {
        if (const Row* row = RowNamed(rows, targetNames[i])) {
            EXPECT_EQ(targets[i], row->target) << "target of " << lengths[i] << " characters";
        }
    }
    for (const Row& row : rows) {
        EXPECT_TRUE(row.name == kHint || row.name == L"Beside.lnk" || row.name == linkNames[0] ||
                    row.name.rfind(L"Target ", 0) == 0 || row.path.size() >= MAX_PATH - 1)
            << "unexpected row of " << row.path.size() << " characters";
    }
}

// A shortcut file cut short at the edges of its parts and at a stride between them, from nothing to
// its full size, beside whole ones: each cut is left out or read as the very target of the whole
// file, the whole ones keep their rows, and filling the page with them again and again costs no
// objects.
TEST_F(BadInput, CutShortcutFilesAreLeftOutOrReadWholeAndFillingLeaksNothing) {
    const std::wstring target = m_desk.TargetFile(L"bin\\whole.exe");
    const std::wstring other = m_desk.TargetFile(L"bin\\other.exe");
    const std::wstring model = m_desk.Scratch() + L"\\model.lnk";
    ASSERT_TRUE(fixture::WriteShortcut(model, target));
    m_desk.Track(model);
    const std::string bytes = fixture::ReadBytes(model);
    ASSERT_GT(bytes.size(), 0x4Cu);
    ASSERT_EQ(bytes.size(), ShortcutPartEnds(bytes).back()) << "the parts are not read as the file has them";
    for (const size_t size : CutSizes(bytes)) {
        wchar_t name[32];
        wsprintfW(name, L"cut %04u.lnk", static_cast<unsigned>(size));
        m_desk.DesktopFile(name, bytes.substr(0, size));
    }
    m_desk.Shortcut(L"Beside.lnk", other);

    const auto fill = [] {
        HostedPage<CFileToolDlg> page;
        EXPECT_TRUE(page.Created());
        return ReadWholeRows(page.List());
    };
    const std::vector<Row> rows = fill();
    wchar_t wholeName[32];
    wsprintfW(wholeName, L"cut %04u.lnk", static_cast<unsigned>(bytes.size()));
    ASSERT_NE(nullptr, RowNamed(rows, wholeName)) << "the uncut copy lost its row";
    ASSERT_NE(nullptr, RowNamed(rows, L"Beside.lnk"));
    EXPECT_EQ(other, RowNamed(rows, L"Beside.lnk")->target);
    ASSERT_NE(nullptr, RowNamed(rows, kHint));
    for (const Row& row : rows) {
        if (row.name != kHint && row.name != L"Beside.lnk") {
            EXPECT_EQ(target, row.target) << row.name;
            EXPECT_EQ(m_desk.OnDesktop(row.name), row.path);
        }
    }

    EXPECT_LE(headroom::LostOver(3, [&] { EXPECT_EQ(rows.size(), fill().size()); }), 2);
}
