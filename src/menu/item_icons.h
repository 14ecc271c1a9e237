// The icons that menu items show: the shell's own, a shortcut's, url.dll's, with link arrows.
#pragma once

#include <shlobj.h>

#include <string>
#include <unordered_map>

namespace tolvern {

struct ShellItemFacts;
struct LinkTarget;

// What a folder read learnt about an item's icon, so that its first painting need not ask
// the shell about the item again.
struct IconHint {
    bool plain = false;       // a file-system item and no shortcut
    std::wstring sharedClass; // not empty: every item of this class shows the same icon
    std::wstring linkPath;    // a shortcut file's path, as the read found it
    // An item the shell cannot name (its path is too long for it): it shows the icon the shell
    // gives any item of its name and kind.
    std::wstring pathOnly;
    bool pathOnlyFolder = false;

    bool IsLink() const { return !linkPath.empty(); }
    // For the target a shortcut stands in for: the same picture, but no shortcut.
    IconHint ForTarget() const { return {plain, sharedClass, {}, {}, false}; }
};

// Decides which items of one read share their icon: files of an extension whose type gives
// every file the same icon, folders without customisation, Internet shortcuts and shortcuts
// to such files and folders while arrows are hidden (they show their target's icon). Each
// extension's type is asked once per read (a type changed meanwhile counts from the next).
class TIconClasses {
public:
    explicit TIconClasses(bool hideArrow) : hideArrow_(hideArrow) {}
    IconHint Of(const ShellItemFacts& facts);
    // The class of a shortcut's icon, from its resolved target (empty: its own icon).
    std::wstring OfLinkTarget(const LinkTarget& target);

private:
    IconHint OfPlain(const ShellItemFacts& facts);
    bool ExtensionSharesIcon(const std::wstring& upperExtension);
    bool hideArrow_;
    std::unordered_map<std::wstring, bool> extensions_;
};

// Every routine returns a new icon owned by the caller, or 0; large = 32x32, else 16x16.
HICON ExtractIconFromFile(const std::wstring& file, int index, bool large);
HICON GetURLIcon(bool large);
HICON GetProgramGroupIcon(bool large); // used only on Windows NT 4
// The icon with the shell's link arrow painted over it; the given icon is not destroyed.
HICON AddLinkArrow(HICON icon, bool large);
// An icon from a rectangle of the bitmap; pixels of the transparent colour become
// transparent. Throws the system error when the icon cannot be made.
HICON BitmapToIcon(HBITMAP bitmap, const RECT& rect, COLORREF transparentColor);

// commonPrograms is the all-users Programs folder, which only the NT 4 branch looks at.
HICON GetSystemIcon(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl, bool large,
                    PCIDLIST_ABSOLUTE commonPrograms);
// With hideArrow, a shortcut shows the icon it names (or its target's) without the arrow
// and an Internet shortcut shows url.dll's icon.
HICON GetItemIcon(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl, bool large, bool hideArrow,
                  PCIDLIST_ABSOLUTE commonPrograms);

// Where the icon GetItemIcon gives comes from, found without making it: items whose sources
// have the same Key show the same picture, so one icon can serve them all.
struct ItemIconSource {
    enum class Kind { None, System, File, Url, ProgramGroup, ProgramGroupLink };
    Kind kind = Kind::None;
    bool large = false;
    int index = 0;             // System: in the system image list; File: in the file
    std::wstring file;         // File
    int fallback = -1;         // File: the system image list's index when the file has none
    HIMAGELIST list = nullptr; // the system image list (not owned)

    std::wstring Key() const;
};
// known: what a read found the item to be, so that it is not asked again.
ItemIconSource GetItemIconSource(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl, bool large,
                                 bool hideArrow, PCIDLIST_ABSOLUTE commonPrograms,
                                 const IconHint& known = {});
// A new icon owned by the caller, or 0.
HICON MakeItemIcon(const ItemIconSource& source);

} // namespace tolvern
