// The program's owner-drawn push button.
#pragma once

#include "framework/AfxWin.h"

class CHoverButton : public CButton {};
