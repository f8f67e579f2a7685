// The list of the "常用软件" page: takes files dropped from the shell and adds them as entries.
#pragma once

#include "framework/InterfacePtr.h"
#include "framework/ListCtrl.h"
#include "framework/MessageMap.h"
#include "framework/OleInitScope.h"
#include "pages/DroppedFilesReceiver.h"

#include <ole2.h>

#include <optional>

class CListOwnerPage;

class CMyListCtrl : public CListCtrl, public CDroppedFilesReceiver {
public:
    // The page that holds this list; set by the page before anything can be dropped.
    CListOwnerPage* m_pOwnerPage = nullptr;

    // Lets file managers that drag through OLE drop on the list too, and lets drops through when
    // the program runs elevated. Undone when the window goes. Call once the window exists.
    void AcceptShellDrops();

    // The one intake of dropped files, whichever way they came: one entry per item, in the order
    // the shell lists them, none filtered. Does not free `drop`.
    void AddDroppedFiles(HDROP drop) override;

protected:
    void OnDropFiles(HDROP drop);
    void OnDestroy();

    DECLARE_MESSAGE_MAP()

private:
    void RevokeDropTarget();

    // OLE is started only while the list is a drop target; the target is declared after it, so it
    // is released first.
    std::optional<COleInitScope> m_ole;
    CInterfacePtr<IDropTarget> m_dropTarget;
};
