// platform_floor.exe: what the platform must do for Dalvorin's window, and nothing of ours: common
// controls 6 (from the manifest), the shell and COM libraries with one shell folder and one shell
// icon query, a tab control with one tab and a list view with one large icon.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shellapi.h>
#include "platform_floor.h"

namespace {

// The shell's large icon for a program file type, put into a list view as Dalvorin's pages do.
void FillPlatformControls(HWND dialog) {
    TCITEMW tab = {};
    tab.mask = TCIF_TEXT;
    tab.pszText = const_cast<wchar_t*>(L"tab");
    SendDlgItemMessageW(dialog, IDC_PLATFORM_TAB, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tab));

    IShellFolder* desktop = nullptr;
    if (SUCCEEDED(SHGetDesktopFolder(&desktop))) {
        desktop->Release();
    }
    SHFILEINFOW info = {};
    SHGetFileInfoW(L"program.exe", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info),
                   SHGFI_ICON | SHGFI_LARGEICON | SHGFI_USEFILEATTRIBUTES);
    HIMAGELIST images = ImageList_Create(32, 32, ILC_COLOR24 | ILC_MASK, 1, 0);
    if (info.hIcon != nullptr) {
        ImageList_ReplaceIcon(images, -1, info.hIcon);
        DestroyIcon(info.hIcon);
    }
    HWND list = GetDlgItem(dialog, IDC_PLATFORM_LIST);
    ListView_SetImageList(list, images, LVSIL_NORMAL);  // the list destroys it with itself
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.pszText = const_cast<wchar_t*>(L"program");
    ListView_InsertItem(list, &item);
}

INT_PTR CALLBACK PlatformDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            FillPlatformControls(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            break;
        case WM_CLOSE:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const HRESULT com = CoInitialize(nullptr);
    const INT_PTR result =
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PLATFORM_FLOOR), nullptr, PlatformDialogProc, 0);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return static_cast<int>(result);
}
