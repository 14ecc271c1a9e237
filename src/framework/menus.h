// The forms library's popup menu: a TMenuItem tree realised as owner-drawn HMENUs and shown
// with TrackPopupMenuEx on a hidden window of its own.
#pragma once

#include "base/unique_handle.h"
#include "framework/menu_item.h"
#include "framework/popup_menu.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace tolvern {

class TCanvas;
class TImageList;

// Directions of the menu's opening animation (MenuAnimation is a set of these bits).
enum TMenuAnimation : unsigned {
    maLeftToRight = 1,
    maRightToLeft = 2,
    maTopToBottom = 4,
    maBottomToTop = 8,
};

// The accelerator character of a caption ("&X", "&&" is a literal ampersand), 0 for none.
wchar_t GetHotkeyChar(const std::wstring& caption);

class TPopupMenu : public TPopupMenuBase {
public:
    using TNotifyEvent = std::function<void(TPopupMenu* sender)>;

    explicit TPopupMenu(TComponent* owner = nullptr);
    ~TPopupMenu() override;

    TMenuItem Items; // the root; its children are the top-level items
    TImageList* Images = nullptr;
    bool OwnerDraw = false;
    bool AutoPopup = true;
    unsigned MenuAnimation = 0; // TMenuAnimation bits
    // Submenus taller than the work area show as one column that scrolls, whether or not
    // their columns would fit. (Columns that do not fit beside the menu they open from scroll
    // anyway; the top level never scrolls.)
    bool ScrollTallSubmenus = false;
    // The point given to Popup is the menu's top-right corner (x exclusive) rather than its
    // top-left: a menu whose width is not known before the system measures it then ends at a
    // right edge.
    bool AlignRight = false;
    // The DPI of the monitor the menu shows on, which owner-drawn items are sized for: Popup
    // takes it from its point before anything else.
    int Dpi = 96;
    // A point of the menu as Popup was last asked to show it, on the monitor it shows on.
    POINT ShownAt() const { return shownAt_; }
    TNotifyEvent OnPopup;
    // The menu has closed (before the chosen item's OnClick runs).
    TNotifyEvent OnClose;
    // A submenu has been filled and is about to show; a submenu has closed (its parent may
    // stay open). owner is the item whose children it shows.
    std::function<void(TMenuItem* owner)> OnSubmenuOpen;
    std::function<void(TMenuItem* owner)> OnSubmenuClose;

    // A right click on an item of the open menu, or the Apps key or Shift+F10 on the selected
    // one: the item and the screen point for a menu of its own. While it is set, the right
    // button chooses no item.
    std::function<void(TMenuItem* item, POINT at)> OnItemContextMenu;

    // Runs OnPopup, shows the menu at the screen point and returns when it has closed; the
    // chosen item's OnClick runs after the menu has closed and before Popup returns.
    void Popup(int x, int y) override;

    // The messages of a menu that is not this one's (owner-drawn items, submenus filled as
    // they open): true when the receiver took the message, with its result.
    using TForeignMenuMessages =
        std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
    // Shows another menu over the open one, from this menu's window, handing its messages to
    // `messages` first; returns the command chosen, 0 when it closed without one. The open menu
    // stays open beneath it.
    UINT TrackNested(HMENU menu, POINT at, const TForeignMenuMessages& messages);
    // Closes the open menu; `action` runs once its loop has ended, before Popup returns (so
    // that what it shows is not shown inside a menu loop).
    void CloseThen(std::function<void()> action);

    // --- The realisation (what Popup shows); public so that tests can drive it with the same
    // messages the system sends.
    // Builds a fresh root HMENU from Items (submenus are filled when they open).
    HMENU Realize();
    void ReleaseRealization();
    HMENU Handle() const { return root_.get(); }
    // The hidden window that owns the menu and receives its messages.
    HWND WindowHandle() const;
    // The item behind a command identifier of the current realisation (nullptr when gone).
    TMenuItem* ItemOfCommand(UINT command) const;
    // The submenu HMENU that item owns in the current realisation, nullptr if none.
    HMENU SubMenuOf(const TMenuItem* item) const;
    // The last identifier WM_COMMAND can carry.
    static constexpr UINT kLastCommand = 0xFFFF;
    // Number of command identifiers in use, and the largest one ever handed out.
    size_t CommandsInUse() const { return entries_.size(); }
    UINT HighestCommand() const { return nextId_ - 1; }
    bool Tracking() const { return tracking_; }

    // Paints the items again where they were last painted, in menus still on the screen; the
    // other items of those menus are left alone.
    void RepaintItems(const std::vector<const TMenuItem*>& items);

    // The image list of an item: the nearest ancestor's SubMenuImages, else Images.
    TImageList* ImageListOf(const TMenuItem* item) const;

    // The toolkit's own measure and look for an owner-drawn item without draw handlers.
    void DefaultMeasureItem(TMenuItem* item, TCanvas& canvas, int& width, int& height) const;
    void DefaultDrawItem(TMenuItem* item, TCanvas& canvas, const RECT& rect, UINT state) const;
    // The height DefaultMeasureItem gives a one-line item in the menu font of a monitor of that
    // DPI.
    static int DefaultItemHeight(int imageHeight, int dpi);

private:
    class MenuWindow;
    friend class MenuWindow;
    struct Entry {
        TMenuItem* item = nullptr;
        std::weak_ptr<void> life;
        HMENU parentMenu = nullptr;
        HMENU subMenu = nullptr;
        HWND window = nullptr; // the menu window it was last painted in, while that shows
        RECT painted{};        // where, in that window's client area
        // Its size, found before the system asked for it (to lay out its submenu).
        std::optional<SIZE> measured{};
    };

    bool HandleMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool IsOwnMenuMessage(UINT message, WPARAM wParam, LPARAM lParam) const;
    class MenuLoopFilter;
    friend class MenuLoopFilter;
    // Asks OnItemContextMenu for the item at the position of the menu, at the point.
    void RequestItemContextMenu(HMENU menu, int position, POINT at);
    // The item selected last in the open menu; false when none is.
    bool SelectedItem(HMENU& menu, int& position) const;
    void InitPopup(HMENU menu);
    void ReleaseClosedMenus();
    LRESULT MenuChar(wchar_t ch, HMENU menu);
    // Selects the first item after the selected one (current) whose text starts with what was
    // typed in the menu without a pause, wrapping round.
    LRESULT SelectTyped(wchar_t ch, HMENU menu, int current);
    // Answers WM_MENUCHAR with the item to select, and sees that it is selected.
    LRESULT SelectByKey(HMENU menu, int position);
    void Measure(MEASUREITEMSTRUCT& mis);
    SIZE MeasureItem(TMenuItem* item);
    // A filled submenu as its columns, or as one column that scrolls where they do not fit.
    void LayOutSubmenu(HMENU menu, UINT ownerId);
    void Draw(const DRAWITEMSTRUCT& dis);
    // Where the system painted an item, as RepaintItems paints it again.
    void NotePainted(UINT command, HWND window, const RECT& rect);

    static int ItemHeight(int imageHeight, int textHeight, int dpi);
    bool IsOwnerDrawn(const TMenuItem* item) const;
    TMenuItem* LiveItem(UINT command) const;
    UINT AllocateCommand(); // 0 when the range is used up
    bool AppendItem(HMENU menu, TMenuItem* item);
    void FillMenu(HMENU menu, TMenuItem* owner);
    void ReleaseContents(HMENU menu);
    void ReleaseEntry(UINT command);
    void ClearMenu(HMENU menu);

    // One device context, canvas and font measure every item of a realisation: the system
    // asks once per item, and a folder submenu may hold thousands.
    struct Measuring;
    std::unique_ptr<Measuring> measuring_;
    RECT screen_{}; // the whole desktop, taken as the popup starts
    POINT shownAt_{};

    std::unique_ptr<MenuWindow> window_;
    UniqueMenu root_;
    std::unordered_map<UINT, Entry> entries_;
    std::unordered_map<HMENU, UINT> owners_; // submenu -> owning command, root -> 0
    std::vector<HMENU> closedMenus_;         // closed submenus still holding identifiers
    std::vector<UINT> freeIds_;
    UINT nextId_ = 1;
    bool tracking_ = false;
    TForeignMenuMessages foreignMessages_; // while another menu is tracked over this one
    std::function<void()> afterClose_;
    // The item painted last at each place (menu window, left, top) of the open menus.
    std::map<std::tuple<UINT_PTR, LONG, LONG>, UINT> paintedAt_;
    LONG tallestPainted_ = 0;
    // Characters typed into a menu without a pause, and the position of the item they found.
    struct TypedText {
        HMENU menu = nullptr;
        std::wstring text;
        DWORD at = 0;
        int found = -1;
    };
    TypedText typed_;
    HMENU selectedMenu_ = nullptr; // the item selected last, as WM_MENUSELECT told it
    UINT selectedItem_ = 0;
    bool selectedIsPosition_ = false;
};

} // namespace tolvern
