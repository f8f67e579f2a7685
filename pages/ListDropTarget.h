// The OLE drop target of the "常用软件" list: hands the files of a shell drag (CF_HDROP) to the
// list's intake (its receiver). File managers that drag through OLE reach the list only this way
// (under Wine always; on Windows the shell prefers it over WM_DROPFILES once the window is
// registered).
#pragma once

#include "framework/ComObject.h"
#include "pages/DroppedFilesReceiver.h"

#include <ole2.h>

class CListDropTarget final : public CComObject<IDropTarget> {
public:
    // Starts with one reference, owned by the caller (AfxMakeComObject). A failure inside a
    // method is reported for `window`.
    CListDropTarget(CDroppedFilesReceiver& receiver, HWND window);

    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

private:
    ~CListDropTarget() override = default;

    // The body of Drop: hands the dropped files to the receiver.
    HRESULT ReceiveDrop(IDataObject* data, DWORD* effect);

    // What the current drag may do here: a copy when it carries files, nothing otherwise.
    DWORD EffectFor(bool carriesFiles) const { return carriesFiles ? DROPEFFECT_COPY : DROPEFFECT_NONE; }

    CDroppedFilesReceiver& m_receiver;
    HWND m_window;
    bool m_dragCarriesFiles = false;
};
