// Identifiers of the program's resources (shared by the .rc file and the code).
#pragma once

#define IDI_PROGRAM 1
#define IDI_TRAY_ON 102
#define IDI_TRAY_OFF 103
