// The robot: does to SETUP.EXE, from a process of its own, what a person
// does. It starts the program, waits for each dialog, reads its controls,
// presses buttons and keys, reads and closes message boxes, takes
// screenshots and waits for the exit code. It never looks into the
// program's memory; everything goes through windows and messages.
#ifndef CORVANE_TEST_ROBOT_H
#define CORVANE_TEST_ROBOT_H

#include <windows.h>

#include <string>
#include <vector>

namespace robot {

struct Control {
    HWND window = nullptr;
    int id = 0;              // -1 for a control that is never addressed
    std::string className;   // as the platform reports it: Button, Static, Edit
    std::string text;
    DWORD style = 0;
    bool enabled = false;
    bool visible = false;
};

struct Dialog {
    HWND window = nullptr;
    std::string title;
    std::string name;        // the template it shows ("SETUPINTRO", "#141"),
                             // empty for a message box
    HWND owner = nullptr;
    RECT rect = {};          // on the screen
    int focus = 0;           // id of the control with the keyboard focus, 0 for none
    std::vector<Control> controls;

    explicit operator bool() const { return window != nullptr; }
    const Control* control(int id) const;
    std::string text(int id) const;   // empty when there is no such control
    std::string message() const;      // a message box's text
};

// A screen capture, 32 bits a pixel, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;  // 0x00RRGGBB
    COLORREF at(int x, int y) const;
    bool save(const std::string& bmpPath) const;
};
bool CaptureScreen(Image& image);

// Deletes a folder with everything in it (read-only files included).
void RemoveTree(const std::string& path);

// The process that shows a visible top-level window of this class, or 0
// after the time-out.
DWORD ProcessWithWindow(const char* windowClass, DWORD timeoutMs = 20000);

// Closes the folder windows the desktop shell opened (it opens one when a
// program group is made or shown), so they cover nothing later.
void CloseShellWindows();

// The folder of the running test program, and the built product.
std::string ProgramFolder();
std::string ProductFolder();
std::string SetupPath();

// One run of SETUP.EXE.
class Session {
public:
    Session(const std::string& commandTail, const std::string& program);
    // Watches the windows of a process that is already running: this one,
    // say, or one another program started. An owned one can be waited for
    // and is ended with the session if it is still running then.
    explicit Session(DWORD processId, bool owned = false);
    ~Session();  // a run that is still going is ended, so no test leaks it
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD processId() const { return processId_; }

    // The next dialog that appears (one not returned before), or an empty
    // one after the time-out.
    Dialog next(DWORD timeoutMs = 20000);
    // The dialog read afresh.
    Dialog reread(const Dialog& dialog) const;

    // A click on a button; false when a person could not click it (no such
    // button, hidden or disabled).
    bool press(const Dialog& dialog, int id);
    void enter(const Dialog& dialog);
    void escape(const Dialog& dialog);
    // The close box of the title bar; false when the dialog has none.
    bool closeBox(const Dialog& dialog);
    // Selects all text of an edit box and types over it; returns when the
    // text has arrived.
    void type(const Dialog& dialog, int id, const std::string& text);

    // True when the dialog has gone within the time.
    bool gone(const Dialog& dialog, DWORD timeoutMs = 5000) const;
    // The exit code, or STILL_ACTIVE when the program is still running.
    DWORD exitCode(DWORD timeoutMs = 20000);

private:
    void key(const Dialog& dialog, WORD virtualKey);

    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    std::vector<HWND> seen_;
};

}  // namespace robot

#endif
