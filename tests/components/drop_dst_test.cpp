// TDropDst on a real list view: drops delivered whole and in order, the handle always released,
// acceptance on and off, and the hook following the control's window when it is created anew.
//
// The drop handles are built in this process: Wine 8 does not carry a WM_DROPFILES handle
// across processes as Windows does (the receiver finds no files in it), so a drop from another
// process cannot be shown here.
#include "components/drop_dst.h"

#include "framework/application.h"
#include "support/drop_files.h"
#include "support/tray_probe.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <stdexcept>

namespace tolvern {
namespace {

using namespace test;

constexpr int kListId = 100;

// A top-level window with a list view child that can be destroyed and created again.
struct ListHost {
    ListHost() {
        parent = ::CreateWindowExW(0, L"STATIC", L"host", WS_POPUP, 0, 0, 300, 200, nullptr,
                                   nullptr, nullptr, nullptr);
        CreateList();
    }
    ~ListHost() { ::DestroyWindow(parent); }
    HWND CreateList(int id = kListId) {
        return ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0,
                                 300, 200, parent, reinterpret_cast<HMENU>(INT_PTR{id}), nullptr,
                                 nullptr);
    }
    HWND List(int id = kListId) const { return ::GetDlgItem(parent, id); }
    HWND parent;
};

bool AcceptsFiles(HWND hwnd) {
    return (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
}

LONG_PTR Procedure(HWND hwnd) {
    return ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
}

struct Drop {
    std::vector<std::wstring> files;
    int x = -1, y = -1;
};

TEST(DropDst, DeliversWholePathsInOrderAndAlwaysReleasesTheHandle) {
    ListHost host;
    TDialogItem list(nullptr, host.parent, kListId);
    const LONG_PTR original = Procedure(host.List());
    std::vector<Drop> drops;
    {
        TDropDst drop(nullptr);
        drop.OnFileDrop = [&](TComponent* sender, const std::vector<std::wstring>& files, int x,
                              int y) {
            EXPECT_EQ(&drop, sender);
            drops.push_back({files, x, y});
        };
        drop.SetControl(&list);
        drop.Loaded();
        ASSERT_EQ(host.List(), drop.HookedWindow());
        EXPECT_TRUE(AcceptsFiles(host.List()));

        const std::wstring longPath = L"C:\\" + std::wstring(300, L'長') + L".txt";
        const std::wstring outsideShiftJis = L"C:\\한국어\\Ōsaka ā ℵ.txt";
        const std::vector<std::wstring> paths = {L"C:\\Tools\\Editor.LNK", longPath,
                                                 outsideShiftJis};
        HGLOBAL handle = PostDropFiles(host.List(), paths, POINT{5, 7});
        ASSERT_TRUE(PumpUntil([&] { return !drops.empty(); }, 2000));
        ASSERT_EQ(1u, drops.size());
        EXPECT_EQ(paths, drops[0].files);
        EXPECT_EQ(5, drops[0].x);
        EXPECT_EQ(7, drops[0].y);
        EXPECT_TRUE(IsDropHandleReleased(handle));

        // A handle that is not this process's memory, as another process's would be under
        // Wine: nothing is delivered, and nothing breaks.
        ::PostMessageW(host.List(), WM_DROPFILES, 0x7F3A0000, 0);
        PumpUntil([] { return false; }, 100);
        EXPECT_EQ(1u, drops.size());

        // A failing handler: the error goes to the exception handling, the handle still goes.
        drop.OnFileDrop = [](TComponent*, const std::vector<std::wstring>&, int, int) {
            throw std::runtime_error("handler failed");
        };
        handle = PostDropFiles(host.List(), {L"C:\\a"}, POINT{});
        ASSERT_TRUE(PumpUntil([&] { return IsDropHandleReleased(handle); }, 2000));
        EXPECT_TRUE(TakeReportedException());

        // No handler: accepted and finished without effect.
        drop.OnFileDrop = nullptr;
        handle = PostDropFiles(host.List(), {L"C:\\b"}, POINT{});
        ASSERT_TRUE(PumpUntil([&] { return IsDropHandleReleased(handle); }, 2000));
        EXPECT_EQ(1u, drops.size());

        drop.SetAcceptDrop(false);
        EXPECT_FALSE(AcceptsFiles(host.List()));
        drop.SetAcceptDrop(true);
        EXPECT_TRUE(AcceptsFiles(host.List()));
    }
    EXPECT_EQ(original, Procedure(host.List())) << "destroying the hook gives the procedure back";
    EXPECT_FALSE(AcceptsFiles(host.List()));
}

TEST(DropDst, FollowsTheControlWhenItsWindowIsCreatedAnew) {
    ListHost host;
    TDialogItem list(nullptr, host.parent, kListId);
    TDropDst drop(nullptr);
    int drops = 0;
    drop.OnFileDrop = [&](TComponent*, const std::vector<std::wstring>&, int, int) { ++drops; };
    drop.SetControl(&list);
    drop.Loaded();
    ::DestroyWindow(host.List());
    EXPECT_EQ(nullptr, drop.HookedWindow());
    HWND again = host.CreateList();
    ASSERT_TRUE(PumpUntil([&] { return drop.HookedWindow() == again; }, 2000));
    EXPECT_TRUE(AcceptsFiles(again));
    PostDropFiles(again, {L"C:\\x"}, POINT{});
    ASSERT_TRUE(PumpUntil([&] { return drops == 1; }, 2000));

    // Another control: the first gets its procedure back before the second is hooked.
    HWND second = host.CreateList(kListId + 1);
    const LONG_PTR secondOriginal = Procedure(second);
    TDialogItem other(nullptr, host.parent, kListId + 1);
    const LONG_PTR hookProcedure = Procedure(again);
    drop.SetControl(&other);
    EXPECT_NE(hookProcedure, Procedure(again));
    EXPECT_EQ(second, drop.HookedWindow());
    EXPECT_NE(secondOriginal, Procedure(second));
    EXPECT_TRUE(AcceptsFiles(second));
}

TEST(DropDst, AControlDestroyedForGoodLeavesNothingToHook) {
    ListHost host;
    TDropDst drop(nullptr);
    {
        TDialogItem list(nullptr, host.parent, kListId);
        drop.SetControl(&list);
        ::DestroyWindow(host.List());
    } // the control goes: its removal empties Control, and the posted re-hook finds nothing
    EXPECT_EQ(nullptr, drop.Control());
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(nullptr, drop.HookedWindow());
}

TEST(DropDst, AFormTargetNeedsAFormAmongTheOwners) {
    TDropDst drop(nullptr);
    try {
        drop.SetTarget(THookTarget::htForm);
        FAIL() << "no form to hook";
    } catch (const EComponentError& error) {
        EXPECT_EQ(L"フック先を特定できません。", error.Message());
    }
}

} // namespace
} // namespace tolvern
