// Program Manager integration: the program group and its items, over DDE.
#ifndef CORVANE_PROGMAN_H
#define CORVANE_PROGMAN_H

#include <windows.h>

// #135: the offer to create the program group and its items.
INT_PTR CALLBACK MakeDefaultGroup(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
