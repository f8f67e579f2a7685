#include "pages/EntryPaths.h"

CString DisplayNameFromPath(const CString& path) {
    const int slash = path.ReverseFind(L'\\');
    if (slash < 0) {
        return path;
    }
    return path.Right(path.GetLength() - slash - 1);
}

BOOL JoinItemPath(LPCWSTR folder, LPCWSTR name, CString& path) {
    CString joined(folder);
    joined += L'\\';
    joined += name;
    if (joined.GetLength() >= kPathCapacity) {
        return FALSE;
    }
    path = joined;
    return TRUE;
}

CString LocateCommandLine(const CString& path) {
    CString command(L"Explorer /select, \"");
    command += path;
    command += L'"';
    return command;
}
