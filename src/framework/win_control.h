// Components that have a window: forms and the controls on them.
#pragma once

#include "framework/component.h"

#include <windows.h>

namespace tolvern {

// A form or a control. Its window may be destroyed and created anew while the object lives.
class TWinControl : public TComponent {
public:
    using TComponent::TComponent;
    // The control's current window (null while it has none).
    virtual HWND WindowHandle() const = 0;
};

// A control of a dialog, known by its identifier in its parent: a window created anew with the
// same identifier is the same control.
class TDialogItem : public TWinControl {
public:
    TDialogItem(TComponent* owner, HWND parent, int id)
        : TWinControl(owner), parent_(parent), id_(id) {}
    HWND WindowHandle() const override { return ::GetDlgItem(parent_, id_); }
    HWND Parent() const { return parent_; }
    int Id() const { return id_; }

private:
    HWND parent_;
    int id_;
};

} // namespace tolvern
