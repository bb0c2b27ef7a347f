// Removal: the sweep that takes an installed copy off the machine.
#ifndef CORVANE_REMOVE_H
#define CORVANE_REMOVE_H

#include <windows.h>

void RemovalSweep(HWND dialog);

// REMOVESCAN: the notice shown while the sweep runs.
INT_PTR CALLBACK RemoveScan(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
