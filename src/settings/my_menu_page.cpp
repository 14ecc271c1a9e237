// The settings dialog's page "マイメニュー": the list of the user's own launcher entries and
// every operation on it, with the launcher menu changed in the same step.
#include "settings/my_menu_page.h"

#include "base/dpi.h"
#include "base/shell_path.h"
#include "base/text.h"
#include "components/sel_dir_ex.h"
#include "settings/launcher_messages.h"

#include <commdlg.h>
#include <shlwapi.h>
#include <windowsx.h>

namespace tolvern {

namespace {

constexpr wchar_t kChooseFolder[] = L"追加するフォルダを選択してください。";

// The folder of a chosen file, with the backslash kept for a drive root.
std::wstring FolderOf(const std::wstring& path) {
    std::wstring dir = ExtractFileDir(path);
    if (dir.size() == 2 && dir[1] == L':')
        dir += L'\\';
    return dir;
}

} // namespace

TMyMenuPage::TMyMenuPage(HWND parent, TMyMenuHost& host)
    : TDialogPage(parent, IDD_PAGE_MYMENU), ListView1Control(nullptr, Handle(), IDC_LISTVIEW1),
      DropDst1(nullptr), host_(host) {
    HWND list = ListView1();
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    RECT page{};
    ::GetClientRect(Handle(), &page);
    templateSize_ = SIZE{page.right, page.bottom};
    ::SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL,
                   reinterpret_cast<LPARAM>(host_.SmallImages()));
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(L"キャプション");
    column.cx = ScaleForDpi(MYMENU_CAPTION_COLUMN_WIDTH, Dpi());
    ::SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    column.pszText = const_cast<wchar_t*>(L"パス");
    column.cx = ScaleForDpi(MYMENU_PATH_COLUMN_WIDTH, Dpi());
    ::SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));

    int parts[2] = {ScaleForDpi(MYMENU_STATUS_PANEL_WIDTH, Dpi()), -1};
    ::SendMessageW(StatusBar1(), SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    ::SendMessageW(StatusBar1(), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"0 個の項目"));
    ::SendMessageW(StatusBar1(), SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"0 個を選択"));

    auto add = [this](const wchar_t* caption, void (TMyMenuPage::*handler)()) {
        TMenuItem* item = PopupMenu1.Items.Add(std::make_unique<TMenuItem>(caption));
        if (handler) {
            item->Enabled = false;
            item->OnClick = [this, handler](TMenuItem*) { (this->*handler)(); };
        }
        return item;
    };
    // Shortcuts show after a tab, right-aligned, as the menu shows any shortcut.
    mnuOpen = add(L"開く(&O)\tEnter", &TMyMenuPage::mnuOpenClick);
    mnuOpen->Default = true;
    add(L"-", nullptr);
    mnuSelectAll = add(L"すべて選択(&A)\tCtrl+A", &TMyMenuPage::mnuSelectAllClick);
    add(L"-", nullptr);
    mnuUp = add(L"上へ(&U)\tCtrl+Up", &TMyMenuPage::cmdUpClick);
    mnuDown = add(L"下へ(&D)\tCtrl+Down", &TMyMenuPage::cmdDownClick);
    add(L"-", nullptr);
    mnuDelete = add(L"削除(&E)\tDel", &TMyMenuPage::cmdRemoveClick);
    mnuRename = add(L"キャプション変更(&M)\tF2", &TMyMenuPage::mnuRenameClick);
    add(L"-", nullptr);
    mnuFileProperty = add(L"リンク先のプロパティ(&P)", &TMyMenuPage::mnuFilePropertyClick);
    mnuProperty = add(L"プロパティ(&R)\tAlt+Enter", &TMyMenuPage::mnuPropertyClick);

    DropDst1.OnFileDrop = [this](TComponent*, const std::vector<std::wstring>& files, int, int) {
        DropDst1FileDrop(files);
    };
    DropDst1.SetTarget(THookTarget::htControl);
    DropDst1.SetControl(&ListView1Control);
    DropDst1.Loaded();

    ChooseFiles = [this](const std::wstring& initialDir) { return OpenFiles(initialDir); };
    ChooseFolder = [](const std::wstring& initialDir, std::wstring& dir) {
        return SelDirEx(kChooseFolder, initialDir, dir, 0, 0);
    };
}

TMyMenuPage::~TMyMenuPage() {
    DropDst1.SetControl(nullptr);
}

HWND TMyMenuPage::StatusBar1() const {
    return Item(IDC_STATUSBAR1);
}

std::wstring TMyMenuPage::StatusText(int panel) const {
    wchar_t text[256] = {};
    ::SendMessageW(StatusBar1(), SB_GETTEXTW, panel, reinterpret_cast<LPARAM>(text));
    return text;
}

bool TMyMenuPage::Editing() const {
    return ::SendMessageW(ListView1(), LVM_GETEDITCONTROL, 0, 0) != 0;
}

int TMyMenuPage::SelectedCount() const {
    return static_cast<int>(::SendMessageW(ListView1(), LVM_GETSELECTEDCOUNT, 0, 0));
}

int TMyMenuPage::FirstSelected() const {
    return static_cast<int>(
        ::SendMessageW(ListView1(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TMyMenuPage::InsertRow(int at, const MyMenuEntry& entry, int image) {
    HWND list = ListView1();
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = at;
    item.pszText = const_cast<wchar_t*>(entry.Caption.c_str());
    item.iImage = image;
    const int row =
        static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    LVITEMW path{};
    path.iSubItem = 1;
    path.pszText = const_cast<wchar_t*>(entry.Path.c_str());
    ::SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&path));
}

void TMyMenuPage::EntryAdded(int row) {
    InsertRow(row, host_.Entry(row), host_.EntryImage(row));
    mnuSelectAll->Enabled = true;
    ListView1Change();
}

void TMyMenuPage::EntriesCleared() {
    // An empty list changes nothing, and says nothing.
    if (::SendMessageW(ListView1(), LVM_GETITEMCOUNT, 0, 0) == 0)
        return;
    ::SendMessageW(ListView1(), LVM_DELETEALLITEMS, 0, 0);
    ListView1Change();
}

void TMyMenuPage::UpdateItemCount() {
    const int rows = static_cast<int>(::SendMessageW(ListView1(), LVM_GETITEMCOUNT, 0, 0));
    const std::wstring text = std::to_wstring(rows) + L" 個の項目";
    ::SendMessageW(StatusBar1(), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TMyMenuPage::ListView1Change() {
    HWND list = ListView1();
    if (IsShowing())
        ::SetFocus(list);
    const int rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    const int selected = SelectedCount();
    const int first = FirstSelected();
    UpdateItemCount();
    const std::wstring text = std::to_wstring(selected) + L" 個の項目を選択";
    ::SendMessageW(StatusBar1(), SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(text.c_str()));

    const bool one = selected == 1;
    const bool any = selected > 0;
    const bool up = one && first > 0;
    const bool down = one && first < rows - 1;
    // A row the entries do not know (yet) is no shortcut.
    const bool known = one && first < host_.EntryCount();
    const MyMenuEntry entry = known ? host_.Entry(first) : MyMenuEntry{};
    const bool link = known && host_.EntryIsLink(first) &&
                      ToUpperInvariant(::PathFindExtensionW(entry.Path.c_str())) != L".URL";
    ::EnableWindow(Item(IDC_CMDREMOVE), any);
    mnuDelete->Enabled = any;
    mnuOpen->Enabled = one;
    mnuRename->Enabled = one;
    mnuProperty->Enabled = one;
    mnuFileProperty->Enabled = link;
    ::EnableWindow(Item(IDC_CMDUP), up);
    mnuUp->Enabled = up;
    ::EnableWindow(Item(IDC_CMDDOWN), down);
    mnuDown->Enabled = down;
    dragEnabled_ = one;
}

std::vector<std::wstring> TMyMenuPage::OpenFiles(const std::wstring& initialDir) {
    std::vector<wchar_t> buffer(65536, L'\0');
    // The filter's name has half-width katakana, as it always had.
    const wchar_t filter[] = L"すべてのﾌｧｲﾙ\0*.*\0";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = ::GetAncestor(Handle(), GA_ROOT);
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = initialDir.c_str();
    ofn.lpstrTitle = L"追加するファイルの選択";
    ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING;
    if (!::GetOpenFileNameW(&ofn))
        return {};
    // One file: its full path. Several: the folder, then each name.
    std::vector<std::wstring> parts;
    for (const wchar_t* p = buffer.data(); *p; p += wcslen(p) + 1)
        parts.emplace_back(p);
    if (parts.size() <= 1)
        return parts;
    std::wstring folder = parts[0];
    if (folder.back() != L'\\')
        folder += L'\\';
    std::vector<std::wstring> files;
    for (size_t i = 1; i < parts.size(); ++i)
        files.push_back(folder + parts[i]);
    return files;
}

void TMyMenuPage::cmdAddFileIconClick() {
    const std::vector<std::wstring> files = ChooseFiles(host_.LastOpenedDir());
    if (files.empty())
        return;
    for (const std::wstring& file : files)
        host_.AddIconToList(::PathFindFileNameW(file.c_str()), file);
    host_.SetLastOpenedDir(FolderOf(files.front()));
}

void TMyMenuPage::cmdAddFolderIconClick() {
    std::wstring dir;
    if (!ChooseFolder(host_.LastOpenedDir(), dir))
        return;
    std::wstring caption = ::PathFindFileNameW(dir.c_str());
    if (caption.empty() || caption == dir || caption.back() == L'\\')
        caption = dir; // a drive root such as C:\ has no last component
    host_.AddIconToList(caption, dir);
    host_.SetLastOpenedDir(dir);
}

int TMyMenuPage::ShowMessage(const TLauncherMessage& message) {
    return host_.MsgBox(message.text, message.flags);
}

bool TMyMenuPage::CheckItemDoubling(const std::wstring& path) const {
    const int rows = host_.EntryCount();
    for (int row = 0; row < rows; ++row)
        if (host_.Entry(row).Path == path)
            return true;
    return false;
}

void TMyMenuPage::DropDst1FileDrop(const std::vector<std::wstring>& files) {
    for (const std::wstring& path : files) {
        if (CheckItemDoubling(path))
            continue;
        std::wstring caption = ::PathFindFileNameW(path.c_str());
        const std::wstring ext = ToUpperInvariant(::PathFindExtensionW(caption.c_str()));
        if (ext == L".LNK" || ext == L".URL")
            caption.resize(caption.size() - ext.size());
        host_.AddIconToList(caption, path);
    }
    host_.SaveSettingsToReg();
}

void TMyMenuPage::cmdRemoveClick() {
    if (Editing())
        return;
    if (ShowMessage(ConfirmDeleteMessage()) != IDYES)
        return;
    HWND list = ListView1();
    changingEntries_ = true;
    for (int row = FirstSelected(); row >= 0; row = FirstSelected()) {
        ::SendMessageW(list, LVM_DELETEITEM, row, 0);
        host_.RemoveEntry(row);
    }
    changingEntries_ = false;
    if (::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 0)
        mnuSelectAll->Enabled = false;
    UpdateItemCount();
    ListView1Change();
}

void TMyMenuPage::mnuRenameClick() {
    if (SelectedCount() != 1)
        return;
    ::SetFocus(ListView1());
    ::SendMessageW(ListView1(), LVM_EDITLABELW, FirstSelected(), 0);
}

bool TMyMenuPage::ListView1Edited(int row, const std::wstring& caption) {
    if (caption.empty()) {
        ShowMessage(InvalidCaptionMessage());
        return false;
    }
    host_.RenameEntry(row, caption);
    return true;
}

void TMyMenuPage::MoveRow(int from, int to) {
    HWND list = ListView1();
    const MyMenuEntry entry = host_.Entry(from);
    const int image = host_.EntryImage(from);
    ::LockWindowUpdate(list);
    // The list holds the copy and the source row at once until the source goes.
    changingEntries_ = true;
    InsertRow(to > from ? to + 1 : to, entry, image);
    ::SendMessageW(list, LVM_DELETEITEM, to > from ? from : from + 1, 0);
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, to, reinterpret_cast<LPARAM>(&state));
    ::LockWindowUpdate(nullptr);
    host_.MoveEntry(from, to);
    changingEntries_ = false;
    UpdateItemCount();
    ListView1Change();
}

void TMyMenuPage::cmdUpClick() {
    const int row = FirstSelected();
    if (SelectedCount() == 1 && row > 0)
        MoveRow(row, row - 1);
}

void TMyMenuPage::cmdDownClick() {
    const int row = FirstSelected();
    const int rows = static_cast<int>(::SendMessageW(ListView1(), LVM_GETITEMCOUNT, 0, 0));
    if (SelectedCount() == 1 && row >= 0 && row < rows - 1)
        MoveRow(row, row + 1);
}

bool TMyMenuPage::ListView1DragOver(HWND source) const {
    return source == ListView1();
}

void TMyMenuPage::ListView1DragDrop(HWND source, POINT point) {
    if (!ListView1DragOver(source))
        return;
    LVHITTESTINFO hit{};
    hit.pt = point;
    const int target = static_cast<int>(
        ::SendMessageW(ListView1(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    const int from = FirstSelected();
    if (target < 0 || from < 0 || target == from)
        return;
    MoveRow(from, target);
}

void TMyMenuPage::mnuOpenClick() {
    const int row = FirstSelected();
    if (row < 0)
        return;
    const std::wstring path = host_.Entry(row).Path;
    const DWORD attributes = PathAttributes(path);
    const bool file =
        attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (file || DirectoryExists(path))
        host_.OpenEntry(row);
    else
        ShowMessage(CannotOpenMessage(path));
}

void TMyMenuPage::mnuPropertyClick() {
    const int row = FirstSelected();
    if (row >= 0)
        host_.ShowEntryProperties(row);
}

void TMyMenuPage::mnuFilePropertyClick() {
    const int row = FirstSelected();
    if (row < 0)
        return;
    if (host_.EntryIsLink(row))
        host_.ShowLinkTargetProperties(row);
    else
        ShowMessage(CannotOpenShortcutMessage(host_.Entry(row).Path));
}

void TMyMenuPage::SelectOnly(int row) {
    HWND list = ListView1();
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    ::SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
}

void TMyMenuPage::mnuSelectAllClick() {
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    ::SendMessageW(ListView1(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&state));
}

bool TMyMenuPage::ListView1KeyDown(WORD key, bool ctrl, bool alt) {
    auto run = [](TMenuItem* item) {
        if (!item->Enabled)
            return false;
        item->OnClick(item);
        return true;
    };
    if (key == VK_RETURN && alt)
        return run(mnuProperty);
    if (alt)
        return false;
    if (ctrl) {
        if (key == 'A')
            return run(mnuSelectAll);
        if (key == VK_UP)
            return run(mnuUp);
        if (key == VK_DOWN)
            return run(mnuDown);
        return false;
    }
    if (key == VK_DELETE)
        return !Editing() && run(mnuDelete);
    if (key == VK_F2) {
        if (SelectedCount() != 1)
            return false;
        mnuRenameClick();
        return true;
    }
    if (key == VK_RETURN)
        return !Editing() && run(mnuOpen);
    return false;
}

bool TMyMenuPage::PreTranslateMessage(const MSG& msg) {
    // Enter and Esc end an in-place edit; the dialog must not take them for its buttons.
    const auto edit = reinterpret_cast<HWND>(::SendMessageW(ListView1(), LVM_GETEDITCONTROL, 0, 0));
    if (edit && msg.hwnd == edit && msg.message == WM_KEYDOWN &&
        (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
        return true;
    }
    if (msg.hwnd != ListView1() || (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN))
        return false;
    return ListView1KeyDown(static_cast<WORD>(msg.wParam), ::GetKeyState(VK_CONTROL) & 0x8000,
                            msg.message == WM_SYSKEYDOWN && (::GetKeyState(VK_MENU) & 0x8000));
}

void TMyMenuPage::ShowContextMenu(LPARAM position) {
    POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (position == -1) { // from the keyboard: at the focused row, or the list's corner
        HWND list = ListView1();
        const int row = static_cast<int>(
            ::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        RECT rect{LVIR_LABEL, 0, 0, 0};
        at = POINT{0, 0};
        if (row >= 0 && ::SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)))
            at = POINT{rect.left, rect.bottom};
        ::ClientToScreen(list, &at);
    }
    PopupMenu1.Popup(at.x, at.y);
}

void TMyMenuPage::EndRowDrag(POINT pagePoint) {
    dragging_ = false;
    ::ReleaseCapture();
    HWND list = ListView1();
    POINT screen = pagePoint;
    ::ClientToScreen(Handle(), &screen);
    if (::WindowFromPoint(screen) != list)
        return;
    POINT point = screen;
    ::ScreenToClient(list, &point);
    ListView1DragDrop(list, point);
}

bool TMyMenuPage::Notify(const NMHDR& header, LRESULT& result) {
    if (header.idFrom != IDC_LISTVIEW1)
        return false;
    switch (header.code) {
    case LVN_ITEMCHANGED:
    case LVN_INSERTITEM:
        if (!changingEntries_)
            ListView1Change();
        return true;
    case LVN_BEGINDRAG:
        if (dragEnabled_) {
            dragging_ = true;
            ::SetCapture(Handle());
        }
        return true;
    case NM_DBLCLK:
        if (mnuOpen->Enabled)
            mnuOpenClick();
        return true;
    case LVN_BEGINLABELEDITW:
        editBox_ = reinterpret_cast<HWND>(::SendMessageW(ListView1(), LVM_GETEDITCONTROL, 0, 0));
        result = FALSE; // editing allowed
        return true;
    case LVN_ENDLABELEDITW: {
        const auto& info = reinterpret_cast<const NMLVDISPINFOW&>(header);
        std::wstring caption;
        if (info.item.pszText) {
            caption = info.item.pszText;
        } else if ((::GetKeyState(VK_ESCAPE) & 0x8000) || ::GetWindowTextLengthW(editBox_) > 0) {
            result = FALSE; // cancelled
            return true;
        }
        // Wine's list reports an emptied caption as no text at all, like a cancel: told apart
        // by the edit box's own text and the Esc key.
        result = ListView1Edited(info.item.iItem, caption);
        ListView1Change();
        return true;
    }
    default:
        return false;
    }
}

void TMyMenuPage::LayOut(int width, int height) {
    // The list grows with the page and the buttons keep to its right edge, with the margins
    // of the template.
    const int dx = width - templateSize_.cx, dy = height - templateSize_.cy;
    templateSize_ = SIZE{width, height};
    auto move = [this](int id, int dxPos, int dxSize, int dySize) {
        HWND control = Item(id);
        RECT rect{};
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&rect), 2);
        ::SetWindowPos(control, nullptr, rect.left + dxPos, rect.top,
                       rect.right - rect.left + dxSize, rect.bottom - rect.top + dySize,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    };
    move(IDC_LISTVIEW1, 0, dx, dy);
    for (int id : {IDC_CMDADDFILEICON, IDC_CMDADDFOLDERICON, IDC_CMDUP, IDC_CMDDOWN, IDC_CMDREMOVE})
        move(id, dx, 0, 0);
    ::SendMessageW(StatusBar1(), WM_SIZE, 0, 0);
}

void TMyMenuPage::DpiChanged(int oldDpi, int newDpi) {
    // The widths the user gave the columns are kept, at the new DPI.
    HWND list = ListView1();
    for (int column = 0; column < 2; ++column) {
        const int width = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, column,
                       MAKELPARAM(RescaleForDpi(width, oldDpi, newDpi), 0));
    }
    int parts[2] = {};
    const int count = static_cast<int>(
        ::SendMessageW(StatusBar1(), SB_GETPARTS, 2, reinterpret_cast<LPARAM>(parts)));
    for (int& edge : parts)
        if (edge >= 0)
            edge = RescaleForDpi(edge, oldDpi, newDpi);
    ::SendMessageW(StatusBar1(), SB_SETPARTS, count, reinterpret_cast<LPARAM>(parts));
    ::SendMessageW(StatusBar1(), WM_SIZE, 0, 0); // its height follows the new font
    // The controls were scaled with the page's size as it was.
    templateSize_.cx = RescaleForDpi(templateSize_.cx, oldDpi, newDpi);
    templateSize_.cy = RescaleForDpi(templateSize_.cy, oldDpi, newDpi);
}

bool TMyMenuPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_SIZE:
        if (templateSize_.cx > 0)
            LayOut(LOWORD(lParam), HIWORD(lParam));
        return false;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return false;
        switch (LOWORD(wParam)) {
        case IDC_CMDADDFILEICON:
            cmdAddFileIconClick();
            return true;
        case IDC_CMDADDFOLDERICON:
            cmdAddFolderIconClick();
            return true;
        case IDC_CMDUP:
            cmdUpClick();
            return true;
        case IDC_CMDDOWN:
            cmdDownClick();
            return true;
        case IDC_CMDREMOVE:
            cmdRemoveClick();
            return true;
        }
        return false;
    case WM_NOTIFY:
        return Notify(*reinterpret_cast<const NMHDR*>(lParam), result);
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) != ListView1())
            return false;
        ShowContextMenu(lParam);
        return true;
    case WM_MOUSEMOVE:
        if (!dragging_)
            return false;
        {
            POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::ClientToScreen(Handle(), &screen);
            const bool accepted = ListView1DragOver(::WindowFromPoint(screen));
            ::SetCursor(::LoadCursorW(nullptr, accepted ? IDC_ARROW : IDC_NO));
        }
        return true;
    case WM_LBUTTONUP:
        if (!dragging_)
            return false;
        EndRowDrag(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return true;
    case WM_CAPTURECHANGED:
        dragging_ = false;
        return false;
    default:
        return false;
    }
}

} // namespace tolvern
