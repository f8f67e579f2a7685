// Keeps the program to one running copy per session. The first start holds a named mutex for its
// whole life (the system marks it abandoned if the holder dies, so a later start can tell a
// holder that is gone from one that is busy) and publishes, in a small named record, its main
// window once that window can take requests. A later start hands its request to that window.
#pragma once

#include "framework/Afx.h"
#include "framework/KernelHandle.h"
#include "framework/MappedView.h"

#include <string>

class CSingleInstance {
public:
    enum class HandOverResult {
        kDelivered,  // the running copy answered and has the request
        kTakenOver,  // the copy that held the name is gone: this process holds it now
        kNoAnswer,   // the running copy is up but did not answer in time
    };

    // How long a later start waits for a copy that is still starting (or ending) before it gives up.
    static constexpr DWORD kStartingLimitMs = 120000;

    explicit CSingleInstance(LPCWSTR name);
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // TRUE when no other process holds the name; this process (this thread) then holds it until the
    // object goes. Also TRUE when the shared objects cannot be made at all: better two copies than
    // none.
    BOOL Claim();
    // For the holder: `window` takes requests from now on.
    void PublishWindow(HWND window);
    // For the holder: its window takes no more requests (it is going).
    void WithdrawWindow();
    // For a later start: posts `message` to the holder's published window once it answers, after
    // letting the holder take the foreground. A holder still starting is waited for (up to
    // `startingLimitMs`); one that is up gets `answerTimeoutMs` to answer.
    HandOverResult HandOver(UINT message, DWORD answerTimeoutMs, DWORD startingLimitMs = kStartingLimitMs);
    // Lets go of the shared objects, so that a later start does not find them kept alive by a copy
    // that is only showing the user a message before it ends.
    void Close();

    bool IsHolder() const { return m_holder; }

private:
    // What the holder publishes in the shared record.
    struct Record {
        volatile LONG processId;
        volatile LONG window;
    };

    Record* SharedRecord() const { return static_cast<Record*>(m_view.Get()); }
    void BecomeHolder();
    HWND PublishedWindow() const;

    std::wstring m_name;
    CKernelHandle m_holderMutex;
    CKernelHandle m_mapping;
    CMappedView m_view;
    bool m_holder = false;
};
