// The forms library's popup menu: a TMenuItem tree realised as owner-drawn HMENUs and shown
// with TrackPopupMenuEx on a hidden window of its own.
#include "framework/menus.h"

#include "base/dpi.h"
#include "base/text.h"
#include "framework/canvas.h"
#include "framework/image_list.h"
#include "framework/submenu_fit.h"
#include "framework/window.h"

#include <algorithm>
#include <optional>
#include <unordered_set>
#include <utility>

namespace tolvern {

wchar_t GetHotkeyChar(const std::wstring& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&')
            continue;
        if (caption[i + 1] == L'&') {
            ++i;
            continue;
        }
        return caption[i + 1];
    }
    return 0;
}

namespace {
wchar_t UpperChar(wchar_t ch) {
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(
        ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(ch)))));
}

// Item rectangles, menus and DC state: what a draw call may change is put back afterwards.
class SavedDC {
public:
    explicit SavedDC(HDC dc) : dc_(dc), id_(::SaveDC(dc)) {}
    ~SavedDC() { ::RestoreDC(dc_, id_); }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;

private:
    HDC dc_;
    int id_;
};
} // namespace

namespace {
// Posted to the menu's window when the menu loop showed a request for an item's context menu.
constexpr UINT kContextMenuRequest = WM_APP + 20;
// Posted when a typed character chose an item to select: wParam its position, lParam its menu.
constexpr UINT kSelectTypedItem = WM_APP + 21;
// Characters typed within this time of the one before add to the text searched for.
constexpr DWORD kTypingPause = 1000;

// The text a caption shows: "&&" shows one ampersand, "&X" shows X.
std::wstring ShownText(const std::wstring& caption) {
    std::wstring shown;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}
} // namespace

// The mouse and keys of the open menu, as its loop sees them.
// - The release of a button that was already down as the menu opened (the press that opened
//   it, on a tray icon) chooses nothing, wherever the pointer has gone meanwhile: the menu
//   stays open. A new press of that button is the user's again.
// - With an item context handler: right clicks and the context-menu keys. The system's own
//   notice of a right click (WM_MENURBUTTONUP) is not sent by every system (Wine's menus never
//   send it), so the loop's messages are watched too, and a click noticed both ways is served
//   once.
class TPopupMenu::MenuLoopFilter {
public:
    explicit MenuLoopFilter(TPopupMenu& menu) : menu_(menu) {
        const bool swapped = ::GetSystemMetrics(SM_SWAPBUTTON) != 0;
        // The key state names the physical buttons, the messages the logical ones.
        heldLeft_ = (::GetAsyncKeyState(swapped ? VK_RBUTTON : VK_LBUTTON) & 0x8000) != 0;
        heldRight_ = (::GetAsyncKeyState(swapped ? VK_LBUTTON : VK_RBUTTON) & 0x8000) != 0;
        previous_ = std::exchange(current_, this);
        hook_ = ::SetWindowsHookExW(WH_MSGFILTER, Filter, nullptr, ::GetCurrentThreadId());
    }
    ~MenuLoopFilter() {
        if (hook_)
            ::UnhookWindowsHookEx(hook_);
        current_ = previous_;
    }
    MenuLoopFilter(const MenuLoopFilter&) = delete;
    MenuLoopFilter& operator=(const MenuLoopFilter&) = delete;

    struct Request {
        HMENU menu = nullptr;
        int position = -1;
        POINT at{};
    };
    // The request the loop saw last, once.
    static std::optional<Request> Take() {
        if (!current_)
            return std::nullopt;
        return std::exchange(current_->pending_, std::nullopt);
    }
    // The system told of the click itself: the loop's notice of it is served.
    static void Forget() {
        if (current_)
            current_->pending_.reset();
    }

private:
    static LRESULT CALLBACK Filter(int code, WPARAM wParam, LPARAM lParam) {
        if (code == MSGF_MENU && current_ && current_->Watch(*reinterpret_cast<MSG*>(lParam)))
            return TRUE;
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    // True when the message is the loop's no more.
    bool Watch(const MSG& msg) {
        if (menu_.foreignMessages_)
            return false; // a menu over this one runs its own loop
        switch (msg.message) {
        case WM_LBUTTONDOWN:
            heldLeft_ = false;
            return false;
        case WM_LBUTTONUP:
            return std::exchange(heldLeft_, false);
        case WM_RBUTTONDOWN:
            heldRight_ = false;
            return false;
        case WM_RBUTTONUP: {
            if (std::exchange(heldRight_, false))
                return true;
            if (!menu_.OnItemContextMenu)
                return false;
            POINT at{};
            ::GetCursorPos(&at);
            HWND window = ::WindowFromPoint(at);
            if (!window || WindowClassName(window) != L"#32768")
                return false;
            auto* menu = reinterpret_cast<HMENU>(::SendMessageW(window, MN_GETHMENU, 0, 0));
            const int position = menu ? ::MenuItemFromPoint(nullptr, menu, at) : -1;
            if (position < 0)
                return false;
            Post({menu, position, at});
            return false; // the system may tell of it too
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (!menu_.OnItemContextMenu)
                return false;
            if (msg.wParam == VK_APPS ||
                (msg.wParam == VK_F10 && (::GetKeyState(VK_SHIFT) & 0x8000))) {
                Request request;
                if (menu_.SelectedItem(request.menu, request.position)) {
                    RECT rect{};
                    ::GetMenuItemRect(nullptr, request.menu, static_cast<UINT>(request.position),
                                      &rect);
                    request.at = {rect.left, rect.bottom};
                    Post(request);
                }
                return true;
            }
            return false;
        default:
            return false;
        }
    }
    void Post(const Request& request) {
        pending_ = request;
        ::PostMessageW(menu_.WindowHandle(), kContextMenuRequest, 0, 0);
    }

    static inline thread_local MenuLoopFilter* current_ = nullptr;
    TPopupMenu& menu_;
    MenuLoopFilter* previous_ = nullptr;
    HHOOK hook_ = nullptr;
    bool heldLeft_ = false;
    bool heldRight_ = false;
    std::optional<Request> pending_;
};

class TPopupMenu::MenuWindow : public Window {
public:
    explicit MenuWindow(TPopupMenu& menu) : menu_(menu) {
        CreateHandle(L"TolvernPopupList", L"", WS_POPUP, WS_EX_TOOLWINDOW, nullptr);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        LRESULT result = 0;
        if (menu_.HandleMenuMessage(message, wParam, lParam, result))
            return result;
        return DefaultHandler(message, wParam, lParam);
    }

private:
    TPopupMenu& menu_;
};

struct TPopupMenu::Measuring {
    explicit Measuring(int dpi)
        : dc(::CreateCompatibleDC(nullptr)), canvas(dc.get()), font(MenuLogFont(dpi)) {}
    UniqueMemoryDC dc;
    TCanvas canvas; // keeps its font while the fields stay the same
    LOGFONTW font;  // the menu font when the realisation began
};

TPopupMenu::TPopupMenu(TComponent* owner)
    : TPopupMenuBase(owner), window_(std::make_unique<MenuWindow>(*this)) {}

TPopupMenu::~TPopupMenu() {
    ReleaseRealization();
}

HWND TPopupMenu::WindowHandle() const {
    return window_->Handle();
}

void TPopupMenu::Popup(int x, int y) {
    if (tracking_)
        return; // the system runs one menu at a time
    // Right-aligned, the point itself lies just right of the menu, on a neighbour monitor when
    // one adjoins there.
    shownAt_ = {AlignRight ? x - 1 : x, y};
    Dpi = DpiAtPoint(shownAt_);
    if (OnPopup)
        OnPopup(this);
    typed_ = {};
    HMENU menu = Realize();
    // Asked once a popup: each question costs a round trip under Wine, and items are many.
    const int screenLeft = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int screenTop = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    screen_ = {screenLeft, screenTop, screenLeft + ::GetSystemMetrics(SM_CXVIRTUALSCREEN),
               screenTop + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    // With items that have context menus, the right button is theirs: it chooses nothing.
    UINT flags = TPM_RETURNCMD | (AlignRight ? TPM_RIGHTALIGN : TPM_LEFTALIGN) | TPM_TOPALIGN;
    if (!OnItemContextMenu)
        flags |= TPM_RIGHTBUTTON;
    if (MenuAnimation & maLeftToRight)
        flags |= TPM_HORPOSANIMATION;
    if (MenuAnimation & maRightToLeft)
        flags |= TPM_HORNEGANIMATION;
    if (MenuAnimation & maTopToBottom)
        flags |= TPM_VERPOSANIMATION;
    if (MenuAnimation & maBottomToTop)
        flags |= TPM_VERNEGANIMATION;
    // A tracked menu closes on a click elsewhere only while a window of its thread is in the
    // foreground: when none is, the menu's own window takes the foreground, and gives it back
    // as the menu closes. A window of ours keeps it (a dialog must not be left inactive).
    HWND foreground = ::GetForegroundWindow();
    const bool takeForeground =
        !foreground || ::GetWindowThreadProcessId(foreground, nullptr) != ::GetCurrentThreadId();
    if (takeForeground)
        ::SetForegroundWindow(window_->Handle());
    UINT command = 0;
    {
        MenuLoopFilter loop(*this);
        tracking_ = true;
        command =
            static_cast<UINT>(::TrackPopupMenuEx(menu, flags, x, y, window_->Handle(), nullptr));
        tracking_ = false;
    }
    // Before the choice runs, which may show a window that takes the foreground itself.
    if (takeForeground && foreground && ::GetForegroundWindow() == window_->Handle())
        ::SetForegroundWindow(foreground);
    selectedMenu_ = nullptr;
    if (OnClose)
        OnClose(this);
    // Resolve the choice before the realisation goes, then run it with the menu closed, so
    // that the handler may change or free anything.
    TMenuItem* chosen = LiveItem(command);
    std::weak_ptr<void> life = chosen ? chosen->LifeToken() : std::weak_ptr<void>();
    ReleaseRealization();
    // The null message after the menu has closed lets the next popup open at once.
    ::PostMessageW(window_->Handle(), WM_NULL, 0, 0);
    if (auto after = std::exchange(afterClose_, nullptr)) {
        after();
        return;
    }
    if (chosen && !life.expired() && chosen->OnClick) {
        const TMenuItem::TNotifyEvent handler = chosen->OnClick; // may free its item
        handler(chosen);
    }
}

UINT TPopupMenu::TrackNested(HMENU menu, POINT at, const TForeignMenuMessages& messages) {
    foreignMessages_ = messages ? messages : [](UINT, WPARAM, LPARAM, LRESULT&) { return false; };
    const UINT command = static_cast<UINT>(
        ::TrackPopupMenuEx(menu, TPM_RECURSE | TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN,
                           at.x, at.y, window_->Handle(), nullptr));
    foreignMessages_ = nullptr;
    return command;
}

void TPopupMenu::CloseThen(std::function<void()> action) {
    afterClose_ = std::move(action);
    ::EndMenu();
}

bool TPopupMenu::SelectedItem(HMENU& menu, int& position) const {
    if (!selectedMenu_ || selectedItem_ == 0xFFFF)
        return false;
    menu = selectedMenu_;
    if (selectedIsPosition_) {
        position = static_cast<int>(selectedItem_);
        return true;
    }
    const int count = ::GetMenuItemCount(menu);
    for (position = 0; position < count; ++position)
        if (::GetMenuItemID(menu, position) == selectedItem_)
            return true;
    return false;
}

void TPopupMenu::RequestItemContextMenu(HMENU menu, int position, POINT at) {
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_ID;
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &mii))
        return;
    TMenuItem* item = LiveItem(mii.wID);
    if (item && OnItemContextMenu) {
        const auto handler = OnItemContextMenu; // may be changed by what it shows
        handler(item, at);
    }
}

HMENU TPopupMenu::Realize() {
    ReleaseRealization();
    root_.reset(::CreatePopupMenu());
    owners_[root_.get()] = 0;
    FillMenu(root_.get(), &Items);
    return root_.get();
}

void TPopupMenu::ReleaseRealization() {
    if (root_) {
        ReleaseContents(root_.get());
        owners_.erase(root_.get());
        root_.reset(); // destroys the submenus with it
    }
    entries_.clear();
    owners_.clear();
    paintedAt_.clear();
    tallestPainted_ = 0;
    measuring_.reset();
    closedMenus_.clear();
    freeIds_.clear();
    nextId_ = 1;
}

TMenuItem* TPopupMenu::LiveItem(UINT command) const {
    auto it = entries_.find(command);
    if (it == entries_.end() || it->second.life.expired())
        return nullptr;
    return it->second.item;
}

TMenuItem* TPopupMenu::ItemOfCommand(UINT command) const {
    return LiveItem(command);
}

HMENU TPopupMenu::SubMenuOf(const TMenuItem* item) const {
    for (const auto& [id, entry] : entries_)
        if (entry.item == item && !entry.life.expired())
            return entry.subMenu;
    return nullptr;
}

TImageList* TPopupMenu::ImageListOf(const TMenuItem* item) const {
    for (const TMenuItem* p = item ? item->Parent() : nullptr; p; p = p->Parent())
        if (p->SubMenuImages)
            return p->SubMenuImages;
    return Images;
}

bool TPopupMenu::IsOwnerDrawn(const TMenuItem* item) const {
    return OwnerDraw || item->OnDrawItem || item->OnAdvancedDrawItem || item->OnMeasureItem;
}

UINT TPopupMenu::AllocateCommand() {
    if (!freeIds_.empty()) {
        const UINT id = freeIds_.back();
        freeIds_.pop_back();
        return id;
    }
    // Identifiers go back to the free list when their items leave the HMENUs (a submenu's
    // when it closes), so only the items shown at one moment count against the 16-bit range
    // of WM_COMMAND. Beyond it there is no identifier to give: 0 says so.
    if (nextId_ > kLastCommand)
        return 0;
    return nextId_++;
}

bool TPopupMenu::AppendItem(HMENU menu, TMenuItem* item) {
    const UINT id = AllocateCommand();
    if (id == 0)
        return false;
    Entry entry{item, item->LifeToken(), menu, nullptr};
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
    mii.fType = 0;
    if (item->IsLine()) {
        mii.fType |= MFT_SEPARATOR;
    } else {
        // The text also goes on owner-drawn items: accessibility tools and tests read it, and
        // the system matches "&X" mnemonics on it.
        mii.fMask |= MIIM_STRING;
        mii.dwTypeData = const_cast<wchar_t*>(item->Caption.c_str());
    }
    if (IsOwnerDrawn(item))
        mii.fType |= MFT_OWNERDRAW;
    if (item->Break)
        mii.fType |= MFT_MENUBARBREAK;
    mii.fState = (item->Enabled ? MFS_ENABLED : MFS_DISABLED) | (item->Default ? MFS_DEFAULT : 0);
    mii.wID = id;
    mii.dwItemData = id;
    if (item->Count() > 0) {
        entry.subMenu = ::CreatePopupMenu();
        owners_[entry.subMenu] = id;
        mii.fMask |= MIIM_SUBMENU;
        mii.hSubMenu = entry.subMenu;
    }
    entries_[id] = entry;
    ::InsertMenuItemW(menu, static_cast<UINT>(::GetMenuItemCount(menu)), TRUE, &mii);
    return true;
}

void TPopupMenu::FillMenu(HMENU menu, TMenuItem* owner) {
    // With the identifiers used up, the rest of the items are left out rather than shown
    // without a way to choose them.
    for (int i = 0; i < owner->Count(); ++i) {
        TMenuItem* item = owner->Items(i);
        if (item->Visible && !AppendItem(menu, item))
            return;
    }
}

void TPopupMenu::ReleaseEntry(UINT command) {
    auto it = entries_.find(command);
    if (it == entries_.end())
        return;
    HMENU sub = it->second.subMenu;
    entries_.erase(it);
    freeIds_.push_back(command);
    if (sub) {
        ReleaseContents(sub);
        owners_.erase(sub);
    }
}

void TPopupMenu::ReleaseContents(HMENU menu) {
    const int count = ::GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_ID;
        if (::GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &mii))
            ReleaseEntry(mii.wID);
    }
}

void TPopupMenu::ClearMenu(HMENU menu) {
    ReleaseContents(menu);
    for (int pos = ::GetMenuItemCount(menu) - 1; pos >= 0; --pos)
        ::DeleteMenu(menu, static_cast<UINT>(pos), MF_BYPOSITION); // destroys its submenu
}

bool TPopupMenu::IsOwnMenuMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    switch (message) {
    case WM_INITMENUPOPUP:
    case WM_UNINITMENUPOPUP:
        return owners_.count(reinterpret_cast<HMENU>(wParam)) > 0;
    case WM_MENUCHAR:
        return owners_.count(reinterpret_cast<HMENU>(lParam)) > 0;
    case WM_MEASUREITEM: {
        const auto* mis = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        return mis->CtlType == ODT_MENU && mis->itemData == mis->itemID &&
               entries_.count(mis->itemID) > 0;
    }
    case WM_DRAWITEM: {
        const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return dis->CtlType == ODT_MENU && dis->itemData == dis->itemID &&
               entries_.count(dis->itemID) > 0;
    }
    default:
        return true;
    }
}

bool TPopupMenu::HandleMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (foreignMessages_ && !IsOwnMenuMessage(message, wParam, lParam))
        return foreignMessages_(message, wParam, lParam, result);
    switch (message) {
    case kContextMenuRequest:
        if (auto request = MenuLoopFilter::Take())
            RequestItemContextMenu(request->menu, request->position, request->at);
        result = 0;
        return true;
    case kSelectTypedItem: {
        // Not every system selects what WM_MENUCHAR answers with MNC_SELECT (Wine's menus do
        // not): the item is selected here unless that happened.
        HMENU menu = reinterpret_cast<HMENU>(lParam);
        const UINT position = static_cast<UINT>(wParam);
        if (tracking_ && owners_.count(menu) &&
            !(::GetMenuState(menu, position, MF_BYPOSITION) & MF_HILITE))
            ::HiliteMenuItem(window_->Handle(), menu, position, MF_BYPOSITION | MF_HILITE);
        result = 0;
        return true;
    }
    case WM_MENURBUTTONUP: {
        if (!OnItemContextMenu)
            return false;
        MenuLoopFilter::Forget();
        POINT at{};
        ::GetCursorPos(&at);
        RequestItemContextMenu(reinterpret_cast<HMENU>(lParam), static_cast<int>(wParam), at);
        result = 0;
        return true;
    }
    case WM_MENUSELECT:
        selectedMenu_ = reinterpret_cast<HMENU>(lParam);
        selectedItem_ = LOWORD(wParam);
        selectedIsPosition_ = (HIWORD(wParam) & MF_POPUP) != 0;
        return false;
    case WM_INITMENUPOPUP: {
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        if (HIWORD(lParam) || owners_.find(menu) == owners_.end())
            return false;
        InitPopup(menu);
        result = 0;
        return true;
    }
    case WM_UNINITMENUPOPUP: {
        // A closed submenu gives its identifiers back, but only when the next one opens: it
        // also closes when one of its items is chosen, before the choice is returned.
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        auto it = owners_.find(menu);
        if (HIWORD(lParam) || it == owners_.end() || it->second == 0)
            return false;
        closedMenus_.push_back(menu);
        for (auto& [id, entry] : entries_)
            if (entry.parentMenu == menu)
                entry.window = nullptr; // its window goes with it
        if (TMenuItem* owner = LiveItem(it->second); owner && OnSubmenuClose)
            OnSubmenuClose(owner);
        result = 0;
        return true;
    }
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (mis->CtlType != ODT_MENU)
            return false;
        Measure(*mis);
        result = TRUE;
        return true;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (dis->CtlType != ODT_MENU)
            return false;
        Draw(*dis);
        result = TRUE;
        return true;
    }
    case WM_MENUCHAR: {
        HMENU menu = reinterpret_cast<HMENU>(lParam);
        if (owners_.find(menu) == owners_.end())
            return false;
        result = MenuChar(static_cast<wchar_t>(LOWORD(wParam)), menu);
        return true;
    }
    default:
        return false;
    }
}

void TPopupMenu::ReleaseClosedMenus() {
    // A menu emptied here is filled again when it reopens; one destroyed with a cleared
    // ancestor is no longer known.
    for (HMENU closed : std::exchange(closedMenus_, {})) {
        auto it = owners_.find(closed);
        if (it != owners_.end() && it->second != 0)
            ClearMenu(closed);
    }
}

void TPopupMenu::InitPopup(HMENU menu) {
    closedMenus_.erase(std::remove(closedMenus_.begin(), closedMenus_.end(), menu),
                       closedMenus_.end());
    ReleaseClosedMenus();
    const UINT ownerId = owners_[menu];
    if (ownerId == 0)
        return; // the root was built by Popup just before it showed
    TMenuItem* item = LiveItem(ownerId);
    if (!item) {
        ClearMenu(menu);
        return;
    }
    // The handler may free the item itself and put a new one at its place (a folder item is
    // rebuilt after an aborted read): remember where it sits.
    TMenuItem* parent = item->Parent();
    std::weak_ptr<void> parentLife = parent ? parent->LifeToken() : std::weak_ptr<void>();
    const int index = item->MenuIndex();
    std::weak_ptr<void> life = item->LifeToken();

    // The system reports the opening of a submenu as a click on the item that owns it. The
    // handler runs from a copy: freeing the item must not free the closure while it runs.
    if (item->OnClick) {
        const TMenuItem::TNotifyEvent handler = item->OnClick;
        handler(item);
    }

    if (life.expired()) {
        item = nullptr;
        if (parent && !parentLife.expired() && index >= 0 && index < parent->Count())
            item = parent->Items(index);
        auto it = entries_.find(ownerId);
        if (it != entries_.end() && item) {
            it->second.item = item;
            it->second.life = item->LifeToken();
            MENUITEMINFOW mii{};
            mii.cbSize = sizeof mii;
            mii.fMask = MIIM_STRING;
            mii.dwTypeData = const_cast<wchar_t*>(item->Caption.c_str());
            ::SetMenuItemInfoW(it->second.parentMenu, ownerId, FALSE, &mii);
        }
    }
    ClearMenu(menu);
    if (item) {
        FillMenu(menu, item);
        LayOutSubmenu(menu, ownerId);
        if (OnSubmenuOpen)
            OnSubmenuOpen(item);
    }
}

void TPopupMenu::RepaintItems(const std::vector<const TMenuItem*>& items) {
    if (!tracking_ || items.empty())
        return;
    const std::unordered_set<const TMenuItem*> wanted(items.begin(), items.end());
    for (const auto& [id, entry] : entries_)
        if (entry.window && !entry.life.expired() && wanted.count(entry.item))
            ::InvalidateRect(entry.window, &entry.painted, FALSE);
}

LRESULT TPopupMenu::MenuChar(wchar_t ch, HMENU menu) {
    const wchar_t key = UpperChar(ch);
    std::vector<int> matches;
    int current = -1;
    const int count = ::GetMenuItemCount(menu);
    for (int pos = 0; pos < count; ++pos) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_ID | MIIM_STATE;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &mii))
            continue;
        if (mii.fState & MFS_HILITE)
            current = pos;
        const TMenuItem* item = LiveItem(mii.wID);
        if (!item || item->IsLine())
            continue;
        const wchar_t hot = GetHotkeyChar(item->Caption);
        if (hot && UpperChar(hot) == key)
            matches.push_back(pos);
    }
    if (matches.empty())
        return SelectTyped(ch, menu, current);
    typed_ = {};
    if (matches.size() == 1)
        return MAKELRESULT(matches.front(), MNC_EXECUTE);
    for (int pos : matches)
        if (pos > current)
            return SelectByKey(menu, pos);
    return SelectByKey(menu, matches.front());
}

LRESULT TPopupMenu::SelectTyped(wchar_t ch, HMENU menu, int current) {
    const DWORD now = ::GetTickCount();
    const bool more = typed_.menu == menu && now - typed_.at <= kTypingPause;
    if (!more)
        typed_ = {menu, L"", now, -1};
    typed_.text += ch;
    typed_.at = now;
    // A new text is looked for after the selected item; a longer one keeps the item the shorter
    // one found while that still matches.
    const int count = ::GetMenuItemCount(menu);
    const int from = more && typed_.found >= 0 ? typed_.found : current + 1;
    for (int i = 0; i < count; ++i) {
        const int pos = (from + i) % count;
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_ID;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &mii))
            continue;
        const TMenuItem* item = LiveItem(mii.wID);
        if (!item || item->IsLine())
            continue;
        const std::wstring shown = ShownText(item->Caption);
        if (shown.size() >= typed_.text.size() &&
            EqualsIgnoreCase(std::wstring_view(shown).substr(0, typed_.text.size()), typed_.text)) {
            typed_.found = pos;
            return SelectByKey(menu, pos);
        }
    }
    return MAKELRESULT(0, MNC_IGNORE); // the selection stays
}

LRESULT TPopupMenu::SelectByKey(HMENU menu, int position) {
    ::PostMessageW(window_->Handle(), kSelectTypedItem, static_cast<WPARAM>(position),
                   reinterpret_cast<LPARAM>(menu));
    return MAKELRESULT(position, MNC_SELECT);
}

void TPopupMenu::Measure(MEASUREITEMSTRUCT& mis) {
    TMenuItem* item = LiveItem(static_cast<UINT>(mis.itemData));
    if (!item) {
        mis.itemWidth = 0;
        mis.itemHeight = 0;
        return;
    }
    const auto entry = entries_.find(static_cast<UINT>(mis.itemData));
    const SIZE size = entry->second.measured ? *entry->second.measured : MeasureItem(item);
    mis.itemWidth = static_cast<UINT>(size.cx);
    mis.itemHeight = static_cast<UINT>(size.cy);
}

SIZE TPopupMenu::MeasureItem(TMenuItem* item) {
    if (!measuring_)
        measuring_ = std::make_unique<Measuring>(Dpi);
    TCanvas& canvas = measuring_->canvas;
    // As a fresh canvas, whatever the last item's handler changed.
    canvas.Font = TFont();
    canvas.Font.AssignLogFont(measuring_->font);
    canvas.Brush = TBrush();
    canvas.Pen = TPen();
    int width = 0, height = 0;
    DefaultMeasureItem(item, canvas, width, height);
    if (item->OnMeasureItem)
        item->OnMeasureItem(item, canvas, width, height);
    return {std::max(width, 0), std::max(height, 0)};
}

void TPopupMenu::LayOutSubmenu(HMENU menu, UINT ownerId) {
    std::vector<UINT> ids;
    std::vector<MenuItemBox> boxes;
    bool columns = false;
    for (int pos = 0; pos < ::GetMenuItemCount(menu); ++pos) {
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_ID;
        ::GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &mii);
        const bool startsColumn = (mii.fType & MFT_MENUBARBREAK) != 0;
        columns = columns || (pos > 0 && startsColumn);
        ids.push_back(mii.wID);
        boxes.push_back({0, 0, startsColumn});
    }
    if (!columns && !ScrollTallSubmenus) {
        ApplySubmenuLayout(menu, SubmenuLayout::Columns, 0); // it may have scrolled last time
        return;
    }
    // The system asks for the same sizes as it shows the menu: they are kept for it.
    for (size_t pos = 0; pos < ids.size(); ++pos) {
        auto it = entries_.find(ids[pos]);
        if (it == entries_.end() || it->second.life.expired())
            continue;
        const SIZE size = MeasureItem(it->second.item);
        it->second.measured = size;
        boxes[pos].width = size.cx;
        boxes[pos].height = size.cy;
    }
    const MenuFrameMetrics metrics =
        PopupMenuMetrics(measuring_ ? measuring_->font : MenuLogFont(Dpi));
    // The item it opens from; while no menu shows that, the mouse's place.
    RECT owner{};
    bool placed = false;
    if (auto it = entries_.find(ownerId); it != entries_.end()) {
        HMENU parent = it->second.parentMenu;
        for (int pos = 0; pos < ::GetMenuItemCount(parent) && !placed; ++pos)
            if (::GetSubMenu(parent, pos) == menu)
                placed = ::GetMenuItemRect(nullptr, parent, static_cast<UINT>(pos), &owner) != 0;
    }
    if (!placed) {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        owner = {cursor.x, cursor.y, cursor.x, cursor.y};
    }
    const RECT work = WorkAreaOf(owner);
    ApplySubmenuLayout(
        menu, ChooseSubmenuLayout(MeasureSubmenu(boxes, metrics), work, owner, ScrollTallSubmenus),
        work.bottom - work.top);
}

void TPopupMenu::Draw(const DRAWITEMSTRUCT& dis) {
    TMenuItem* item = LiveItem(static_cast<UINT>(dis.itemData));
    // The system asks for every item of a menu whenever any part of it is painted again (one
    // item's new icon): those outside the part being painted are left alone.
    if (!item || !::RectVisible(dis.hDC, &dis.rcItem))
        return;
    SavedDC saved(dis.hDC);
    // Handlers get rectangles in the coordinates of the menu's item area, whose first item
    // starts at (0, 0). Wine keeps a margin of a few pixels around the items inside the menu
    // window's client area; the view is moved by it so that a painter that counts from 0 (the
    // banner does) lands in the right place.
    RECT rect = dis.rcItem;
    if (HWND window = ::WindowFromDC(dis.hDC)) {
        // A menu of many columns is wider than the screen, and the system paints the
        // columns that nobody can see too: those items are left alone.
        RECT onScreen = rect, visible{};
        ::MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&onScreen), 2);
        if (tracking_ && !::IntersectRect(&visible, &onScreen, &screen_))
            return;
        auto it = entries_.find(static_cast<UINT>(dis.itemData));
        RECT first{};
        if (it != entries_.end())
            NotePainted(it->first, window, dis.rcItem);
        if (it != entries_.end() && ::GetMenuItemRect(window, it->second.parentMenu, 0, &first)) {
            POINT origin{first.left, first.top};
            ::ScreenToClient(window, &origin);
            if (origin.x > 0 && origin.x <= rect.left && origin.y > 0 && origin.y <= rect.top) {
                ::OffsetRect(&rect, -origin.x, -origin.y);
                ::SetViewportOrgEx(dis.hDC, origin.x, origin.y, nullptr);
            }
        }
    }
    TCanvas canvas(dis.hDC);
    canvas.Font.AssignLogFont(MenuLogFont(Dpi));
    const bool selected = (dis.itemState & ODS_SELECTED) != 0;
    canvas.Font.Color = selected                         ? clHighlightText
                        : (dis.itemState & ODS_INACTIVE) ? clGrayText
                                                         : clMenuText;
    canvas.Brush.Color = selected ? clHighlight : clMenu;
    if (item->OnAdvancedDrawItem)
        item->OnAdvancedDrawItem(item, canvas, rect, dis.itemState);
    else if (item->OnDrawItem)
        item->OnDrawItem(item, canvas, rect, selected);
    else
        DefaultDrawItem(item, canvas, rect, dis.itemState);
}

void TPopupMenu::NotePainted(UINT command, HWND window, const RECT& rect) {
    // A menu that scrolled paints other items where some were painted before: those are no
    // longer there to be painted again. Places are kept by column, top to bottom.
    const auto key = reinterpret_cast<UINT_PTR>(window);
    tallestPainted_ = std::max(tallestPainted_, rect.bottom - rect.top);
    auto it = paintedAt_.lower_bound({key, rect.left, rect.top - tallestPainted_ + 1});
    while (it != paintedAt_.end() && it->first < std::tuple{key, rect.left, rect.bottom}) {
        auto other = entries_.find(it->second);
        const bool stillThere = other != entries_.end() && other->second.window == window &&
                                other->second.painted.left == rect.left &&
                                other->second.painted.top == std::get<2>(it->first);
        RECT overlap{};
        if (stillThere && !::IntersectRect(&overlap, &other->second.painted, &rect)) {
            ++it; // the item above
            continue;
        }
        if (stillThere && it->second != command)
            other->second.window = nullptr;
        it = paintedAt_.erase(it);
    }
    paintedAt_[{key, rect.left, rect.top}] = command;
    Entry& entry = entries_[command];
    entry.window = window;
    entry.painted = rect;
}

void TPopupMenu::DefaultMeasureItem(TMenuItem* item, TCanvas& canvas, int& width,
                                    int& height) const {
    const TImageList* images = ImageListOf(item);
    const int imageWidth = images ? images->Width() : ScaleForDpi(16, Dpi);
    const int imageHeight = images ? images->Height() : ScaleForDpi(16, Dpi);
    if (item->IsLine()) {
        width = imageWidth + ScaleForDpi(22, Dpi);
        height = ScaleForDpi(8, Dpi);
        return;
    }
    if (item->Default)
        canvas.Font.Style |= fsBold;
    RECT r{0, 0, 0, 0};
    canvas.DrawText(item->Caption, r, DT_CALCRECT | DT_SINGLELINE);
    width = imageWidth + ScaleForDpi(15, Dpi) + (r.right - r.left) + ScaleForDpi(7, Dpi);
    height = ItemHeight(imageHeight, r.bottom - r.top, Dpi);
}

int TPopupMenu::ItemHeight(int imageHeight, int textHeight, int dpi) {
    return std::max(imageHeight + ScaleForDpi(3, dpi), textHeight + ScaleForDpi(2, dpi));
}

int TPopupMenu::DefaultItemHeight(int imageHeight, int dpi) {
    UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    TCanvas canvas(dc.get());
    canvas.Font.AssignLogFont(MenuLogFont(dpi));
    RECT r{0, 0, 0, 0};
    canvas.DrawText(L"X", r, DT_CALCRECT | DT_SINGLELINE);
    return ItemHeight(imageHeight, r.bottom - r.top, dpi);
}

void TPopupMenu::DefaultDrawItem(TMenuItem* item, TCanvas& canvas, const RECT& rect,
                                 UINT state) const {
    if (item->IsLine()) {
        canvas.Brush.Color = clMenu;
        canvas.FillRect(rect);
        RECT line = rect;
        line.top = rect.top + (rect.bottom - rect.top) / 2 - 1;
        ::DrawEdge(canvas.Handle(), &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    canvas.FillRect(rect);
    const TImageList* images = ImageListOf(item);
    const int imageWidth = images ? images->Width() : ScaleForDpi(16, Dpi);
    const bool enabled = !(state & (ODS_DISABLED | ODS_GRAYED)) && item->Enabled;
    if (images && item->ImageIndex >= 0)
        images->Draw(canvas.Handle(), rect.left + ScaleForDpi(1, Dpi),
                     rect.top + (rect.bottom - rect.top - images->Height()) / 2, item->ImageIndex,
                     enabled);
    if (item->Default)
        canvas.Font.Style |= fsBold;
    if (!enabled)
        canvas.Font.Color = clGrayText;
    canvas.SetTransparentText(true);
    RECT text = rect;
    text.left += imageWidth + ScaleForDpi(8, Dpi);
    UINT format = DT_SINGLELINE | DT_VCENTER;
    if (state & ODS_NOACCEL)
        format |= DT_HIDEPREFIX;
    canvas.DrawText(item->Caption, text, format);
}

} // namespace tolvern
