// A later start when the running copy is gone, or alive but not answering.
#include "app/SingleInstance.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Process ids are multiples of four far below this one.
constexpr LONG kGoneProcessId = 0x7FFFFFF0;

std::wstring InstanceName() { return L"Local\\Dalvorin.Test." + std::to_wstring(GetCurrentProcessId()); }

// A dialog of this process whose thread stops answering once the dialog exists.
DWORD WINAPI HangWithADialog(LPVOID hangUntil) {
    CreateWindowExW(0, L"#32770", L"hung", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    WaitForSingleObject(static_cast<HANDLE>(hangUntil), INFINITE);
    return 0;
}

}  // namespace

TEST(SecondStart, TakesThePlaceOfACopyThatIsGoneAndReportsOneThatDoesNotAnswer) {
    const std::wstring name = InstanceName();
    const HANDLE mapping =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4, name.c_str());
    ASSERT_NE(nullptr, mapping);
    auto* holder = static_cast<volatile LONG*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 4));
    ASSERT_NE(nullptr, holder);
    *holder = kGoneProcessId;

    const UINT request = RegisterWindowMessageW(L"Dalvorin.Test.Request");
    CSingleInstance later(name.c_str());
    EXPECT_FALSE(later.Claim());
    EXPECT_EQ(CSingleInstance::HandOverResult::kTakenOver, later.HandOver(request, 2000));
    EXPECT_EQ(static_cast<LONG>(GetCurrentProcessId()), *holder);

    // This process holds the name now; its only dialog hangs.
    const HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const HANDLE hung = CreateThread(nullptr, 0, HangWithADialog, release, 0, nullptr);
    Sleep(200);
    CSingleInstance third(name.c_str());
    EXPECT_FALSE(third.Claim());
    const DWORD start = GetTickCount();
    EXPECT_EQ(CSingleInstance::HandOverResult::kNoAnswer, third.HandOver(request, 500));
    EXPECT_GE(GetTickCount() - start, 450u) << "gave up before its time";

    SetEvent(release);
    WaitForSingleObject(hung, 5000);
    CloseHandle(hung);
    CloseHandle(release);
    UnmapViewOfFile(const_cast<LONG*>(holder));
    CloseHandle(mapping);
}
