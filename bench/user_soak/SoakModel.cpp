#include "bench/user_soak/SoakModel.h"

#include <algorithm>

namespace {

constexpr wchar_t kInitialSearchText[] = L"百度我是你大爷";
constexpr wchar_t kHintText[] = L"可拖拽显示";
constexpr wchar_t kPresetProgram[] = L"d://BigFoot.exe";

}  // namespace

void CSoakModel::Started(const std::vector<CSoakRow>& desktopRows) {
    running = true;
    shown = true;
    dialog = CSoakDialog::kNone;
    box.clear();
    passwordSet = false;  // kept in memory only
    password.clear();
    tab = 0;
    rows = desktopRows;
    rows.push_back(HintRow());
    std::sort(rows.begin(), rows.end());
    searchText = kInitialSearchText;
    lifeActions = 0;
}

void CSoakModel::AddRow(const CSoakRow& row) {
    rows.insert(std::upper_bound(rows.begin(), rows.end(), row), row);
}

void CSoakModel::RemoveRow(const CSoakRow& row) {
    const auto found = std::lower_bound(rows.begin(), rows.end(), row);
    if (found != rows.end() && *found == row) {
        rows.erase(found);
    }
}

std::vector<CSoakRow> CSoakModel::SecondPageRows() { return {{kPresetProgram, kPresetProgram, L""}}; }

CSoakRow CSoakModel::HintRow() { return {kHintText, L"", L""}; }

const wchar_t* DialogName(CSoakDialog dialog) {
    switch (dialog) {
        case CSoakDialog::kNone:
            return L"none";
        case CSoakDialog::kCreate:
            return L"create-password";
        case CSoakDialog::kPrompt:
            return L"prompt";
        case CSoakDialog::kAbout:
            return L"about";
    }
    return L"?";
}

std::wstring CSoakModel::Describe() const {
    if (!running) {
        return L"[ended]";
    }
    std::wstring text = L"[";
    text += shown ? L"shown" : L"tray";
    text += L" tab=" + std::to_wstring(tab) + L" dialog=" + DialogName(dialog);
    if (!box.empty()) {
        text += L" box=" + box;
    }
    if (passwordSet) {
        text += L" password=" + password;
    }
    text += L" rows=" + std::to_wstring(rows.size()) + L"]";
    return text;
}
