// The soak's own entries on the user's desktop, changed between starts of the program as a user
// changes them: program shortcuts added and removed, a shortcut cut short, files that are no
// program shortcuts. Every entry is named "soak-..." so that anything else on the desktop (the
// suite's prefix may hold some) is left alone and not counted.
#pragma once

#include "bench/user_soak/SoakTarget.h"

#include <map>
#include <random>
#include <string>
#include <vector>

class CSoakDesktop {
public:
    // `fixtures` holds the programs and scripts that shortcuts point at.
    CSoakDesktop(std::wstring desktop, std::wstring fixtures);
    ~CSoakDesktop();
    CSoakDesktop(const CSoakDesktop&) = delete;
    CSoakDesktop& operator=(const CSoakDesktop&) = delete;

    // One change of a kind the random source picks; a line for the log.
    std::wstring Change(std::mt19937& random);
    // The rows the first page must show for the desktop as it is now (not the hint).
    std::vector<CSoakRow> ListedRows() const;
    // Whether a row's path is one of ours (rows for other entries of the desktop are not compared).
    bool IsForeign(const CSoakRow& row) const;
    // Deletes the shortcut of a listed entry while the program runs (its row stays); its path, or
    // empty when there is none.
    std::wstring RemoveListedFile(std::mt19937& random);
    // The program wrote a shortcut back at `path`, to `target`.
    void Restored(const std::wstring& path, const std::wstring& target);
    bool Exists(const std::wstring& path) const;
    const std::wstring& Folder() const { return m_desktop; }

private:
    struct Entry {
        std::wstring target;  // empty for files that are no shortcut
        bool listed = false;  // a whole shortcut whose target names a program
    };
    std::wstring Add(std::mt19937& random);

    std::wstring m_desktop;
    std::wstring m_fixtures;
    std::map<std::wstring, Entry> m_entries;  // by file name
    int m_next = 0;
};
