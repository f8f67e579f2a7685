// Which framework object stands for a handle, per thread: the permanent one bound to it (Attach,
// subclassing) or a temporary, non-owning one that FromHandle makes on demand and DeleteTemporaries
// frees at the next idle moment of the message loop. Windows, menus and DCs each keep one.
#pragma once

#include "framework/Afx.h"

#include <memory>
#include <unordered_map>

// `Wrapper` is default-constructible and keeps its handle in the member `Slot`.
template <typename Wrapper, typename Handle, Handle Wrapper::*Slot>
class CHandleMap {
public:
    // The bound object, or else this thread's temporary for the handle; nullptr for a null handle.
    static Wrapper* FromHandle(Handle handle) {
        if (handle == nullptr) {
            return nullptr;
        }
        if (Wrapper* bound = FromHandlePermanent(handle)) {
            return bound;
        }
        auto& temporary = Maps().temporary;
        auto found = temporary.find(handle);
        if (found != temporary.end()) {
            return found->second.get();
        }
        auto wrapper = std::make_unique<Wrapper>();
        wrapper.get()->*Slot = handle;
        return temporary.emplace(handle, std::move(wrapper)).first->second.get();
    }

    static Wrapper* FromHandlePermanent(Handle handle) {
        auto& permanent = Maps().permanent;
        auto found = permanent.find(handle);
        return found == permanent.end() ? nullptr : found->second;
    }

    // Binds `wrapper` to `handle`; FALSE when another object is bound to it already.
    static BOOL Bind(Handle handle, Wrapper* wrapper) {
        auto& permanent = Maps().permanent;
        auto found = permanent.find(handle);
        if (found != permanent.end() && found->second != wrapper) {
            return FALSE;
        }
        permanent[handle] = wrapper;
        return TRUE;
    }

    // Forgets the binding when it is `wrapper`'s.
    static void Unbind(Handle handle, const Wrapper* wrapper) {
        auto& permanent = Maps().permanent;
        auto found = permanent.find(handle);
        if (found != permanent.end() && found->second == wrapper) {
            permanent.erase(found);
        }
    }

    static void DeleteTemporaries() { Maps().DeleteTemporaries(); }

    static size_t TemporaryCount() { return Maps().temporary.size(); }

private:
    struct ThreadMaps {
        // Temporaries never own their handle, also when the thread ends with some handed out.
        ~ThreadMaps() { DeleteTemporaries(); }

        void DeleteTemporaries() {
            for (auto& entry : temporary) {
                entry.second.get()->*Slot = nullptr;
            }
            temporary.clear();
        }

        std::unordered_map<Handle, Wrapper*> permanent;
        std::unordered_map<Handle, std::unique_ptr<Wrapper>> temporary;
    };

    // Handles belong to the thread that made them, so each thread has its own maps.
    static ThreadMaps& Maps() {
        thread_local ThreadMaps maps;
        return maps;
    }
};
