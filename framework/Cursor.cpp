#include "framework/Cursor.h"

// Windows refuses to destroy the cursor on screen: the shared arrow takes its place first.
BOOL AfxDestroyCursor(HCURSOR cursor) {
    if (::GetCursor() == cursor) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    }
    return ::DestroyCursor(cursor);
}
