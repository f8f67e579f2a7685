// What the launcher must show, as the soak's user expects it after each action.
#pragma once

#include "bench/user_soak/SoakTarget.h"

#include <string>
#include <vector>

enum class CSoakDialog { kNone, kCreate, kPrompt, kAbout };

class CSoakModel {
public:
    // A fresh start on a desktop whose soak entries give `desktopRows`.
    void Started(const std::vector<CSoakRow>& desktopRows);
    void Ended() { running = false; }

    bool running = false;
    bool shown = true;  // the main window shown, else in the notification area
    CSoakDialog dialog = CSoakDialog::kNone;
    std::wstring box;  // the text of the message box expected on top; empty for none
    bool passwordSet = false;
    std::wstring password;
    int tab = 0;
    std::vector<CSoakRow> rows;  // the first page's list, sorted
    std::wstring searchText;
    int urls = 0;         // lines the URL recorder holds
    int lifeActions = 0;  // actions since this process started

    void AddRow(const CSoakRow& row);
    void RemoveRow(const CSoakRow& row);
    // The one row of the second page.
    static std::vector<CSoakRow> SecondPageRows();
    static CSoakRow HintRow();
    std::wstring Describe() const;
};

const wchar_t* DialogName(CSoakDialog dialog);
