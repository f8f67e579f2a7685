// Keeps the program to one running copy per session: the first start claims a named kernel
// object; a later start finds it taken and asks the running copy to show itself instead.
#pragma once

#include "framework/Afx.h"

class CSingleInstance {
public:
    explicit CSingleInstance(LPCWSTR name);
    ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // TRUE when no other process holds the name; this process then holds it until the object
    // goes. Also TRUE when the object cannot be made at all: better two copies than none.
    BOOL Claim();
    // For a later start: posts `message` to the dialogs of the process that holds the name,
    // after letting it take the foreground. FALSE when none could be reached within the time.
    BOOL HandOver(UINT message, DWORD timeoutMs) const;

private:
    // What the holder publishes in the shared object.
    struct Record {
        volatile LONG processId;
    };

    DWORD WaitForHolder(DWORD deadline) const;

    const wchar_t* m_name;
    HANDLE m_mapping = nullptr;
    Record* m_record = nullptr;
    bool m_holder = false;
};
