#include "common/common.h"

// Centres a dialog over its owner (or the screen when it has none) and
// keeps it on the screen; one larger than the screen lands at 0.
void CenterDialog(HWND dialog)
{
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);

    RECT reference = { 0, 0, screenWidth, screenHeight };
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner)
        GetWindowRect(owner, &reference);
    int centreX = (reference.left + reference.right) / 2;
    int centreY = (reference.top + reference.bottom) / 2;

    RECT own;
    GetWindowRect(dialog, &own);
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    int x = centreX + (-width) / 2;
    int y = centreY + (-height) / 2;

    if (x < 0)
        x = 0;
    else if (x + width > screenWidth)
        x = screenWidth - width;
    if (y < 0)
        y = 0;
    else if (y + height > screenHeight)
        y = screenHeight - height;

    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}
