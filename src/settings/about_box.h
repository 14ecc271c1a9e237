// The version dialog: created hidden at start, shown from the launcher menu.
#pragma once

#include "framework/form.h"

namespace tolvern {

class TAboutBox : public Form {
public:
    explicit TAboutBox(Application& application);
};

} // namespace tolvern
