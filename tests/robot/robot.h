// The robot: does to SETUP.EXE, from a process of its own, what a person
// does. It starts the program, waits for each dialog, reads its controls
// (their texts in UTF-8, whatever the code page), presses buttons and keys, reads and closes message boxes, takes
// screenshots and waits for the exit code. It never looks into the
// program's memory; everything goes through windows and messages.
#ifndef CORVANE_TEST_ROBOT_H
#define CORVANE_TEST_ROBOT_H

#include <windows.h>

#include <string>
#include <vector>

namespace robot {

struct Control {
    int id = 0;  // -1 for a control that is never addressed
    std::string className;
    std::string text;
    bool enabled = false;
};

struct Dialog {
    HWND window = nullptr;
    std::string title;
    std::string name;  // its template ("SETUPINTRO", "#141"); empty for a message box
    RECT rect = {};    // on the screen
    std::vector<Control> controls;

    explicit operator bool() const { return window != nullptr; }
    const Control* control(int id) const;
    std::string text(int id) const;  // empty when there is no such control
    std::string message() const;     // a message box's text
    bool hasIcon() const;            // a message box's icon
};

// A dialog template of the built SETUP.EXE: its controls' ids, classes and
// texts, read from the file itself.
struct Template {
    std::string name, title;
    std::vector<Control> controls;
};
// The templates in the language Windows chooses for SETUP.EXE, as it
// makes them; or, once ExpectLanguage has named one, in that language
// only, so that a dialog in any other is met by none.
const std::vector<Template>& Templates();
void ExpectLanguage(LANGID language);
// The same templates in one language (none where it has no such template).
std::vector<Template> TemplatesIn(LANGID language);
// A text of a built program's string tables in a language, in UTF-8, each
// %s the argument given.
std::string Text(UINT id, LANGID language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                 const std::string& argument = "", const std::string& program = "SETUP.EXE");

// The screen, 0x00RRGGBB a pixel, top row first.
struct Image {
    int width = 0, height = 0;
    std::vector<DWORD> pixels;
    COLORREF at(int x, int y) const;
};
bool CaptureScreen(Image& image);

void RemoveTree(const std::string& path);
// The process that shows a visible top-level window of this class, or 0.
DWORD ProcessWithWindow(const char* windowClass, DWORD timeoutMs = 20000);
// Closes the folder windows the desktop shell opens for a new group.
void CloseShellWindows();
std::string ProductFolder();
std::string SetupPath();
// A desktop in a window station of its own, as a service has in session
// 0: no shell runs there, so nothing answers Program Manager.
std::string ServiceDesktop();

// One run of a program, or the windows of one already running.
class Session {
public:
    // program "": the tail is the whole command line, in UTF-8 as every
    // text the robot reads and types. On the given desktop, or on this one.
    Session(const std::string& commandTail, const std::string& program, const std::string& desktop = "");
    // An owned one is ended with the session if it is still running.
    Session(DWORD processId, bool owned);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The next dialog that appears (one not returned before), or an empty
    // one after the time-out.
    Dialog next(DWORD timeoutMs = 20000);
    // False when a person could not click it: missing, hidden or disabled.
    bool press(const Dialog& dialog, int id);
    void enter(const Dialog& dialog);
    void escape(const Dialog& dialog);
    bool closeBox(const Dialog& dialog);  // false without a close box
    void type(const Dialog& dialog, int id, const std::string& text);
    bool gone(const Dialog& dialog, DWORD timeoutMs = 5000) const;
    DWORD exitCode(DWORD timeoutMs = 20000);  // STILL_ACTIVE while it runs
    // The same, watching meanwhile whether a window of the run shows: the
    // class and title of the first one, or "".
    DWORD exitCodeUnseen(std::string& windowSeen, DWORD timeoutMs = 20000);

private:
    void key(const Dialog& dialog, WORD virtualKey);

    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    std::vector<HWND> seen_;
    std::vector<HWND> before_;  // the top-level windows when it started
};

}  // namespace robot

#endif
