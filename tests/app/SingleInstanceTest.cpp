// A later start against a running copy that is gone, still starting, up and answering, or up and
// hung; and the shared objects a start without elevation must be able to open.
#include "app/SingleInstance.h"

#include <aclapi.h>
#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring InstanceName(const wchar_t* test) {
    return L"Local\\Dalvorin.Test." + std::to_wstring(GetCurrentProcessId()) + L"." + test;
}

const UINT kRequest = RegisterWindowMessageW(L"Dalvorin.Test.Request");

// The running copy, played by a thread of this process (the holder's mutex belongs to a thread).
struct Holder {
    std::wstring name;
    DWORD publishAfterMs = 0;  // how long its "initialisation" takes
    bool answers = true;       // pumps its messages, or hangs once published
    bool dies = false;         // ends without letting go of its place
    HANDLE finish = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE claimed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND published = nullptr;
    HWND otherDialog = nullptr;
    volatile LONG requestsToPublished = 0;
    volatile LONG requestsToOther = 0;
    HANDLE thread = nullptr;

    ~Holder() {
        SetEvent(finish);
        if (thread != nullptr) {
            WaitForSingleObject(thread, 10000);
            CloseHandle(thread);
        }
        CloseHandle(finish);
        CloseHandle(claimed);
    }
    void Start() {
        thread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(claimed, 5000));
    }

    static DWORD WINAPI Run(LPVOID param) {
        auto* self = static_cast<Holder*>(param);
        CSingleInstance instance(self->name.c_str());
        const bool holds = instance.Claim() != FALSE;
        SetEvent(self->claimed);
        if (!holds || self->dies) {
            ExitThread(holds ? 0 : 1);  // the mutex is left abandoned, as by a process that crashed
        }
        self->published = CreateWindowExW(0, L"#32770", L"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                          nullptr, nullptr);
        self->otherDialog = CreateWindowExW(0, L"#32770", L"prompt", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                            nullptr, nullptr);
        const DWORD publishAt = GetTickCount() + self->publishAfterMs;
        bool isPublished = false;
        while (WaitForSingleObject(self->finish, 0) == WAIT_TIMEOUT) {
            if (!isPublished && static_cast<LONG>(GetTickCount() - publishAt) >= 0) {
                instance.PublishWindow(self->published);
                isPublished = true;
                if (!self->answers) {
                    WaitForSingleObject(self->finish, INFINITE);
                    break;
                }
            }
            MsgWaitForMultipleObjects(1, &self->finish, FALSE, 20, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == kRequest) {
                    InterlockedIncrement(msg.hwnd == self->published ? &self->requestsToPublished
                                                                     : &self->requestsToOther);
                }
                DispatchMessageW(&msg);
            }
        }
        DestroyWindow(self->otherDialog);
        DestroyWindow(self->published);
        return 0;
    }
};

}  // namespace

TEST(SecondStart, TakesThePlaceOfACopyThatDiedAndReportsOneThatIsUpButDoesNotAnswer) {
    Holder crashed;
    crashed.name = InstanceName(L"died");
    crashed.dies = true;
    crashed.Start();
    WaitForSingleObject(crashed.thread, 5000);
    CSingleInstance later(crashed.name.c_str());
    EXPECT_TRUE(later.Claim()) << "the place of a holder that died is free at once";
    EXPECT_EQ(CSingleInstance::HandOverResult::kTakenOver, later.HandOver(kRequest, 2000));
    EXPECT_TRUE(later.IsHolder());

    Holder hung;
    hung.name = InstanceName(L"hung");
    hung.answers = false;
    hung.Start();
    CSingleInstance third(hung.name.c_str());
    EXPECT_FALSE(third.Claim());
    const DWORD start = GetTickCount();
    EXPECT_EQ(CSingleInstance::HandOverResult::kNoAnswer, third.HandOver(kRequest, 500));
    EXPECT_GE(GetTickCount() - start, 450u) << "gave up before its time";
}

TEST(SecondStart, WaitsForACopyStillInsideItsInitialisationAndHandsOverToItsPublishedWindowOnly) {
    Holder starting;
    starting.name = InstanceName(L"starting");
    starting.publishAfterMs = 1500;  // longer than the answer limit below
    starting.Start();
    CSingleInstance later(starting.name.c_str());
    ASSERT_FALSE(later.Claim());
    const DWORD start = GetTickCount();
    EXPECT_EQ(CSingleInstance::HandOverResult::kDelivered, later.HandOver(kRequest, 300));
    EXPECT_GE(GetTickCount() - start, 1400u);
    later.Close();
    Sleep(200);
    SetEvent(starting.finish);
    WaitForSingleObject(starting.thread, 5000);
    EXPECT_EQ(1, starting.requestsToPublished);
    EXPECT_EQ(0, starting.requestsToOther) << "the request went to a dialog that was not published";

    // A holder that never finishes starting is given up on after the starting limit.
    Holder stuck;
    stuck.name = InstanceName(L"stuck");
    stuck.publishAfterMs = INFINITE / 2;
    stuck.Start();
    CSingleInstance another(stuck.name.c_str());
    ASSERT_FALSE(another.Claim());
    EXPECT_EQ(CSingleInstance::HandOverResult::kNoAnswer, another.HandOver(kRequest, 300, 600));
}

// A copy started as administrator makes the shared objects; a start without elevation must still
// be able to open them, or it would become a second copy.
TEST(SecondStart, TheSharedRecordIsThisUsersAtTheNormalLevel) {
    const std::wstring name = InstanceName(L"security");
    CSingleInstance holder(name.c_str());
    ASSERT_TRUE(holder.Claim());
    ASSERT_TRUE(holder.IsHolder());

    const HANDLE mapping = OpenFileMappingW(READ_CONTROL, FALSE, name.c_str());
    ASSERT_NE(nullptr, mapping);
    PACL dacl = nullptr;
    PACL sacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(
        static_cast<DWORD>(ERROR_SUCCESS),
        GetSecurityInfo(mapping, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION,
                        nullptr, nullptr, &dacl, &sacl, &descriptor));
    ASSERT_NE(nullptr, dacl) << "no list at all would let everyone in";
    ASSERT_EQ(1, dacl->AceCount);
    void* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, 0, &ace));
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
    EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, allowed->Header.AceType);

    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    BYTE userBuffer[256] = {};
    DWORD size = 0;
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, userBuffer, sizeof(userBuffer), &size));
    CloseHandle(token);
    PSID user = reinterpret_cast<TOKEN_USER*>(userBuffer)->User.Sid;
    EXPECT_TRUE(EqualSid(user, const_cast<DWORD*>(&allowed->SidStart)));

    // The label that lets a process at the normal level write to what an elevated one made.
    if (sacl != nullptr && sacl->AceCount > 0 && GetAce(sacl, 0, &ace) &&
        static_cast<const ACE_HEADER*>(ace)->AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE) {
        auto* label = static_cast<SYSTEM_MANDATORY_LABEL_ACE*>(ace);
        PSID level = &label->SidStart;
        EXPECT_EQ(static_cast<DWORD>(SECURITY_MANDATORY_MEDIUM_RID), *GetSidSubAuthority(level, 0));
    } else {
        ADD_FAILURE() << "the record carries no integrity label";
    }
    LocalFree(descriptor);
    CloseHandle(mapping);
}
