// Choosing items on a started settings form, for what Wine cannot show end to end: what is
// handed to the shell (through the execute seam), the drive and access checks, the Recycle
// Bin, the pool limit of folder submenus, and showing the desktop and restoring the windows.
#include "support/foreign_window.h"
#include "support/started_launcher.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace tolvern {
namespace {

using namespace test;

// What the shell was asked to do.
struct ShellCall {
    DWORD size;
    std::wstring verb;
    std::wstring file;
    std::vector<BYTE> pidl; // the identifier list's bytes, empty for none
};

std::vector<BYTE> PidlBytes(PCIDLIST_ABSOLUTE pidl) {
    if (!pidl)
        return {};
    const BYTE* bytes = reinterpret_cast<const BYTE*>(pidl);
    return {bytes, bytes + GetPIDLSize(pidl)};
}

// A started launcher whose shell calls and message boxes are recorded instead of shown.
struct RecordingLauncher {
    RecordingLauncher() {
        form2.Activation.ShellExecute = [this](SHELLEXECUTEINFOW& info) {
            calls.push_back({info.cbSize, info.lpVerb ? info.lpVerb : L"<null>",
                             info.lpFile ? info.lpFile : L"",
                             PidlBytes(static_cast<PCIDLIST_ABSOLUTE>(info.lpIDList))});
            return TRUE;
        };
        form2.Shell.MsgBox = [this](const TLauncherMessage& message) {
            messages.push_back(message.text);
            return IDOK;
        };
    }
    UniquePidl Parse(const std::wstring& path) {
        return GetPIDLFromPath(*form2.DesktopFolder.Get(), *form2.ShellMalloc.Get(), path);
    }
    ScratchKey key;
    StartedLauncher launcher{key};
    TForm2& form2 = launcher.form2;
    std::vector<ShellCall> calls;
    std::vector<std::wstring> messages;
};

TEST(ItemActivation, DriveAndAccessChecksDecideWhatReachesTheShell) {
    RecordingLauncher r;
    // R: is a CD-ROM drive and S: a floppy drive; Wine always finds a medium in them, so the
    // probe says which drives are ready: none of the removable ones.
    std::vector<std::wstring> probed;
    r.form2.Shell.DriveReady = [&](const std::wstring& root) {
        probed.push_back(root);
        return false;
    };
    MakeFile(L"R:\\tool.exe");
    MakeFile(L"S:\\doc.txt");
    const std::wstring folder = TempFolder(L"activation");
    MakeShortcut(folder + L"\\to-cd.lnk", L"R:\\tool.exe");
    MakeShortcut(L"S:\\to-fixed.lnk", GetWindowsDir() + L"notepad.exe");

    // A shortcut on a fixed drive whose target is on a CD-ROM without a medium names that drive.
    UniquePidl toCd = r.Parse(folder + L"\\to-cd.lnk");
    EXPECT_FALSE(r.form2.Activation.FileExecEx(toCd.get()));
    // A file on the floppy itself.
    UniquePidl onFloppy = r.Parse(L"S:\\doc.txt");
    EXPECT_FALSE(r.form2.Activation.FileExecEx(onFloppy.get()));
    EXPECT_EQ((std::vector<std::wstring>{L"ドライブ R: の準備ができていません。",
                                         L"ドライブ S: の準備ができていません。"}),
              r.messages);
    EXPECT_TRUE(r.calls.empty());

    // A shortcut on the floppy whose target is on a fixed drive opens: only the target counts.
    UniquePidl toFixed = r.Parse(L"S:\\to-fixed.lnk");
    EXPECT_TRUE(r.form2.Activation.FileExecEx(toFixed.get()));
    ASSERT_EQ(1u, r.calls.size());
    EXPECT_EQ(sizeof(SHELLEXECUTEINFOW), r.calls[0].size);
    EXPECT_EQ(L"", r.calls[0].verb);
    EXPECT_EQ(PidlBytes(toFixed.get()), r.calls[0].pidl);

    // A virtual item goes to the shell without drive or access checks.
    probed.clear();
    EXPECT_TRUE(r.form2.Activation.FileExecEx(r.form2.Menu.ControlPanelPIDL.get()));
    EXPECT_TRUE(probed.empty());
    ASSERT_EQ(2u, r.calls.size());
    EXPECT_EQ(PidlBytes(r.form2.Menu.ControlPanelPIDL.get()), r.calls[1].pidl);

    // A folder that cannot be entered (gone since its list was made) is reported.
    const std::wstring gone = TempFolder(L"activation-gone");
    UniquePidl gonePidl = r.Parse(gone);
    ::RemoveDirectoryW(gone.c_str());
    EXPECT_FALSE(r.form2.Activation.FileExecEx(gonePidl.get()));
    EXPECT_EQ(L"'" + gone + L"' にアクセスできません。", r.messages.back());
    EXPECT_EQ(2u, r.calls.size());

    // Without desk.cpl the display properties go to the shell without a list, harmlessly.
    r.form2.Menu.DeskCplPIDL.reset();
    r.form2.Menu.DesktopMenuItem->Items(0)->OnClick(r.form2.Menu.DesktopMenuItem->Items(0));
    ASSERT_EQ(3u, r.calls.size());
    EXPECT_TRUE(r.calls[2].pidl.empty());
}

TEST(ItemActivation, RecycleBinFilesShowTheirPropertiesAndItsOpenItemOpensIt) {
    RecordingLauncher r;
    TLauncherShell& shell = r.form2.Shell;
    IMalloc& allocator = *r.form2.ShellMalloc.Get();
    // Wine's Recycle Bin stays empty here (filling it would write to the real home folder), so
    // its submenu is made as a read would make it, around a file of the prefix.
    TMenuItem bin;
    shell.SavePIDLToTag(bin, CopyPIDL(allocator, r.form2.Menu.RecycleBinPIDL.get()));
    shell.InsertChildHeader(bin);
    UniquePidl filePidl = r.Parse(GetWindowsDir() + L"notepad.exe");
    const std::vector<BYTE> fileBytes = PidlBytes(filePidl.get());
    TMenuItem* file = shell.AddFile(bin, L"notepad.exe", std::move(filePidl));

    r.form2.Activation.PopupMenu_ItemClick(file);
    r.form2.Activation.PopupMenu_ItemClick(bin.Items(0));
    ASSERT_EQ(2u, r.calls.size());
    EXPECT_EQ(L"properties", r.calls[0].verb);
    EXPECT_EQ(fileBytes, r.calls[0].pidl);
    EXPECT_EQ(L"", r.calls[1].verb);
    EXPECT_EQ(PidlBytes(r.form2.Menu.RecycleBinPIDL.get()), r.calls[1].pidl);

    // Elsewhere the same file opens.
    TMenuItem folder;
    shell.SavePIDLToTag(folder, r.Parse(GetWindowsDir()));
    shell.InsertChildHeader(folder);
    TMenuItem* elsewhere =
        shell.AddFile(folder, L"notepad.exe", r.Parse(GetWindowsDir() + L"notepad.exe"));
    r.form2.Activation.PopupMenu_ItemClick(elsewhere);
    ASSERT_EQ(3u, r.calls.size());
    EXPECT_EQ(L"", r.calls[2].verb);
    EXPECT_TRUE(r.messages.empty());
}

TEST(ItemActivation, AFolderSubmenuFillsUpTo2000PoolEntriesAndIsRefusedBeyond) {
    RecordingLauncher r;
    const std::wstring folder = TempFolder(L"activation-limit");
    MakeFile(folder + L"\\a.exe");
    StoreEntries(r.key, {{L"Folder", folder}});
    r.form2.LoadSettingsFromReg(); // the entry, as if it had been stored at start
    TMenuItem* entry = r.form2.PopupMenu2.Items.Items(kFirstEntryPosition);
    ASSERT_EQ(L"Folder", entry->Caption);
    const int header = entry->Count();

    TMenuItem scratch;
    while (r.form2.ItemIdPool.Count() < 2001)
        r.form2.Shell.SavePIDLToTag(scratch, r.Parse(folder));
    r.form2.Menu.PopupMenu_FolderClick(entry);
    EXPECT_EQ((std::vector<std::wstring>{L"一度に表示できるメニュー項目の上限を超えました。"}),
              r.messages);
    EXPECT_EQ(header, entry->Count()) << "the submenu changed";
    EXPECT_EQ(2001, r.form2.ItemIdPool.Count());

    // Exactly at the limit it fills. (A pool cannot shrink but by a restart: start anew.)
    RecordingLauncher atLimit;
    StoreEntries(atLimit.key, {{L"Folder", folder}});
    atLimit.form2.LoadSettingsFromReg();
    TMenuItem* item = atLimit.form2.PopupMenu2.Items.Items(kFirstEntryPosition);
    while (atLimit.form2.ItemIdPool.Count() < 2000)
        atLimit.form2.Shell.SavePIDLToTag(scratch, atLimit.Parse(folder));
    atLimit.form2.Menu.PopupMenu_FolderClick(item);
    EXPECT_TRUE(atLimit.messages.empty());
    ASSERT_GT(item->Count(), 2);
    EXPECT_EQ(L"a.exe", item->Items(item->Count() - 1)->Caption);
}

// Folders and files of a path longer than the shell takes, made through the "\\?\" form.
struct LongPathTree {
    ~LongPathTree() {
        for (auto f = made.rbegin(); f != made.rend(); ++f)
            if (!::DeleteFileW(LongPathForm(*f).c_str()))
                ::RemoveDirectoryW(LongPathForm(*f).c_str());
    }
    std::wstring Dir(const std::wstring& path) {
        EXPECT_TRUE(::CreateDirectoryW(LongPathForm(path).c_str(), nullptr)) << path;
        made.push_back(path);
        return path;
    }
    std::wstring File(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        ::CloseHandle(::CreateFileW(LongPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, attributes, nullptr));
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, PathAttributes(path)) << path;
        made.push_back(path);
        return path;
    }
    std::vector<std::wstring> made; // in order of making
};

std::vector<std::wstring> Entries(const TMenuItem& folder) {
    std::vector<std::wstring> captions;
    for (int i = 0; i < folder.Count(); ++i)
        if (folder.Items(i)->Visible)
            captions.push_back(folder.Items(i)->Caption);
    return captions;
}

TEST(ItemActivation, AFolderPathTooLongForTheShellListsExactlyItsOwnItemsAndOpensThem) {
    RecordingLauncher r;
    LongPathTree tree;
    // An ancestor of 258 characters with a file of its own: the shell cuts a longer path to
    // about that length, and its items must never stand for the long folder's.
    std::wstring ancestor = TempFolder(L"long-paths");
    for (int level = 0; ancestor.size() + 51 < 258; ++level)
        ancestor = tree.Dir(ancestor + L"\\deep-folder-name-number-" + std::to_wstring(level) +
                            L"-padding-padding");
    ancestor = tree.Dir(ancestor + L"\\" + std::wstring(257 - ancestor.size(), L'q'));
    ASSERT_EQ(258u, ancestor.size());
    tree.File(ancestor + L"\\ancestor.txt");
    const std::wstring longDir = tree.Dir(ancestor + L"\\" + std::wstring(60, L'x'));
    ASSERT_GT(longDir.size(), 300u);
    tree.Dir(longDir + L"\\Sub");
    const std::wstring inner = tree.File(longDir + L"\\Sub\\inner.exe");
    const std::wstring b = tree.File(longDir + L"\\b.exe");
    tree.File(longDir + L"\\a.exe");
    tree.File(longDir + L"\\c.xyz"); // no program opens it (programs open themselves)
    tree.File(longDir + L"\\hidden.exe", FILE_ATTRIBUTE_HIDDEN);
    // Just past the limit, where the shell's cut names the ancestor.
    const std::wstring cut = tree.Dir(ancestor + L"\\yyy");
    tree.File(cut + L"\\own.exe");
    for (const std::wstring& path : {longDir, longDir + L"\\b.exe", cut})
        EXPECT_FALSE(r.Parse(path)) << "a list that names another item: " << path.size();

    r.form2.AddIconToList(L"Long", longDir);
    r.form2.AddIconToList(L"Gone", longDir + L"\\gone");
    r.form2.AddIconToList(L"Cut", cut);
    TMenuItem* cutEntry = r.form2.PopupMenu2.Items.Items(kFirstEntryPosition + 2);
    r.form2.Menu.PopupMenu_FolderClick(cutEntry);
    cutEntry = r.form2.PopupMenu2.Items.Items(kFirstEntryPosition + 2);
    EXPECT_EQ((std::vector<std::wstring>{L"Cut", L"-", L"own.exe"}), Entries(*cutEntry));
    TMenuItem* entry = r.form2.PopupMenu2.Items.Items(kFirstEntryPosition);
    ASSERT_EQ(L"Long", entry->Caption);
    r.form2.Menu.PopupMenu_FolderClick(entry);
    entry = r.form2.PopupMenu2.Items.Items(kFirstEntryPosition);
    EXPECT_EQ((std::vector<std::wstring>{L"Long", L"-", L"Sub", L"a.exe", L"b.exe"}),
              Entries(*entry));
    TMenuItem* sub = entry->Items(3);
    r.form2.Menu.PopupMenu_FolderClick(sub);
    EXPECT_EQ((std::vector<std::wstring>{L"Sub", L"-", L"inner.exe"}), Entries(*sub));
    // A path that does not exist is no folder: it has no submenu to show anything in.
    EXPECT_EQ(0, r.form2.PopupMenu2.Items.Items(kFirstEntryPosition + 1)->Count());

    // Choosing opens the very file, by a path the shell takes.
    r.form2.Activation.PopupMenu_ItemClick(entry->Items(5));
    r.form2.Activation.PopupMenu_ItemClick(sub->Items(3));
    ASSERT_EQ(2u, r.calls.size());
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(r.calls[i].pidl.empty());
        EXPECT_LT(r.calls[i].file.size(), size_t{MAX_PATH});
        EXPECT_TRUE(SameFileSystemPath(i == 0 ? b : inner, r.calls[i].file)) << r.calls[i].file;
    }
    EXPECT_TRUE(r.messages.empty());

    // Hidden and unassociated files show when asked for.
    r.form2.SetDoNotViewHiddenItems(false);
    r.form2.SetDoNotViewUnassociatedItems(false);
    r.form2.Menu.PopupMenu_FolderClick(entry);
    EXPECT_EQ((std::vector<std::wstring>{L"Long", L"-", L"Sub", L"a.exe", L"b.exe", L"c.xyz",
                                         L"hidden.exe"}),
              Entries(*entry));

    // Gone meanwhile: nothing to list, and nothing of another folder either.
    for (const wchar_t* name : {L"a.exe", L"b.exe", L"c.xyz", L"hidden.exe"})
        ::DeleteFileW(LongPathForm(longDir + L"\\" + name).c_str());
    ::DeleteFileW(LongPathForm(inner).c_str());
    ::RemoveDirectoryW(LongPathForm(longDir + L"\\Sub").c_str());
    ::RemoveDirectoryW(LongPathForm(longDir).c_str());
    r.form2.Menu.PopupMenu_FolderClick(entry);
    EXPECT_EQ((std::vector<std::wstring>{L"Long", L"-", L"Sub", L"a.exe", L"b.exe", L"c.xyz",
                                         L"hidden.exe"}),
              Entries(*entry))
        << "a folder that cannot be listed keeps what it showed";
}

// Records the keys the system sees, through a low-level keyboard hook on a thread of its own.
class KeyWatcher {
public:
    KeyWatcher() {
        thread_ = std::thread([this] {
            current_ = this;
            hook_ = ::SetWindowsHookExW(WH_KEYBOARD_LL, Hook, ::GetModuleHandleW(nullptr), 0);
            threadId_ = ::GetCurrentThreadId();
            MSG msg;
            ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
            ready_ = true;
            while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
                ::DispatchMessageW(&msg);
            ::UnhookWindowsHookEx(hook_);
        });
        while (!ready_)
            ::Sleep(5);
    }
    ~KeyWatcher() {
        ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    // "vk+" for a press, "vk-" for a release, in order.
    std::vector<std::wstring> Keys() {
        std::lock_guard lock(mutex_);
        return keys_;
    }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HC_ACTION) {
            const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
            const bool up = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
            std::lock_guard lock(current_->mutex_);
            current_->keys_.push_back(std::to_wstring(key->vkCode) + (up ? L"-" : L"+"));
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline KeyWatcher* current_ = nullptr;
    std::thread thread_;
    std::atomic<bool> ready_{false};
    HHOOK hook_ = nullptr;
    DWORD threadId_ = 0;
    std::mutex mutex_;
    std::vector<std::wstring> keys_;
};

// How the tray form remembers a window to restore.
std::wstring RestoreKey(HWND window) {
    wchar_t text[16];
    std::swprintf(text, 16, L"$%08X", static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(window)));
    return text;
}

TEST(ShowDesktop, WindowsKeyMThenTheRememberedWindowsComeBackAndAClosedOneIsPassedOver) {
    ScratchKey key;
    StartedLauncher launcher(key);
    TForm2& form2 = launcher.form2;
    ForeignWindow kept(WS_OVERLAPPEDWINDOW | WS_VISIBLE, L"kept");
    auto closed = std::make_unique<ForeignWindow>(WS_OVERLAPPEDWINDOW | WS_VISIBLE, L"closed");
    const HWND closedHandle = closed->Handle();
    KeyWatcher watcher;
    // The user's minimise animation is on: the command turns it off only while it works.
    // (Wine keeps no animation setting: the system's is played by a variable here.)
    int animation = 1;
    std::vector<int> animationSet;
    form2.GetMinimizeAnimation = [&] { return animation; };
    form2.SetMinimizeAnimation = [&](int on) { animationSet.push_back(animation = on); };
    auto minimizeAnimation = [&] { return animation; };

    form2.mnuPopupShowDesktopClick(form2.Menu.mnuPopupShowDesktop);
    EXPECT_TRUE(form2.Menu.DesktopShown);
    EXPECT_EQ(1, minimizeAnimation()) << "showing the desktop left the animation off";
    for (int i = 0; i < 100 && watcher.Keys().size() < 4; ++i)
        ::Sleep(10);
    EXPECT_EQ((std::vector<std::wstring>{L"91+", L"77+", L"77-", L"91-"}), watcher.Keys());
    const std::vector<std::wstring>& remembered = launcher.form1.RestoreWindowList;
    EXPECT_NE(remembered.end(),
              std::find(remembered.begin(), remembered.end(), RestoreKey(kept.Handle())));
    EXPECT_NE(remembered.end(),
              std::find(remembered.begin(), remembered.end(), RestoreKey(closedHandle)));
    for (const std::wstring& entry : remembered)
        EXPECT_EQ(1, std::count(remembered.begin(), remembered.end(), entry)) << "duplicate";
    form2.Menu.PopupMenu2Popup();
    EXPECT_EQ(L"ウィンドウの復元(&R)", form2.Menu.mnuPopupShowDesktop->Caption);

    // Wine's shell does not act on Windows key + M: minimise the windows as the shell would,
    // and close one of them.
    ::ShowWindow(kept.Handle(), SW_MINIMIZE);
    ::ShowWindow(closedHandle, SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(kept.Handle()));
    closed.reset();
    ASSERT_FALSE(::IsWindow(closedHandle));

    // A double click on the tray icon does what the first item does: restore.
    ::SendMessageW(launcher.form1.TaskTrayIcon1->Handle(), TrayCallbackMessage, 1,
                   WM_LBUTTONDBLCLK);
    EXPECT_FALSE(form2.Menu.DesktopShown);
    EXPECT_FALSE(::IsIconic(kept.Handle()));
    EXPECT_EQ(4u, watcher.Keys().size()) << "restoring sends no keys";
    EXPECT_EQ(1, minimizeAnimation()) << "restoring the windows left the animation off";
    EXPECT_EQ((std::vector<int>{0, 1, 0, 1}), animationSet) << "off while working, then back";
    form2.Menu.PopupMenu2Popup();
    EXPECT_EQ(L"デスクトップの表示(&V)", form2.Menu.mnuPopupShowDesktop->Caption);
}

TEST(ShowDesktop, RestoringNeitherWaitsForAWindowThatDoesNotAnswerNorLocksTheDesktop) {
    ScratchKey key;
    StartedLauncher launcher(key);
    TForm2& form2 = launcher.form2;
    form2.GetMinimizeAnimation = [] { return 0; };
    form2.SetMinimizeAnimation = [](int) {};
    // A minimised window of another program that does not answer for four seconds.
    ForeignWindow hung(WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_MINIMIZE, L"hung", 0, 4000);
    ASSERT_TRUE(::IsIconic(hung.Handle()));
    launcher.form1.RestoreWindowList = {RestoreKey(hung.Handle())};
    form2.Menu.DesktopShown = true;

    // Meanwhile another thread of the program asks for the lock, as painting code would.
    std::atomic<bool> lockFree{false};
    std::thread probe([&] {
        ::Sleep(300);
        lockFree = ::LockWindowUpdate(::GetDesktopWindow()) != FALSE;
        if (lockFree)
            ::LockWindowUpdate(nullptr);
    });
    const DWORD start = ::GetTickCount();
    form2.mnuPopupShowDesktopClick(form2.Menu.mnuPopupShowDesktop);
    const DWORD elapsed = ::GetTickCount() - start;
    probe.join();
    EXPECT_LT(elapsed, 2000u) << "the restore waited for the window that does not answer";
    EXPECT_TRUE(lockFree) << "the desktop was locked while the window was asked";
    EXPECT_FALSE(form2.Menu.DesktopShown);
    // Once awake the window comes back all the same.
    for (int i = 0; i < 800 && ::IsIconic(hung.Handle()); ++i)
        ::Sleep(10);
    EXPECT_FALSE(::IsIconic(hung.Handle()));
}

} // namespace
} // namespace tolvern
