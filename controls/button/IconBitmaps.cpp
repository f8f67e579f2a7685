#include "controls/button/IconBitmaps.h"

CIconBitmaps::CIconBitmaps(HICON icon) {
    ICONINFO info = {};
    m_read = icon != nullptr && ::GetIconInfo(icon, &info);
    if (m_read) {
        m_color.Attach(info.hbmColor);
        m_mask.Attach(info.hbmMask);
    }
}
