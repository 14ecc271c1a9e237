// Reading folders into submenus on the real shell: order, filtering, re-reading, columns,
// progress hint and Esc abort.
#include "shell_fixture.h"

#include "base/text.h"
#include "framework/hint_window.h"
#include "menu/name_list.h"
#include "support/gui_objects.h"

namespace tolvern::test {
namespace {

using Names = std::vector<std::wstring>;

TEST(GetSubItems2, FoldersFirstSortedInADirectory) {
    ShellEnv env;
    ScratchDir dir;
    for (const wchar_t* name : {L"beta", L"Alpha", L"gamma"})
        MakeDir(dir / name);
    for (const wchar_t* name : {L"zed.txt", L"Apple.txt", L"mid.txt"})
        MakeFile(dir / name);
    TMenuItem* item = env.FolderItem(env.Pidl(dir.Path().wstring()));
    env.shell.GetSubItems2(item);
    EXPECT_EQ((Names{L"Alpha", L"beta", L"gamma", L"Apple.txt", L"mid.txt", L"zed.txt"}),
              env.Captions(*item));
    EXPECT_FALSE(item->Items(2)->Visible) << "the empty marker hides";
    EXPECT_EQ(L"OPENED", item->Items(0)->Hint);
    // Folder entries are unread folder items; file entries have no children.
    EXPECT_EQ(3, item->Items(3)->Count());
    EXPECT_EQ(L"Alpha", item->Items(3)->Items(0)->Caption);
    EXPECT_EQ(item->Items(3)->Tag, item->Items(3)->Items(0)->Tag);
    EXPECT_EQ(0, item->Items(6)->Count());
    std::wstring path;
    ASSERT_TRUE(GetPathFromPIDL(env.shell.ItemIdPool[static_cast<int>(item->Items(8)->Tag)], path));
    EXPECT_TRUE(EqualsIgnoreCase(dir / L"zed.txt", path));
}

TEST(GetSubItems2, AFolderPathOfMaxPathOrMoreReadsAsAFileSystemFolder) {
    ShellEnv env;
    ScratchDir dir;
    std::wstring parent = dir.Path().wstring();
    std::vector<std::wstring> made; // deepest last
    for (int level = 0; level < 3; ++level) {
        parent += L"\\" + std::wstring(60, static_cast<wchar_t>(L'a' + level));
        made.push_back(parent);
    }
    const std::wstring longDir = parent + L"\\" + std::wstring(280 - parent.size(), L'z');
    made.push_back(longDir);
    for (const std::wstring& d : made)
        ASSERT_TRUE(::CreateDirectoryW(LongPathForm(d).c_str(), nullptr)) << d.size();
    const std::vector<std::wstring> files = {longDir + L"\\note.txt", longDir + L"\\a.txt",
                                             longDir + L"\\unknown.xyz"};
    for (const std::wstring& f : files)
        UniqueHandleObject(::CreateFileW(LongPathForm(f).c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_NEW, 0, nullptr));
    struct Cleanup {
        const std::vector<std::wstring>& files;
        const std::vector<std::wstring>& dirs;
        ~Cleanup() {
            for (const std::wstring& f : files)
                ::DeleteFileW(LongPathForm(f).c_str());
            for (auto d = dirs.rbegin(); d != dirs.rend(); ++d)
                ::RemoveDirectoryW(LongPathForm(*d).c_str());
        }
    } cleanup{files, made};

    EXPECT_TRUE(IsDirAccessible(longDir));
    EXPECT_FALSE(IsDirAccessible(longDir + L"\\missing"));

    TMenuItem* item = env.FolderItem(env.Pidl(parent));
    env.shell.GetSubItems2(item);
    ASSERT_EQ(4, item->Count());
    TMenuItem* longItem = item->Items(3);
    const std::wstring known = env.shell.KnownPath(static_cast<int>(longItem->Tag));
    EXPECT_TRUE(EqualsIgnoreCase(longDir, known)) << known;
    // Read as a directory (through the file system, where the shell's lists end): sorted, and
    // the file no program opens is left out.
    env.shell.GetSubItems2(longItem);
    EXPECT_EQ((Names{L"a.txt", L"note.txt"}), env.Captions(*longItem));
}

TEST(GetSubItems2, MyComputerKeepsTheShellsOrder) {
    ShellEnv env;
    UniquePidl drives = env.Special(CSIDL_DRIVES);
    Names shellOrder;
    for (const ShellChild& child : EnumerateChildren(env, drives.get(), env.shell.FolderEnumFlags))
        shellOrder.push_back(child.name);
    ASSERT_GE(shellOrder.size(), 3u) << "C:, R:, S: and Z: at least";

    TMenuItem* item = env.FolderItem(std::move(drives));
    env.shell.GetSubItems2(item);
    EXPECT_EQ(shellOrder, env.Captions(*item));
}

TEST(GetSubItems2, ControlPanelAndRecycleBinAreRead) {
    ShellEnv env;
    TMenuItem* controls = env.FolderItem(env.Special(CSIDL_CONTROLS));
    env.shell.GetSubItems2(controls);
    Names captions = env.Captions(*controls);
    EXPECT_FALSE(captions.empty());
    EXPECT_EQ(SortedNames(captions), captions);
    // Control-panel objects that enumerate nothing are plain items.
    for (int i = 3; i < controls->Count(); ++i)
        EXPECT_EQ(0, controls->Items(i)->Count()) << testing::PrintToString(captions[i - 3]);

    TMenuItem* bin = env.FolderItem(env.Special(CSIDL_BITBUCKET));
    env.shell.GetSubItems2(bin);
    EXPECT_EQ(3, bin->Count());
    EXPECT_TRUE(bin->Items(2)->Visible);
}

TEST(GetSubItems2, EqualNamesMergeIntoOneEntry) {
    ShellEnv env;
    ScratchDir dir;
    MakeFile(dir / L"target.txt");
    // The shell hides both extensions, so both show as "Twin".
    MakeShortcut(dir / L"Twin.lnk", dir / L"target.txt");
    MakeInternetShortcut(dir / L"twin.url", L"http://example.invalid/");
    TMenuItem* item = env.FolderItem(env.Pidl(dir.Path().wstring()));
    env.shell.GetSubItems2(item);
    const Names captions = env.Captions(*item);
    ASSERT_EQ(2u, captions.size());
    EXPECT_EQ(L"target.txt", captions[0]);
    EXPECT_TRUE(EqualsIgnoreCase(L"twin", captions[1]));

    // Two folders of one name (a folder and a shortcut to another, whose path is not known yet),
    // in either order: the list kept brings its own path, which its children are read against.
    const std::wstring a = dir / L"A", b = dir / L"B";
    MakeDir(a);
    MakeDir(b);
    auto merge = [&](const std::wstring& first, const std::wstring& firstKnown,
                     const std::wstring& second, const std::wstring& secondKnown) {
        std::vector<NamedPidl> list;
        list.push_back({L"Twin", env.Pidl(first), {}, firstKnown});
        list.push_back({L"twin", env.Pidl(second), {}, secondKnown});
        SortAndMerge(list);
        EXPECT_EQ(1u, list.size());
        std::wstring listPath;
        GetPathFromPIDL(list[0].pidl.get(), listPath);
        return std::vector<std::wstring>{list[0].caption, ToUpperInvariant(listPath),
                                         ToUpperInvariant(list[0].path)};
    };
    const std::wstring A = ToUpperInvariant(a), B = ToUpperInvariant(b);
    EXPECT_EQ((std::vector<std::wstring>{L"Twin", B, B}), merge(a, a, b, b));
    EXPECT_EQ((std::vector<std::wstring>{L"Twin", B, L""}), merge(a, a, b, L""));
    EXPECT_EQ((std::vector<std::wstring>{L"Twin", A, A}), merge(b, L"", a, a));
}

TEST(GetSubItems2, UnassociatedFilesAreLeftOutUnlessAsked) {
    ShellEnv env;
    ScratchDir dir;
    MakeFile(dir / L"odd.xyzq");
    MakeFile(dir / L"note.txt");
    MakeShortcut(dir / L"to-odd.lnk", dir / L"odd.xyzq");
    MakeDir(dir / L"sub");
    MakeShortcut(dir / L"to-sub.lnk", dir / L"sub");
    TMenuItem* item = env.FolderItem(env.Pidl(dir.Path().wstring()));
    env.shell.GetSubItems2(item);
    EXPECT_EQ((Names{L"sub", L"to-sub", L"note.txt", L"to-odd"}), env.Captions(*item));
    // The shortcut to a folder is a folder item that refers to the folder itself.
    TMenuItem* toSub = item->Items(4);
    EXPECT_EQ(3, toSub->Count());
    std::wstring path;
    ASSERT_TRUE(GetPathFromPIDL(env.shell.ItemIdPool[static_cast<int>(toSub->Tag)], path));
    EXPECT_TRUE(EqualsIgnoreCase(dir / L"sub", path));

    env.settings.DoNotViewUnassociatedItems = false;
    TMenuItem* all = env.FolderItem(env.Pidl(dir.Path().wstring()));
    env.shell.GetSubItems2(all);
    EXPECT_EQ((Names{L"sub", L"to-sub", L"note.txt", L"odd.xyzq", L"to-odd"}), env.Captions(*all));
}

// The fast classification from the bound folder must agree with the per-item routines.
TEST(GetSubItems2, ClassifiesLikeThePerItemTests) {
    ShellEnv env;
    ScratchDir dir;
    MakeDir(dir / L"sub");
    MakeDir(dir / L"sub.with.dots");
    MakeFile(dir / L"note.txt");
    MakeFile(dir / L"odd.xyzq");
    MakeFile(dir / L"noext");
    MakeShortcut(dir / L"to-sub.lnk", dir / L"sub");
    MakeShortcut(dir / L"to-note.lnk", dir / L"note.txt");
    MakeInternetShortcut(dir / L"site.url", L"http://example.invalid/");
    for (const std::wstring& base : {dir.Path().wstring(), std::wstring(L"R:\\")}) {
        SCOPED_TRACE(testing::PrintToString(base));
        if (base == L"R:\\")
            std::filesystem::copy(dir.Path(), L"R:\\mixed",
                                  std::filesystem::copy_options::recursive);
        const std::wstring folder = base == L"R:\\" ? L"R:\\mixed" : base;
        TMenuItem* item = env.FolderItem(env.Pidl(folder));
        env.shell.GetSubItems2(item);
        TAssociatedExtCache cache;
        for (int i = 3; i < item->Count(); ++i) {
            TMenuItem* entry = item->Items(i);
            PCIDLIST_ABSOLUTE pidl = env.shell.ItemIdPool[static_cast<int>(entry->Tag)];
            const bool isFolder = entry->Count() > 0;
            SCOPED_TRACE(testing::PrintToString(entry->Caption));
            EXPECT_EQ(isFolder, IsFolderItem(pidl));
            if (!isFolder) {
                EXPECT_TRUE(IsLinkItem(pidl) || IsAssociatedFile(cache, pidl));
            }
        }
        // Left out: the unassociated files; on a CD "noext" counts as a folder and
        // "sub.with.dots" as an unassociated file.
        const Names expected =
            base == L"R:\\"
                ? Names{L"noext", L"sub", L"to-sub", L"note.txt", L"site", L"to-note"}
                : Names{L"sub", L"sub.with.dots", L"to-sub", L"note.txt", L"site", L"to-note"};
        EXPECT_EQ(expected, env.Captions(*item));
        std::error_code ignored;
        std::filesystem::remove_all(L"R:\\mixed", ignored);
    }
}

// Items whose read found them to show their class's icon take the first painted one's icon
// without asking the shell; types that give each file its own icon, customisable folders and
// shortcuts are asked one by one.
TEST(GetSubItems2, ItemsOfOneIconClassShareOneIcon) {
    ShellEnv env;
    env.settings.DoNotViewUnassociatedItems = false;
    ScratchDir dir;
    Associate(L".zzq");
    SetClassesValue(L"tolverntestzzq\\DefaultIcon", L"%1"); // the file is its own icon
    Associate(L".zzh");
    SetClassesValue(L"tolverntestzzh\\shellex\\IconHandler",
                    L"{00000000-0000-0000-0000-000000000001}");
    struct Cleanup {
        ~Cleanup() {
            Dissociate(L".zzq");
            Dissociate(L".zzh");
        }
    } cleanup;
    MakeDir(dir / L"sub");
    MakeDir(dir / L"custom");
    // Wine keeps DOS attributes only where the file system can hold them.
    const bool systemKept =
        ::SetFileAttributesW((dir / L"custom").c_str(), FILE_ATTRIBUTE_SYSTEM) &&
        (::GetFileAttributesW((dir / L"custom").c_str()) & FILE_ATTRIBUTE_SYSTEM);
    for (const wchar_t* name : {L"a.txt", L"B.TXT", L"c.zzq", L"d.zzh", L"e.exe", L"noext"})
        MakeFile(dir / name);
    MakeShortcut(dir / L"f.lnk", dir / L"a.txt");
    MakeInternetShortcut(dir / L"g.url", L"http://example.invalid/");
    MakeShortcut(dir / L"h.lnk", dir / L"sub");
    MakeShortcut(dir / L"i.lnk", dir / L"c.zzq");
    TMenuItem* item = env.FolderItem(env.Pidl(dir.Path().wstring()));
    env.shell.GetSubItems2(item);
    ASSERT_EQ((Names{L"custom", L"h", L"sub", L"a.txt", L"B.TXT", L"c.zzq", L"d.zzh", L"e.exe",
                     L"f", L"g", L"i", L"noext"}),
              env.Captions(*item));
    Names classes;
    for (int i = 3; i < item->Count(); ++i)
        classes.push_back(
            env.shell.IconHandlePool.Hint(static_cast<int>(item->Items(i)->Tag)).sharedClass);
    EXPECT_EQ((Names{systemKept ? L"" : L"folder", L"folder", L"folder", L"file.TXT", L"file.TXT",
                     L"", L"", L"", L"file.TXT", L"url", L"", L"file"}),
              classes);

    // Painted from the last: the class's icon is the one the shell gives its first member.
    std::vector<HICON> icons(item->Count());
    for (int i = item->Count() - 1; i >= 3; --i)
        icons[i] = env.shell.PoolIcon(static_cast<int>(item->Items(i)->Tag));
    EXPECT_EQ(icons[3 + 3], icons[3 + 4]) << "a.txt and B.TXT";
    EXPECT_EQ(icons[3 + 3], icons[3 + 8]) << "a.txt and its shortcut, without arrow";
    auto shellIcon = [&](const std::wstring& path) {
        SHFILEINFOW info{};
        ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(env.Pidl(path).get()), 0, &info, sizeof info,
                         SHGFI_PIDL | SHGFI_ICON | SHGFI_SMALLICON);
        return UniqueIcon(info.hIcon);
    };
    for (int i = 3; i < item->Count(); ++i) {
        SCOPED_TRACE(testing::PrintToString(item->Items(i)->Caption));
        const std::wstring ext = ToUpperInvariant(ExtractFileExt(env.TagPath(*item->Items(i))));
        if (ext != L".LNK" && ext != L".URL") {
            EXPECT_EQ(IconPixels(shellIcon(env.TagPath(*item->Items(i))).get()),
                      IconPixels(icons[i]));
        }
    }
}

TEST(GetSubItems2, UnchangedFolderKeepsItsItemsAndTheirSubmenus) {
    ShellEnv env;
    ScratchDir dir;
    MakeDir(dir / L"sub");
    MakeFile(dir / L"sub\\inner.txt");
    MakeFile(dir / L"file.txt");
    TMenuItem* item = env.FolderItem(env.Pidl(dir.Path().wstring()));
    env.shell.GetSubItems2(item);
    TMenuItem* sub = item->Items(3);
    TMenuItem* file = item->Items(4);
    env.shell.GetSubItems2(sub);
    ASSERT_EQ(4, sub->Count());
    const int pooled = env.shell.ItemIdPool.Count();

    TMenuItem* again = item;
    env.shell.GetSubItems2(again);
    EXPECT_EQ(item, again);
    EXPECT_EQ(sub, item->Items(3));
    EXPECT_EQ(file, item->Items(4));
    EXPECT_EQ(4, sub->Count()) << "the read submenu below stays filled";
    EXPECT_EQ(pooled, env.shell.ItemIdPool.Count());
    EXPECT_EQ(pooled, env.shell.IconHandlePool.Count());

    // A change replaces the entries.
    MakeFile(dir / L"added.txt");
    env.shell.GetSubItems2(item);
    EXPECT_EQ((Names{L"sub", L"added.txt", L"file.txt"}), env.Captions(*item));
    EXPECT_EQ(3, item->Items(3)->Count()) << "a new, unread folder item";
}

TEST(GetSubItems2, OpenedMarkAndCheckingEveryTime) {
    for (bool everyTime : {true, false}) {
        SCOPED_TRACE(everyTime);
        ShellEnv env;
        env.settings.DoNotCheckItemsEveryTime = everyTime;
        ScratchDir dir;
        MakeFile(dir / L"first.txt");
        TMenuItem* item = env.FolderItem(env.Pidl(dir.Path().wstring()));
        env.shell.GetSubItems2(item);
        MakeFile(dir / L"second.txt");
        env.shell.GetSubItems2(item);
        const Names expected = everyTime ? Names{L"first.txt", L"second.txt"} : Names{L"first.txt"};
        EXPECT_EQ(expected, env.Captions(*item));

        // An empty folder is never marked, so it is read at every opening.
        ScratchDir empty;
        TMenuItem* emptyItem = env.FolderItem(env.Pidl(empty.Path().wstring()));
        env.shell.GetSubItems2(emptyItem);
        EXPECT_EQ(L"", emptyItem->Items(0)->Hint);
        EXPECT_TRUE(emptyItem->Items(2)->Visible);
        MakeFile(empty / L"late.txt");
        env.shell.GetSubItems2(emptyItem);
        EXPECT_EQ(Names{L"late.txt"}, env.Captions(*emptyItem));
        EXPECT_FALSE(emptyItem->Items(2)->Visible);
    }
}

TEST(GetSubItems2, DriveWithoutMediumIsNotRead) {
    ShellEnv env;
    ScratchDir dir(L"S:\\");
    MakeFile(dir / L"file.txt");
    std::vector<std::wstring> probed;
    // Wine reports every drive ready, so the probe is replaced here.
    env.shell.DriveReady = [&](const std::wstring& root) {
        probed.push_back(root);
        return false;
    };
    TMenuItem* item = env.FolderItem(env.Pidl(dir.Path().wstring()));
    env.shell.GetSubItems2(item);
    EXPECT_EQ(Names{L"S:\\"}, probed);
    EXPECT_EQ(3, item->Count());
    EXPECT_EQ(0, env.shell.GetSubItemCount(env.Pidl(dir.Path().wstring()).get()));
    env.shell.DriveReady = IsDriveReady;
    EXPECT_EQ(1, env.shell.GetSubItemCount(env.Pidl(dir.Path().wstring()).get()));
    env.shell.GetSubItems2(item);
    EXPECT_EQ(Names{L"file.txt"}, env.Captions(*item));
}

TEST(BreakMenu, HundredFoldersOnTheScreenOfTheMonitorOfTheMenu) {
    ASSERT_EQ(768, ::GetSystemMetrics(SM_CYSCREEN));
    ShellEnv env;
    ASSERT_EQ(19, env.shell.MenuItemHeight());
    ScratchDir dir;
    for (int i = 1; i <= 100; ++i) {
        wchar_t name[16];
        swprintf(name, 16, L"f%03d", i);
        MakeDir(dir / name);
    }
    auto breaksOfARead = [&] {
        env.shell.BeginPopup();
        TMenuItem* item = env.FolderItem(env.Pidl(dir.Path().wstring()));
        env.shell.GetSubItems2(item);
        EXPECT_EQ(103, item->Count());
        EXPECT_TRUE(item->Items(2)->Break) << "the marker, visible while adding, took the first";
        std::vector<int> breaks; // entry numbers (from 1) that start a column
        for (int i = 3; i < item->Count(); ++i)
            if (item->Items(i)->Break)
                breaks.push_back(i - 2);
        return breaks;
    };
    // With no menu open, the primary monitor, 768 pixels high: open item, separator and 38
    // folders; then 39 folders; then the rest.
    EXPECT_EQ((std::vector<int>{39, 78}), breaksOfARead());
    // A menu open on a monitor 1024 pixels high (left of the primary one).
    env.shell.MenuMonitor = [] { return RECT{-1280, 0, 0, 1024}; };
    EXPECT_EQ((std::vector<int>{53}), breaksOfARead());

    // A taller menu bar (common on Windows) leaves the items, and so the columns, as they are.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    NONCLIENTMETRICSW tall = metrics;
    tall.iMenuHeight = 30;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof tall, &tall, 0));
    const int barHeight = ::GetSystemMetrics(SM_CYMENU);
    const int itemHeight = env.shell.MenuItemHeight();
    ::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    EXPECT_GE(barHeight, 30);
    EXPECT_EQ(19, itemHeight);
}

// What the Esc poll sees of the hint after every child and every added entry.
struct HintObservation {
    bool visible;
    std::wstring text;
    RECT rect;
};

class ProgressHintTest : public testing::Test {
protected:
    ShellEnv env;
    ScratchDir dir;
    THintWindow hint{nullptr};
    std::vector<HintObservation> seen;
    int escapeAt = 0; // poll number at which Esc is down; 0: never

    void SetUp() override {
        env.shell.ProgressHint = &hint;
        env.shell.EscapePressed = [this] {
            RECT rect{};
            ::GetWindowRect(hint.Handle(), &rect);
            seen.push_back({::IsWindowVisible(hint.Handle()) != FALSE, hint.Text(), rect});
            return escapeAt != 0 && static_cast<int>(seen.size()) == escapeAt;
        };
    }
    void Files(int count) {
        for (int i = 1; i <= count; ++i)
            MakeFile(dir / (L"file" + std::to_wstring(1000 + i) + L".txt"));
    }
    TMenuItem* Read() {
        TMenuItem* item = env.FolderItem(env.Pidl(dir.Path().wstring()));
        env.shell.GetSubItems2(item);
        return item;
    }
};

TEST_F(ProgressHintTest, NoHintUpToTheThreshold) {
    Files(200);
    Read();
    ASSERT_EQ(400u, seen.size());
    for (const HintObservation& observation : seen)
        ASSERT_FALSE(observation.visible);
}

TEST_F(ProgressHintTest, PlacedAfterTheThresholdAndShownEveryTenth) {
    Files(219);
    MakeDir(dir / L"sub");
    TMenuItem* item = Read();
    EXPECT_EQ(223, item->Count());
    EXPECT_FALSE(::IsWindowVisible(hint.Handle())) << "hidden at the end";
    ASSERT_EQ(220u + 220u, seen.size());
    const std::wstring title = kApplicationTitle;
    // Reading: child 201 places it without showing it; child 210 shows it first.
    for (int n = 1; n <= 209; ++n)
        ASSERT_FALSE(seen[n - 1].visible) << n;
    EXPECT_TRUE(seen[210 - 1].visible);
    EXPECT_EQ(title + L" - 210項目を読み取り中([ESC]で中断)", seen[210 - 1].text);
    EXPECT_EQ(title + L" - 210項目を読み取り中([ESC]で中断)", seen[219 - 1].text);
    EXPECT_EQ(title + L" - 220項目を読み取り中([ESC]で中断)", seen[220 - 1].text);
    // Adding: the 1st folder, then every 10th entry overall.
    EXPECT_EQ(title + L" - 1/220項目を追加中([ESC]で中断)", seen[220].text);
    EXPECT_EQ(title + L" - 1/220項目を追加中([ESC]で中断)", seen[228].text);
    EXPECT_EQ(title + L" - 10/220項目を追加中([ESC]で中断)", seen[229].text);
    EXPECT_EQ(title + L" - 220/220項目を追加中([ESC]で中断)", seen[439].text);

    // Bottom right of the screen, 16 pixels above its bottom edge, 4 pixels taller than the text.
    const RECT placed = env.shell.ProgressHintRect();
    const SIZE template_ = hint.TextExtent(title + L" - 000/000項目を処理中([ESC]で中断)");
    EXPECT_EQ(1024 - template_.cx, placed.left);
    EXPECT_EQ(752, placed.bottom);
    EXPECT_EQ(752 - template_.cy, placed.top);
    const RECT shown = seen[439].rect;
    const int width = hint.TextExtent(seen[439].text).cx + 6;
    EXPECT_EQ(width, shown.right - shown.left);
    // Wider than the template, it is moved back onto the screen.
    EXPECT_EQ(std::min(static_cast<int>(placed.left), 1024 - width), shown.left);
    EXPECT_EQ(placed.top, shown.top);
    EXPECT_EQ(template_.cy + 4, shown.bottom - shown.top);
}

TEST_F(ProgressHintTest, EscWhileEnumeratingLeavesTheSubmenuAsItWas) {
    Files(5);
    TMenuItem* item = Read();
    ASSERT_EQ(8, item->Count());
    TMenuItem* first = item->Items(3);
    MakeFile(dir / L"added.txt");
    seen.clear();
    escapeAt = 1;
    TMenuItem* same = item;
    env.shell.GetSubItems2(same);
    EXPECT_EQ(1u, seen.size()) << "stopped after the first child";
    EXPECT_EQ(item, same);
    EXPECT_EQ(8, item->Count());
    EXPECT_EQ(first, item->Items(3));
}

TEST_F(ProgressHintTest, EscWhileAddingReplacesTheItemWithAnUnreadOne) {
    Files(5);
    MakeDir(dir / L"sub");
    TMenuItem* item = env.FolderItem(env.Pidl(dir.Path().wstring()), L"My & Folder");
    item->ImageIndex = 4; // not carried over to the new item
    const INT_PTR tag = item->Tag;
    escapeAt = 6 + 3; // all six children read, then the third entry added
    TMenuItem* read = item;
    env.shell.GetSubItems2(read);
    EXPECT_EQ(9u, seen.size());
    EXPECT_EQ(-1, read->ImageIndex);
    EXPECT_EQ(read, env.root.Items(read->MenuIndex()));
    EXPECT_EQ(L"My & Folder", read->Caption);
    EXPECT_EQ(tag, read->Tag);
    ASSERT_EQ(3, read->Count());
    EXPECT_EQ(tag, read->Items(0)->Tag);
    EXPECT_EQ(L"", read->Items(0)->Hint);
    EXPECT_TRUE(read->Items(2)->Visible);
    escapeAt = 0;
    env.shell.GetSubItems2(read);
    EXPECT_EQ(9, read->Count());
}

TEST(Leaks, RepeatedReadsThenEmptyingReturnsEveryHandle) {
    ShellEnv env;
    ScratchDir dir;
    MakeDir(dir / L"sub");
    MakeFile(dir / L"note.txt");
    MakeShortcut(dir / L"to-note.lnk", dir / L"note.txt");
    MakeInternetShortcut(dir / L"site.url", L"http://example.invalid/");
    std::vector<HICON> icons;
    auto readAgainAndAgain = [&](int rounds) {
        for (int round = 0; round < rounds; ++round) {
            MakeFile(dir / (L"round" + std::to_wstring(icons.size()) + L".txt")); // new entries
            for (bool hideArrow : {true, false}) {
                env.settings.HideArrow = hideArrow;
                TMenuItem* item = env.FolderItem(env.Pidl(dir.Path().wstring()));
                env.shell.GetSubItems2(item);
                for (int i = 0; i < item->Count(); ++i)
                    if (HICON icon = env.shell.PoolIcon(static_cast<int>(item->Items(i)->Tag)))
                        icons.push_back(icon);
            }
        }
        env.root.Clear();
        env.shell.EmptyPools();
    };
    readAgainAndAgain(1); // the shell fills its own caches once
    const int gdiBefore = GdiObjectCount();
    const int userBefore = UserObjectCount();
    icons.clear();
    readAgainAndAgain(5);
    ASSERT_FALSE(icons.empty());
    std::printf("GDI objects %d before, %d after; icons taken %zu\n", gdiBefore, GdiObjectCount(),
                icons.size());
    EXPECT_GT(gdiBefore, 0) << "no way to count GDI objects here";
    EXPECT_EQ(gdiBefore, GdiObjectCount());
    EXPECT_EQ(userBefore, UserObjectCount());
    for (HICON icon : icons) {
        ICONINFO info{};
        EXPECT_FALSE(::GetIconInfo(icon, &info));
    }
}

} // namespace
} // namespace tolvern::test
