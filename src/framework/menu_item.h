// The menu item tree: what a forms library's menu items give, without any HMENU. The popup
// menu realises the tree as HMENUs when it shows it (see menus.h).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tolvern {

class TCanvas;
class TImageList;

class TMenuItem {
public:
    using TNotifyEvent = std::function<void(TMenuItem* sender)>;
    // The canvas carries the library's font and colours; rect is in the menu's client area.
    using TDrawItemEvent =
        std::function<void(TMenuItem* sender, TCanvas& canvas, const RECT& rect, bool selected)>;
    using TAdvancedDrawItemEvent = std::function<void(TMenuItem* sender, TCanvas& canvas,
                                                      const RECT& rect, UINT ownerDrawState)>;
    // width and height hold the library's own measure on entry.
    using TMenuMeasureItemEvent =
        std::function<void(TMenuItem* sender, TCanvas& canvas, int& width, int& height)>;

    TMenuItem() = default;
    explicit TMenuItem(std::wstring caption) : Caption(std::move(caption)) {}
    TMenuItem(const TMenuItem&) = delete;
    TMenuItem& operator=(const TMenuItem&) = delete;
    ~TMenuItem(); // frees the children

    // "&" marks the accelerator, "&&" shows one ampersand, "-" makes a separator.
    std::wstring Caption;
    INT_PTR Tag = 0;
    std::wstring Hint;
    bool Visible = true;
    bool Enabled = true;
    bool Default = false; // drawn bold
    bool Break = false;   // starts a new column
    int ImageIndex = -1;
    TImageList* SubMenuImages = nullptr; // images of the children
    // For an item with children, runs when its submenu is about to open.
    TNotifyEvent OnClick;
    TDrawItemEvent OnDrawItem;
    TAdvancedDrawItemEvent OnAdvancedDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;

    bool IsLine() const { return Caption == L"-"; }

    int Count() const { return static_cast<int>(children_.size()); }
    TMenuItem* Items(int index) const { return children_.at(index).get(); }
    TMenuItem* Parent() const { return parent_; }
    // Position among the parent's children, -1 without a parent.
    int MenuIndex() const;
    int IndexOf(const TMenuItem* child) const;

    // The tree owns its items: adding takes ownership, Delete frees, Remove hands it back.
    TMenuItem* Add(std::unique_ptr<TMenuItem> item);
    TMenuItem* Insert(int index, std::unique_ptr<TMenuItem> item);
    void Delete(int index);
    std::unique_ptr<TMenuItem> Remove(TMenuItem* child);
    void Clear();

    // Changes every time the children change, so a realised HMENU can tell it is stale.
    unsigned Generation() const { return generation_; }

    // Expires when the item is destroyed, so that a realised menu can tell that an item it
    // refers to has gone (a handler may free items while the menu is open).
    std::weak_ptr<void> LifeToken() const { return life_; }

private:
    std::shared_ptr<int> life_ = std::make_shared<int>(0);
    TMenuItem* parent_ = nullptr;
    std::vector<std::unique_ptr<TMenuItem>> children_;
    unsigned generation_ = 0;
};

} // namespace tolvern
