// Identifier lists, item tests, shortcuts, associations, names, icons and pools on the real
// shell.
#include "menu/item_icons.h"
#include "shell_fixture.h"

#include "base/com.h"
#include "base/text.h"

#include <cstring>

namespace tolvern::test {
namespace {

// Builds an identifier list from item sizes, each item filled with its own byte.
std::vector<BYTE> ListBytes(std::initializer_list<USHORT> sizes) {
    std::vector<BYTE> bytes;
    BYTE fill = 1;
    for (USHORT cb : sizes) {
        bytes.push_back(static_cast<BYTE>(cb & 0xFF));
        bytes.push_back(static_cast<BYTE>(cb >> 8));
        bytes.insert(bytes.end(), cb - 2, fill++);
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

PCUIDLIST_RELATIVE AsList(const std::vector<BYTE>& bytes) {
    return reinterpret_cast<PCUIDLIST_RELATIVE>(bytes.data());
}

std::vector<BYTE> Bytes(PCUIDLIST_RELATIVE pidl) {
    const auto* p = reinterpret_cast<const BYTE*>(pidl);
    return std::vector<BYTE>(p, p + GetPIDLSize(pidl));
}

TEST(PidlMemory, SizesCopiesAndConcatenation) {
    ShellEnv env;
    const auto desktop = ListBytes({});
    const auto two = ListBytes({20, 14});
    EXPECT_EQ(2u, GetPIDLSize(AsList(desktop)));
    EXPECT_EQ(36u, GetPIDLSize(AsList(two)));
    EXPECT_EQ(0u, GetPIDLSize(nullptr));
    EXPECT_EQ(nullptr, GetNextItemID(nullptr));
    EXPECT_EQ(nullptr, GetNextItemID(AsList(desktop)));
    EXPECT_EQ(reinterpret_cast<const BYTE*>(AsList(two)) + 20,
              reinterpret_cast<const BYTE*>(GetNextItemID(AsList(two))));

    UniquePidl copy = CopyPIDL(env.Malloc(), AsList(two));
    ASSERT_TRUE(copy);
    EXPECT_NE(reinterpret_cast<const void*>(copy.get()), two.data());
    EXPECT_EQ(two, Bytes(copy.get()));
    EXPECT_FALSE(CopyPIDL(env.Malloc(), nullptr));

    // The desktop joined with a list is that list; two lists join item after item.
    const auto child = ListBytes({10});
    EXPECT_EQ(child, Bytes(ConcatPIDL(env.Malloc(), AsList(desktop), AsList(child)).get()));
    EXPECT_EQ(ListBytes({20, 14, 10}).size(),
              GetPIDLSize(ConcatPIDL(env.Malloc(), AsList(two), AsList(child)).get()));
    UniquePidl joined = ConcatPIDL(env.Malloc(), AsList(two), AsList(child));
    auto expected = two;
    expected.resize(34);
    expected.insert(expected.end(), child.begin(), child.end());
    EXPECT_EQ(expected, Bytes(joined.get()));
    EXPECT_EQ(child, Bytes(ConcatPIDL(env.Malloc(), nullptr, AsList(child)).get()));
    EXPECT_EQ(two, Bytes(ConcatPIDL(env.Malloc(), AsList(two), nullptr).get()));
    EXPECT_FALSE(ConcatPIDL(env.Malloc(), nullptr, nullptr));
}

TEST(Paths, RoundTripsAndDirectories) {
    ShellEnv env;
    ScratchDir dir;
    MakeFile(dir / L"note.txt");
    UniquePidl pidl = env.Pidl(dir / L"note.txt");
    ASSERT_TRUE(pidl);
    std::wstring path;
    ASSERT_TRUE(GetPathFromPIDL(pidl.get(), path));
    EXPECT_TRUE(EqualsIgnoreCase(dir / L"note.txt", path)) << path;
    EXPECT_FALSE(env.Pidl(dir / L"missing.txt"));

    UniquePidl controls = env.Special(CSIDL_CONTROLS);
    EXPECT_FALSE(GetPathFromPIDL(controls.get(), path));
    EXPECT_TRUE(path.empty());

    for (const std::wstring& system : {GetWindowsDir(), GetSystemDir()}) {
        ASSERT_FALSE(system.empty());
        EXPECT_EQ(L'\\', system.back());
        EXPECT_TRUE(IsDirAccessible(system));
    }

    wchar_t before[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, before);
    EXPECT_TRUE(IsDirAccessible(dir.Path().wstring()));
    EXPECT_FALSE(IsDirAccessible(dir / L"missing"));
    wchar_t after[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);

    EXPECT_EQ(L"C:", ExtractFileDrive(L"C:\\x\\y.txt"));
    EXPECT_EQ(L"\\\\server\\share", ExtractFileDrive(L"\\\\server\\share\\dir\\f"));
    EXPECT_EQ(L".txt", ExtractFileExt(L"C:\\a.b\\c.txt"));
    EXPECT_EQ(L"", ExtractFileExt(L"C:\\a.b\\c"));
}

TEST(ItemTests, FoldersShortcutsAndTargets) {
    ShellEnv env;
    ScratchDir dir;
    MakeDir(dir / L"sub");
    MakeFile(dir / L"plain.txt");
    MakeShortcut(dir / L"to-sub.lnk", dir / L"sub");
    MakeShortcut(dir / L"to-file.lnk", dir / L"plain.txt");
    MakeInternetShortcut(dir / L"site.url", L"http://example.invalid/");

    UniquePidl sub = env.Pidl(dir / L"sub"), plain = env.Pidl(dir / L"plain.txt");
    UniquePidl toSub = env.Pidl(dir / L"to-sub.lnk"), toFile = env.Pidl(dir / L"to-file.lnk");
    EXPECT_TRUE(IsFolderItem(sub.get()));
    EXPECT_FALSE(IsFolderItem(plain.get()));
    EXPECT_FALSE(IsFolderItem(toSub.get()));
    EXPECT_TRUE(IsFolderItem(env.Special(CSIDL_DRIVES).get()));
    EXPECT_TRUE(IsLinkItem(toSub.get()));
    EXPECT_FALSE(IsLinkItem(plain.get()));
    EXPECT_TRUE(IsLinkToFolder(env.Malloc(), toSub.get()));
    EXPECT_FALSE(IsLinkToFolder(env.Malloc(), toFile.get()));
    EXPECT_FALSE(IsLinkToFolder(env.Malloc(), sub.get()));

    EXPECT_TRUE(EqualsIgnoreCase(dir / L"sub", GetLinkPath(env.Malloc(), toSub.get())));
    UniquePidl target = GetLinkPIDL(env.Malloc(), toFile.get());
    std::wstring targetPath;
    ASSERT_TRUE(GetPathFromPIDL(target.get(), targetPath));
    EXPECT_TRUE(EqualsIgnoreCase(dir / L"plain.txt", targetPath));
    EXPECT_EQ(L"", GetLinkPath(env.Malloc(), plain.get()));
    EXPECT_FALSE(GetLinkPIDL(env.Malloc(), env.Special(CSIDL_CONTROLS).get()));
}

TEST(ItemTests, AShortcutKeepsItsStoredTargetUnlessTheShellCannotBindIt) {
    ShellEnv env;
    ScratchDir dir;
    MakeDir(dir / L"sub");
    MakeFile(dir / L"sub\\inside.txt");
    {
        UniquePidl sub = env.Pidl(dir / L"sub");
        ComPtr<IShellLinkW> link;
        ComPtr<IPersistFile> file;
        ASSERT_HRESULT_SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                                    IID_PPV_ARGS(&link)));
        ASSERT_HRESULT_SUCCEEDED(link->SetIDList(sub.get()));
        ASSERT_HRESULT_SUCCEEDED(link.As(&file));
        ASSERT_HRESULT_SUCCEEDED(file->Save((dir / L"by-list.lnk").c_str(), TRUE));
    }
    // The folder's time is part of its list: a list parsed from the path now differs.
    {
        UniqueHandleObject folder(::CreateFileW(
            (dir / L"sub").c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        ASSERT_NE(INVALID_HANDLE_VALUE, folder.get());
        const FILETIME old{0x0F000000u, 0x01B00000u}; // in 1990
        ASSERT_TRUE(::SetFileTime(folder.get(), nullptr, nullptr, &old));
    }
    ComPtr<IShellLinkW> loaded = LoadShellLink(dir / L"by-list.lnk");
    ASSERT_TRUE(loaded);
    PIDLIST_ABSOLUTE rawStored = nullptr;
    ASSERT_HRESULT_SUCCEEDED(loaded->GetIDList(&rawStored));
    UniquePidl stored(env.Malloc(), rawStored);
    ASSERT_NE(Bytes(stored.get()), Bytes(env.Pidl(dir / L"sub").get()));
    EXPECT_EQ(Bytes(stored.get()), Bytes(ReadLinkTarget(env.Malloc(), *loaded.Get()).pidl.get()))
        << "a usable stored target was replaced";

    // Made from a path, Wine's shortcut stores a list that cannot be bound: the target's path
    // gives one that opens.
    MakeShortcut(dir / L"by-path.lnk", dir / L"sub");
    LinkTarget target = ResolveLink(env.Malloc(), dir / L"by-path.lnk");
    ComPtr<IShellFolder> folder;
    ASSERT_TRUE(target.pidl);
    EXPECT_HRESULT_SUCCEEDED(
        env.shell.DesktopFolder->BindToObject(target.pidl.get(), nullptr, IID_PPV_ARGS(&folder)));
}

// R: is mapped as a CD-ROM drive and S: as a floppy drive by the test's prefix.
TEST(ItemTests, RemovableDrivesDecideByExtension) {
    ShellEnv env;
    EXPECT_TRUE(IsRemovableDrive(L"R:\\x"));
    EXPECT_TRUE(IsRemovableDrive(L"S:\\x"));
    EXPECT_FALSE(IsRemovableDrive(L"C:\\x"));
    for (const wchar_t* root : {L"R:\\", L"S:\\"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(root)));
        // An empty root lists nothing at all, not even "." and "..": empty, not inaccessible.
        EXPECT_TRUE(IsDirAccessible(root));
        EXPECT_FALSE(IsDirAccessible(std::wstring(root) + L"missing"));
        ScratchDir dir(root);
        MakeFile(dir / L"noext");     // a file without extension counts as a folder
        MakeDir(dir / L"folder.ext"); // a folder with an extension counts as a file
        MakeFile(dir / L"upper.LNK"); // not a real shortcut: the name decides
        MakeShortcut(dir / L"real.lnk", dir / L"noext");
        EXPECT_TRUE(IsFolderItem(env.Pidl(dir / L"noext").get()));
        EXPECT_FALSE(IsFolderItem(env.Pidl(dir / L"folder.ext").get()));
        EXPECT_TRUE(IsLinkItem(env.Pidl(dir / L"upper.LNK").get()));
        EXPECT_TRUE(IsLinkItem(env.Pidl(dir / L"real.lnk").get()));
        EXPECT_FALSE(IsLinkItem(env.Pidl(dir / L"noext").get()));
        // The target has no extension on a removable drive: a folder, without asking.
        EXPECT_TRUE(IsLinkToFolder(env.Malloc(), env.Pidl(dir / L"real.lnk").get()));
    }
}

TEST(Association, OnlyPassedExtensionsAreKept) {
    ShellEnv env;
    ScratchDir dir;
    for (const wchar_t* name : {L"a.tolvone", L"b.tolvone", L"a.tolvtwo", L"b.tolvtwo"})
        MakeFile(dir / name);
    TAssociatedExtCache cache;
    Dissociate(L".tolvone");
    Dissociate(L".tolvtwo");

    // Passed once, then not asked again even after the association is gone.
    Associate(L".tolvone");
    EXPECT_TRUE(IsAssociatedFile(cache, env.Pidl(dir / L"a.tolvone").get()));
    EXPECT_EQ(1, cache.Count());
    Dissociate(L".tolvone");
    EXPECT_TRUE(IsAssociatedFile(cache, env.Pidl(dir / L"B.TOLVONE").get()));
    EXPECT_EQ(1, cache.Count());

    // Failed once, then asked again and passed.
    EXPECT_FALSE(IsAssociatedFile(cache, env.Pidl(dir / L"a.tolvtwo").get()));
    EXPECT_EQ(1, cache.Count());
    Associate(L".tolvtwo");
    EXPECT_TRUE(IsAssociatedFile(cache, env.Pidl(dir / L"b.tolvtwo").get()));
    EXPECT_EQ(2, cache.Count());
    Dissociate(L".tolvtwo");

    EXPECT_FALSE(IsAssociatedFile(cache, env.Special(CSIDL_CONTROLS).get()));

    // Within one read a failed extension is not asked about again, even once it has a
    // program; the next read asks anew.
    TAssociatedExtCache passed, unassociated;
    const std::wstring a = dir / L"a.tolvtwo", b = dir / L"b.tolvtwo";
    EXPECT_FALSE(IsAssociatedPath(passed, a, &unassociated));
    EXPECT_EQ(1, unassociated.Count());
    Associate(L".tolvtwo");
    EXPECT_FALSE(IsAssociatedPath(passed, b, &unassociated));
    TAssociatedExtCache nextRead;
    EXPECT_TRUE(IsAssociatedPath(passed, b, &nextRead));
    EXPECT_EQ(0, nextRead.Count());
    Dissociate(L".tolvtwo");
}

TEST(DisplayName, AmpersandsAreDoubled) {
    ShellEnv env;
    ScratchDir dir;
    MakeDir(dir / L"Tom & Jerry");
    MakeDir(dir / L"R&&D");
    UniquePidl parent = env.Pidl(dir.Path().wstring());
    ComPtr<IShellFolder> folder;
    ASSERT_HRESULT_SUCCEEDED(
        env.shell.DesktopFolder->BindToObject(parent.get(), nullptr, IID_PPV_ARGS(&folder)));
    std::vector<std::wstring> names;
    for (const wchar_t* name : {L"Tom & Jerry", L"R&&D"}) {
        UniquePidl absolute = env.Pidl(dir / name);
        names.push_back(GetDisplayName(*folder.Get(), ILFindLastID(absolute.get())));
    }
    EXPECT_EQ(L"Tom && Jerry", names[0]);
    EXPECT_EQ(L"R&&&&D", names[1]);
}

TEST(Icons, ArrowShownOrHiddenForShortcuts) {
    ShellEnv env;
    ScratchDir dir;
    MakeFile(dir / L"plain.txt");
    MakeShortcut(dir / L"plain.lnk", dir / L"plain.txt");
    MakeShortcut(dir / L"custom.lnk", dir / L"plain.txt", GetSystemDir() + L"shell32.dll", 3);
    MakeInternetShortcut(dir / L"site.url", L"http://example.invalid/");
    UniquePidl link = env.Pidl(dir / L"plain.lnk"), custom = env.Pidl(dir / L"custom.lnk");
    UniquePidl url = env.Pidl(dir / L"site.url"), target = env.Pidl(dir / L"plain.txt");

    auto pixels = [&](HICON icon) {
        UniqueIcon owned(icon);
        return owned ? IconPixels(owned.get()) : std::vector<DWORD>();
    };
    auto item = [&](const UniquePidl& pidl, bool hideArrow) {
        return pixels(GetItemIcon(env.Malloc(), pidl.get(), 16, hideArrow, nullptr));
    };
    auto system = [&](const UniquePidl& pidl) {
        return pixels(GetSystemIcon(env.Malloc(), pidl.get(), 16, nullptr));
    };
    // Without hiding, both kinds of shortcut show the shell's icon for the file itself.
    EXPECT_EQ(system(link), item(link, false));
    EXPECT_EQ(system(url), item(url, false));
    // Hidden: the target's icon, the named icon, url.dll's icon.
    EXPECT_EQ(system(target), item(link, true));
    EXPECT_EQ(pixels(ExtractIconFromFile(GetSystemDir() + L"shell32.dll", 3, 16)),
              item(custom, true));
    // url.dll has no icon under Wine: then the item has none either, not the shell's.
    EXPECT_EQ(pixels(GetURLIcon(16)), item(url, true));
    EXPECT_FALSE(item(url, false).empty());
    EXPECT_NE(item(custom, true), item(custom, false));

    // A named icon given with an environment variable, or at a location longer than MAX_PATH
    // (a copy of shell32.dll deep down): that icon all the same, not the target's.
    MakeShortcut(dir / L"env.lnk", dir / L"plain.txt", L"%SystemRoot%\\system32\\shell32.dll", 3);
    std::wstring deep = dir / L"deep";
    MakeDir(deep);
    while (deep.size() < MAX_PATH + 20) {
        deep += L"\\abcdefghijklmnopqrstuvwxyz0123456789";
        ASSERT_TRUE(::CreateDirectoryW(LongPathForm(deep).c_str(), nullptr));
    }
    const std::wstring deepFile = deep + L"\\icons.dll";
    ASSERT_TRUE(::CopyFileW((GetSystemDir() + L"shell32.dll").c_str(),
                            LongPathForm(deepFile).c_str(), FALSE));
    MakeShortcut(dir / L"long.lnk", dir / L"plain.txt", deepFile, 3);
    const std::vector<DWORD> named =
        pixels(ExtractIconFromFile(GetSystemDir() + L"shell32.dll", 3, 16));
    ASSERT_NE(system(target), named);
    EXPECT_EQ(named, item(env.Pidl(dir / L"env.lnk"), true));
    EXPECT_EQ(named, item(env.Pidl(dir / L"long.lnk"), true));
    ::DeleteFileW(LongPathForm(deepFile).c_str());
    for (; deep.size() > dir.Path().wstring().size(); deep.resize(deep.rfind(L'\\')))
        ::RemoveDirectoryW(LongPathForm(deep).c_str());

    UniqueIcon large(GetItemIcon(env.Malloc(), target.get(), 32, true, nullptr));
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(large.get(), &info));
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(32, bitmap.bmWidth);
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
}

TEST(Icons, LinkArrowIsPaintedOverAndMagentaIsTransparent) {
    ShellEnv env;
    ScratchDir dir;
    MakeDir(dir / L"sub");
    UniqueIcon folder(GetSystemIcon(env.Malloc(), env.Pidl(dir / L"sub").get(), 16, nullptr));
    UniqueIcon arrowed(AddLinkArrow(folder.get(), 16));
    ASSERT_TRUE(arrowed);
    EXPECT_NE(IconPixels(folder.get()), IconPixels(arrowed.get()));
    EXPECT_TRUE(::GetIconInfo(folder.get(), &*std::make_unique<ICONINFO>()))
        << "the given icon is kept";

    // A 4x2 bitmap: magenta on the left half, blue on the right, becomes half transparent.
    HDC screen = ::GetDC(nullptr);
    UniqueBitmap bitmap(::CreateCompatibleBitmap(screen, 4, 2));
    ::ReleaseDC(nullptr, screen);
    {
        UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
        SelectGuard select(dc.get(), bitmap.get());
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x)
                ::SetPixel(dc.get(), x, y, x < 2 ? RGB(255, 0, 255) : RGB(0, 0, 255));
    }
    UniqueIcon icon(BitmapToIcon(bitmap.get(), RECT{0, 0, 4, 2}, RGB(255, 0, 255)));
    const auto pixels = IconPixels(icon.get(), RGB(0, 255, 0), 4);
    EXPECT_EQ(RGB(0, 255, 0), pixels[0]);
    EXPECT_EQ(RGB(0, 255, 0), pixels[1]);
    EXPECT_EQ(RGB(0, 0, 255), pixels[2]);
    EXPECT_EQ(RGB(0, 0, 255), pixels[3]);
}

// Counts what goes through the shell allocator.
class CountingMalloc : public IMalloc {
public:
    explicit CountingMalloc(IMalloc& real) : real_(real) {}
    int frees = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    void* STDMETHODCALLTYPE Alloc(SIZE_T size) override { return real_.Alloc(size); }
    void* STDMETHODCALLTYPE Realloc(void* p, SIZE_T size) override {
        return real_.Realloc(p, size);
    }
    void STDMETHODCALLTYPE Free(void* p) override {
        ++frees;
        real_.Free(p);
    }
    SIZE_T STDMETHODCALLTYPE GetSize(void* p) override { return real_.GetSize(p); }
    int STDMETHODCALLTYPE DidAlloc(void* p) override { return real_.DidAlloc(p); }
    void STDMETHODCALLTYPE HeapMinimize() override { real_.HeapMinimize(); }

private:
    IMalloc& real_;
};

TEST(Pools, RegistrationKeepsBothPoolsAlignedAndIconsComeOnFirstUse) {
    ShellEnv env;
    ScratchDir dir;
    MakeFile(dir / L"plain.txt");
    MakeShortcut(dir / L"plain.lnk", dir / L"plain.txt");
    TMenuItem nullItem, linkItem, shownLink;
    EXPECT_TRUE(env.shell.SavePIDLToTag(nullItem, UniquePidl()));
    EXPECT_EQ(0, nullItem.Tag);
    EXPECT_EQ(1, env.shell.ItemIdPool.Count());
    EXPECT_EQ(1, env.shell.IconHandlePool.Count());
    EXPECT_EQ(nullptr, env.shell.ItemIdPool[0]);

    env.settings.HideArrow = true;
    env.shell.SavePIDLToTag(linkItem, env.Pidl(dir / L"plain.lnk"));
    env.settings.HideArrow = false;
    env.shell.SavePIDLToTag(shownLink, env.Pidl(dir / L"plain.lnk"));
    EXPECT_EQ(1, linkItem.Tag);
    EXPECT_EQ(2, shownLink.Tag);
    EXPECT_EQ(3, env.shell.IconHandlePool.Count());
    EXPECT_EQ(0, env.shell.IconHandlePool.LoadedCount()) << "no icon before it is painted";

    EXPECT_EQ(nullptr, env.shell.PoolIcon(0));
    const HICON hidden = env.shell.PoolIcon(1);
    EXPECT_EQ(hidden, env.shell.PoolIcon(1)) << "taken once";
    EXPECT_EQ(2, env.shell.IconHandlePool.LoadedCount());
    // Each entry keeps the arrow choice of its registration.
    UniqueIcon target(GetSystemIcon(env.Malloc(), env.Pidl(dir / L"plain.txt").get(), 16, nullptr));
    EXPECT_EQ(IconPixels(target.get()), IconPixels(hidden));
    UniqueIcon own(GetSystemIcon(env.Malloc(), env.shell.ItemIdPool[2], 16, nullptr));
    EXPECT_EQ(IconPixels(own.get()), IconPixels(env.shell.PoolIcon(2)));
    // The same pictures as the shell's own icons of the items.
    auto shellIcon = [&](const std::filesystem::path& path) {
        SHFILEINFOW info{};
        ::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(env.Pidl(path).get()), 0, &info, sizeof info,
                         SHGFI_PIDL | SHGFI_ICON | SHGFI_SMALLICON);
        return UniqueIcon(info.hIcon);
    };
    EXPECT_EQ(IconPixels(shellIcon(dir / L"plain.txt").get()), IconPixels(hidden));
    EXPECT_EQ(IconPixels(shellIcon(dir / L"plain.lnk").get()), IconPixels(env.shell.PoolIcon(2)));

    // Items that show the same picture share one icon.
    MakeFile(dir / L"other.txt");
    TMenuItem plain, other;
    env.shell.SavePIDLToTag(plain, env.Pidl(dir / L"plain.txt"));
    env.shell.SavePIDLToTag(other, env.Pidl(dir / L"other.txt"));
    const int held = env.shell.IconHandlePool.DistinctIconCount();
    EXPECT_EQ(hidden, env.shell.PoolIcon(static_cast<int>(plain.Tag)));
    EXPECT_EQ(hidden, env.shell.PoolIcon(static_cast<int>(other.Tag)));
    EXPECT_EQ(held, env.shell.IconHandlePool.DistinctIconCount());
    EXPECT_EQ(5, env.shell.IconHandlePool.LoadedCount());
}

TEST(Pools, EmptyingFreesEveryListAndIcon) {
    ShellEnv env;
    ScratchDir dir;
    MakeDir(dir / L"gone");
    MakeFile(dir / L"gone\\file.txt");
    MakeFile(dir / L"kept.txt");
    CountingMalloc counting(env.Malloc());
    TMenuItem a, b, c;
    env.shell.SavePIDLToTag(a, env.Pidl(dir / L"gone\\file.txt"));
    env.shell.SavePIDLToTag(b, env.Pidl(dir / L"kept.txt"));
    env.shell.SavePIDLToTag(c, UniquePidl());
    const HICON icon = env.shell.PoolIcon(1);
    ASSERT_NE(nullptr, icon);
    std::filesystem::remove_all(dir / L"gone");

    // The list of the deleted file is freed too: the pool made it and nothing else owns it.
    env.shell.ItemIdPool.Release(&counting);
    env.shell.IconHandlePool.DestroyAll();
    EXPECT_EQ(2, counting.frees);
    EXPECT_EQ(0, env.shell.ItemIdPool.Count());
    EXPECT_EQ(0, env.shell.IconHandlePool.Count());
    ICONINFO info{};
    EXPECT_FALSE(::GetIconInfo(icon, &info)) << "the pool's icon was destroyed";
}

} // namespace
} // namespace tolvern::test
