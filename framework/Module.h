// The floor of the framework: the module the program runs from, the module its resources are
// loaded from, and the title its message boxes carry. The entry point (AfxWinMain) and the
// application object fill it in; tests may set it themselves. Strings, exceptions, resource
// loads and the window procedure read it. It depends on nothing else in the framework, and
// nothing in it calls up into windows or the application object.
#pragma once

#include "framework/Afx.h"

// The program's own module; the exe's until AfxSetInstanceHandle is called.
HINSTANCE AfxGetInstanceHandle();
void AfxSetInstanceHandle(HINSTANCE instance);

// The module resources are loaded from; the instance handle until AfxSetResourceHandle is called
// (nullptr goes back to that).
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE resources);
// The module that holds the resource `name` of `type`: all resources live in one module.
HINSTANCE AfxFindResourceHandle(LPCWSTR name, LPCWSTR type);

// The application title: the caption of the program's message boxes ("" until it is set).
LPCWSTR AfxGetAppName();
void AfxSetAppName(LPCWSTR title);

// Message box captioned with the application title, owned by the last active pop-up of `owner`
// (none when `owner` is nullptr or no longer a window); returns the box's result.
int AfxShowMessageBox(HWND owner, LPCWSTR text, UINT type);
