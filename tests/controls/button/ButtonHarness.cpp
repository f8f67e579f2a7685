#include "tests/controls/button/ButtonHarness.h"

BEGIN_MESSAGE_MAP(CTestHost, CWnd)
    ON_BN_CLICKED(kButtonId, &CTestHost::OnButtonClicked)
END_MESSAGE_MAP()
