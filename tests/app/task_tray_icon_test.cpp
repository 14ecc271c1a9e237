// The tray icon component against the real notification area of a Wine desktop.
#include "app/task_tray_icon.h"
#include "framework/form.h"
#include "support/tray_probe.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace tolvern {
namespace {

using test::PumpUntil;
using test::WaitForTrayTip;
using test::WaitForTrayTipGone;

class RecordingMenu : public TPopupMenuBase {
public:
    explicit RecordingMenu(std::vector<std::wstring>& log) : log_(log) {}
    void Popup(int, int) override { log_.push_back(L"popup"); }

private:
    std::vector<std::wstring>& log_;
};

class TestForm : public Form {
public:
    explicit TestForm(Application& app) : Form(app) { CreateForm(L"TrayTestForm", L"", WS_POPUP); }
};

class TrayIconTest : public testing::Test {
protected:
    void SetUp() override {
        tray = std::make_unique<TTaskTrayIcon>(&form);
        tray->SetIcon(::LoadIconW(nullptr, IDI_APPLICATION));
        tray->SetHint(tip);
        tray->OnMouseDown = [this](TComponent* sender, TMouseButton b, TShiftState s, int, int) {
            EXPECT_EQ(tray.get(), sender);
            log.push_back(L"down " + ButtonName(b) + L" " + std::to_wstring(s));
        };
        tray->OnMouseUp = [this](TComponent*, TMouseButton b, TShiftState s, int, int) {
            log.push_back(L"up " + ButtonName(b) + L" " + std::to_wstring(s));
        };
        tray->OnClick = [this](TComponent*) { log.push_back(L"click"); };
        tray->OnDblClick = [this](TComponent*) { log.push_back(L"dblclick"); };
        tray->OnMouseMove = [this](TComponent*, TShiftState s, int, int) {
            log.push_back(L"move " + std::to_wstring(s));
        };
        tray->Loaded();
    }

    static std::wstring ButtonName(TMouseButton b) {
        return b == TMouseButton::mbLeft ? L"L" : b == TMouseButton::mbRight ? L"R" : L"M";
    }

    // What the shell does when the user acts on the icon.
    void Notify(UINT mouseMessage) {
        ::SendMessageW(tray->Handle(), TrayCallbackMessage, 1, mouseMessage);
    }

    // The shell's record of the component's icon, with nothing to change yet.
    NOTIFYICONDATAW ShellRecord() const {
        NOTIFYICONDATAW data{};
        data.cbSize = sizeof data;
        data.hWnd = tray->Handle();
        data.uID = 1;
        return data;
    }

    // Changes the shell's tip behind the component's back, as another caller could.
    void ForeignTip(const wchar_t* text) {
        NOTIFYICONDATAW data = ShellRecord();
        data.uFlags = NIF_TIP;
        lstrcpynW(data.szTip, text, 64);
        ASSERT_TRUE(::Shell_NotifyIconW(NIM_MODIFY, &data));
    }

    Application app;
    TestForm form{app};
    std::wstring tip = L"Tray test " + std::to_wstring(::GetCurrentProcessId());
    std::unique_ptr<TTaskTrayIcon> tray;
    std::vector<std::wstring> log;
};

TEST_F(TrayIconTest, RaisesEventsInTheOrderOfEachMouseMessage) {
    Notify(WM_RBUTTONDOWN);
    Notify(WM_RBUTTONUP);
    Notify(WM_LBUTTONDOWN);
    Notify(WM_LBUTTONUP);
    Notify(WM_LBUTTONDBLCLK);
    Notify(WM_RBUTTONDBLCLK);
    Notify(WM_MBUTTONDOWN);
    Notify(WM_MBUTTONUP);
    Notify(WM_MOUSEMOVE);
    Notify(WM_MOUSEWHEEL); // not one of ours: ignored
    const std::wstring R = std::to_wstring(ssRight), L = std::to_wstring(ssLeft),
                       M = std::to_wstring(ssMiddle), D = std::to_wstring(ssDouble);
    const std::vector<std::wstring> expected = {
        L"down R " + R, L"up R " + R, L"click",       L"down L " + L, L"up L " + L,
        L"click",       L"dblclick",  L"down L " + D, L"dblclick",    L"down R " + D,
        L"down M " + M, L"up M " + M, L"click",       L"move 0"};
    EXPECT_EQ(expected, log);
}

TEST_F(TrayIconTest, PopsUpTheAssignedMenuBeforeTheEventsAndForgetsAFreedMenu) {
    auto menu = std::make_unique<RecordingMenu>(log);
    tray->SetPopUpMenuR(menu.get());
    Notify(WM_RBUTTONDOWN);
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(L"popup", log[0]);
    EXPECT_EQ(L"down R " + std::to_wstring(ssRight), log[1]);

    menu.reset();
    EXPECT_EQ(nullptr, tray->PopUpMenuR());
    log.clear();
    Notify(WM_RBUTTONDOWN);
    EXPECT_EQ(std::vector<std::wstring>{L"down R " + std::to_wstring(ssRight)}, log);

    // One menu for both buttons is forgotten by both.
    menu = std::make_unique<RecordingMenu>(log);
    tray->SetPopUpMenuL(menu.get());
    tray->SetPopUpMenuR(menu.get());
    menu.reset();
    EXPECT_EQ(nullptr, tray->PopUpMenuL());
    EXPECT_EQ(nullptr, tray->PopUpMenuR());
    log.clear();
    Notify(WM_LBUTTONDOWN);
    Notify(WM_RBUTTONDOWN);
    EXPECT_EQ((std::vector<std::wstring>{L"down L " + std::to_wstring(ssLeft),
                                         L"down R " + std::to_wstring(ssRight)}),
              log);
}

TEST_F(TrayIconTest, ShowsTheTipAndSendsNothingForAnUnchangedOrHiddenIcon) {
    ASSERT_TRUE(WaitForTrayTip(tip, 5000)) << "the icon never showed in the taskbar";

    ForeignTip(L"changed elsewhere");
    ASSERT_TRUE(WaitForTrayTip(L"changed elsewhere", 3000));
    tray->SetHint(tip); // unchanged for the component: must not reach the shell
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(WaitForTrayTip(L"changed elsewhere", 1000));

    tray->SetHint(tip + L" 2");
    EXPECT_TRUE(WaitForTrayTip(tip + L" 2", 3000));

    tray->SetVisible(false);
    EXPECT_TRUE(WaitForTrayTipGone(tip + L" 2", 3000));
    tray->SetHint(tip + L" 3"); // while hidden: stored, not shown
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(WaitForTrayTipGone(tip + L" 3", 500));
    tray->SetVisible(true);
    EXPECT_TRUE(WaitForTrayTip(tip + L" 3", 3000));
}

TEST_F(TrayIconTest, ComesBackWhenTheTaskbarIsCreatedAgainAndLeavesWithTheComponent) {
    ASSERT_TRUE(WaitForTrayTip(tip, 5000));
    // A restarted shell has forgotten every icon: drop ours, then announce the new taskbar.
    NOTIFYICONDATAW data = ShellRecord();
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &data));
    ASSERT_TRUE(WaitForTrayTipGone(tip, 3000));
    ::SendMessageW(tray->Handle(), ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitForTrayTip(tip, 3000));

    tray.reset();
    EXPECT_TRUE(WaitForTrayTipGone(tip, 3000));
}

TEST_F(TrayIconTest, LeavesForASessionEndAndReturnsWhenItIsCancelled) {
    ASSERT_TRUE(WaitForTrayTip(tip, 5000));
    EXPECT_EQ(1, ::SendMessageW(tray->Handle(), WM_QUERYENDSESSION, 0, 0));
    EXPECT_TRUE(WaitForTrayTipGone(tip, 3000));
    EXPECT_TRUE(tray->Visible());
    ::SendMessageW(tray->Handle(), WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(WaitForTrayTip(tip, 3000));
}

TEST_F(TrayIconTest, CutsAnOverlongTipToWhatTheShellHolds) {
    const std::wstring longTip(200, L'x');
    tray->SetHint(longTip);
    NOTIFYICONDATAW data{};
    EXPECT_TRUE(WaitForTrayTip(longTip.substr(0, std::size(data.szTip) - 1), 3000));
}

// An add that the shell refuses (at logon the notification area may not be ready, or time out)
// is made again until the icon holds. Wine's taskbar takes every add it can; it refuses one
// for an icon it shows already, so the test puts an icon of its own under the component's
// window first: taken away, the retry adds the icon; left there, the retry takes it over.
TEST_F(TrayIconTest, AnAddTheShellRefusedIsMadeAgainUntilTheIconHolds) {
    ASSERT_TRUE(WaitForTrayTip(tip, 5000));
    NOTIFYICONDATAW inTheWay = ShellRecord();
    inTheWay.uFlags = NIF_TIP;
    lstrcpynW(inTheWay.szTip, L"in the way", 64);
    for (const bool leaveItThere : {false, true}) {
        tray->SetVisible(false);
        ASSERT_TRUE(WaitForTrayTipGone(tip, 3000));
        ASSERT_TRUE(::Shell_NotifyIconW(NIM_ADD, &inTheWay));
        tray->SetVisible(true); // refused: the icon is there already
        ASSERT_TRUE(WaitForTrayTip(L"in the way", 3000));
        if (!leaveItThere) {
            ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &inTheWay));
        }
        EXPECT_TRUE(WaitForTrayTip(tip, 10000)) << leaveItThere;
        EXPECT_TRUE(WaitForTrayTipGone(L"in the way", 1000)) << leaveItThere;
    }
}

} // namespace
} // namespace tolvern
