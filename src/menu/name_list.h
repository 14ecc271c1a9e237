// Lists of named identifier lists, as folder reads collect them before building menu items.
#pragma once

#include "menu/item_icons.h"
#include "menu/shell_items.h"

#include <string>
#include <vector>

namespace tolvern {

struct NamedPidl {
    std::wstring caption;
    UniquePidl pidl;
    IconHint icon; // what the read learnt of the item's own icon
    // The path the read found: a folder's (else asked when it opens), or that of an item the
    // shell cannot name, which has no list.
    std::wstring path{};
};

// The user locale's collation, ignoring case (CSTR_LESS_THAN, CSTR_EQUAL, CSTR_GREATER_THAN).
int CompareNames(const std::wstring& a, const std::wstring& b);

// Orders by the user's collation ignoring case and keeps one entry per name: the caption of
// the first such child and the list of the last, with that list's icon and path.
void SortAndMerge(std::vector<NamedPidl>& list);

// Every caption of the lists in order, each followed by CR LF: what a submenu shows.
std::wstring CaptionLines(const std::vector<const std::vector<NamedPidl>*>& lists);
inline std::wstring CaptionLines(const std::vector<NamedPidl>& folders,
                                 const std::vector<NamedPidl>& files) {
    return CaptionLines({&folders, &files});
}

} // namespace tolvern
