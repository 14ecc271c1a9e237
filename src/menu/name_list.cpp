// Lists of named identifier lists, as folder reads collect them before building menu items.
#include "menu/name_list.h"

#include <algorithm>

namespace tolvern {

int CompareNames(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(),
                            static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()));
}

void SortAndMerge(std::vector<NamedPidl>& list) {
    std::stable_sort(list.begin(), list.end(), [](const NamedPidl& a, const NamedPidl& b) {
        return CompareNames(a.caption, b.caption) == CSTR_LESS_THAN;
    });
    std::vector<NamedPidl> merged;
    merged.reserve(list.size());
    for (NamedPidl& entry : list) {
        if (!merged.empty() && CompareNames(merged.back().caption, entry.caption) == CSTR_EQUAL) {
            // The list's own facts go with it: its icon, and its path (or none), which a
            // folder's children are read and checked against.
            merged.back().pidl = std::move(entry.pidl);
            merged.back().icon = std::move(entry.icon);
            merged.back().path = std::move(entry.path);
        } else
            merged.push_back(std::move(entry));
    }
    list = std::move(merged);
}

std::wstring CaptionLines(const std::vector<const std::vector<NamedPidl>*>& lists) {
    std::wstring text;
    for (const auto* list : lists)
        for (const NamedPidl& entry : *list)
            text += entry.caption + L"\r\n";
    return text;
}

} // namespace tolvern
