// Resource identifiers of Dalvorin.exe. The numbers are fixed: templates, code and tests share them.
#pragma once

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_DALVORIN_DIALOG 102
#define IDD_FILE_TOOL 133
#define IDD_SYSTEM_TOOL 134
#define IDD_HIDE_TOOL 137
#define IDD_PASSWD 139
#define IDD_CHECK_PASSWD 140

// Strings
#define IDS_ABOUTBOX 101

// Icons (group icons)
#define IDR_MAINFRAME 128
#define IDI_DRAG_HINT 141
#define IDI_TAB_COMMON 142
#define IDI_TAB_FILES 143
#define IDI_TAB_PRIVATE 144
#define IDI_OPEN_PRIVATE 145
#define IDI_CLOSE_PRIVATE 146
#define IDI_START 147

// Bitmaps
#define IDB_BACKGROUND 132

// Menus
#define IDR_ENTRY_MENU 136
#define IDR_MAIN_MENU 138

// Controls of the main window (template 102)
#define IDC_SEARCH_EDIT 1001
#define IDC_SEARCH_BUTTON 1002
#define IDC_TAB 1003
#define IDC_START_BUTTON 1010

// Controls of the list pages (templates 133, 134)
#define IDC_ENTRY_LIST 1005

// Controls of the private-space page (template 137); 1003 is reused there
#define IDC_OPEN_PRIVATE 1008
#define IDC_CLOSE_PRIVATE 1003

// Password edit of both password dialogs (templates 139, 140)
#define IDC_PASSWORD_EDIT 1009

// Menu commands
#define ID_ENTRY_OPEN 32771
#define ID_ENTRY_LOCATE 32772
#define ID_ENTRY_DELETE 32773
#define ID_ENTRY_CUT 32775
#define ID_ENTRY_PASTE 32776
#define ID_ENTRY_HOTKEY 32777
#define ID_ENTRY_EDIT_INFO 32778
#define ID_ENTRY_MOVE_UP 32779
#define ID_ENTRY_MOVE_DOWN 32780
#define ID_CREATE_PASSWORD 32783
#define ID_DESKTOP_SHORTCUT 32784

// System-menu command of the About entry
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Framework command of the help key
#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
