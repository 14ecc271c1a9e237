// What other components need of a popup menu: a component that pops up at a screen point.
#pragma once

#include "framework/component.h"

namespace tolvern {

class TPopupMenuBase : public TComponent {
public:
    using TComponent::TComponent;
    // Shows the menu at (x, y) in screen coordinates; returns when the menu has closed.
    virtual void Popup(int x, int y) = 0;
};

} // namespace tolvern
