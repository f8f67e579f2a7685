#include "pages/ShortcutFiles.h"

#include "framework/ComInitScope.h"
#include "framework/InterfacePtr.h"
#include "framework/KernelHandle.h"
#include "framework/TaskMemory.h"
#include "pages/ShellLinkBytes.h"

#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

namespace {

// Targets are not bound to the classic path length: one that fills the first buffer is read again
// into the largest, since a cut target names another file.
constexpr int kTargetCapacity = 1024;
constexpr int kLongestTargetCapacity = 32768;

// Whether the file's first bytes hold a shortcut whose item id list is whole. The shell is not
// asked to read any other file: some versions walk a cut list past its end.
bool ShortcutFileLooksWhole(LPCWSTR path) {
    const HANDLE opened =
        CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return false;
    }
    const CKernelHandle file(opened);
    LARGE_INTEGER fileSize = {};
    std::vector<BYTE> bytes;
    DWORD read = 0;
    BOOL readOk = GetFileSizeEx(file.Get(), &fileSize);
    if (readOk) {
        bytes.resize(static_cast<size_t>(std::min<LONGLONG>(fileSize.QuadPart, kShellLinkCheckedBytes)));
        readOk = ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    }
    return readOk && ShellLinkItemListIsWhole(bytes.data(), read);
}

}  // namespace

// COM is initialised around the call. When the caller (or the application) already did that,
// CoInitialize answers S_FALSE, which is success: the link is still read, and the count is
// balanced either way.
CString ResolveShortcutTarget(LPCWSTR path) {
    CComInitScope com;
    if (!com.IsUsable()) {
        return {};
    }
    CInterfacePtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.ReceiveVoid()))) {
        return {};
    }
    CInterfacePtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid()))) {
        return {};
    }
    // Read access is all a resolve needs; asking for more would lose read-only shortcuts.
    if (path == nullptr || !ShortcutFileLooksWhole(path) || FAILED(file->Load(path, STGM_READ))) {
        return {};
    }
    std::wstring target(kTargetCapacity, L'\0');
    if (FAILED(link->GetPath(target.data(), kTargetCapacity, nullptr, 0))) {
        return {};
    }
    if (wcslen(target.c_str()) >= static_cast<size_t>(kTargetCapacity - 1)) {
        target.assign(kLongestTargetCapacity, L'\0');
        if (FAILED(link->GetPath(target.data(), kLongestTargetCapacity, nullptr, 0))) {
            return {};
        }
    }
    target.resize(wcslen(target.c_str()));
    if (target.find(L'?') != std::wstring::npos) {
        // No file name holds '?': the link kept its path in a code page that lacks some of the
        // characters. Its item id list still names the target in full.
        CTaskMemory<ITEMIDLIST> item;
        if (SUCCEEDED(link->GetIDList(item.Receive())) && item.Get() != nullptr) {
            std::wstring fromItem(kLongestTargetCapacity, L'\0');
            if (SHGetPathFromIDListEx(item.Get(), fromItem.data(), kLongestTargetCapacity, GPFIDL_DEFAULT)) {
                fromItem.resize(wcslen(fromItem.c_str()));
                target = std::move(fromItem);
            }
        }
    }
    return CString(target.c_str());
}

void CreateShortcutFile(LPCWSTR target, LPCWSTR linkPath) {
    CComInitScope com;
    if (!com.IsUsable()) {
        return;
    }
    CInterfacePtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.ReceiveVoid()))) {
        return;
    }
    if (FAILED(link->SetPath(target != nullptr ? target : L""))) {
        return;
    }
    CInterfacePtr<IPersistFile> file;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.ReceiveVoid()))) {
        file->Save(linkPath, FALSE);  // an unwritable place leaves nothing to report
    }
}
