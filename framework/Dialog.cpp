#include "framework/Dialog.h"

#include "framework/DataExchange.h"
#include "framework/Exception.h"
#include "framework/MessagePump.h"
#include "framework/ModalLoopScope.h"
#include "framework/Module.h"
#include "framework/WinApp.h"

namespace {

// The dialog manager's own procedure: every message is handled in front of it by the bound
// object, so it never does anything itself.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

const DLGTEMPLATE* LoadDialogTemplate(UINT templateId, HINSTANCE* module) {
    LPCWSTR name = MAKEINTRESOURCEW(templateId);
    HINSTANCE instance = AfxFindResourceHandle(name, RT_DIALOG);
    HRSRC found = FindResourceW(instance, name, RT_DIALOG);
    if (found == nullptr) {
        return nullptr;
    }
    HGLOBAL loaded = LoadResource(instance, found);
    if (loaded == nullptr) {
        return nullptr;
    }
    *module = instance;
    return static_cast<const DLGTEMPLATE*>(LockResource(loaded));
}

// The window that a parentless modal dialog should belong to: the application's main window
// (its active popup), unless that is the dialog itself.
HWND SafeOwnerFor(const CWnd* dialog, const CWnd* parent) {
    if (parent != nullptr) {
        return parent->m_hWnd;
    }
    CWnd* main = AfxGetMainWnd();
    if (main == nullptr || main == dialog || main->m_hWnd == nullptr) {
        return nullptr;
    }
    return GetLastActivePopup(main->m_hWnd);
}

bool IsOwnedBy(HWND window, HWND owner) {
    for (HWND up = GetWindow(window, GW_OWNER); up != nullptr; up = GetWindow(up, GW_OWNER)) {
        if (up == owner) {
            return true;
        }
    }
    return false;
}

// A dialog that fails to end is reported, and the walk goes on to the next window.
BOOL CALLBACK EndDialogOwnedBy(HWND window, LPARAM ending) {
    const auto owner = reinterpret_cast<HWND>(ending);
    return AfxCallGuarded(owner, TRUE, [&] {
        wchar_t className[16] = {};
        if (window == owner || !IsOwnedBy(window, owner) || GetClassNameW(window, className, 16) == 0 ||
            lstrcmpW(className, L"#32770") != 0) {
            return TRUE;
        }
        auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(window));
        if (dialog == nullptr) {
            ::EndDialog(window, IDCANCEL);  // a box of the system's, run by its own loop
        } else if (dialog->IsInModalLoop()) {
            dialog->EndDialog(IDCANCEL);
        }
        return TRUE;
    });
}

}  // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

HWND CDialog::CreateFromTemplate(HWND parent) {
    HINSTANCE module = nullptr;
    const DLGTEMPLATE* dialogTemplate = LoadDialogTemplate(m_nIDTemplate, &module);
    if (dialogTemplate == nullptr) {
        return nullptr;
    }
    HookWindowCreate(this);
    HWND hwnd = CreateDialogIndirectParamW(module, dialogTemplate, parent, AfxDlgProc, 0);
    UnhookWindowCreate();
    if (hwnd == nullptr && m_hWnd != nullptr) {
        Detach();  // creation failed after the window was bound
    }
    return hwnd;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    if (parent != nullptr) {
        m_pParentWnd = parent;
    }
    return CreateFromTemplate(m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr) != nullptr;
}

INT_PTR CDialog::DoModal() {
    HWND owner = SafeOwnerFor(this, m_pParentWnd);
    bool ownerDisabled = false;
    if (owner != nullptr && owner != GetDesktopWindow() && IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        ownerDisabled = true;
    }
    m_modalResult = -1;
    m_inModalLoop = true;
    m_continueModal = true;
    {
        CModalLoopScope loop;
        m_modalLoop = &loop;
        if (CreateFromTemplate(owner) != nullptr) {
            RunModalLoop();
        }
        m_modalLoop = nullptr;
    }
    m_inModalLoop = false;
    // Re-enable the owner before the dialog goes, so that activation returns to it.
    if (ownerDisabled) {
        ::EnableWindow(owner, TRUE);
    }
    if (m_hWnd != nullptr) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        // A hidden owner (a window sent to the notification area) is not brought back to the
        // foreground, where it would take keys the user cannot see.
        if (owner != nullptr && ::GetActiveWindow() == m_hWnd && ::IsWindowVisible(owner)) {
            ::SetActiveWindow(owner);
        }
        DestroyWindow();
    }
    return m_modalResult;
}

void CDialog::RunModalLoop() {
    // A template without WS_VISIBLE is shown once its initialisation is done, unless the dialog
    // has already ended itself.
    if (m_continueModal && m_hWnd != nullptr && (GetStyle() & WS_VISIBLE) == 0) {
        ShowWindow(SW_SHOWNORMAL);
    }
    MSG msg{};
    while (m_continueModal) {
        const CMessagePump::Result pumped = CMessagePump::PumpMessage(m_hWnd, msg);
        if (pumped != CMessagePump::Result::kDispatched) {
            if (pumped == CMessagePump::Result::kQuit) {
                PostQuitMessage(static_cast<int>(msg.wParam));  // let the outer loop see it too
            }
            m_modalResult = -1;
            break;
        }
        if (m_hWnd == nullptr) {
            break;  // destroyed from inside the loop
        }
    }
}

// A modal dialog ended from inside a loop nested in its own (a message box, another dialog)
// ends those loops too, so that nothing of it stays on screen. A box the system shows for a call
// (the shell's error box of a failed open) runs a loop of its own that nothing here counts; it
// disables the dialog it belongs to, which is how it is noticed.
void CDialog::EndDialog(int result) {
    m_modalResult = result;
    if (m_inModalLoop) {
        m_continueModal = false;
        if (m_modalLoop != nullptr) {
            m_modalLoop->UnwindNested(m_hWnd != nullptr && !::IsWindowEnabled(m_hWnd));
        }
        // Wine's loop of a system box drops a quit message that it takes while peeking, so the
        // boxes and dialogs open over this one are told to end as well.
        if (m_hWnd != nullptr) {
            EnumThreadWindows(GetCurrentThreadId(), EndDialogOwnedBy, reinterpret_cast<LPARAM>(m_hWnd));
        }
        if (m_hWnd != nullptr) {
            PostMessage(WM_NULL);  // wake the loop if it is waiting for a message
        }
    } else if (m_hWnd != nullptr) {
        ::EndDialog(m_hWnd, result);
    }
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    // Child dialogs (tab pages) leave keyboard navigation to the top-level dialog that holds them.
    if (m_hWnd == nullptr || (GetStyle() & WS_CHILD) != 0) {
        return FALSE;
    }
    const bool input = (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) ||
                       (msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST);
    if (!input) {
        return FALSE;
    }
    return IsDialogMessageW(m_hWnd, msg);
}

BOOL CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_INITDIALOG) {
        *result = OnInitDialog();
        return TRUE;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, result);
}

void CDialog::OnPaint() { Default(); }

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()
