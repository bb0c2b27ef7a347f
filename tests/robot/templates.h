// What every dialog template of SETUP.EXE must hold, written down from
// the dialog catalogue: the resource test compares the built program
// with it field by field, and the robot names the dialogs it meets by it.
#ifndef CORVANE_TEST_TEMPLATES_H
#define CORVANE_TEST_TEMPLATES_H

#include <windows.h>

#include <string>
#include <vector>

namespace templates {

struct Control {
    int id;
    std::string className;  // BUTTON, STATIC, EDIT, LISTBOX
    std::string text;       // "#137" for an icon resource given by number
    DWORD style;
    short x, y, cx, cy;
};

struct Template {
    std::string name;       // "SETUPINTRO", or "#141" for a numbered one
    std::string title;
    std::string font;
    WORD pointSize;
    DWORD style;
    short x, y, cx, cy;
    std::vector<Control> controls;
};

const std::vector<Template>& All();
const Template* Find(const std::string& name);

}  // namespace templates

#endif
