#include "pages/ListDropTarget.h"

#include "framework/Exception.h"
#include "framework/StorageMedium.h"

#include <shellapi.h>

namespace {

FORMATETC FileListFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool CarriesFiles(IDataObject* data) {
    FORMATETC format = FileListFormat();
    return data != nullptr && data->QueryGetData(&format) == S_OK;
}

}  // namespace

CListDropTarget::CListDropTarget(CDroppedFilesReceiver& receiver, HWND window)
    : m_receiver(receiver), m_window(window) {}

// OLE calls these methods directly, from its drag loop: each goes through the framework's
// boundary, so a failure (out of memory while a drop is read) is reported for the list's window
// and the drag source hears E_UNEXPECTED.

HRESULT CListDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    return AfxCallGuarded(m_window, E_UNEXPECTED, [&] {
        if (effect == nullptr) {
            return E_INVALIDARG;
        }
        m_dragCarriesFiles = CarriesFiles(data);
        *effect = EffectFor(m_dragCarriesFiles);
        return S_OK;
    });
}

HRESULT CListDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    return AfxCallGuarded(m_window, E_UNEXPECTED, [&] {
        if (effect == nullptr) {
            return E_INVALIDARG;
        }
        *effect = EffectFor(m_dragCarriesFiles);
        return S_OK;
    });
}

HRESULT CListDropTarget::DragLeave() {
    return AfxCallGuarded(m_window, E_UNEXPECTED, [&] {
        m_dragCarriesFiles = false;
        return S_OK;
    });
}

HRESULT CListDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    return AfxCallGuarded(m_window, E_UNEXPECTED, [&] { return ReceiveDrop(data, effect); });
}

HRESULT CListDropTarget::ReceiveDrop(IDataObject* data, DWORD* effect) {
    if (effect == nullptr) {
        return E_INVALIDARG;
    }
    m_dragCarriesFiles = false;
    *effect = DROPEFFECT_NONE;
    if (data == nullptr) {
        return S_OK;
    }
    FORMATETC format = FileListFormat();
    STGMEDIUM received = {};
    if (FAILED(data->GetData(&format, &received))) {
        return S_OK;  // nothing was handed out, so nothing is released
    }
    const CStorageMedium medium(received);  // released however the intake ends
    if (medium.Global() == nullptr) {
        return S_OK;
    }
    m_receiver.AddDroppedFiles(static_cast<HDROP>(medium.Global()));
    *effect = DROPEFFECT_COPY;
    return S_OK;
}
