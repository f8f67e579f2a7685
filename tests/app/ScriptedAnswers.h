// Answers the dialogs and message boxes that open on this thread one after the other, each with
// the next step of a script. A dialog beyond the script is cancelled, so nothing waits for a user.
#pragma once

#include "res/resource.h"
#include "tests/common/DialogAutoResponder.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class ScriptedAnswers {
public:
    using Step = std::function<void(HWND dialog)>;

    explicit ScriptedAnswers(std::vector<Step> steps)
        : m_steps(std::move(steps)), m_responder([this](HWND dialog) { Answer(dialog); }) {}

    const std::vector<std::wstring>& Captions() const { return m_responder.Captions(); }
    const std::vector<std::wstring>& Texts() const { return m_responder.Texts(); }
    size_t StepsLeft() const { return m_steps.size() - m_next; }

    // Keeps the responders away from a dialog that is not to be answered (the main window, which is
    // activated again whenever a box in front of it closes).
    static void Ignore(HWND window) { SetPropW(window, L"autoresponder.seen", reinterpret_cast<HANDLE>(1)); }

    // Types `text` into the password field and presses `button`.
    static Step Enter(std::wstring text, int button = IDOK) {
        return [text, button](HWND dialog) {
            SetDlgItemTextW(dialog, IDC_PASSWORD_EDIT, text.c_str());
            DialogAutoResponder::PressButton(dialog, button);
        };
    }
    static Step Press(int button) {
        return [button](HWND dialog) {
            DialogAutoResponder::PressButton(dialog, button);
        };
    }
    // Dismisses a message box, then types into the dialog that is still open behind it. The box's
    // loop ends on its own command before the dialog's command is taken from the queue.
    static Step AcknowledgeThenEnter(const HWND* behind, std::wstring text, int button = IDOK) {
        return [behind, text, button](HWND box) {
            DialogAutoResponder::PressButton(box, IDOK);
            Enter(text, button)(*behind);
        };
    }
    // Remembers the dialog, then answers it with `step`.
    static Step Remember(HWND* where, Step step) {
        return [where, step](HWND dialog) {
            *where = dialog;
            step(dialog);
        };
    }

private:
    void Answer(HWND dialog) {
        if (m_next < m_steps.size()) {
            m_steps[m_next++](dialog);
            return;
        }
        DialogAutoResponder::PressButton(dialog, IDCANCEL);
    }

    std::vector<Step> m_steps;
    size_t m_next = 0;
    DialogAutoResponder m_responder;
};
