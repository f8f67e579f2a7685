#include "framework/Module.h"

#include "framework/ModalLoopScope.h"

#include <string>

namespace {

// Set once at start-up, before any window exists; read from then on.
struct ModuleFloor {
    HINSTANCE instance = nullptr;
    HINSTANCE resources = nullptr;
    std::wstring title;
};

ModuleFloor& Floor() {
    static ModuleFloor floor;
    return floor;
}

}  // namespace

HINSTANCE AfxGetInstanceHandle() {
    HINSTANCE instance = Floor().instance;
    return instance != nullptr ? instance : GetModuleHandleW(nullptr);
}

void AfxSetInstanceHandle(HINSTANCE instance) { Floor().instance = instance; }

HINSTANCE AfxGetResourceHandle() {
    HINSTANCE resources = Floor().resources;
    return resources != nullptr ? resources : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE resources) { Floor().resources = resources; }

HINSTANCE AfxFindResourceHandle(LPCWSTR, LPCWSTR) { return AfxGetResourceHandle(); }

LPCWSTR AfxGetAppName() { return Floor().title.c_str(); }

void AfxSetAppName(LPCWSTR title) { Floor().title = title != nullptr ? title : L""; }

int AfxShowMessageBox(HWND owner, LPCWSTR text, UINT type) {
    HWND popup = owner != nullptr && IsWindow(owner) ? GetLastActivePopup(owner) : nullptr;
    const CModalLoopScope loop;
    return MessageBoxW(popup, text, AfxGetAppName(), type);
}
