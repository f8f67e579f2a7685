// What the two list pages share: the list's image list and columns, and the rows they add.
#pragma once

#include "framework/ImageList.h"
#include "framework/ListCtrl.h"

// Creates the 32 x 32 image list, gives it to the list for its large icons and adds the three
// columns whose sub-items carry an entry's file path (1) and shortcut target (2).
void PrepareLauncherList(CListCtrl& list, CImageList& images);

// Inserts one launcher entry and sets its sub-items on the row the list actually made (a sorted
// list places it by its name, whatever `requestedIndex` says). `path` and `target` may be nullptr:
// then sub-item 1 or 2 is left empty. Returns the row's index, -1 if the insert failed.
int InsertLauncherEntry(CListCtrl& list, int requestedIndex, LPCWSTR name, int image, LPCWSTR path,
                        LPCWSTR target);
