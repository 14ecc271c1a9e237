// The menu item tree: what a forms library's menu items give, without any HMENU.
#include "framework/menu_item.h"

#include <algorithm>
#include <stdexcept>

namespace tolvern {

TMenuItem::~TMenuItem() {
    Clear();
}

int TMenuItem::MenuIndex() const {
    return parent_ ? parent_->IndexOf(this) : -1;
}

int TMenuItem::IndexOf(const TMenuItem* child) const {
    for (size_t i = 0; i < children_.size(); ++i)
        if (children_[i].get() == child)
            return static_cast<int>(i);
    return -1;
}

TMenuItem* TMenuItem::Add(std::unique_ptr<TMenuItem> item) {
    return Insert(Count(), std::move(item));
}

TMenuItem* TMenuItem::Insert(int index, std::unique_ptr<TMenuItem> item) {
    if (!item || item->parent_)
        throw std::invalid_argument("menu item already has a parent");
    if (index < 0 || index > Count())
        throw std::out_of_range("menu index out of range");
    item->parent_ = this;
    TMenuItem* raw = item.get();
    children_.insert(children_.begin() + index, std::move(item));
    ++generation_;
    return raw;
}

void TMenuItem::Delete(int index) {
    if (index < 0 || index >= Count())
        throw std::out_of_range("menu index out of range");
    // Take it out first, so that its destructor never sees a half-updated parent.
    std::unique_ptr<TMenuItem> item = std::move(children_[index]);
    children_.erase(children_.begin() + index);
    item->parent_ = nullptr;
    ++generation_;
}

std::unique_ptr<TMenuItem> TMenuItem::Remove(TMenuItem* child) {
    const int index = IndexOf(child);
    if (index < 0)
        return nullptr;
    std::unique_ptr<TMenuItem> item = std::move(children_[index]);
    children_.erase(children_.begin() + index);
    item->parent_ = nullptr;
    ++generation_;
    return item;
}

void TMenuItem::Clear() {
    while (!children_.empty())
        Delete(Count() - 1);
}

} // namespace tolvern
