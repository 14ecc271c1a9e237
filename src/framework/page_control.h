// A page control: the system's tab control with one child dialog per tab, as a property sheet
// shows its pages.
#pragma once

#include "framework/dialog_dpi.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tolvern {

// One page: a child dialog made from its template; the template's CAPTION is the tab's text.
class TDialogPage {
public:
    TDialogPage(HWND parent, int templateId);
    TDialogPage(const TDialogPage&) = delete;
    TDialogPage& operator=(const TDialogPage&) = delete;
    virtual ~TDialogPage();

    HWND Handle() const { return hwnd_; }
    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
    std::wstring Caption() const;
    bool IsShowing() const { return ::IsWindowVisible(hwnd_) != FALSE; }

    // Sees the messages for the page's windows before the dialog manager; true when it has
    // dealt with one (the shortcuts of the page's controls).
    virtual bool PreTranslateMessage(const MSG&) { return false; }

    // The DPI the page is drawn for: its monitor's when it was made, then the dialog's.
    int Dpi() const { return dpi_.Dpi(); }
    // The dialog moved to a monitor of another DPI: the page's font and controls follow, then
    // what the page sized in pixels of its own (DpiChanged). The page control lays it out.
    void ChangeDpi(int newDpi);

protected:
    // true when the page has handled the message; result is its answer.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // After the controls were rescaled from oldDpi to newDpi (Dpi()).
    virtual void DpiChanged(int /*oldDpi*/, int /*newDpi*/) {}

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
    TDialogDpi dpi_;
};

class TPageControl {
public:
    explicit TPageControl(HWND tabControl) : tab_(tabControl) {}

    HWND Handle() const { return tab_; }
    // Adds a tab for the page and lays the page over the tab's display area.
    void AddPage(TDialogPage& page);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TDialogPage* Pages(int index) const { return pages_.at(index); }
    int ActivePageIndex() const;
    TDialogPage* ActivePage() const;
    void SetActivePageIndex(int index);

    // The dialog moved to a monitor of another DPI, and its tab control has been rescaled: the
    // pages are rescaled and laid over the tab's display area again.
    void ChangeDpi(int newDpi);

    // WM_NOTIFY of the tab control; true when it was one.
    bool Notify(const NMHDR& header);
    // Ctrl+Tab and Ctrl+Shift+Tab (also Ctrl+PgDn, Ctrl+PgUp) anywhere in the dialog change the
    // page, as in the system's property sheets.
    bool PreTranslateMessage(const MSG& msg);

private:
    void ShowActive();
    void LayOutPage(TDialogPage& page);

    HWND tab_;
    std::vector<TDialogPage*> pages_;
};

} // namespace tolvern
