/* A program of no use but its icon: the opening benchmark makes a folder of shortcuts to copies
   of it, so that no two items share an icon. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR command, int show) {
    (void)instance;
    (void)previous;
    (void)command;
    (void)show;
    return 0;
}
