// soak_fixture.exe: the program that the soak's shortcuts and dropped files point at. "打开" starts
// it; it ends at once and shows nothing, so that thousands of starts leave no window behind.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
