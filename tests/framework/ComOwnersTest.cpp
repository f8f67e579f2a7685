// The owners of what COM and OLE hand out: task memory, storage media, interface references and
// the apartment itself. Each frees exactly once, and an empty or moved-from owner frees nothing.
#include "framework/ComObject.h"
#include "framework/InterfacePtr.h"
#include "framework/OleInitScope.h"
#include "framework/StorageMedium.h"
#include "framework/TaskMemory.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <thread>
#include <utility>

namespace {

// Stands for the data object behind a medium: ReleaseStgMedium releases it instead of freeing
// the block, so each release shows here.
class ReleaseCounter final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(++releases); }
    int releases = 0;
};

class CountedObject final : public CComObject<IUnknown> {
public:
    explicit CountedObject(bool& deleted) : m_deleted(deleted) {}

private:
    ~CountedObject() override { m_deleted = true; }
    bool& m_deleted;
};

}  // namespace

TEST(ComOwners, TaskMemoryOwnerIsEmptyAfterResetMoveAndAFailedReceive) {
    CTaskMemory<wchar_t> text(static_cast<wchar_t*>(CoTaskMemAlloc(sizeof(wchar_t))));
    ASSERT_NE(nullptr, text.Get());
    CTaskMemory<wchar_t> moved(std::move(text));
    EXPECT_EQ(nullptr, text.Get());  // NOLINT(bugprone-use-after-move): the point of the check
    EXPECT_FALSE(text.Reset()) << "a moved-from owner frees nothing";
    EXPECT_TRUE(moved.Reset());
    EXPECT_FALSE(moved.Reset()) << "a second reset finds nothing to free";

    CTaskMemory<ITEMIDLIST> item(static_cast<ITEMIDLIST*>(CoTaskMemAlloc(sizeof(ITEMIDLIST))));
    ITEMIDLIST** slot = item.Receive();
    EXPECT_EQ(nullptr, *slot) << "the block held before goes when a new one is to be received";
    EXPECT_FALSE(item.Reset());
}

TEST(ComOwners, StorageMediumIsReleasedOnceWhicheverWayItsOwnerEnds) {
    ReleaseCounter source;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 16);  // the data object's to free, never ours
    STGMEDIUM given = {};
    given.tymed = TYMED_HGLOBAL;
    given.hGlobal = block;
    given.pUnkForRelease = &source;
    {
        CStorageMedium medium(given);
        EXPECT_EQ(block, medium.Global());
        EXPECT_FALSE(medium.Attach(given)) << "an owner holds one medium";
        CStorageMedium moved(std::move(medium));
        EXPECT_TRUE(medium.IsEmpty());  // NOLINT(bugprone-use-after-move): the point of the check
        moved.Reset();
        moved.Reset();
        EXPECT_EQ(1, source.releases);
    }
    EXPECT_EQ(1, source.releases) << "neither the moved-from nor the reset owner releases again";

    EXPECT_FALSE(CStorageMedium().Attach(STGMEDIUM{})) << "an empty medium is not taken";
    {
        CStorageMedium medium(given);
        const STGMEDIUM detached = medium.Detach();
        EXPECT_EQ(block, detached.hGlobal);
    }
    EXPECT_EQ(1, source.releases) << "a detached medium is the caller's again";
    GlobalFree(block);
}

TEST(ComOwners, InterfaceOwnerTakesTheNewObjectsFirstReferenceAndReleasesItOnce) {
    bool deleted = false;
    CInterfacePtr<IUnknown> object = AfxMakeComObject<CountedObject>(deleted);
    ASSERT_TRUE(object);
    EXPECT_FALSE(object.Attach(object.Get())) << "an owner holds one reference";
    CInterfacePtr<IUnknown> moved(std::move(object));
    EXPECT_FALSE(object);  // NOLINT(bugprone-use-after-move): the point of the check
    object.Reset();
    EXPECT_FALSE(deleted) << "the moved-from owner released nothing";
    moved.Reset();
    EXPECT_TRUE(deleted);
    moved.Reset();  // nothing held: nothing released twice
}

// On a thread of its own, whose apartment the test controls from the start.
TEST(ComOwners, OleScopeEndsOnlyAStartThatSucceeded) {
    std::thread([] {
        {
            COleInitScope outer;
            EXPECT_EQ(S_OK, outer.Result());
            COleInitScope inner;
            EXPECT_EQ(S_FALSE, inner.Result()) << "nested starts count too";
            EXPECT_TRUE(inner.Succeeded());
        }
        EXPECT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED)) << "both starts were ended";
        {
            COleInitScope refused;
            EXPECT_EQ(RPC_E_CHANGED_MODE, refused.Result());
            EXPECT_FALSE(refused.Succeeded());
        }
        EXPECT_EQ(S_FALSE, CoInitializeEx(nullptr, COINIT_MULTITHREADED))
            << "the refused start ended nothing of the thread's own";
        CoUninitialize();
        CoUninitialize();
    }).join();
}
