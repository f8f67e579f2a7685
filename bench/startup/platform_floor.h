// Resource ids of platform_floor.exe.
#pragma once

#define IDD_PLATFORM_FLOOR 100
#define IDC_PLATFORM_EDIT 1000
#define IDC_PLATFORM_TAB 1001
#define IDC_PLATFORM_LIST 1002
