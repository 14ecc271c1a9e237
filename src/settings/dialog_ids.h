// Identifiers of the dialog templates in res/ and of their controls (shared by the .rc files
// and the code). Each dialog keeps to its own range.
#pragma once

// About box: 3000-3099.
#define IDD_ABOUT_BOX 3000
#define IDC_ABOUT_PANEL 3001
#define IDC_ABOUT_ICON 3002
#define IDC_ABOUT_PRODUCT 3003
#define IDC_ABOUT_VERSION 3004
#define IDC_ABOUT_NOTICE 3005
#define IDC_ABOUT_LINK 3006
#define IDC_ABOUT_LINK_BUTTON 3007
