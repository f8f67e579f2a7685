// Files dragged through OLE (as file managers under Wine, and the shell on Windows, deliver them)
// onto the "常用软件" list: a data object of our own carrying CF_HDROP, handed to the list's drop
// target the way the drag loop hands it.
#include "pages/FileToolDlg.h"
#include "pages/ListDropTarget.h"
#include "tests/common/DialogAutoResponder.h"
#include "tests/common/MessagePump.h"
#include "tests/pages/DesktopFixture.h"
#include "tests/pages/PageHarness.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

using fixture::DesktopFixture;
using harness::HostedPage;
using harness::Row;

namespace {

// A drag source's data: CF_HDROP (when given paths) or plain text only. Each GetData hands out a
// fresh block whose release comes back here through pUnkForRelease, so the test sees that the
// receiver frees what it got, and frees it the way OLE says.
class FakeDataObject final : public IDataObject {
public:
    explicit FakeDataObject(std::vector<std::wstring> paths, bool withFiles = true)
        : m_paths(std::move(paths)), m_withFiles(withFiles) {}

    int MediaHandedOut() const { return m_handedOut; }
    int MediaReleased() const { return m_released; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_references; }  // lives on the stack

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) {
            return DV_E_FORMATETC;
        }
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = MakeDrop(m_paths);
        medium->pUnkForRelease = &m_releaseProbe;
        ++m_handedOut;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return m_withFiles && format != nullptr && format->cfFormat == CF_HDROP &&
                       (format->tymed & TYMED_HGLOBAL) != 0
                   ? S_OK
                   : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    ULONG References() const { return m_references; }

private:
    // ReleaseStgMedium releases pUnkForRelease instead of freeing the block itself; the block is
    // then the owner's to free.
    class ReleaseProbe final : public IUnknown {
    public:
        explicit ReleaseProbe(FakeDataObject& owner) : m_owner(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
        ULONG STDMETHODCALLTYPE Release() override {
            ++m_owner.m_released;
            return 1;
        }

    private:
        FakeDataObject& m_owner;
    };

    std::vector<std::wstring> m_paths;
    bool m_withFiles;
    ULONG m_references = 1;
    int m_handedOut = 0;
    int m_released = 0;
    ReleaseProbe m_releaseProbe{*this};
};

// OLE for the test thread, around the page's own (nested) initialisation.
class OleScope {
public:
    OleScope() : m_result(OleInitialize(nullptr)) {}
    ~OleScope() {
        if (SUCCEEDED(m_result)) {
            OleUninitialize();
        }
    }
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;
    HRESULT Result() const { return m_result; }

private:
    HRESULT m_result;
};

class OleDropTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(m_ole.Result()));
        ASSERT_TRUE(DesktopFixture::DesktopContents().empty()) << "the shared desktop folder holds leftovers";
        ASSERT_TRUE(m_page->Created());
        ASSERT_EQ(1, harness::RowCount(List()));  // the hint row
    }
    HWND List() const { return m_page->List(); }

    OleScope m_ole;
    DesktopFixture m_desk;
    std::unique_ptr<HostedPage<CFileToolDlg>> m_page = std::make_unique<HostedPage<CFileToolDlg>>();
};

DWORD Enter(IDropTarget* target, IDataObject* data) {
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    EXPECT_EQ(S_OK, target->DragEnter(data, MK_LBUTTON, {10, 10}, &effect));
    return effect;
}
DWORD Over(IDropTarget* target) {
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    EXPECT_EQ(S_OK, target->DragOver(MK_LBUTTON, {12, 12}, &effect));
    return effect;
}
DWORD DropOn(IDropTarget* target, IDataObject* data) {
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    EXPECT_EQ(S_OK, target->Drop(data, 0, {12, 12}, &effect));
    return effect;
}

// Called after each sent message has been handled: catches the list just after its WM_DESTROY,
// while the window still exists, to ask whether it is still registered for drops.
HWND g_watchedList = nullptr;
HRESULT g_revokeAfterDestroy = S_OK;
LRESULT CALLBACK AfterMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && message->hwnd == g_watchedList && message->message == WM_DESTROY) {
        g_revokeAfterDestroy = RevokeDragDrop(message->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST_F(OleDropTest, AFileDragAddsEachFileOnceWithItsNameAndPathAndCopies) {
    const std::wstring b = m_desk.TargetFile(L"b 工具.exe");
    const std::wstring a = m_desk.TargetFile(L"a.txt", "text");
    FakeDataObject data({b, a});
    auto* target = new CListDropTarget(m_page->Get().m_list, List());

    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), Enter(target, &data));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), Over(target));
    EXPECT_EQ(1, harness::RowCount(List())) << "hovering adds nothing";
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), DropOn(target, &data));
    PumpPendingMessages();

    const std::vector<Row> rows = harness::ReadRows(List());
    ASSERT_EQ(3u, rows.size()) << "each file once, beside the hint";
    ASSERT_EQ(3, harness::ImageCount(List()));
    const int bRow = harness::FindRow(List(), L"b 工具.exe");
    const int aRow = harness::FindRow(List(), L"a.txt");
    ASSERT_GE(bRow, 0);
    ASSERT_GE(aRow, 0);
    EXPECT_EQ(b, rows[bRow].path);
    EXPECT_EQ(a, rows[aRow].path);
    EXPECT_EQ(1, rows[bRow].image) << "icons follow the order of the drop, after the hint's";
    EXPECT_EQ(2, rows[aRow].image);

    EXPECT_EQ(1, data.MediaHandedOut());
    EXPECT_EQ(1, data.MediaReleased()) << "the medium goes back through ReleaseStgMedium";
    EXPECT_EQ(1u, data.References()) << "the target keeps no reference to the data";
    EXPECT_EQ(2u, target->AddRef());
    EXPECT_EQ(1u, target->Release());
    EXPECT_EQ(0u, target->Release());
}

TEST_F(OleDropTest, ADragWithoutFilesIsRefusedAndAddsNothing) {
    FakeDataObject text({L"C:\\not-a-file-list.txt"}, false);
    auto* target = new CListDropTarget(m_page->Get().m_list, List());

    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), Enter(target, &text));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), Over(target));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), DropOn(target, &text));
    EXPECT_EQ(S_OK, target->DragLeave());
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(S_OK, target->Drop(nullptr, 0, {0, 0}, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);

    EXPECT_EQ(1, harness::RowCount(List()));
    EXPECT_EQ(0, text.MediaHandedOut());
    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, target->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)));
    EXPECT_EQ(1u, unknown->Release());
    void* other = &effect;
    EXPECT_EQ(E_NOINTERFACE, target->QueryInterface(IID_IDataObject, &other));
    EXPECT_EQ(nullptr, other);
    EXPECT_EQ(0u, target->Release());
}

TEST_F(OleDropTest, TheListIsADropTargetForItsLifeAndRevokedWhenItGoes) {
    auto* probe = new CListDropTarget(m_page->Get().m_list, List());
    EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, RegisterDragDrop(List(), probe));

    g_watchedList = List();
    g_revokeAfterDestroy = S_OK;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, &AfterMessage, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    m_page.reset();
    UnhookWindowsHookEx(hook);
    g_watchedList = nullptr;

    EXPECT_EQ(DRAGDROP_E_NOTREGISTERED, g_revokeAfterDestroy);
    EXPECT_EQ(0u, probe->Release());
}

namespace {

// Ends a real drag loop with a drop once the loop has had a look at the target under the cursor,
// or cancels it after a bounded number of rounds.
class DropRightAway final : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
            *object = static_cast<IDropSource*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
        ++m_rounds;
        if (escape || m_rounds > kMaxRounds) {
            return DRAGDROP_S_CANCEL;
        }
        return m_rounds >= kDropRound ? DRAGDROP_S_DROP : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    static constexpr int kDropRound = 3;
    static constexpr int kMaxRounds = 50;
    int m_rounds = 0;
};

}  // namespace

TEST_F(OleDropTest, ARealDragLoopOverTheListAddsTheFilesOnce) {
    const std::wstring file = m_desk.TargetFile(L"拖放.exe");
    FakeDataObject data({file});
    HWND host = GetParent(m_page->Window());
    SetWindowPos(host, HWND_TOPMOST, 0, 0, 520, 700, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ShowWindow(m_page->Window(), SW_SHOWNA);
    RECT list = {};
    GetWindowRect(List(), &list);
    POINT saved = {};
    GetCursorPos(&saved);
    ASSERT_TRUE(SetCursorPos((list.left + list.right) / 2, (list.top + list.bottom) / 2));
    ASSERT_EQ(List(), WindowFromPoint({(list.left + list.right) / 2, (list.top + list.bottom) / 2}));

    DropRightAway source;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    PumpPendingMessages();
    SetCursorPos(saved.x, saved.y);

    EXPECT_EQ(DRAGDROP_S_DROP, result);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), effect);
    EXPECT_EQ(2, harness::RowCount(List())) << "the hint and the file, once";
    EXPECT_GE(harness::FindRow(List(), L"拖放.exe"), 0);
    EXPECT_EQ(data.MediaHandedOut(), data.MediaReleased());
}

namespace {

// An intake that runs out of memory while it reads the drop.
class FailingReceiver final : public CDroppedFilesReceiver {
public:
    void AddDroppedFiles(HDROP) override { throw std::bad_alloc(); }
};

}  // namespace

TEST(OleDropBoundary, AFailureWhileADropIsReadIsReportedAndAnsweredWithAnErrorCode) {
    FailingReceiver receiver;
    FakeDataObject data({L"C:\\dropped.txt"});
    DialogAutoResponder responder([](HWND box) { DialogAutoResponder::PressButton(box, IDOK); });
    auto* target = new CListDropTarget(receiver, nullptr);

    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), Enter(target, &data));
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(E_UNEXPECTED, target->Drop(&data, 0, {12, 12}, &effect));
    EXPECT_EQ(1u, responder.Captions().size()) << "the failure is reported once";
    EXPECT_EQ(1, data.MediaReleased()) << "the medium goes back although the intake failed";
    EXPECT_EQ(0u, target->Release());
}
