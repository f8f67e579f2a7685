#include "bench/user_soak/SoakInput.h"

#include <vector>

namespace {

// Absolute pointer positions are given on a 0..65535 scale over the primary screen.
constexpr int kAbsoluteScale = 65535;
// How long a right click holds the button down.
constexpr DWORD kPressMs = 40;

INPUT MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    return input;
}

INPUT KeyInput(WORD virtualKey, WORD unit, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = unit;
    input.ki.dwFlags = flags;
    return input;
}

void Send(std::vector<INPUT>& inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

void CSoakInput::MoveTo(POINT point) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs = {MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE,
                                            MulDiv(point.x, kAbsoluteScale, width - 1),
                                            MulDiv(point.y, kAbsoluteScale, height - 1))};
    Send(inputs);
}

void CSoakInput::Buttons(DWORD down, DWORD up, int times) {
    std::vector<INPUT> inputs;
    for (int i = 0; i < times; ++i) {
        inputs.push_back(MouseInput(down));
        inputs.push_back(MouseInput(up));
    }
    Send(inputs);
}

void CSoakInput::Click(POINT point) {
    MoveTo(point);
    Buttons(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
}

// The button is held as long as a hand holds it: a down and an up that arrive together made the
// list view under Wine now and then send no right-click notification (no row menu), which a user
// never sees.
void CSoakInput::RightClick(POINT point) {
    MoveTo(point);
    std::vector<INPUT> down = {MouseInput(MOUSEEVENTF_RIGHTDOWN)};
    Send(down);
    Sleep(kPressMs);
    std::vector<INPUT> up = {MouseInput(MOUSEEVENTF_RIGHTUP)};
    Send(up);
}

void CSoakInput::DoubleClick(POINT point) {
    MoveTo(point);
    Buttons(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
}

void CSoakInput::Key(WORD virtualKey, bool shift, bool control) {
    std::vector<INPUT> inputs;
    if (control) {
        inputs.push_back(KeyInput(VK_CONTROL, 0, 0));
    }
    if (shift) {
        inputs.push_back(KeyInput(VK_SHIFT, 0, 0));
    }
    inputs.push_back(KeyInput(virtualKey, 0, 0));
    inputs.push_back(KeyInput(virtualKey, 0, KEYEVENTF_KEYUP));
    if (shift) {
        inputs.push_back(KeyInput(VK_SHIFT, 0, KEYEVENTF_KEYUP));
    }
    if (control) {
        inputs.push_back(KeyInput(VK_CONTROL, 0, KEYEVENTF_KEYUP));
    }
    Send(inputs);
}

void CSoakInput::AltKey(WORD virtualKey) {
    std::vector<INPUT> inputs = {KeyInput(VK_MENU, 0, 0), KeyInput(virtualKey, 0, 0),
                                 KeyInput(virtualKey, 0, KEYEVENTF_KEYUP),
                                 KeyInput(VK_MENU, 0, KEYEVENTF_KEYUP)};
    Send(inputs);
}

void CSoakInput::Type(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (const wchar_t unit : text) {
        inputs.push_back(KeyInput(0, static_cast<WORD>(unit), KEYEVENTF_UNICODE));
        inputs.push_back(KeyInput(0, static_cast<WORD>(unit), KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    if (!inputs.empty()) {
        Send(inputs);
    }
}

void CSoakInput::ClearFocusedEdit() {
    Key(VK_HOME);
    Key(VK_END, true);
    Key(VK_DELETE);
}
