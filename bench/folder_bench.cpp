// Folder reading speed against the shell's own enumeration floor, on folders it creates: every
// case runs several times, its floor and its read taking turns, and the medians compare.
#include "bench_support.h"

#include "base/com.h"
#include "menu/launcher_shell.h"

#include <cstdio>

namespace tolvern {
namespace {

using namespace bench;

struct ReadFigures {
    int items = 0;
    double readMs = 0, rereadMs = 0;
    bool unchanged = true; // the second reading created no menu item
};

// One first read of the folder by a fresh shell, and a second read of the same item.
ReadFigures ReadOnce(const wchar_t* name, const fs::path& dir) {
    ReadFigures figures;
    LauncherSettings settings;
    TLauncherShell shell(settings);
    shell.PrepareShell();
    shell.EscapePressed = [] { return false; };
    UniquePidl pidl =
        GetPIDLFromPath(*shell.DesktopFolder.Get(), *shell.ShellMalloc.Get(), dir.wstring());
    if (!pidl)
        return figures;
    TMenuItem root;
    TMenuItem* item = shell.AddFolder(root, name, std::move(pidl));
    auto start = Clock::now();
    shell.GetSubItems2(item);
    figures.readMs = MillisecondsSince(start);

    const int pooled = shell.ItemIdPool.Count();
    const int entries = item->Count();
    figures.items = entries - 3;
    TMenuItem* first = entries > 3 ? item->Items(3) : nullptr;
    start = Clock::now();
    shell.GetSubItems2(item);
    figures.rereadMs = MillisecondsSince(start);
    figures.unchanged = shell.ItemIdPool.Count() == pooled && item->Count() == entries &&
                        (entries <= 3 || item->Items(3) == first);
    return figures;
}

bool RunCase(const wchar_t* name, const fs::path& dir) {
    if (!Selected(name))
        return true;
    // One pass of each first, so that warming the caches counts for neither side.
    FloorOfPath(dir);
    ReadOnce(name, dir);
    std::vector<double> floors, reads, rereads;
    int items = 0;
    bool unchanged = true;
    const int runs = Runs();
    for (int run = 0; run < runs; ++run) {
        const auto start = Clock::now();
        items = FloorOfPath(dir);
        floors.push_back(MillisecondsSince(start));
        const ReadFigures figures = ReadOnce(name, dir);
        reads.push_back(figures.readMs);
        rereads.push_back(figures.rereadMs);
        unchanged = unchanged && figures.unchanged;
    }
    const double medianFloor = Median(floors), medianRead = Median(reads);
    std::printf("folder_read %ls items=%d floor_ms=%.1f read_ms=%.1f reread_ms=%.1f "
                "ratio=%.2f median_floor_ms=%.1f median_read_ms=%.1f\n",
                name, items, Minimum(floors), Minimum(reads), Median(rereads),
                medianFloor > 0 ? medianRead / medianFloor : 0.0, medianFloor, medianRead);
    if (!unchanged)
        std::fprintf(stderr, "folder_read %ls: the second reading created menu items\n", name);
    std::fflush(stdout);
    return unchanged;
}

} // namespace
} // namespace tolvern

int wmain() {
    using namespace tolvern;
    using namespace tolvern::bench;
    OleScope ole;
    AssociateTextFiles(); // the plain files are associated ones
    const fs::path base = FreshBase();
    PlainFolder(base / L"plain1000", 1000);
    PlainFolder(base / L"plain5000", 5000);
    MixedFolder(base / L"mixed");
    LetFilesSettle();
    bool ok = RunCase(L"plain_1000", base / L"plain1000");
    ok = RunCase(L"plain_5000", base / L"plain5000") && ok;
    ok = RunCase(L"mixed", base / L"mixed") && ok;
    std::error_code ignored;
    fs::remove_all(base, ignored);
    return ok ? 0 : 1;
}
