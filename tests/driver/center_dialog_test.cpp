#include <gtest/gtest.h>

#include "driver/driver.h"

namespace {

struct Window {
    HWND handle;
    explicit Window(RECT r, HWND owner = nullptr)
        : handle(CreateWindowExA(0, "STATIC", "", WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                 owner, nullptr, GetModuleHandleA(nullptr), nullptr))
    {
    }
    ~Window() { DestroyWindow(handle); }
};

// The screen is Wine's virtual desktop of 1024 x 768.
TEST(CenterDialog, CentresOverTheOwnerAndStaysOnScreen)
{
    ASSERT_EQ(1024, GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(768, GetSystemMetrics(SM_CYSCREEN));
    struct Case {
        const char* what;
        bool owned;
        RECT owner;
        int width, height;
        POINT expected;
    } cases[] = {
        {"over a full-screen owner", true, {0, 0, 1024, 768}, 300, 200, {362, 284}},
        {"odd sizes round toward zero", true, {0, 0, 1024, 768}, 301, 201, {362, 284}},
        {"over a maximised owner", true, {-4, -4, 1028, 772}, 300, 200, {362, 284}},
        {"over a small owner", true, {100, 50, 500, 450}, 200, 100, {200, 200}},
        {"pushed back from the right", true, {900, 600, 1100, 800}, 200, 100, {824, 650}},
        {"pushed back from the bottom", true, {400, 700, 600, 800}, 200, 100, {400, 668}},
        {"pushed back from the left and top", true, {-300, -200, 100, 100}, 200, 100, {0, 0}},
        {"larger than the screen", true, {0, 0, 1024, 768}, 1200, 900, {0, 0}},
        {"without an owner, over the screen", false, {}, 300, 200, {362, 284}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Window owner(c.owner);
        Window dialog({50, 60, 50 + c.width, 60 + c.height}, c.owned ? owner.handle : nullptr);
        CenterDialog(dialog.handle);
        RECT placed;
        GetWindowRect(dialog.handle, &placed);
        EXPECT_EQ(c.expected.x, placed.left);
        EXPECT_EQ(c.expected.y, placed.top);
        EXPECT_EQ(c.width, placed.right - placed.left);  // the size stays
        EXPECT_EQ(c.height, placed.bottom - placed.top);
    }
}

}  // namespace
