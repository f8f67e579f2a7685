// A drawing context that paints into an off-screen bitmap covering one area of a target context
// and copies the result to the target in one step when it goes. Over a printer context, or when
// the off-screen bitmap cannot be made, it only borrows the target's handle and copies nothing.
#pragma once

#include "framework/Dc.h"
#include "framework/GdiObject.h"

class COffscreenDC : public CDC {
public:
    COffscreenDC(CDC* target, const RECT& area);
    ~COffscreenDC() override;

private:
    bool StartOffscreen();

    CBitmap m_bitmap;
    HGDIOBJ m_pOldBitmap = nullptr;
    CDC* m_pTargetDC = nullptr;
    RECT m_rect = {};
    BOOL m_isOffscreen = FALSE;
};
