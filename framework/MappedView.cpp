#include "framework/MappedView.h"

BOOL AfxUnmapView(void* view) { return ::UnmapViewOfFile(view); }

BOOL CMappedView::Map(HANDLE mapping, DWORD access, SIZE_T size) {
    if (m_handle != nullptr || mapping == nullptr) {
        return FALSE;
    }
    void* view = ::MapViewOfFile(mapping, access, 0, 0, size);
    return view != nullptr && Attach(view);
}
