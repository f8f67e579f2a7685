// Keeps the program to one running copy per session: the first start claims a named kernel
// object; a later start finds it taken and asks the running copy to show itself instead.
#pragma once

#include "framework/Afx.h"

class CSingleInstance {
public:
    enum class HandOverResult {
        kDelivered,  // the running copy answered and has the request
        kTakenOver,  // the copy that held the name is gone: this process holds it now
        kNoAnswer,   // the running copy is alive but did not answer in time
    };

    explicit CSingleInstance(LPCWSTR name);
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // TRUE when no other process holds the name; this process then holds it until the object
    // goes. Also TRUE when the object cannot be made at all: better two copies than none.
    BOOL Claim();
    // For a later start: posts `message` to the dialogs of the process that holds the name, once
    // one of them answers, after letting that process take the foreground.
    HandOverResult HandOver(UINT message, DWORD timeoutMs);

private:
    // What the holder publishes in the shared object.
    struct Record {
        volatile LONG processId;
    };

    DWORD Holder() const;
    bool TakeOver(DWORD gone);

    const wchar_t* m_name;
    HANDLE m_mapping = nullptr;
    Record* m_record = nullptr;
    bool m_holder = false;
};
