// What the option pages need of the launcher: the live options, and one setter per option that
// stores it and carries out its effect at once (the same setters the settings load uses).
#pragma once

#include "settings/launcher_settings.h"

#include <windows.h>

#include <string>

namespace tolvern {

class TOptionsHost {
public:
    virtual const LauncherSettings& Options() const = 0;

    // Page "全般".
    virtual void SetViewMenus(const LauncherSettings& views) = 0; // the six View...Menu fields
    virtual void SetHideArrow(bool hideArrow) = 0;
    virtual void SetDoNotViewUnassociatedItems(bool doNotViewUnassociated) = 0;
    virtual void SetDoNotViewHiddenItems(bool doNotViewHidden) = 0;
    virtual void SetDoNotCheckItemsEveryTime(bool checkEveryTime) = 0;
    virtual void SetShowHintFrom(int count) = 0;
    virtual void SetAlwaysScrollMenus(bool alwaysScroll) = 0;

    // Page "起動". SetStartup returns false when the shortcut could not be made.
    virtual bool SetStartup(bool startup) = 0;
    virtual void SetHotKeyShortCut(ShortCut hotKey) = 0;
    virtual void SetPopupPos(const std::wstring& corner) = 0;
    virtual void SetPopupOnSelPos(bool popupOnSelPos) = 0;
    virtual void SetMoveCursor(bool moveCursor) = 0;

    // Page "外見".
    virtual void SetBannerText(const std::wstring& text) = 0;
    virtual void SetBannerFont(const std::wstring& name, int height, ColorCode color,
                               int style) = 0;
    virtual void SetUpperColor(ColorCode color) = 0;
    virtual void SetBottomColor(ColorCode color) = 0;
    virtual void SetMenuBannerWidth(int width) = 0;
    virtual void SetMenuDrawStyle(int style) = 0;
    virtual void SetLargeIcon(bool largeIcon) = 0;

    virtual int MsgBox(const std::wstring& text, UINT flags) = 0;

protected:
    ~TOptionsHost() = default;
};

} // namespace tolvern
