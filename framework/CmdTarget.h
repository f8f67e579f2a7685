// Base of every object that can receive messages and commands through a message map.
#pragma once

#include "framework/MessageMap.h"

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    // Routes a command (or a command-update query when code is CN_UPDATE_COMMAND_UI and extra
    // points to a CCmdUI) to this object's map; TRUE when a handler took it.
    virtual BOOL OnCmdMsg(UINT id, UINT code, void* extra);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // First entry for (message, code, id) in this class's map chain, or nullptr.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT code, UINT id) const;
};
