// Common platform headers and small helpers shared by every framework class.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

// Notifications that a parent reflects back to the control that sent them arrive at the control
// with this offset added to the original message number.
constexpr UINT WM_REFLECT_BASE = 0xBC00;

// Command-map code of the "is this command enabled?" query that runs before a menu command.
constexpr UINT CN_COMMAND = 0;
constexpr UINT CN_UPDATE_COMMAND_UI = static_cast<UINT>(-1);

// The window-colour message that all WM_CTLCOLORxxx messages are folded into for reflection.
constexpr UINT WM_CTLCOLOR = 0x0019;

// Run-time checked down-cast of a framework object pointer; nullptr when it is another class.
// NOLINTNEXTLINE(bugprone-macro-parentheses): a type name cannot be parenthesised; one postfix cast.
#define DYNAMIC_DOWNCAST(Class, pointer) dynamic_cast<Class*>(pointer)
