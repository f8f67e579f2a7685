// Everything the program's windows use from the framework, in one include.
#pragma once

#include "framework/Afx.h"
#include "framework/Button.h"
#include "framework/CmdUI.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "framework/Exception.h"
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"
#include "framework/Menu.h"
#include "framework/ShellCalls.h"
#include "framework/String.h"
#include "framework/TabCtrl.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
