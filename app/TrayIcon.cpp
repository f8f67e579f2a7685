#include "app/TrayIcon.h"

#include "framework/ShellCalls.h"

CTrayIcon::CTrayIcon(UINT iconId, UINT callbackMessage, UINT_PTR retryTimerId)
    : m_retryTimerId(retryTimerId) {
    m_record.cbSize = sizeof(NOTIFYICONDATAW);
    m_record.uID = iconId;
    m_record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_record.uCallbackMessage = callbackMessage;
}

CTrayIcon::~CTrayIcon() { Remove(); }

BOOL CTrayIcon::Add(HWND owner, HICON icon, LPCWSTR tip) {
    Remove();
    m_record.hWnd = owner;
    m_record.hIcon = icon;
    // cppcheck-suppress lstrcpynWCalled ; the source is always a valid string: no fault for SEH to hide
    lstrcpynW(m_record.szTip, tip != nullptr ? tip : L"", ARRAYSIZE(m_record.szTip));
    m_retriesLeft = kRetries;
    if (!Register()) {
        RetryLater();
    }
    return m_registered;
}

// A shell that already holds the icon (it may announce itself again without having restarted)
// refuses a second add but takes the same record as a change.
BOOL CTrayIcon::Register() {
    if (m_record.hWnd == nullptr) {
        return FALSE;
    }
    m_addAttempted = true;
    m_registered = AfxShellNotifyIcon(NIM_ADD, &m_record) || AfxShellNotifyIcon(NIM_MODIFY, &m_record);
    return m_registered;
}

void CTrayIcon::RetryLater() {
    if (m_retrying || m_retriesLeft <= 0 || m_record.hWnd == nullptr) {
        return;
    }
    m_retrying = SetTimer(m_record.hWnd, m_retryTimerId, kRetryIntervalMs, nullptr) != 0;
}

void CTrayIcon::StopRetrying() {
    if (m_retrying) {
        KillTimer(m_record.hWnd, m_retryTimerId);
        m_retrying = false;
    }
}

BOOL CTrayIcon::OnTimer(UINT_PTR timerId) {
    if (timerId != m_retryTimerId || !m_retrying) {
        return FALSE;
    }
    --m_retriesLeft;
    if (Register() || m_retriesLeft <= 0) {
        StopRetrying();
    }
    return TRUE;
}

void CTrayIcon::OnTaskbarCreated() {
    if (m_record.hWnd == nullptr) {
        return;
    }
    m_registered = false;
    m_retriesLeft = kRetries;
    if (Register()) {
        StopRetrying();
    } else {
        RetryLater();
    }
}

bool CTrayIcon::ConfirmRegistered() {
    if (!m_registered) {
        return false;
    }
    if (!AfxShellNotifyIcon(NIM_MODIFY, &m_record)) {
        OnTaskbarCreated();
    }
    return m_registered;
}

// Also after an add that seemed to fail: a shell too busy to answer in time may have taken it, and
// its icon would outlive the program.
void CTrayIcon::Remove() {
    StopRetrying();
    if (m_registered || m_addAttempted) {
        AfxShellNotifyIcon(NIM_DELETE, &m_record);  // the shell may be gone already: nothing to undo
        m_registered = false;
        m_addAttempted = false;
    }
}
