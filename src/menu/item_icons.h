// The icons that menu items show: what a read learns of an item's icon, where the icon is found
// (the shell's own, a shortcut's, url.dll's, with link arrows) and how it is made.
#pragma once

#include "menu/shell_items.h"

#include <shlobj.h>

#include <string>
#include <unordered_map>

namespace tolvern {

// The picture an item shows until its own icon is known: its kind's system icon.
enum class IconStandIn { Document, Folder, Program };
// The kind of a file by its path (a folder's kind is known without it).
IconStandIn StandInOf(const std::wstring& path);

// What a folder read learnt about an item's icon, so that its icon is found without asking the
// shell about the item again.
struct IconHint {
    bool plain = false;       // a file-system item and no shortcut
    std::wstring sharedClass; // not empty: every item of this class shows the same icon
    std::wstring path;        // the item's file-system path, as the read found it
    bool link = false;        // a shortcut file (at path)
    IconStandIn standIn = IconStandIn::Document;
    // A shortcut the read opened: the icon file it names (empty: none) and its target.
    bool linkRead = false;
    std::wstring linkIconFile;
    int linkIconIndex = 0;
    PidlBytes linkTarget;
    // An item the shell cannot name (its path is too long for it) and that has no list: it
    // shows the icon the shell gives any item of its name and kind.
    bool pathOnly = false;

    bool IsLink() const { return link; }
    // For the target a shortcut stands in for: the same picture, but no shortcut.
    IconHint ForTarget(const std::wstring& targetPath) const;
    // Takes what the read found when it opened the shortcut.
    void TakeLink(const LinkTarget& target);
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

// Every routine returns a new icon owned by the caller, or 0, of size x size pixels.
HICON ExtractIconFromFile(const std::wstring& file, int index, int size);
HICON GetURLIcon(int size);
HICON GetProgramGroupIcon(int size); // used only on Windows NT 4
// The icon with the shell's link arrow painted over it; the given icon is not destroyed.
HICON AddLinkArrow(HICON icon, int size);
// An icon from a rectangle of the bitmap; pixels of the transparent colour become
// transparent. Throws the system error when the icon cannot be made.
HICON BitmapToIcon(HBITMAP bitmap, const RECT& rect, COLORREF transparentColor);

// commonPrograms is the all-users Programs folder, which only the NT 4 branch looks at.
HICON GetSystemIcon(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl, int size,
                    PCIDLIST_ABSOLUTE commonPrograms);
// With hideArrow, a shortcut shows the icon it names (or its target's) without the arrow
// and an Internet shortcut shows url.dll's icon.
HICON GetItemIcon(IMalloc& allocator, PCIDLIST_ABSOLUTE pidl, int size, bool hideArrow,
                  PCIDLIST_ABSOLUTE commonPrograms);

// Everything one item's icon is found from, as plain data, so that another thread can work on
// it: a copy of the item's list and what its read learnt.
struct IconRequest {
    PidlBytes pidl;
    IconHint hint;
    bool hideArrow = false;
    int size = 16;               // in pixels
    std::wstring commonPrograms; // the all-users Programs folder's path (NT 4 only)
};
// The request for an item that nothing is known of but its list.
IconRequest RequestFor(PCIDLIST_ABSOLUTE pidl, int size, bool hideArrow,
                       PCIDLIST_ABSOLUTE commonPrograms);

// Where an item's icon comes from, found without making it: items whose sources have the same
// Key show the same picture, so one icon can serve them all.
struct ItemIconSource {
    enum class Kind { None, System, File, Url, ProgramGroup, ProgramGroupLink };
    Kind kind = Kind::None;
    int size = 16;
    int index = 0;             // System: in the system image list; File: in the file
    std::wstring file;         // File
    HIMAGELIST list = nullptr; // System: the system image list for the size (not owned)
    PidlBytes target;          // File: the shortcut's target, whose icon stands in when the
                               // file has none

    std::wstring Key() const;
    // Valid for as long as the program runs (the system image list keeps its entries): worth
    // remembering across restarts.
    bool Lasting() const { return kind == Kind::System || kind == Kind::File; }
};
ItemIconSource FindIconSource(IMalloc& allocator, const IconRequest& request);
// A new icon owned by the caller, or 0.
HICON MakeItemIcon(const ItemIconSource& source);

// An icon found and made, under the key of the source it was made from.
struct FetchedIcon {
    std::wstring key;
    HICON icon = nullptr; // owned by the receiver; 0 when none could be made
    ItemIconSource source;
};
// Makes the source's icon; a file a shortcut names that holds no icon gives way to the target's.
FetchedIcon MakeFetchedIcon(IMalloc& allocator, ItemIconSource source, const IconRequest& request);
// Finds and makes the icon of one request: the whole way from what the read knew to a handle.
FetchedIcon FetchItemIcon(IMalloc& allocator, const IconRequest& request);

// The system image list's icon of a kind, of the given size (new, owned by the caller).
HICON MakeStandInIcon(IconStandIn kind, int size);

} // namespace tolvern
