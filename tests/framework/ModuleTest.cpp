// The framework's floor: resources are loaded from the module it names, and failures in handlers
// are reported under its title, whatever the application object holds.
#include "framework/AfxWin.h"
#include "res/resource.h"
#include "tests/common/DialogAutoResponder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT WM_TEST_BAD_INDEX = WM_APP + 20;

class CFailingWnd : public CWnd {
protected:
    LRESULT OnBadIndex(WPARAM, LPARAM) { return CString(L"ab").GetAt(5); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFailingWnd, CWnd)
    ON_MESSAGE(WM_TEST_BAD_INDEX, &CFailingWnd::OnBadIndex)
END_MESSAGE_MAP()

// Points the floor at another resource module for the life of the guard.
class ScopedResourceHandle {
public:
    explicit ScopedResourceHandle(HINSTANCE resources) { AfxSetResourceHandle(resources); }
    ~ScopedResourceHandle() { AfxSetResourceHandle(nullptr); }
    ScopedResourceHandle(const ScopedResourceHandle&) = delete;
    ScopedResourceHandle& operator=(const ScopedResourceHandle&) = delete;
};

// Puts the floor's title back when a test has changed it.
class ScopedAppName {
public:
    explicit ScopedAppName(LPCWSTR title) : m_saved(AfxGetAppName()) { AfxSetAppName(title); }
    ~ScopedAppName() { AfxSetAppName(m_saved.c_str()); }
    ScopedAppName(const ScopedAppName&) = delete;
    ScopedAppName& operator=(const ScopedAppName&) = delete;

private:
    std::wstring m_saved;
};

}  // namespace

TEST(ModuleFloor, StringsBitmapsAndMenusComeFromTheResourceModuleItNames) {
    CString text;
    CBitmap bitmap;
    CMenu menu;
    {
        ScopedResourceHandle elsewhere(GetModuleHandleW(L"kernel32.dll"));
        EXPECT_FALSE(text.LoadString(IDS_ABOUTBOX));
        EXPECT_FALSE(bitmap.LoadBitmap(IDB_BACKGROUND));
        EXPECT_FALSE(menu.LoadMenu(IDR_ENTRY_MENU));
    }
    // Back to the program's own module.
    EXPECT_EQ(GetModuleHandleW(nullptr), AfxGetResourceHandle());
    EXPECT_TRUE(text.LoadString(IDS_ABOUTBOX));
    EXPECT_TRUE(bitmap.LoadBitmap(IDB_BACKGROUND));
    EXPECT_TRUE(menu.LoadMenu(IDR_ENTRY_MENU));
}

TEST(ModuleFloor, WindowProcedureReportsAFailureUnderTheApplicationTitleWithItsDescription) {
    ScopedAppName title(L"测试标题");
    CFailingWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                                   nullptr, GetModuleHandleW(nullptr), nullptr)));
    DialogAutoResponder responder([](HWND box) { DialogAutoResponder::PressButton(box, IDOK); });

    const CBoundsFault::Expected badIndexOnPurpose;
    EXPECT_EQ(0, SendMessageW(wnd, WM_TEST_BAD_INDEX, 0, 0));
    EXPECT_EQ(std::vector<std::wstring>{L"测试标题"}, responder.Captions());
    EXPECT_EQ(std::vector<std::wstring>{L"参数无效。"}, responder.Texts());
    wnd.DestroyWindow();
}
