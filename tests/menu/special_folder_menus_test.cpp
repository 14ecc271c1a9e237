// The launcher's special-folder submenus filled from the prefix's own special folders: order,
// merged names, the recent-document filter, the Programs sections, rebuilding only on change,
// the "Shell Folders" fallback and the building guard.
#include "shell_fixture.h"

#include "base/text.h"

#include <functional>
#include <stdexcept>

namespace tolvern::test {
namespace {

using Names = std::vector<std::wstring>;

// Wine enumerates a directory sorted by upper-cased code points, where "_" follows the
// letters; the user's collation puts it first. Names with "_" keep the shell's order
// distinguishable from a sorted one.

constexpr wchar_t kAllUsers[] = L"プログラム(All Users)";

// The entry (from position 3 on) with this caption, or null.
TMenuItem* Entry(const TMenuItem& menu, const std::wstring& caption) {
    for (int i = 3; i < menu.Count(); ++i)
        if (menu.Items(i)->Caption == caption)
            return menu.Items(i);
    return nullptr;
}

Names Join(Names first, const Names& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

void MakeDirsAndFiles(const FilledSpecialFolder& folder, std::initializer_list<const wchar_t*> dirs,
                      std::initializer_list<const wchar_t*> files) {
    for (const wchar_t* name : dirs)
        MakeDir(folder / name);
    for (const wchar_t* name : files)
        MakeFile(folder / name);
}

// A folder's children in the shell's order, split into those a menu puts among its folders
// (by default the shell's folders) and the rest.
struct Groups {
    Names folders, files;
};
Groups GroupChildren(
    MenuEnv& env, PCIDLIST_ABSOLUTE folder,
    const std::function<bool(const ShellChild&)>& amongFolders = [](const ShellChild& child) {
        return child.folder;
    }) {
    Groups groups;
    for (const ShellChild& child : EnumerateChildren(env, folder, env.shell.FolderEnumFlags))
        (amongFolders(child) ? groups.folders : groups.files).push_back(child.name);
    return groups;
}

TEST(BuildDesktopMenu, FoldersAndFolderShortcutsFirstBothInTheShellsOrder) {
    FilledSpecialFolder desktop(CSIDL_DESKTOPDIRECTORY);
    ScratchDir elsewhere;
    MakeDir(elsewhere / L"target");
    MakeFile(elsewhere / L"target.txt");
    MakeDirsAndFiles(desktop, {L"walnut", L"Apple", L"_mango", L"cherry"},
                     {L"zebra.txt", L"_kiwi.txt", L"Banana.txt", L"fig.ini"});
    MakeShortcut(desktop / L"folder link.lnk", elsewhere / L"target");
    MakeShortcut(desktop / L"file link.lnk", elsewhere / L"target.txt");

    MenuEnv env;
    env.Prepare();
    TMenuItem& menu = *env.menu.DesktopMenuItem;
    env.menu.PopupMenu_DesktopClick(&menu);

    const auto [folders, files] = GroupChildren(env, env.menu.DesktopPIDL, [](const ShellChild& c) {
        return c.folder || c.name == L"folder link";
    });
    EXPECT_EQ(Join(folders, files), env.Captions(menu));
    // Without this the order would not tell unsorted from sorted.
    EXPECT_TRUE(folders != SortedNames(folders) || files != SortedNames(files))
        << "the shell enumerated both groups sorted";

    // The shortcut to a folder opens as that folder; the shortcut to a file is the shortcut.
    TMenuItem* folderLink = Entry(menu, L"folder link");
    ASSERT_NE(nullptr, folderLink);
    EXPECT_EQ(3, folderLink->Count());
    EXPECT_TRUE(EqualsIgnoreCase(elsewhere / L"target", env.TagPath(*folderLink)));
    TMenuItem* fileLink = Entry(menu, L"file link");
    ASSERT_NE(nullptr, fileLink);
    EXPECT_EQ(0, fileLink->Count());
    EXPECT_TRUE(EqualsIgnoreCase(desktop / L"file link.lnk", env.TagPath(*fileLink)));
    EXPECT_FALSE(menu.Items(2)->Visible);
    EXPECT_EQ(L"画面のプロパティ", menu.Items(0)->Caption);
}

TEST(BuildHistoryMenu, FoldersInTheShellsOrderThenFilesSorted) {
    FilledSpecialFolder history(CSIDL_HISTORY);
    ScratchDir elsewhere;
    MakeDir(elsewhere / L"target");
    MakeDirsAndFiles(history, {L"Week 3", L"today", L"_old", L"Monday", L"archive"},
                     {L"zeta.txt", L"Alpha.txt", L"_mid.txt"});
    MakeShortcut(history / L"beta link.lnk", elsewhere / L"target");

    MenuEnv env;
    env.Prepare();
    TMenuItem& menu = *env.menu.HistoryMenuItem;
    env.menu.PopUpMenu_HistoryItemsClick(&menu);

    const auto [folders, files] = GroupChildren(env, env.menu.HistoryPIDL);
    ASSERT_EQ(5u, folders.size());
    EXPECT_EQ(Join(folders, SortedNames(files)), env.Captions(menu));
    EXPECT_NE(SortedNames(folders), folders) << "the shell enumerated the folders sorted";
    EXPECT_NE(SortedNames(files), files) << "the shell enumerated the files sorted";

    // Here a shortcut to a folder is a plain item that opens the shortcut.
    TMenuItem* link = Entry(menu, L"beta link");
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(0, link->Count());
    EXPECT_TRUE(EqualsIgnoreCase(history / L"beta link.lnk", env.TagPath(*link)));
}

TEST(BuildFavoritesMenu, NamesEqualButForCaseGiveOneEntryThatOpensTheLaterOne) {
    FilledSpecialFolder favorites(CSIDL_FAVORITES);
    ScratchDir elsewhere;
    MakeFile(elsewhere / L"target.txt");
    // The shell hides both extensions: "Twin" and "twin".
    MakeInternetShortcut(favorites / L"Twin.url", L"http://example.invalid/");
    MakeShortcut(favorites / L"twin.lnk", elsewhere / L"target.txt");
    MakeFile(favorites / L"other.txt");

    MenuEnv env;
    env.Prepare();
    std::vector<ShellChild> twins;
    for (ShellChild& child :
         EnumerateChildren(env, env.menu.FavoritesPIDL, env.shell.FolderEnumFlags))
        if (EqualsIgnoreCase(child.name, L"twin"))
            twins.push_back(std::move(child));
    ASSERT_EQ(2u, twins.size());

    TMenuItem& menu = *env.menu.FavoritesMenuItem;
    env.menu.PopUpMenu_FavoriteItemsClick(&menu);
    EXPECT_EQ((Names{L"other.txt", twins[0].name}), env.Captions(menu));
    TMenuItem* twin = Entry(menu, twins[0].name);
    ASSERT_NE(nullptr, twin);
    EXPECT_TRUE(EqualsIgnoreCase(twins[1].path, env.TagPath(*twin)))
        << testing::PrintToString(env.TagPath(*twin));
}

// R: is a CD-ROM drive and S: a floppy drive of the test's prefix.
TEST(BuildRecentMenu, KeepsShortcutsToReachableDocumentsAndLeavesMediaAlone) {
    FilledSpecialFolder recent(CSIDL_RECENT);
    ScratchDir elsewhere, cd(L"R:\\"), floppy(L"S:\\");
    MakeFile(elsewhere / L"doc.txt");
    MakeFile(elsewhere / L"gone.txt");
    MakeDir(elsewhere / L"dir");
    MakeFile(cd / L"disc.txt");
    MakeDir(cd / L"disc folder");
    MakeFile(floppy / L"disk.txt");
    MakeShortcut(recent / L"Document.lnk", elsewhere / L"doc.txt");
    MakeShortcut(recent / L"Deleted.lnk", elsewhere / L"gone.txt");
    MakeShortcut(recent / L"Folder.lnk", elsewhere / L"dir");
    MakeShortcut(recent / L"Disc.lnk", cd / L"disc.txt");
    MakeShortcut(recent / L"Disc folder.lnk", cd / L"disc folder");
    MakeShortcut(recent / L"Floppy.lnk", floppy / L"disk.txt");
    MakeShortcut(recent / L"Disc root.lnk", L"R:\\");
    MakeShortcut(recent / L"Floppy root.lnk", L"S:\\");
    MakeFile(recent / L"plain.txt"); // not a shortcut
    MakeDir(recent / L"Subfolder");  // folders are not read here
    std::filesystem::remove(elsewhere / L"gone.txt");
    // Documents on media are listed without looking: these are gone and still listed.
    std::filesystem::remove(cd / L"disc.txt");
    std::filesystem::remove(floppy / L"disk.txt");

    MenuEnv env;
    int probes = 0;
    env.shell.DriveReady = [&](const std::wstring&) {
        ++probes;
        return true;
    };
    env.Prepare();
    TMenuItem& menu = *env.menu.RecentMenuItem;
    env.menu.PopupMenu_RecentItemsClick(&menu);
    EXPECT_EQ(SortedNames({L"Document", L"Disc", L"Disc folder", L"Floppy"}), env.Captions(menu));
    EXPECT_EQ(0, probes);
    TMenuItem* document = Entry(menu, L"Document");
    ASSERT_NE(nullptr, document);
    EXPECT_EQ(0, document->Count());
    EXPECT_TRUE(EqualsIgnoreCase(recent / L"Document.lnk", env.TagPath(*document)));
}

TEST(BuildProgramMenu, AllUsersProgramsFollowUnderTheirHeading) {
    FilledSpecialFolder own(CSIDL_PROGRAMS), common(CSIDL_COMMON_PROGRAMS);
    MakeDirsAndFiles(own, {L"Own Tools"}, {L"own.txt", L"another.txt"});
    MakeDirsAndFiles(common, {L"Shared Tools"}, {L"shared.txt"});

    MenuEnv env;
    env.menu.NTPlatform = true;
    env.Prepare();
    // Each folder's own folders, then its files, each group sorted.
    auto listing = [&](PCIDLIST_ABSOLUTE folder) {
        const Groups groups = GroupChildren(env, folder);
        return Join(SortedNames(groups.folders), SortedNames(groups.files));
    };
    const Names ownNames = listing(env.menu.ProgramsPIDL);
    const Names commonNames = listing(env.menu.CommonProgramsPIDL.get());
    ASSERT_GE(ownNames.size(), 3u);

    TMenuItem& menu = *env.menu.ProgramMenuItem;
    env.menu.PopupMenu_ProgramClick(&menu);
    EXPECT_EQ(Join(Join(ownNames, {L"-", kAllUsers, L"-"}), commonNames), env.Captions(menu));
    const int headingAt = 3 + static_cast<int>(ownNames.size()) + 1;
    ASSERT_GT(menu.Count(), headingAt + 1);
    for (int i = headingAt - 1; i <= headingAt + 1; ++i)
        EXPECT_TRUE(menu.Items(i)->Visible) << i;
    EXPECT_FALSE(menu.Items(2)->Visible);

    // The heading opens the all-users folder and is painted like the entries.
    TMenuItem* heading = menu.Items(headingAt);
    EXPECT_TRUE(EqualsIgnoreCase(common.Path().wstring(), env.TagPath(*heading)));
    EXPECT_TRUE(static_cast<bool>(heading->OnDrawItem));
    TMenuItem* chosen = nullptr;
    env.menu.PopupMenu_ItemClick = [&](TMenuItem* sender) { chosen = sender; };
    ASSERT_TRUE(static_cast<bool>(heading->OnClick));
    heading->OnClick(heading);
    EXPECT_EQ(heading, chosen);

    TMenuItem* shared = Entry(menu, L"Shared Tools");
    ASSERT_NE(nullptr, shared);
    EXPECT_GT(shared->MenuIndex(), headingAt + 1);
    EXPECT_EQ(3, shared->Count());
    TMenuItem* sharedFile = Entry(menu, L"shared.txt");
    ASSERT_NE(nullptr, sharedFile);
    EXPECT_TRUE(EqualsIgnoreCase(common / L"shared.txt", env.TagPath(*sharedFile)));
}

TEST(BuildProgramMenu, WithoutNTTheSectionStaysHiddenAndTheMarkerNeverShows) {
    // Emptied: the prefix's own Programs folder holds Wine's entries.
    FilledSpecialFolder own(CSIDL_PROGRAMS, true), common(CSIDL_COMMON_PROGRAMS);
    MakeFile(common / L"shared.txt"); // not read at all

    MenuEnv env;
    env.menu.NTPlatform = false;
    std::vector<int> asked;
    auto shellLocation = env.menu.SpecialFolderLocation;
    env.menu.SpecialFolderLocation = [&](int csidl, PIDLIST_ABSOLUTE* pidl) {
        asked.push_back(csidl);
        return shellLocation(csidl, pidl);
    };
    env.Prepare();
    EXPECT_FALSE(env.menu.CommonProgramsPIDL);
    ASSERT_TRUE(EnumerateChildren(env, env.menu.ProgramsPIDL, env.shell.FolderEnumFlags).empty())
        << "the user's own Programs folder starts empty";

    TMenuItem& menu = *env.menu.ProgramMenuItem;
    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(opening);
        env.menu.PopupMenu_ProgramClick(&menu);
        ASSERT_EQ((Names{L"-", kAllUsers, L"-"}), env.Captions(menu));
        for (int i = 3; i < 6; ++i)
            EXPECT_FALSE(menu.Items(i)->Visible) << i;
        EXPECT_FALSE(menu.Items(2)->Visible);
    }
    MakeFile(own / L"own.txt");
    env.menu.PopupMenu_ProgramClick(&menu);
    EXPECT_EQ((Names{L"own.txt", L"-", kAllUsers, L"-"}), env.Captions(menu));
    EXPECT_EQ(asked.end(), std::find(asked.begin(), asked.end(), CSIDL_COMMON_PROGRAMS));
}

// Every builder: an unchanged folder keeps its items (and what was read below them), and a
// change replaces them.
TEST(SpecialFolderMenus, AnUnchangedFolderIsBuiltOnce) {
    struct Builder {
        const char* name;
        int csidl;
        TMenuItem* TLauncherMenu::*item;
        void (TLauncherMenu::*open)(TMenuItem*);
    };
    const Builder builders[] = {
        {"desktop", CSIDL_DESKTOPDIRECTORY, &TLauncherMenu::DesktopMenuItem,
         &TLauncherMenu::PopupMenu_DesktopClick},
        {"programs", CSIDL_PROGRAMS, &TLauncherMenu::ProgramMenuItem,
         &TLauncherMenu::PopupMenu_ProgramClick},
        {"documents", CSIDL_PERSONAL, &TLauncherMenu::MyDocumentsMenuItem,
         &TLauncherMenu::PopupMenu_MyDocumentsClick},
        {"recent", CSIDL_RECENT, &TLauncherMenu::RecentMenuItem,
         &TLauncherMenu::PopupMenu_RecentItemsClick},
        {"favorites", CSIDL_FAVORITES, &TLauncherMenu::FavoritesMenuItem,
         &TLauncherMenu::PopUpMenu_FavoriteItemsClick},
        {"history", CSIDL_HISTORY, &TLauncherMenu::HistoryMenuItem,
         &TLauncherMenu::PopUpMenu_HistoryItemsClick},
    };
    for (const Builder& builder : builders) {
        SCOPED_TRACE(builder.name);
        FilledSpecialFolder folder(builder.csidl);
        ScratchDir elsewhere;
        MakeFile(elsewhere / L"doc.txt");
        MakeFile(elsewhere / L"later.txt");
        const bool recent = builder.csidl == CSIDL_RECENT; // lists shortcuts to files only
        if (recent) {
            MakeShortcut(folder / L"doc.lnk", elsewhere / L"doc.txt");
        } else {
            MakeDir(folder / L"Sub");
            MakeFile(folder / L"Sub\\inner.txt");
            MakeFile(folder / L"doc.txt");
        }
        MenuEnv env;
        env.Prepare();
        TMenuItem& menu = *(env.menu.*builder.item);
        (env.menu.*builder.open)(&menu);
        TMenuItem* sub = Entry(menu, L"Sub");
        if (!recent) {
            ASSERT_NE(nullptr, sub);
            env.menu.PopupMenu_FolderClick(sub);
            ASSERT_EQ(Names{L"inner.txt"}, env.Captions(*sub));
        }
        std::vector<TMenuItem*> items;
        for (int i = 0; i < menu.Count(); ++i)
            items.push_back(menu.Items(i));
        const int pooled = env.shell.ItemIdPool.Count();

        (env.menu.*builder.open)(&menu);
        std::vector<TMenuItem*> again;
        for (int i = 0; i < menu.Count(); ++i)
            again.push_back(menu.Items(i));
        EXPECT_EQ(items, again);
        EXPECT_EQ(pooled, env.shell.ItemIdPool.Count());
        EXPECT_EQ(pooled, env.shell.IconHandlePool.Count());
        if (sub) {
            EXPECT_EQ(Names{L"inner.txt"}, env.Captions(*sub)) << "what was read below stays";
        }

        if (recent)
            MakeShortcut(folder / L"later.lnk", elsewhere / L"later.txt");
        else
            MakeFile(folder / L"later.txt");
        (env.menu.*builder.open)(&menu);
        EXPECT_NE(nullptr, Entry(menu, recent ? L"later" : L"later.txt"));
        EXPECT_GT(env.shell.ItemIdPool.Count(), pooled);
    }
}

// Replaces one value under the shell's "Shell Folders" key for a test and puts it back.
class ShellFoldersValue {
public:
    explicit ShellFoldersValue(std::wstring name) : name_(std::move(name)) {
        EXPECT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0,
                                                   KEY_ALL_ACCESS, nullptr, &key_, nullptr));
        wchar_t buffer[MAX_PATH * 2] = {};
        DWORD size = sizeof buffer;
        had_ = ::RegGetValueW(key_, nullptr, name_.c_str(), RRF_RT_REG_SZ, nullptr, buffer,
                              &size) == ERROR_SUCCESS;
        old_ = buffer;
    }
    ~ShellFoldersValue() {
        if (had_)
            Set(old_);
        else
            ::RegDeleteValueW(key_, name_.c_str());
        ::RegCloseKey(key_);
    }
    ShellFoldersValue(const ShellFoldersValue&) = delete;
    ShellFoldersValue& operator=(const ShellFoldersValue&) = delete;
    void Set(const std::wstring& value) {
        EXPECT_EQ(ERROR_SUCCESS,
                  ::RegSetValueExW(key_, name_.c_str(), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(value.c_str()),
                                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))));
    }

private:
    static constexpr wchar_t kKey[] =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    std::wstring name_;
    HKEY key_ = nullptr;
    bool had_ = false;
    std::wstring old_;
};

// Wine's shell always supplies My Documents and History (it creates them on demand), so the
// seam makes the shell fail them as a system without them would.
TEST(PreparePIDLs, MissingMyDocumentsAndHistoryComeFromShellFolders) {
    struct Case {
        int csidl;
        const wchar_t* value;
        TMenuItem* TLauncherMenu::*item;
        void (TLauncherMenu::*open)(TMenuItem*);
        bool TLauncherMenu::*unavailable;
        const wchar_t* openCaption;
    };
    const Case cases[] = {
        {CSIDL_PERSONAL, L"Personal", &TLauncherMenu::MyDocumentsMenuItem,
         &TLauncherMenu::PopupMenu_MyDocumentsClick, &TLauncherMenu::MyDocumentsUnavailable,
         L"マイ ドキュメント"},
        {CSIDL_HISTORY, L"History", &TLauncherMenu::HistoryMenuItem,
         &TLauncherMenu::PopUpMenu_HistoryItemsClick, &TLauncherMenu::HistoryUnavailable, L"履歴"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.value)));
        ScratchDir dir;
        MakeFile(dir / L"registered.txt");
        ShellFoldersValue value(c.value);
        auto withoutFolder = [&](MenuEnv& env) {
            auto shellLocation = env.menu.SpecialFolderLocation;
            env.menu.SpecialFolderLocation = [csidl = c.csidl,
                                              shellLocation](int asked, PIDLIST_ABSOLUTE* pidl) {
                return asked == csidl ? E_FAIL : shellLocation(asked, pidl);
            };
            env.Prepare();
        };
        {
            value.Set(dir.Path().wstring());
            MenuEnv env;
            withoutFolder(env);
            EXPECT_FALSE(env.menu.*c.unavailable);
            TMenuItem& menu = *(env.menu.*c.item);
            EXPECT_TRUE(menu.Visible);
            EXPECT_TRUE(EqualsIgnoreCase(dir.Path().wstring(), env.TagPath(menu)));
            (env.menu.*c.open)(&menu);
            EXPECT_EQ(Names{L"registered.txt"}, env.Captions(menu));
        }
        {
            // A path that is not there leaves the item hidden, with only its header.
            value.Set(dir / L"missing");
            MenuEnv env;
            withoutFolder(env);
            EXPECT_TRUE(env.menu.*c.unavailable);
            TMenuItem& menu = *(env.menu.*c.item);
            EXPECT_FALSE(menu.Visible);
            EXPECT_EQ(0, menu.Tag);
            EXPECT_FALSE(static_cast<bool>(menu.OnClick));
            ASSERT_EQ(3, menu.Count());
            EXPECT_EQ(c.openCaption, menu.Items(0)->Caption);
            env.menu.SetSpecialMenuVisible(&menu, true);
            EXPECT_FALSE(menu.Visible);
        }
    }
}

// The Programs build takes the all-users folder from the shell again while it runs; that is
// where this test asks for other openings, as the menu could while a build is under way.
TEST(OpeningHandlers, AnOpeningWhileABuildRunsDoesNothing) {
    FilledSpecialFolder own(CSIDL_PROGRAMS);
    MakeFile(own / L"own.txt");
    MenuEnv env;
    env.menu.NTPlatform = true;
    auto shellLocation = env.menu.SpecialFolderLocation;
    bool sawBuilding = false, failAllUsers = false;
    int depth = 0;
    env.menu.SpecialFolderLocation = [&](int csidl, PIDLIST_ABSOLUTE* pidl) {
        if (csidl == CSIDL_COMMON_PROGRAMS && env.menu.ProgramMenuItem && depth == 0) {
            ++depth;
            sawBuilding = env.menu.MenuBuilding;
            env.menu.PopupMenu_DesktopClick(env.menu.DesktopMenuItem);
            env.menu.PopupMenu_ProgramClick(env.menu.ProgramMenuItem);
            --depth;
            if (failAllUsers)
                return E_FAIL;
        }
        return shellLocation(csidl, pidl);
    };
    env.Prepare();
    TMenuItem& desktop = *env.menu.DesktopMenuItem;
    TMenuItem& programs = *env.menu.ProgramMenuItem;

    env.menu.PopupMenu_ProgramClick(&programs);
    EXPECT_TRUE(sawBuilding);
    EXPECT_FALSE(env.menu.MenuBuilding);
    EXPECT_EQ(3, desktop.Count()) << "the Desktop opening during the build did nothing";
    const Names built = env.Captions(programs);
    EXPECT_NE(nullptr, Entry(programs, L"own.txt"));
    EXPECT_EQ(1, std::count(built.begin(), built.end(), std::wstring(kAllUsers)));
    env.menu.PopupMenu_DesktopClick(&desktop);
    EXPECT_GT(desktop.Count(), 3) << "after the build, openings build again";

    // A build that fails still lets the next opening build.
    MakeFile(own / L"second.txt");
    failAllUsers = true;
    EXPECT_THROW(env.menu.PopupMenu_ProgramClick(&programs), std::runtime_error);
    EXPECT_FALSE(env.menu.MenuBuilding);
    failAllUsers = false;
    env.menu.PopupMenu_ProgramClick(&programs);
    EXPECT_NE(nullptr, Entry(programs, L"second.txt"));
}

} // namespace
} // namespace tolvern::test
