// The program's icon in the notification area: added for the main window, added again when the
// shell restarts, retried on a timer when the shell does not take it, removed when the window goes.
#pragma once

#include "framework/Afx.h"

class CTrayIcon {
public:
    // How often, and how many times, a failed add is tried again.
    static constexpr UINT kRetryIntervalMs = 2000;
    static constexpr int kRetries = 30;

    // `retryTimerId` names the owner window's timer that the retries use.
    CTrayIcon(UINT iconId, UINT callbackMessage, UINT_PTR retryTimerId);
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Registers the icon for `owner`; when the shell refuses it, tries again on the owner's timer.
    // TRUE when the icon is registered now. `icon` stays the caller's.
    BOOL Add(HWND owner, HICON icon, LPCWSTR tip);
    // For the owner's WM_TIMER: TRUE when `timerId` was this icon's retry timer.
    BOOL OnTimer(UINT_PTR timerId);
    // For "TaskbarCreated": a (re)started shell knows no icon, so it is added anew.
    void OnTaskbarCreated();
    // Asks the shell whether it still holds the icon (one that restarted without our hearing of it
    // has lost it) and adds it again if not. Whether the icon is registered afterwards.
    bool ConfirmRegistered();
    // Takes the icon out of the notification area and stops any retry.
    void Remove();

    // Whether the shell holds the icon, so that a window hidden behind it can be found again.
    bool IsRegistered() const { return m_registered; }
    // What is handed to the shell.
    const NOTIFYICONDATAW& Record() const { return m_record; }

private:
    BOOL Register();
    void RetryLater();
    void StopRetrying();

    NOTIFYICONDATAW m_record = {};
    UINT_PTR m_retryTimerId;
    int m_retriesLeft = 0;
    bool m_registered = false;
    // An add the shell did not confirm in time may still have been taken by a busy shell.
    bool m_addAttempted = false;
    bool m_retrying = false;
};
