// Files and folders dropped from the shell onto the lists, as real WM_DROPFILES blocks.
#include "pages/FileToolDlg.h"
#include "pages/SystemToolDlg.h"
#include "tests/pages/DesktopFixture.h"
#include "tests/pages/PageHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

using fixture::DesktopFixture;
using harness::HostedPage;
using harness::Row;

namespace {

constexpr wchar_t kHint[] = L"可拖拽显示";

// The pixels of one image of an image list, drawn on white.
std::vector<DWORD> ImageListPixels(HIMAGELIST images, int index) {
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, 32, 32, WHITENESS);
    ImageList_Draw(images, index, dc, 0, 0, ILD_NORMAL);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<DWORD*>(bits), static_cast<DWORD*>(bits) + 32 * 32);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

// The pixels of one image of the list's image list, drawn on white.
std::vector<DWORD> ImagePixels(HWND list, int index) {
    return ImageListPixels(
        reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_NORMAL, 0)), index);
}

class DropTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(DesktopFixture::DesktopContents().empty()) << "the shared desktop folder holds leftovers";
        ASSERT_TRUE(m_page.Created());
        ASSERT_EQ(1, harness::RowCount(List()));  // the hint row
    }
    HWND List() const { return m_page.List(); }
    const Row* RowNamed(const std::vector<Row>& rows, const std::wstring& name) {
        for (const Row& row : rows) {
            if (row.name == name) {
                return &row;
            }
        }
        ADD_FAILURE() << "no row with the expected name";
        return nullptr;
    }

    DesktopFixture m_desk;
    HostedPage<CFileToolDlg> m_page;
};

}  // namespace

TEST_F(DropTest, EachDroppedFileBecomesOneRowWithItsOwnNameAndPathInTheShellsOrder) {
    const std::wstring c = m_desk.TargetFile(L"c report.txt", "text");
    const std::wstring a = m_desk.TargetFile(L"a.doc", "doc");
    const std::wstring b = m_desk.TargetFile(L"b, 한글.exe");
    EXPECT_NE(0u, GetWindowLongW(List(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    harness::Drop(List(), {c, a, b});
    const std::vector<Row> rows = harness::ReadRows(List());

    ASSERT_EQ(4u, rows.size());
    const std::wstring names[] = {L"c report.txt", L"a.doc", L"b, 한글.exe"};
    const std::wstring paths[] = {c, a, b};
    for (int i = 0; i < 3; ++i) {
        const Row* row = RowNamed(rows, names[i]);
        ASSERT_NE(nullptr, row);
        EXPECT_EQ(paths[i], row->path);
        EXPECT_EQ(L"", row->target);
        EXPECT_EQ(i + 1, row->image) << "images follow the order of the drop, after the hint's";
    }
    EXPECT_EQ(4, harness::ImageCount(List()));
}

// The sorted list puts a new row wherever its name belongs; the path must go to that row.
TEST_F(DropTest, ARowThatSortsBeforeOthersStillCarriesItsOwnPath) {
    const std::wstring m = m_desk.TargetFile(L"m.txt", "m");
    const std::wstring z = m_desk.TargetFile(L"z.txt", "z");
    const std::wstring a = m_desk.TargetFile(L"a.txt", "a");
    harness::Drop(List(), {m, z});
    harness::Drop(List(), {a});

    const std::vector<Row> rows = harness::ReadRows(List());
    ASSERT_EQ(4u, rows.size());
    EXPECT_EQ(L"a.txt", rows[0].name) << "the list keeps its rows sorted";
    for (const Row& row : rows) {
        if (row.name == kHint) {
            EXPECT_EQ(L"", row.path);
        } else {
            EXPECT_EQ(m_desk.Scratch() + L"\\" + row.name, row.path);
        }
    }
}

TEST_F(DropTest, AFolderGetsTheIconOfAFileOfTheSameName) {
    const std::wstring folder = m_desk.Folder(L"Pack.txt");
    const std::wstring file = m_desk.TargetFile(L"readme.txt", "text");
    const std::wstring plainFolder = m_desk.Folder(L"Plain");
    harness::Drop(List(), {folder, file, plainFolder});

    const std::vector<Row> rows = harness::ReadRows(List());
    const Row* pack = RowNamed(rows, L"Pack.txt");
    const Row* readme = RowNamed(rows, L"readme.txt");
    ASSERT_NE(nullptr, pack);
    ASSERT_NE(nullptr, readme);
    EXPECT_EQ(folder, pack->path);
    EXPECT_NE(pack->image, readme->image);
    EXPECT_EQ(ImagePixels(List(), readme->image), ImagePixels(List(), pack->image));
    ASSERT_NE(nullptr, RowNamed(rows, L"Plain"));
    EXPECT_EQ(plainFolder, RowNamed(rows, L"Plain")->path);
}

TEST_F(DropTest, TheSameFileDroppedTwiceGivesTwoRows) {
    const std::wstring file = m_desk.TargetFile(L"twice.exe");
    harness::Drop(List(), {file});
    harness::Drop(List(), {file});

    const std::vector<Row> rows = harness::ReadRows(List());
    ASSERT_EQ(3u, rows.size());
    int found = 0;
    for (const Row& row : rows) {
        if (row.name == L"twice.exe") {
            EXPECT_EQ(file, row.path);
            ++found;
        }
    }
    EXPECT_EQ(2, found);
    EXPECT_EQ(3, harness::ImageCount(List()));
}

TEST_F(DropTest, APathWithoutBackslashIsShownWhole) {
    harness::Drop(List(), {L"loose.exe", L"d:/forward/slashes.exe"});
    const std::vector<Row> rows = harness::ReadRows(List());
    ASSERT_NE(nullptr, RowNamed(rows, L"loose.exe"));
    EXPECT_EQ(L"loose.exe", RowNamed(rows, L"loose.exe")->path);
    ASSERT_NE(nullptr, RowNamed(rows, L"d:/forward/slashes.exe"));
    EXPECT_EQ(L"d:/forward/slashes.exe", RowNamed(rows, L"d:/forward/slashes.exe")->path);
}

// Some systems count one file in a block that names none and read its path past the block.
TEST_F(DropTest, ABlockNamingNoFileAddsNoRow) {
    harness::Drop(List(), {});
    EXPECT_EQ(1, harness::RowCount(List()));
}

// A path past 260 characters is kept whole: cut, it would name another file.
TEST_F(DropTest, APathLongerThanTheClassicLimitIsKeptWhole) {
    const std::wstring name = std::wstring(90, L'n') + L" 名字.txt";
    const std::wstring path =
        m_desk.Scratch() + L"\\" + std::wstring(100, L'a') + L"\\" + std::wstring(100, L'b') + L"\\" + name;
    ASSERT_GT(path.size(), 300u);
    harness::Drop(List(), {path});

    const std::vector<Row> rows = harness::ReadRows(List());
    ASSERT_EQ(2u, rows.size());
    const Row* row = RowNamed(rows, name);
    ASSERT_NE(nullptr, row);
    EXPECT_EQ(path, row->path);
    EXPECT_EQ(1, row->image);
}

// Several drops that make the image list grow many times: the n-th dropped file gets image n (after
// the hint's), every image still shows its type's icon once the list has grown past it, and the
// rows stand in the order of their names, each with its own path.
TEST_F(DropTest, ManyBatchesKeepEveryRowsNameOrderPathAndIcon) {
    constexpr int kBatches = 3;
    constexpr int kPerBatch = 120;
    const wchar_t* const types[] = {L".txt", L".doc", L".exe", L".zip", L""};
    std::vector<std::wstring> dropped;
    std::map<std::wstring, int> expectedImage;
    std::map<std::wstring, std::wstring> typeOf;
    for (int n = 0; n < kBatches * kPerBatch; ++n) {
        // Numbers scattered so that new rows land between old ones.
        wchar_t name[32];
        wsprintfW(name, L"f%04d%s", (n * 7919) % 10000, types[n % 5]);
        dropped.push_back(m_desk.Scratch() + L"\\" + name);
        expectedImage[name] = 1 + n;
        typeOf[name] = types[n % 5];
    }
    for (int batch = 0; batch < kBatches; ++batch) {
        harness::Drop(List(), std::vector<std::wstring>(dropped.begin() + batch * kPerBatch,
                                                        dropped.begin() + (batch + 1) * kPerBatch));
    }

    // What each type's icon looks like when it is the only image of a fresh list of the same kind.
    std::map<std::wstring, std::vector<DWORD>> typePixels;
    for (int n = 0; n < 5; ++n) {
        SHFILEINFOW info = {};
        SHGetFileInfoW(dropped[n].c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_USEFILEATTRIBUTES);
        HIMAGELIST alone = ImageList_Create(32, 32, ILC_COLOR24 | ILC_MASK, 1, 0);
        ImageList_ReplaceIcon(alone, -1, info.hIcon);
        typePixels[types[n]] = ImageListPixels(alone, 0);
        ImageList_Destroy(alone);
        DestroyIcon(info.hIcon);
    }

    const std::vector<Row> rows = harness::ReadRows(List());
    ASSERT_EQ(1u + dropped.size(), rows.size());
    EXPECT_EQ(static_cast<int>(rows.size()), harness::ImageCount(List()));
    std::vector<std::wstring> dropNames;
    for (const Row& row : rows) {
        if (row.name != kHint) {
            dropNames.push_back(row.name);
        }
    }
    EXPECT_TRUE(std::is_sorted(dropNames.begin(), dropNames.end()))
        << "rows stand in the order of their names";
    for (const Row& row : rows) {
        if (row.name == kHint) {
            EXPECT_EQ(0, row.image);
            continue;
        }
        ASSERT_EQ(1u, expectedImage.count(row.name));
        EXPECT_EQ(m_desk.Scratch() + L"\\" + row.name, row.path);
        EXPECT_EQ(expectedImage[row.name], row.image) << "image of the file's place in the drops";
        EXPECT_EQ(typePixels[typeOf[row.name]], ImagePixels(List(), row.image)) << "icon of its type";
    }
}

// Every icon the shell hands out is copied into the image list and then destroyed; only one icon
// per type whose icon does not depend on the file is kept, and those go with the page.
TEST(DropLeaks, ManyDropsLeaveNoIconBehind) {
    ASSERT_TRUE(DesktopFixture::DesktopContents().empty()) << "the shared desktop folder holds leftovers";
    DesktopFixture desk;
    fixture::PerFileIconType perFile;
    ASSERT_TRUE(perFile.Registered());
    // A program file under the registered name: its own icons are what the shell reads.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring withIcon = desk.Scratch() + L"\\program" + fixture::PerFileIconType::kExtension;
    ASSERT_TRUE(CopyFileW(self, withIcon.c_str(), FALSE));
    desk.Track(withIcon);

    constexpr int kBatches = 8;
    constexpr int kPerBatch = 50;
    size_t perFileItems = 0;
    harness::IconWatch watch;
    {
        HostedPage<CFileToolDlg> page;
        ASSERT_TRUE(page.Created());
        const size_t afterStart = harness::IconWatch::Alive();
        for (int batch = 0; batch < kBatches; ++batch) {
            std::vector<std::wstring> paths;
            for (int i = 0; i < kPerBatch; ++i) {
                const wchar_t* types[] = {L".txt", L".doc", L".exe", fixture::PerFileIconType::kExtension};
                perFileItems += i % 4 == 3 ? 1 : 0;
                paths.push_back(i % 4 == 3 ? withIcon
                                           : desk.Scratch() + L"\\f" +
                                                 std::to_wstring(batch * kPerBatch + i) + types[i % 4]);
            }
            harness::Drop(page.List(), paths);
        }
        EXPECT_EQ(1 + kBatches * kPerBatch, harness::RowCount(page.List()));
        EXPECT_EQ(1 + kBatches * kPerBatch, harness::ImageCount(page.List()));
        ASSERT_GE(harness::IconWatch::HandedOut(), perFileItems + 3u)
            << "the per-file type must be asked for every item";
        EXPECT_LE(harness::IconWatch::Alive(), afterStart + 3u)
            << "icons are left over beyond one per cached type";
    }
    EXPECT_EQ(0u, harness::IconWatch::Alive()) << "the page kept icons after it was gone";
}

TEST(DropOnSystemPage, ItsListAcceptsNoFilesAndIgnoresADropAnyway) {
    HostedPage<CSystemToolDlg> page;
    ASSERT_TRUE(page.Created());
    EXPECT_EQ(0u, GetWindowLongW(page.List(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    HDROP drop = MakeDrop({L"C:\\windows\\notepad.exe"});
    SendMessageW(page.List(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    GlobalFree(drop);  // nobody took it
    EXPECT_EQ(1, harness::RowCount(page.List()));
    EXPECT_EQ(1, harness::ImageCount(page.List()));
}
