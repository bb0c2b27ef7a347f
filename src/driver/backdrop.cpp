// The full-screen backdrop: a blue gradient with the logo at the top left.
// It owns every dialog of the wizard.
#include "driver/driver.h"
#include "resource.h"
#include "texts.h"

// Of the wide kind, so that its title shows in any language.
static const WCHAR BACKDROP_CLASS[] = L"MelvroSetupWClass";

enum { BANDS = 70, BAND_STEP = 3 };

// The logo's place at 96 dots per inch, and the part of its bitmaps drawn
// (their last four columns are not).
enum { LOGO_LEFT = 20, LOGO_TOP = 20, LOGO_WIDTH = 355, LOGO_HEIGHT = 205, BASE_DPI = 96 };

bool RegisterBackdropClass(HINSTANCE instance)
{
    WNDCLASSW wc = {};
    wc.style = 0;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_SETUP));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = BACKDROP_CLASS;
    return RegisterClassW(&wc) != 0;
}

bool CreateBackdrop(HINSTANCE instance)
{
    State.instance = instance;
    WCHAR title[64];
    LoadText(IDS_BACKDROP_TITLE, title, 64);
    State.backdrop = CreateWindowExW(0, BACKDROP_CLASS, title, WS_POPUP | WS_THICKFRAME, CW_USEDEFAULT, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (!State.backdrop)
        return false;
    ShowWindow(State.backdrop, SW_SHOWMAXIMIZED);
    UpdateWindow(State.backdrop);
    return true;
}

// Draws the logo into the rectangle, stretched to its size: the mask
// clears the picture's area to black (SRCAND), then the picture is ORed in
// (SRCPAINT); where the mask is white the gradient stays. Both are
// stretched by dropping the same rows and columns, so they still match.
void DrawLogo(HDC dc, int x1, int y1, int x2, int y2)
{
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;

    HBITMAP picture = LoadBitmapA(State.instance, MAKEINTRESOURCEA(IDB_LOGO));
    HBITMAP mask = picture ? LoadBitmapA(State.instance, MAKEINTRESOURCEA(IDB_LOGO_MASK)) : nullptr;
    if (picture && mask) {
        int mode = SetStretchBltMode(dc, COLORONCOLOR);
        HGDIOBJ first = SelectObject(memory, mask);
        StretchBlt(dc, x1, y1, x2 - x1, y2 - y1, memory, 0, 0, LOGO_WIDTH, LOGO_HEIGHT, SRCAND);
        SelectObject(memory, picture);
        StretchBlt(dc, x1, y1, x2 - x1, y2 - y1, memory, 0, 0, LOGO_WIDTH, LOGO_HEIGHT, SRCPAINT);
        SelectObject(memory, first);
        SetStretchBltMode(dc, mode);
    }
    if (mask)
        DeleteObject(mask);
    if (picture)
        DeleteObject(picture);
    DeleteDC(memory);
}

// The program declares itself aware of the screen's resolution, so the
// dialogs grow with it; the logo and its place grow alike.
RECT LogoPlace(int dpi)
{
    return {MulDiv(LOGO_LEFT, dpi, BASE_DPI), MulDiv(LOGO_TOP, dpi, BASE_DPI),
            MulDiv(LOGO_LEFT + LOGO_WIDTH, dpi, BASE_DPI), MulDiv(LOGO_TOP + LOGO_HEIGHT, dpi, BASE_DPI)};
}

// Bands of 1/70 of the client height (at least one row), pure blue at the
// top and 3 darker each band down to black. The count rounds down, so the
// last band may lie partly or wholly below the client area.
void PaintBackdrop(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);

    int height = (client.bottom - client.top) / BANDS;
    if (height == 0)
        height = 1;
    int blue = 255;
    RECT band = { client.left, client.top, client.right, client.top + height };
    int covered = 0;
    if (client.bottom >= 0) {
        do {
            HBRUSH brush = CreateSolidBrush(RGB(0, 0, blue));
            if (brush) {  // without a brush the band stays unpainted
                FillRect(dc, &band, brush);
                DeleteObject(brush);
            }
            OffsetRect(&band, 0, height);
            blue = blue > BAND_STEP ? blue - BAND_STEP : 0;
            covered += height;
        } while (covered <= client.bottom);
    }

    RECT logo = LogoPlace(GetDeviceCaps(dc, LOGPIXELSY));
    DrawLogo(dc, logo.left, logo.top, logo.right, logo.bottom);
    EndPaint(window, &ps);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintBackdrop(window);
        return 0;
    case WM_ERASEBKGND:
        return 0;  // the paint covers the whole client area
    case WM_CLOSE:
        // The run ends when the wizard does. Between two dialogs, while
        // Program Manager makes the icons and the platform dispatches
        // meanwhile, a close request must not pull the backdrop, the owner
        // of every dialog still to come, from under the flow.
        return 0;
    case WM_SIZE:
        InvalidateRect(window, nullptr, FALSE);
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

