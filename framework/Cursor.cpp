#include "framework/Cursor.h"

BOOL CCursorSlot::Free(HCURSOR cursor) {
    if (::GetCursor() == cursor) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    }
    return ::DestroyCursor(cursor);
}
