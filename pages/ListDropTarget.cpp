#include "pages/ListDropTarget.h"

#include <shellapi.h>

namespace {

FORMATETC FileListFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool CarriesFiles(IDataObject* data) {
    FORMATETC format = FileListFormat();
    return data != nullptr && data->QueryGetData(&format) == S_OK;
}

// The storage handed out by IDataObject::GetData; the data object decides how it is freed, so it
// goes back through ReleaseStgMedium, never DragFinish.
class CStorageMedium {
public:
    explicit CStorageMedium(const STGMEDIUM& medium) : m_medium(medium) {}
    ~CStorageMedium() { ReleaseStgMedium(&m_medium); }
    CStorageMedium(const CStorageMedium&) = delete;
    CStorageMedium& operator=(const CStorageMedium&) = delete;

    HGLOBAL Global() const { return m_medium.tymed == TYMED_HGLOBAL ? m_medium.hGlobal : nullptr; }

private:
    STGMEDIUM m_medium;
};

}  // namespace

CListDropTarget::CListDropTarget(CDroppedFilesReceiver& receiver) : m_receiver(receiver) {}

HRESULT CListDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    if (effect == nullptr) {
        return E_INVALIDARG;
    }
    m_dragCarriesFiles = CarriesFiles(data);
    *effect = EffectFor(m_dragCarriesFiles);
    return S_OK;
}

HRESULT CListDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    if (effect == nullptr) {
        return E_INVALIDARG;
    }
    *effect = EffectFor(m_dragCarriesFiles);
    return S_OK;
}

HRESULT CListDropTarget::DragLeave() {
    m_dragCarriesFiles = false;
    return S_OK;
}

HRESULT CListDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
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
    const CStorageMedium medium(received);
    if (medium.Global() == nullptr) {
        return S_OK;
    }
    m_receiver.AddDroppedFiles(static_cast<HDROP>(medium.Global()));
    *effect = DROPEFFECT_COPY;
    return S_OK;
}
