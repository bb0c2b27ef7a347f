// The backdrop as the user sees it: pixels read back from a real window.
#include <gtest/gtest.h>

#include <vector>

#include "driver/driver.h"
#include "resource.h"

namespace {

const int CLIENT_WIDTH = 420;  // wide enough for the logo and a column beside it
const int BESIDE_LOGO = 400;

// The pixels of a window's client area, or of a bitmap, top row first.
struct Pixels {
    int width = 0, height = 0;
    std::vector<DWORD> data;  // 0x00RRGGBB
    DWORD at(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};

Pixels read_bitmap(HDC source, int width, int height)
{
    Pixels p;
    p.width = width;
    p.height = height;
    p.data.resize(static_cast<size_t>(width) * height);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(source);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    memcpy(p.data.data(), bits, p.data.size() * 4);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
    return p;
}

Pixels client_pixels(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    Pixels p = read_bitmap(dc, client.right, client.bottom);
    ReleaseDC(window, dc);
    return p;
}

Pixels resource_bitmap(int id)
{
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    BITMAP info;
    GetObjectA(bitmap, sizeof info, &info);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    Pixels p = read_bitmap(memory, info.bmWidth, info.bmHeight);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return p;
}

// The gradient as it must look: bands of height/70 rows (at least one),
// blue 255 at the top, 3 darker each band, never below 0.
DWORD gradient(int row, int clientHeight)
{
    int band = clientHeight / 70 > 0 ? clientHeight / 70 : 1;
    int blue = 255 - 3 * (row / band);
    return blue > 0 ? static_cast<DWORD>(blue) : 0;
}

class Backdrop : public ::testing::Test {
protected:
    void SetUp() override
    {
        State = SetupState();
        State.instance = GetModuleHandleA(nullptr);
        static bool registered = RegisterBackdropClass(State.instance);
        ASSERT_TRUE(registered);
    }
    void TearDown() override
    {
        if (window_)
            DestroyWindow(window_);
        MSG msg;  // the WM_QUIT that WM_DESTROY posts
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    HWND open(int clientHeight)
    {
        // Topmost, so that no other window can keep a part of it unpainted.
        window_ = CreateWindowExA(WS_EX_TOPMOST, "MelvroSetupWClass", "Melvro Setup", WS_POPUP | WS_THICKFRAME, 0, 0,
                                  100, 100, nullptr, nullptr, State.instance, nullptr);
        resize(clientHeight);
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        UpdateWindow(window_);
        return window_;
    }

    void resize(int clientHeight)
    {
        RECT r = { 0, 0, CLIENT_WIDTH, clientHeight };
        AdjustWindowRectEx(&r, WS_POPUP | WS_THICKFRAME, FALSE, 0);
        SetWindowPos(window_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HWND window_ = nullptr;
};

TEST_F(Backdrop, BandsDarkenByThreeDownToBlack)
{
    struct Case {
        int clientHeight, row;
        DWORD blue;
    } cases[] = {
        {480, 0, 255},  {480, 5, 255},  {480, 6, 252},  {480, 474, 18}, {480, 479, 18},
        {700, 9, 255},  {700, 10, 252}, {700, 689, 51}, {700, 690, 48}, {700, 699, 48},
        {139, 0, 255},  {139, 1, 252},  {139, 84, 3},   {139, 85, 0},   {139, 138, 0},
        {50, 0, 255},   {50, 48, 111},  {50, 49, 108},
    };
    int openHeight = 0;
    Pixels pixels;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "height " << c.clientHeight << ", row " << c.row);
        if (c.clientHeight != openHeight) {
            if (window_)
                DestroyWindow(window_);
            open(c.clientHeight);
            pixels = client_pixels(window_);
            ASSERT_EQ(c.clientHeight, pixels.height);
            openHeight = c.clientHeight;
        }
        EXPECT_EQ(c.blue, pixels.at(BESIDE_LOGO, c.row));
        EXPECT_EQ(c.blue, pixels.at(0, c.row));
        EXPECT_EQ(c.blue, pixels.at(CLIENT_WIDTH - 1, c.row));
    }
}

// Every pixel of the logo's rectangle is the gradient masked by #105 and
// then painted with #104; the bitmaps' last four columns are not drawn.
TEST_F(Backdrop, LogoIsMaskedOntoTheGradient)
{
    const int height = 480;
    open(height);
    Pixels screen = client_pixels(window_);
    Pixels picture = resource_bitmap(IDB_LOGO);
    Pixels mask = resource_bitmap(IDB_LOGO_MASK);
    ASSERT_EQ(359, picture.width);
    ASSERT_EQ(205, picture.height);

    int mismatches = 0, opaque = 0, seeThrough = 0;
    for (int y = 0; y < 205; ++y) {
        for (int x = 0; x < 355; ++x) {
            DWORD expected = (gradient(20 + y, height) & mask.at(x, y)) | picture.at(x, y);
            mismatches += screen.at(20 + x, 20 + y) != expected;
            opaque += mask.at(x, y) == 0;
            seeThrough += mask.at(x, y) == 0xFFFFFF;
        }
    }
    EXPECT_EQ(0, mismatches);
    EXPECT_GT(opaque, 1000);      // there is a picture ...
    EXPECT_GT(seeThrough, 1000);  // ... and the gradient shows around it

    int hiddenOpaque = 0;
    for (int y = 0; y < 205; ++y) {
        for (int x = 355; x < 359; ++x) {
            hiddenOpaque += mask.at(x, y) == 0;
            EXPECT_EQ(gradient(20 + y, height), screen.at(20 + x, 20 + y)) << "column " << x << " row " << y;
        }
    }
    EXPECT_GT(hiddenOpaque, 0) << "the artwork must reach the last columns for this check to mean anything";
}

TEST_F(Backdrop, ResizingRepaintsEverything)
{
    open(700);
    resize(480);
    UpdateWindow(window_);
    Pixels pixels = client_pixels(window_);
    ASSERT_EQ(480, pixels.height);
    // In the taller window's bands this row was 114.
    EXPECT_EQ(18u, pixels.at(BESIDE_LOGO, 474));
    EXPECT_EQ(252u, pixels.at(BESIDE_LOGO, 6));
}

TEST_F(Backdrop, BackgroundIsNeverErased)
{
    open(480);
    HDC dc = GetDC(window_);
    EXPECT_EQ(0, SendMessageA(window_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
    ReleaseDC(window_, dc);
    Pixels pixels = client_pixels(window_);
    EXPECT_EQ(255u, pixels.at(BESIDE_LOGO, 0));  // not the class's white brush
    EXPECT_EQ(18u, pixels.at(BESIDE_LOGO, 479));
}

}  // namespace
