// The window-free pieces behind the pages: shortcut files and type icons.
#include "pages/ShellIcons.h"
#include "pages/ShortcutFiles.h"
#include "pages/TypeIconCache.h"
#include "tests/pages/DesktopFixture.h"

#include <gtest/gtest.h>

#include <string>

using fixture::DesktopFixture;

TEST(ShortcutFiles, AnythingButAShortcutResolvesToNothing) {
    DesktopFixture desk;
    const std::wstring real = desk.TargetFile(L"t.exe");
    const std::wstring link = desk.Scratch() + L"\\whole.lnk";
    ASSERT_TRUE(fixture::WriteShortcut(link, real));
    desk.Track(link);
    const std::string linkBytes = fixture::ReadBytes(link);

    const std::wstring cut = desk.TargetFile(L"cut.lnk", linkBytes.substr(0, linkBytes.size() / 2));
    const std::wstring header = desk.TargetFile(L"header.lnk", linkBytes.substr(0, 0x4C));
    const std::wstring random = desk.TargetFile(L"random.lnk", DesktopFixture::RandomBytes(700));
    const std::wstring empty = desk.TargetFile(L"empty.lnk", "");
    const std::wstring text = desk.TargetFile(L"note.txt", "[InternetShortcut]\r\nURL=http://a/\r\n");

    EXPECT_TRUE(ResolveShortcutTarget(random.c_str()).IsEmpty());
    EXPECT_TRUE(ResolveShortcutTarget(empty.c_str()).IsEmpty());
    EXPECT_TRUE(ResolveShortcutTarget(text.c_str()).IsEmpty());
    EXPECT_TRUE(ResolveShortcutTarget(real.c_str()).IsEmpty());
    EXPECT_TRUE(ResolveShortcutTarget((desk.Scratch() + L"\\missing.lnk").c_str()).IsEmpty());
    EXPECT_TRUE(ResolveShortcutTarget(L"").IsEmpty());
    // Damaged links must not bring the process down; what they yield is the platform's business.
    ResolveShortcutTarget(cut.c_str());
    ResolveShortcutTarget(header.c_str());
}

// Inside the caller's own initialisation the shortcut is still read, and the caller's count is
// neither raised nor lowered.
TEST(ShortcutFiles, WorkInsideTheCallersComAndKeepItsCount) {
    DesktopFixture desk;
    const std::wstring target = desk.TargetFile(L"x.exe");
    const std::wstring written = desk.Scratch() + L"\\written.lnk";
    desk.Track(written);

    ASSERT_EQ(S_OK, CoInitialize(nullptr));
    CreateShortcutFile(target.c_str(), written.c_str());
    const CString resolved = ResolveShortcutTarget(written.c_str());
    EXPECT_EQ(S_FALSE, CoInitialize(nullptr)) << "our initialisation was undone";
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(S_OK, CoInitialize(nullptr)) << "an initialisation was left behind";
    CoUninitialize();

    EXPECT_EQ(CString(target.c_str()), resolved);
    EXPECT_EQ(target, fixture::ReadShortcutTarget(written));
}

TEST(TypeIconCache, AsksTheShellOncePerTypeButEveryTimeForTypesThatReadTheFile) {
    CImageList images;
    ASSERT_TRUE(images.Create(32, 32, ILC_COLOR24 | ILC_MASK, 1, 0));
    CTypeIconCache cache;
    EXPECT_EQ(0, cache.Append(images, L"C:\\a\\one.txt"));
    EXPECT_EQ(1, cache.Append(images, L"C:\\b\\TWO.TXT"));
    EXPECT_EQ(2, cache.Append(images, L"C:\\c\\folder"));
    EXPECT_EQ(3, cache.Append(images, L"C:\\d\\other"));
    EXPECT_EQ(4, images.GetImageCount());
    EXPECT_EQ(2, cache.GetIconCount()) << "one icon for .txt, one for names without a type";

    fixture::PerFileIconType perFile;
    ASSERT_TRUE(perFile.Registered());
    EXPECT_TRUE(TypeIconComesFromFile(L"C:\\x\\a.dalvorinicon"));
    EXPECT_FALSE(TypeIconComesFromFile(L"C:\\x\\a.txt"));
    cache.Append(images, L"C:\\x\\a.dalvorinicon");
    cache.Append(images, L"C:\\x\\b.DalvorinIcon");
    EXPECT_EQ(6, images.GetImageCount());
    EXPECT_EQ(2, cache.GetIconCount()) << "icons read from each file are not kept";
}

// A thread already in the multithreaded apartment cannot be initialised again as single-threaded;
// COM is usable there all the same, and nothing may be undone that this code did not do.
TEST(ShortcutFiles, WorkOnAThreadInTheMultithreadedApartment) {
    DesktopFixture desk;
    const std::wstring target = desk.TargetFile(L"m.exe");
    const std::wstring link = desk.Scratch() + L"\\mta.lnk";
    desk.Track(link);

    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    CreateShortcutFile(target.c_str(), link.c_str());
    const CString resolved = ResolveShortcutTarget(link.c_str());
    EXPECT_EQ(S_FALSE, CoInitializeEx(nullptr, COINIT_MULTITHREADED)) << "the apartment was left";
    CoUninitialize();
    CoUninitialize();

    EXPECT_EQ(target, fixture::ReadShortcutTarget(link));
    EXPECT_EQ(CString(target.c_str()), resolved);
}
