// The names and texts the soak's user types and drops: search texts (Chinese, long, control
// characters, surrogate pairs), passwords, and dropped paths (missing, spaced, odd, over-long,
// folders, duplicates of earlier drops).
#pragma once

#include "bench/user_soak/SoakDice.h"

#include <string>
#include <vector>

class CSoakNames {
public:
    CSoakNames(CSoakDice& dice, std::wstring fixtures);

    std::wstring SearchText();
    std::wstring NewPassword();
    std::vector<std::wstring> DropPaths();
    // The kind of a dropped name: its type, as the shell reads it from the extension.
    static std::wstring DropKind(const std::wstring& path);
    // Every kind DropPaths makes.
    static std::vector<std::wstring> DropKinds();

private:
    int Uniform(int low, int high) { return m_dice.Uniform(low, high); }
    bool Chance(int percent) { return m_dice.Chance(percent); }

    CSoakDice& m_dice;
    std::wstring m_fixtures;
    std::vector<std::wstring> m_dropped;  // earlier dropped paths, for duplicates
    int m_dropNumber = 0;
};
