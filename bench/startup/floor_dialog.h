// Resource ids of floor_dialog.exe.
#pragma once

#define IDD_FLOOR 100
#define IDC_FLOOR_EDIT 1000
