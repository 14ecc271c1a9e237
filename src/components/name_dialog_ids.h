// Identifiers of the name dialog's template and controls (3100-3199), shared by
// res/name_dialog.rc and the code.
#pragma once

#define IDD_NAME_DIALOG 3100
#define IDC_NAME_PROMPT 3101
#define IDC_NAME_EDIT 3102
