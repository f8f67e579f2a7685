// The application object: runs the main dialog for the life of the process.
#pragma once

#include "framework/MessageMap.h"
#include "framework/WinApp.h"

class CDalvorinApp : public CWinAppEx {
public:
    CDalvorinApp();

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CDalvorinApp theApp;
