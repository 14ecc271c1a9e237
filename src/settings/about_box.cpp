// The version dialog: created hidden at start, shown from the launcher menu.
#include "settings/about_box.h"

namespace tolvern {

TAboutBox::TAboutBox(Application& application) : Form(application) {
    CreateForm(L"TAboutBox", L"バージョン情報", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
               WS_EX_DLGMODALFRAME, 300, 192);
}

} // namespace tolvern
