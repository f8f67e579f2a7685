// A dialog made from a template resource: as a child window (Create) or run modally (DoModal).
#pragma once

#include "framework/Wnd.h"

class CDataExchange;
class CModalLoopScope;

class CDialog : public CWnd {
public:
    CDialog() = default;
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Creates the dialog modeless, as a child or owned window of `parent`.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Runs the dialog modally with the framework's own loop, so PreTranslateMessage is honoured;
    // returns the value given to EndDialog, or -1 if the dialog could not be made.
    virtual INT_PTR DoModal();
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* dx);
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    BOOL PreTranslateMessage(MSG* msg) override;

    // Whether the modal loop is running, and the result it ends with.
    bool IsInModalLoop() const { return m_inModalLoop; }
    // Whether the modal loop runs but has been told to end: nothing should be shown any more.
    bool IsEnding() const { return m_inModalLoop && !m_continueModal; }
    INT_PTR GetModalResult() const { return m_modalResult; }

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnPaint();

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    HWND CreateFromTemplate(HWND parent);
    void RunModalLoop();

    bool m_inModalLoop = false;
    bool m_continueModal = false;
    CModalLoopScope* m_modalLoop = nullptr;
    INT_PTR m_modalResult = -1;
};
