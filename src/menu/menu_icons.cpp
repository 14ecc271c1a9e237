// The icons of the pool's entries as the menu paints them: an entry whose own icon is not known
// yet shows the stand-in of its kind while the icon worker finds its own.
#include "menu/menu_icons.h"

#include <shlobj.h>

#include <utility>

namespace tolvern {

TMenuIcons::TMenuIcons(TItemIdPool& lists, TIconHandlePool& icons,
                       PIDLIST_ABSOLUTE const& commonPrograms)
    : lists_(lists), icons_(icons), commonPrograms_(commonPrograms),
      locations_(std::make_shared<TIconLocations>()) {}

TMenuIcons::~TMenuIcons() = default;

IconRequest TMenuIcons::RequestOf(int index) const {
    IconRequest request =
        RequestFor(lists_[index], IconSize, icons_.HideArrow(index), commonPrograms_);
    request.hint = icons_.Hint(index);
    return request;
}

HICON TMenuIcons::StandIn(IconStandIn kind) {
    UniqueIcon& icon = standIns_[{kind, IconSize}];
    if (!icon)
        icon.reset(MakeStandInIcon(kind, IconSize));
    return icon.get();
}

bool TMenuIcons::Known(int index) {
    return index < 0 || index >= icons_.Count() || !icons_.IsPending(index) ||
           icons_.ResolveFromClass(index);
}

HICON TMenuIcons::ToPaint(int index, bool& own) {
    if (holding_) {
        Worker().ResumeAfterPainting(); // made held, if this painting makes it
        holding_ = false;
    }
    own = Known(index);
    if (index < 0 || index >= icons_.Count())
        return nullptr;
    if (!own)
        Ask(index, true);
    if (HICON icon = own ? icons_[index] : nullptr)
        return icon;
    return lists_[index] ? StandIn(icons_.Hint(index).standIn) : nullptr;
}

HICON TMenuIcons::Now(int index) {
    if (index < 0 || index >= icons_.Count())
        return nullptr;
    if (!Known(index)) {
        ComPtr<IMalloc> allocator;
        FetchedIcon fetched;
        if (SUCCEEDED(::SHGetMalloc(&allocator)) && allocator)
            fetched =
                FetchRemembered(*allocator.Get(), RequestOf(index), *locations_,
                                [this](const std::wstring& key) { return icons_.HasShared(key); });
        icons_.ShareIcon(fetched.key, fetched.icon);
        icons_.ResolveFromKey(index, fetched.key);
    }
    return icons_[index];
}

void TMenuIcons::Ask(int index, bool urgent) {
    auto asked = asked_.find(index);
    if (asked != asked_.end() && (asked->second || !urgent))
        return;
    asked_[index] = urgent;
    // One member of a class finds the icon for all of them.
    if (const std::wstring cls = icons_.ClassKeyOf(index); !cls.empty()) {
        auto [it, first] = classesAsked_.emplace(cls, urgent);
        if (!first && (it->second || !urgent))
            return;
        it->second = it->second || urgent;
    }
    Worker().Request(index, RequestOf(index), urgent);
}

TIconWorker& TMenuIcons::Worker() {
    if (!worker_) {
        worker_ = std::make_unique<TIconWorker>(
            locations_, [this](int i, FetchedIcon&& fetched) { Accept(i, std::move(fetched)); },
            BeforeEachIcon);
        if (holding_)
            worker_->HoldForPainting();
    }
    return *worker_;
}

void TMenuIcons::HoldForPainting() {
    // No thread is started for a submenu that asks for no icon.
    if (worker_)
        worker_->HoldForPainting();
    holding_ = true;
}

void TMenuIcons::Queue(const std::vector<int>& indices) {
    for (int index : indices)
        if (!Known(index))
            Ask(index, false);
}

void TMenuIcons::Accept(int index, FetchedIcon&& fetched) {
    asked_.erase(index);
    // Kept under its key whatever became of the entry: the worker sends the key alone for
    // every later entry that shows the same picture.
    icons_.ShareIcon(fetched.key, std::exchange(fetched.icon, nullptr));
    if (index < icons_.Count() && icons_.IsPending(index))
        icons_.ResolveFromKey(index, fetched.key);
    if (Arrived)
        Arrived();
}

void TMenuIcons::Cancel() {
    if (worker_)
        worker_->Cancel();
    asked_.clear();
    classesAsked_.clear();
}

void TMenuIcons::LetGo() {
    Cancel();
    if (!worker_)
        return;
    worker_->WaitIdle(TIconWorker::kLetGoMilliseconds);
    worker_->NewEpoch();
}

bool TMenuIcons::Idle() const {
    return !worker_ || worker_->Idle();
}

} // namespace tolvern
