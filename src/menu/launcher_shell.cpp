// The launcher's shell state: allocator, desktop folder, pools and their registration.
#include "menu/launcher_shell.h"

#include "menu/item_icons.h"

#include <stdexcept>

namespace tolvern {

TLauncherShell::TLauncherShell(const LauncherSettings& settings)
    : DriveReady(IsDriveReady), EscapePressed([lastPoll = DWORD(0)]() mutable {
          // Asked for every item of a read, the key state costs a round trip each time under
          // Wine; a hundredth of a second between looks is still at once for the person.
          const DWORD now = ::GetTickCount();
          if (now - lastPoll < 10)
              return false;
          lastPoll = now;
          return (::GetAsyncKeyState(VK_ESCAPE) & 0x8000) != 0;
      }),
      settings_(settings) {}

TLauncherShell::~TLauncherShell() {
    EmptyPools();
}

void TLauncherShell::PrepareShell() {
    if (FAILED(::SHGetMalloc(ShellMalloc.ReleaseAndGetAddressOf())) || !ShellMalloc)
        throw std::runtime_error("SHGetMalloc failed");
    if (FAILED(::SHGetDesktopFolder(DesktopFolder.ReleaseAndGetAddressOf())) || !DesktopFolder)
        throw std::runtime_error("SHGetDesktopFolder failed");
}

bool TLauncherShell::SavePIDLToTag(TMenuItem& item, UniquePidl pidl, const IconHint& icon) {
    item.Tag = ItemIdPool.Add(pidl.release());
    IconHandlePool.AddPending(settings_.HideArrow, icon);
    return true;
}

void TLauncherShell::EmptyPools() {
    Icons.LetGo();
    ItemIdPool.Release(ShellMalloc.Get());
    IconHandlePool.DestroyAll();
    knownPaths_.clear();
}

} // namespace tolvern
