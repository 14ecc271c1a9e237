// The settings dialog's page "マイメニュー": the list of the user's own launcher entries and
// every operation on it, with the launcher menu changed in the same step.
#pragma once

#include "components/drop_dst.h"
#include "framework/menus.h"
#include "framework/page_control.h"
#include "framework/win_control.h"
#include "settings/launcher_messages.h"
#include "settings/my_menu_host.h"
#include "settings/settings_dialog_ids.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tolvern {

class TMyMenuPage : public TDialogPage {
public:
    TMyMenuPage(HWND parent, TMyMenuHost& host);
    ~TMyMenuPage() override;

    HWND ListView1() const { return Item(IDC_LISTVIEW1); }
    HWND StatusBar1() const;
    std::wstring StatusText(int panel) const;

    // The list's context menu, in its order (separators between the groups).
    TPopupMenu PopupMenu1;
    TMenuItem* mnuOpen;
    TMenuItem* mnuSelectAll;
    TMenuItem* mnuUp;
    TMenuItem* mnuDown;
    TMenuItem* mnuDelete;
    TMenuItem* mnuRename;
    TMenuItem* mnuFileProperty;
    TMenuItem* mnuProperty;

    // Files dropped from the shell onto the list.
    TDialogItem ListView1Control;
    TDropDst DropDst1;

    // The file and folder choosers: the system's dialogs unless a test puts its own answers
    // here (a test cannot operate the system's file dialog reliably under Wine).
    std::function<std::vector<std::wstring>(const std::wstring& initialDir)> ChooseFiles;
    std::function<bool(const std::wstring& initialDir, std::wstring& dir)> ChooseFolder;

    // The launcher tells the page of entries added and of all entries removed.
    void EntryAdded(int row);
    void EntriesCleared();

    bool RowDragEnabled() const { return dragEnabled_; }
    // Selects the row alone, focused and in view.
    void SelectOnly(int row);
    bool Editing() const;

    // The page's operations, named after the controls and events that trigger them.
    void ListView1Change();
    void cmdAddFileIconClick();
    void cmdAddFolderIconClick();
    void DropDst1FileDrop(const std::vector<std::wstring>& files);
    bool CheckItemDoubling(const std::wstring& path) const;
    void cmdRemoveClick();
    void mnuRenameClick();
    // The end of an in-place edit; false refuses the caption and keeps the old one.
    bool ListView1Edited(int row, const std::wstring& caption);
    void cmdUpClick();
    void cmdDownClick();
    bool ListView1DragOver(HWND source) const;
    // point is in the client area of the list.
    void ListView1DragDrop(HWND source, POINT point);
    void mnuOpenClick();
    void mnuPropertyClick();
    void mnuFilePropertyClick();
    void mnuSelectAllClick();
    // Del, F2, Enter, Alt+Enter, Ctrl+A, Ctrl+Up, Ctrl+Down; true when the key did something.
    bool ListView1KeyDown(WORD key, bool ctrl, bool alt);

    bool PreTranslateMessage(const MSG& msg) override;

protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // The list's columns and the status bar's parts are sized in pixels.
    void DpiChanged(int oldDpi, int newDpi) override;

private:
    int ShowMessage(const TLauncherMessage& message);
    int SelectedCount() const;
    int FirstSelected() const;
    void InsertRow(int at, const MyMenuEntry& entry, int image);
    // Moves the row in the list (a copy is inserted, the source deleted) and its menu item.
    void MoveRow(int from, int to);
    void UpdateItemCount();
    bool Notify(const NMHDR& header, LRESULT& result);
    void ShowContextMenu(LPARAM position);
    void EndRowDrag(POINT pagePoint);
    std::vector<std::wstring> OpenFiles(const std::wstring& initialDir);

    TMyMenuHost& host_;
    void LayOut(int width, int height);

    SIZE templateSize_{};
    HWND editBox_ = nullptr;
    bool dragEnabled_ = false;
    bool dragging_ = false;
    // Set while a move or removal has changed the list but not yet the entries (or the other
    // way round): the list's change notices then wait for the end of the step.
    bool changingEntries_ = false;
};

} // namespace tolvern
