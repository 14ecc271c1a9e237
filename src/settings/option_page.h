// The common ground of the option pages: reading and setting their check boxes and number
// fields, and telling the program's own control updates from the user's changes.
#pragma once

#include "framework/page_control.h"
#include "settings/launcher_settings.h"
#include "settings/options_host.h"

#include <string>

namespace tolvern {

class TOptionPage : public TDialogPage {
public:
    TOptionPage(HWND parent, int templateId, TOptionsHost& host)
        : TDialogPage(parent, templateId), host_(host) {}

    // Sets every control from the options without running any handler.
    void ShowOptions(const LauncherSettings& options);

    bool Checked(int id) const;
    // The up-down control's position (its number field may show thousands separators).
    int SpinPosition(int upDownId) const;
    std::wstring Text(int id) const;

protected:
    virtual void SetControls(const LauncherSettings& options) = 0;
    // A command from one of the page's controls, the user's own (not the program's updates).
    virtual void Command(int id, int code) = 0;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    void SetChecked(int id, bool checked);
    // Range, step of one arrow click, and position of an up-down control with its number field.
    void SetUpSpin(int upDownId, int low, int high, int step);
    void SetSpinPosition(int upDownId, int position);

    TOptionsHost& host_;
    bool updating_ = false; // the program is setting controls
};

} // namespace tolvern
