// The shell's context menu on items of a started launcher's real menu, driven by keys as a user
// would (a posted right click lands on no item without a real pointer): what it lists, and
// Delete, Rename, the My Menu entry's own commands, Esc, and what a hundred of them leave.
#include "menu/shell_context_menu.h"
#include "support/gui_objects.h"
#include "support/menu_driver.h"
#include "support/message_box_answer.h"
#include "support/started_launcher.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <thread>

namespace tolvern {
namespace {

using namespace test;
using Texts = std::vector<std::wstring>;

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

using test::WaitForMenuWindow;

// Down presses from the closed menu to the first My Menu entry: the show-desktop item and the
// six special folders come first.
constexpr int kDownsToFirstEntry = 8;

class ItemContextMenu : public testing::Test {
protected:
    void SetUp() override {
        folder = TempFolder(L"context-menu");
        for (const wchar_t* name : {L"doc.html", L"page.html"})
            MakeFile(folder + L"\\" + name);
        StoreEntries(key, {{L"Folder", folder}});
        // Listed whatever program the prefix gives pages.
        key.SetString(kSettingSection, L"DoNotViewUnassociatedItems", L"0");
        launcher = std::make_unique<StartedLauncher>(key);
        form().ContextMenu.OnShowing = [this](HMENU menu) { shown.push_back(MenuTexts(menu)); };
    }
    void TearDown() override {
        launcher.reset();
        for (const wchar_t* name : {L"doc.html", L"page.html", L"renamed.html"})
            ::DeleteFileW((folder + L"\\" + name).c_str());
        ::RemoveDirectoryW(folder.c_str());
    }
    TForm2& form() { return launcher->form2; }

    // Pops the launcher menu up; `keys` run on a second thread with its window: the keys that
    // open the context menu, then `inside` with the context menu's window (null when none
    // opened).
    void Drive(const std::vector<UINT>& keys, const std::function<void(HWND)>& inside) {
        std::thread driver([&] {
            HWND menu = WaitForMenuWindow();
            if (menu) {
                for (UINT vk : keys) {
                    Key(menu, vk);
                    ::Sleep(60);
                }
                HWND context = nullptr;
                for (int i = 0; i < 100 && !context; ++i, ::Sleep(20))
                    for (HWND w = ::FindWindowW(L"#32768", nullptr); w;
                         w = ::FindWindowExW(nullptr, w, L"#32768", nullptr))
                        if (::IsWindowVisible(w) && shown.size() > shownBefore)
                            context = w;
                inside(context);
            }
            ::Sleep(300);
            CloseAllMenus();
        });
        shownBefore = shown.size();
        form().PopupLauncherMenu({300, 100}, launcher->form1.Handle(), std::nullopt);
        driver.join();
    }
    // Keys to the first file of the entry's submenu, then the context-menu key.
    std::vector<UINT> ToFile(int file) {
        std::vector<UINT> keys(kDownsToFirstEntry, VK_DOWN);
        keys.push_back(VK_RIGHT);
        for (int i = 0; i <= file; ++i)
            keys.push_back(VK_DOWN);
        keys.push_back(VK_APPS);
        return keys;
    }
    std::vector<std::wstring> EntryTexts() {
        TMenuItem* entry = form().PopupMenu2.Items.Items(kFirstEntryPosition);
        std::vector<std::wstring> texts;
        for (int i = 3; i < entry->Count(); ++i)
            texts.push_back(entry->Items(i)->Caption);
        return texts;
    }

    ScratchKey key;
    std::wstring folder;
    std::unique_ptr<StartedLauncher> launcher;
    std::vector<Texts> shown;
    size_t shownBefore = 0;
};

TEST_F(ItemContextMenu, AFileListsTheShellsVerbsAndDeleteAndRenameChangeTheFolder) {
    // Esc closes the context menu (Wine closes the launcher menu beneath it too).
    Drive(ToFile(0), [](HWND context) {
        ASSERT_NE(nullptr, context);
        Key(context, VK_ESCAPE);
    });
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ((Texts{L"&Select", L"&Open", L"", L"C&ut", L"&Copy", L"", L"Create &Link", L"&Delete",
                     L"&Rename", L"", L"&Properties"}),
              shown[0]);
    EXPECT_EQ((Texts{L"doc.html", L"page.html"}), EntryTexts());
    EXPECT_EQ(0, TShellContextMenu::LiveCount());

    // Rename asks for the name and renames through the shell; the next opening lists it.
    std::vector<std::wstring> asked;
    form().ContextMenu.AskNewName = [&](HWND, std::wstring& name) {
        asked.push_back(name);
        name = L"renamed.html";
        return true;
    };
    Drive(ToFile(0), [](HWND context) { Key(context, 'R'); });
    EXPECT_EQ((std::vector<std::wstring>{L"doc.html"}), asked);
    EXPECT_FALSE(Exists(folder + L"\\doc.html"));
    EXPECT_TRUE(Exists(folder + L"\\renamed.html"));

    // Delete (after the shell's own question) removes the file.
    BoxSeen seen;
    std::thread answer = AnswerMessageBox(IDYES, seen);
    Drive(ToFile(0), [](HWND context) { Key(context, 'D'); });
    answer.join();
    EXPECT_FALSE(Exists(folder + L"\\page.html"));
    EXPECT_TRUE(Exists(folder + L"\\renamed.html"));
    Drive({}, [](HWND) {});
    form().Menu.PopupMenu_FolderClick(form().PopupMenu2.Items.Items(kFirstEntryPosition));
    EXPECT_EQ((Texts{L"renamed.html"}), EntryTexts());
    EXPECT_EQ(0, TShellContextMenu::LiveCount());
}

TEST_F(ItemContextMenu, AMyMenuEntryOffersItsOwnCommandsAboveTheShellsAndIsRemovedByThem) {
    std::vector<UINT> keys(kDownsToFirstEntry, VK_DOWN);
    keys.push_back(VK_APPS);
    Drive(keys, [](HWND context) {
        ASSERT_NE(nullptr, context);
        Key(context, VK_ESCAPE);
    });
    ASSERT_EQ(1u, shown.size());
    ASSERT_GE(shown[0].size(), 4u);
    EXPECT_EQ((Texts{L"マイメニューから削除(&R)", L"設定(&S)...", L""}),
              Texts(shown[0].begin(), shown[0].begin() + 3));
    EXPECT_NE(shown[0].end(), std::find(shown[0].begin(), shown[0].end(), L"&Properties"));

    // Asked first: No keeps the entry, Yes removes it from the menu, the list and the registry.
    for (const int button : {IDNO, IDYES}) {
        BoxSeen seen;
        std::thread answer = AnswerMessageBox(button, seen);
        Drive(keys, [](HWND context) { Key(context, 'R'); });
        answer.join();
        EXPECT_EQ(L"[マイメニュー] 項目を削除してもよろしいですか?", seen.text);
    }
    EXPECT_EQ(0, form().EntryCount());
    EXPECT_TRUE(form().Menu.mnuPopupNoItem->Visible);
    EXPECT_EQ(L"0", key.GetString(kSettingSection, L"MenuCount"));
}

TEST_F(ItemContextMenu, AHundredMenusOpenedAndClosedLeaveNoObjectBehind) {
    // The context menu alone (over no launcher menu, which changes nothing for it), each
    // closed by Esc as soon as it shows.
    TMenuItem* entry = form().PopupMenu2.Items.Items(kFirstEntryPosition);
    form().Menu.PopupMenu_FolderClick(entry);
    entry = form().PopupMenu2.Items.Items(kFirstEntryPosition);
    ASSERT_EQ(5, entry->Count());
    auto round = [&] {
        std::thread closer([] {
            if (HWND context = WaitForMenuWindow())
                Key(context, VK_ESCAPE);
        });
        form().ContextMenu.Show(entry->Items(3), POINT{200, 200});
        closer.join();
    };
    round(); // the shell and the system fill their caches once
    const int gdiBefore = GdiObjectCount();
    for (int i = 0; i < 100; ++i)
        round();
    ASSERT_EQ(101u, shown.size());
    EXPECT_LE(GdiObjectCount(), gdiBefore + 5);
    EXPECT_EQ(0, TShellContextMenu::LiveCount());

    // An item outside the file system (Control Panel's, the desktop itself) has the shell's own
    // menu or none, and nothing breaks.
    TMenuItem* desktop = form().Menu.DesktopMenuItem;
    form().Menu.PopupMenu_DesktopClick(desktop);
    std::thread closer([] {
        for (int i = 0; i < 20; ++i, ::Sleep(50))
            CloseAllMenus();
    });
    for (int i = 0; i < desktop->Count(); ++i)
        form().ContextMenu.Show(desktop->Items(i), POINT{200, 200});
    closer.join();
    EXPECT_EQ(0, TShellContextMenu::LiveCount());
}

} // namespace
} // namespace tolvern
