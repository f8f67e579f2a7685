// The Windows version codes of CPictureMenu::GetOsVersionCode, and what the menu asks of them. The
// codes are not in age order: code 1 covers NT 3.x as well as every system from Vista on, so each
// question is answered by a function of its own rather than by comparing codes where it is asked.
#pragma once

inline constexpr int kOsOldWindows = 0;   // Windows 3.x family
inline constexpr int kOsNt = 1;           // NT 3.x, Server 2003 / XP x64, Vista and later
inline constexpr int kOsWindows9x = 2;    // Windows 95 and other 4.x
inline constexpr int kOsWindows98 = 3;    // 4.10
inline constexpr int kOsWindowsMe = 4;    // 4.90
inline constexpr int kOsNt4 = 5;          // NT 4.0
inline constexpr int kOsWindows2000 = 6;  // 5.0
inline constexpr int kOsWindowsXp = 7;    // 5.1

// The classic look frames pictures and tick boxes with raised and sunken edges on the systems of
// the Windows 95 shell, from 95 to XP; before them and from Vista on it paints them flat.
constexpr bool HasThreeDFrames(int version) { return version >= kOsWindows9x; }

// Item texts are measured on every system but Windows 3.x, whose items are sized without them.
constexpr bool MeasuresItemText(int version) { return version != kOsOldWindows; }

// On the systems of the Windows 95 shell texts are measured in the menu font; elsewhere in the
// screen context's own font.
constexpr bool MeasuresInMenuFont(int version) { return version >= kOsWindows9x; }

// Windows XP, the one system whose themes may ask for the flat look.
constexpr bool IsWindowsXp(int version) { return version == kOsWindowsXp; }
