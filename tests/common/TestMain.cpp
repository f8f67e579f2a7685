// Entry point of every test exe. Registers the common control classes that the dialog templates
// use, as the program does at start-up. COM stays uninitialised: code that needs it initialises
// it itself, and tests must see that.
#include <windows.h>
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // ctest lists the cases from this output; text mode would end every line with "\r".
    _setmode(_fileno(stdout), _O_BINARY);

    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    if (!InitCommonControlsEx(&controls)) {
        std::fprintf(stderr, "InitCommonControlsEx failed\n");
        return 2;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
