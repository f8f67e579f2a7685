// The program's entry point: makes sure a crash leaves a dump, then hands over to the application
// object.
#include "framework/CrashDumpWriter.h"
#include "framework/WinApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
    // Without it the program runs all the same; a fault then ends it the system's way.
    CCrashDumpWriter::Install();
    return AfxWinMain(instance, previous, commandLine, show);
}
