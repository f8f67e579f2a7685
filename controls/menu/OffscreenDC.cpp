#include "controls/menu/OffscreenDC.h"

COffscreenDC::COffscreenDC(CDC* target, const RECT& area) : m_pTargetDC(target), m_rect(area) {}

COffscreenDC::~COffscreenDC() = default;
