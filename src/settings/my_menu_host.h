// What the My Menu page needs of the launcher: its entries (each one row of the list and one
// item of the launcher menu, changed together), the commands on them, and the form's services.
#pragma once

#include "settings/launcher_settings.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace tolvern {

class TMyMenuHost {
public:
    // The entries in list order; row i is top-level item 10 + i of the launcher menu.
    virtual int EntryCount() const = 0;
    virtual MyMenuEntry Entry(int row) const = 0;
    virtual int EntryImage(int row) const = 0;
    // The entry's identifier list is a shortcut (the shell says so).
    virtual bool EntryIsLink(int row) const = 0;
    virtual HIMAGELIST SmallImages() const = 0;

    // Appends an entry to the list and the menu; the page hears of it through EntryAdded.
    virtual void AddIconToList(const std::wstring& caption, const std::wstring& path) = 0;
    virtual void RemoveEntry(int row) = 0;
    virtual void MoveEntry(int from, int to) = 0;
    virtual void RenameEntry(int row, const std::wstring& caption) = 0;

    // Opens the entry's identifier list; its properties by path; its shortcut target's.
    virtual void OpenEntry(int row) = 0;
    virtual void ShowEntryProperties(int row) = 0;
    virtual void ShowLinkTargetProperties(int row) = 0;

    virtual int MsgBox(const std::wstring& text, UINT flags) = 0;
    virtual void SaveSettingsToReg() = 0;
    virtual std::wstring LastOpenedDir() const = 0;
    virtual void SetLastOpenedDir(const std::wstring& dir) = 0;

protected:
    ~TMyMenuHost() = default;
};

} // namespace tolvern
