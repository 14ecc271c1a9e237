// Identifiers of the settings dialog's templates and controls (2000-2999), shared by
// res/settings_dialog.rc and the code, with the few sizes a template cannot hold.
#pragma once

#define IDD_SETTINGS 2000
#define IDD_PAGE_MYMENU 2001
#define IDD_PAGE_GENERAL 2002
#define IDD_PAGE_STARTUP 2003
#define IDD_PAGE_APPEARANCE 2004

// The dialog itself.
#define IDC_PAGECONTROL1 2100
#define IDC_CMDCLOSE 2101

// Page "マイメニュー".
#define IDC_MYMENU_LABEL 2200
#define IDC_LISTVIEW1 2201
#define IDC_CMDADDFILEICON 2202
#define IDC_CMDADDFOLDERICON 2203
#define IDC_CMDUP 2204
#define IDC_CMDDOWN 2205
#define IDC_CMDREMOVE 2206
#define IDC_STATUSBAR1 2207

// Pages "全般", "起動" and "外見" use 2300-2999.

// The dialog's client area in pixels at 96 DPI (scaled to the screen's); the page control
// and the close button keep their template margins to its edges.
#define SETTINGS_CLIENT_WIDTH 504
#define SETTINGS_CLIENT_HEIGHT 355

// Widths in pixels at 96 DPI (scaled to the screen's): the list's columns and the status
// bar's first panel.
#define MYMENU_CAPTION_COLUMN_WIDTH 125
#define MYMENU_PATH_COLUMN_WIDTH 500
#define MYMENU_STATUS_PANEL_WIDTH 100
