// Where items' icons were found, kept across restarts, which free the icons themselves.
#include "menu/icon_locations.h"

namespace tolvern {

std::wstring TIconLocations::KeyOf(const IconRequest& request) {
    const IconHint& hint = request.hint;
    // Items of a shared class are found from their extension alone, which costs nothing to ask.
    if (hint.path.empty() || !hint.sharedClass.empty())
        return {};
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(LongPathForm(hint.path).c_str(), GetFileExInfoStandard, &data))
        return {};
    const ULONGLONG written = (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                              data.ftLastWriteTime.dwLowDateTime;
    return std::to_wstring(request.size) + (request.hideArrow ? L"-" : L"+") +
           std::to_wstring(written) + L"|" + hint.path;
}

std::optional<ItemIconSource> TIconLocations::Find(const std::wstring& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = byKey_.find(key);
    if (it == byKey_.end())
        return std::nullopt;
    entries_.splice(entries_.begin(), entries_, it->second);
    return it->second->second;
}

void TIconLocations::Remember(const std::wstring& key, const ItemIconSource& source) {
    if (key.empty() || !source.Lasting() || capacity_ == 0)
        return;
    ItemIconSource kept = source;
    kept.target = PidlBytes(); // only what made the icon is kept
    std::lock_guard<std::mutex> lock(mutex_);
    auto [it, added] = byKey_.try_emplace(key);
    if (!added) {
        it->second->second = std::move(kept);
        entries_.splice(entries_.begin(), entries_, it->second);
        return;
    }
    entries_.emplace_front(&it->first, std::move(kept));
    it->second = entries_.begin();
    if (entries_.size() > capacity_) {
        const std::wstring oldest = *entries_.back().first;
        entries_.pop_back();
        byKey_.erase(oldest);
    }
}

FetchedIcon FetchRemembered(IMalloc& allocator, const IconRequest& request,
                            TIconLocations& locations,
                            const std::function<bool(const std::wstring& key)>& held) {
    const std::wstring key = TIconLocations::KeyOf(request);
    const std::optional<ItemIconSource> remembered =
        key.empty() ? std::nullopt : locations.Find(key);
    ItemIconSource source = remembered ? *remembered : FindIconSource(allocator, request);
    if (held && held(source.Key())) {
        if (!remembered)
            locations.Remember(key, source); // held, so it was made
        FetchedIcon known;
        known.key = source.Key();
        known.source = std::move(source);
        return known;
    }
    FetchedIcon fetched = MakeFetchedIcon(allocator, std::move(source), request);
    if (!fetched.icon && remembered)
        fetched = FetchItemIcon(allocator, request); // the remembered file gives it no longer
    if (fetched.icon)
        locations.Remember(key, fetched.source);
    if (fetched.icon && held && held(fetched.key)) {
        ::DestroyIcon(fetched.icon);
        fetched.icon = nullptr;
    }
    return fetched;
}

size_t TIconLocations::Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.size();
}

} // namespace tolvern
