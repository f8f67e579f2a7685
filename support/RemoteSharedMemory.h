// Memory seen by this process and by another one, for reading controls of a running program from
// outside: a control message is sent with pointers into the other process's view, and the answer
// is read from ours. A section mapped into both works on Windows and on Wine, also where Wine
// cannot read another process's memory directly (WriteProcessMemory fails under CPU emulation).
#pragma once

#include <windows.h>

#include <cstddef>

class RemoteSharedMemory {
public:
    RemoteSharedMemory(HANDLE process, std::size_t size) : m_process(process), m_size(size) {
        using MapView = LONG(NTAPI*)(HANDLE, HANDLE, PVOID*, ULONG_PTR, SIZE_T, PLARGE_INTEGER, PSIZE_T,
                                     DWORD, ULONG, ULONG);
        const auto mapView = reinterpret_cast<MapView>(NtFunction("NtMapViewOfSection"));
        m_section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       static_cast<DWORD>(size), nullptr);
        if (m_section == nullptr || mapView == nullptr) {
            return;
        }
        m_local = MapViewOfFile(m_section, FILE_MAP_ALL_ACCESS, 0, 0, size);
        SIZE_T viewSize = 0;
        constexpr DWORD kViewShare = 1;
        if (mapView(m_section, process, &m_remote, 0, 0, nullptr, &viewSize, kViewShare, 0, PAGE_READWRITE) <
            0) {
            m_remote = nullptr;
        }
    }
    ~RemoteSharedMemory() {
        using UnmapView = LONG(NTAPI*)(HANDLE, PVOID);
        const auto unmapView = reinterpret_cast<UnmapView>(NtFunction("NtUnmapViewOfSection"));
        if (m_remote != nullptr && unmapView != nullptr) {
            unmapView(m_process, m_remote);
        }
        if (m_local != nullptr) {
            UnmapViewOfFile(m_local);
        }
        if (m_section != nullptr) {
            CloseHandle(m_section);
        }
    }
    RemoteSharedMemory(const RemoteSharedMemory&) = delete;
    RemoteSharedMemory& operator=(const RemoteSharedMemory&) = delete;

    bool Valid() const { return m_local != nullptr && m_remote != nullptr; }
    // The same bytes, at their address in this process and in the other one.
    template <typename T>
    T* Local(std::size_t offset = 0) const {
        return reinterpret_cast<T*>(static_cast<char*>(m_local) + offset);
    }
    template <typename T>
    T* Remote(std::size_t offset = 0) const {
        return reinterpret_cast<T*>(static_cast<char*>(m_remote) + offset);
    }
    std::size_t Size() const { return m_size; }

private:
    // The section calls are not in the import libraries; they are looked up in ntdll.
    static void* NtFunction(const char* name) {
        return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name));
    }

    HANDLE m_process;
    std::size_t m_size;
    HANDLE m_section = nullptr;
    void* m_local = nullptr;
    void* m_remote = nullptr;
};
