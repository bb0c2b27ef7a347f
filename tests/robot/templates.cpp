#include "templates.h"

namespace templates {
namespace {

// Control kinds. Every control is a visible child window.
const DWORD CHILD = WS_CHILD | WS_VISIBLE;
const DWORD DEFAULT_BUTTON = CHILD | BS_DEFPUSHBUTTON | WS_TABSTOP;
const DWORD PUSH_BUTTON = CHILD | BS_PUSHBUTTON | WS_TABSTOP;
const DWORD GROUP_BOX = CHILD | BS_GROUPBOX;
const DWORD ICON = CHILD | SS_ICON;
const DWORD LEFT_TEXT = CHILD | SS_LEFT | WS_GROUP;
const DWORD CENTRED_TEXT = CHILD | SS_CENTER | WS_GROUP;
const DWORD FOLDER_EDIT = CHILD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
const DWORD GROUP_LIST = CHILD | LBS_NOTIFY | LBS_SORT | WS_BORDER | WS_VSCROLL | WS_TABSTOP;

// Window styles.
const DWORD POPUP_BOX = 0x90C800C0;
const DWORD OVERLAPPED_BOX = 0x10C800C0;
const DWORD INTRO_BOX = 0x00C800C0;
const DWORD HIDDEN_POPUP_BOX = 0x80C800C0;
const DWORD WORK_BOX = 0x900000C0;

const char SANS[] = "MS Sans Serif";

std::vector<Template> Build()
{
    return {
        {"#141", "NOTICE", SANS, 8, HIDDEN_POPUP_BOX, 0, 0, 243, 91, {
            {1, "BUTTON", "OK", DEFAULT_BUTTON, 96, 50, 50, 14},
            {-1, "STATIC", "Please use UNINSTAL.EXE ", LEFT_TEXT, 80, 26, 92, 8},
            {-1, "BUTTON", "", GROUP_BOX, 7, 7, 229, 77},
        }},
        {"SETUPSCAN", "", SANS, 8, WORK_BOX, 0, 0, 245, 49, {
            {-1, "STATIC", "#137", ICON, 9, 12, 18, 20},
            {-1, "STATIC", "Setup is searching for installed Corvane Pro32 components...", LEFT_TEXT, 34, 19, 200, 8},
        }},
        {"NEWERVERSION", "Setup Warning", SANS, 8, POPUP_BOX, 0, 0, 246, 110, {
            {2, "BUTTON", "Exit Setup", PUSH_BUTTON, 98, 88, 50, 14},
            {-1, "STATIC", "#137", ICON, 18, 18, 18, 20},
            {-1, "BUTTON", "", GROUP_BOX, 7, 4, 228, 78},
            {-1, "STATIC", "Setup has detected a newer version of Corvane Pro32 than the one you are "
                           "currently attempting to install.", LEFT_TEXT, 42, 18, 183, 20},
            {-1, "STATIC", "You must use the Setup program that came with that copy to uninstall it.  You may "
                           "then run this setup program to complete the installation of this older version.",
             LEFT_TEXT, 22, 48, 201, 28},
        }},
        {"SETUPINTRO", "Corvane Pro32 Setup", "Arial", 9, INTRO_BOX, 22, 17, 246, 149, {
            {1, "BUTTON", "Install", DEFAULT_BUTTON | WS_GROUP, 9, 77, 45, 14},
            {-1, "STATIC", "#137", ICON, 23, 12, 18, 20},
            {-1, "BUTTON", "", GROUP_BOX, 9, 3, 228, 63},
            {-1, "STATIC", "Welcome to the Corvane Pro32 installation  program.", LEFT_TEXT, 53, 19, 172, 8},
            {-1, "STATIC", "You can use this program to install or uninstall Corvane Pro32.", CENTRED_TEXT,
             21, 43, 203, 8},
            {2, "BUTTON", "Exit Setup", PUSH_BUTTON, 98, 131, 50, 14},
            {-1, "BUTTON", "", GROUP_BOX, 9, 117, 228, 9},
            {1001, "BUTTON", "Uninstall", PUSH_BUTTON, 9, 99, 45, 14},
            {-1, "STATIC", "Remove Corvane Pro32 and all of its component files.", LEFT_TEXT, 61, 101, 175, 8},
            {-1, "STATIC", "Install or Reinstall Corvane Pro32 on your machine.", LEFT_TEXT, 61, 79, 168, 8},
        }},
        {"SETUPEXIT", "Exit Setup", SANS, 8, POPUP_BOX, 0, 0, 242, 107, {
            {1, "BUTTON", "Exit Setup", DEFAULT_BUTTON, 53, 85, 50, 14},
            {2, "BUTTON", "Resume Setup", PUSH_BUTTON, 129, 85, 61, 14},
            {-1, "STATIC", "#137", ICON, 27, 14, 18, 20},
            {-1, "BUTTON", "", GROUP_BOX, 7, 4, 228, 73},
            {-1, "STATIC", "You have chosen to exit Corvane Pro32 Setup.", LEFT_TEXT, 57, 22, 157, 8},
            {-1, "STATIC", "You can run setup at any time in the future to install or uninstall Corvane Pro32 "
                           "components.", CENTRED_TEXT, 29, 44, 185, 22},
        }},
        {"NOTICE1", "Notice", SANS, 8, POPUP_BOX, 0, 0, 270, 116, {
            {1, "BUTTON", "Continue installation", DEFAULT_BUTTON, 7, 94, 86, 14},
            {1006, "BUTTON", "Remove old copy", PUSH_BUTTON, 115, 94, 75, 14},
            {-1, "STATIC", "Another copy of Corvane Pro32 has been found on your computer.  ", LEFT_TEXT,
             40, 23, 216, 8},
            {-1, "STATIC", "#137", ICON, 15, 15, 18, 20},
            {-1, "BUTTON", "", GROUP_BOX, 6, 4, 257, 81},
            {-1, "STATIC", "You may continue and overwrite the current installation.  (unneeded old files will "
                           "be removed)", CENTRED_TEXT, 43, 40, 183, 16},
            {-1, "STATIC", "Or you may remove the other copy and continue the installation in a different "
                           "folder.", CENTRED_TEXT, 47, 64, 176, 15},
            {2, "BUTTON", "Cancel", PUSH_BUTTON, 211, 94, 50, 14},
        }},
        {"REMOVESCAN", "", SANS, 8, WORK_BOX, 0, 0, 237, 44, {
            {-1, "STATIC", "#136", ICON, 20, 12, 18, 20},
            {-1, "STATIC", "Please wait while setup removes Corvane Pro32...", LEFT_TEXT, 53, 18, 166, 8},
        }},
        {"INSTALL", "Setup", SANS, 8, POPUP_BOX, 0, 0, 242, 147, {
            {1, "BUTTON", "Install", DEFAULT_BUTTON, 64, 127, 50, 14},
            {2, "BUTTON", "Cancel", PUSH_BUTTON, 127, 127, 50, 14},
            {-1, "STATIC", "#137", ICON, 18, 17, 18, 20},
            {-1, "BUTTON", "", GROUP_BOX, 7, 4, 228, 115},
            {-1, "STATIC", "Setup will install Corvane Pro32 in the following folder", LEFT_TEXT, 46, 23, 175, 8},
            {-1, "STATIC", "Press Enter to install Corvane Pro32 into the folder shown or edit the path as "
                           "desired  (new folders will be created as required).", LEFT_TEXT, 26, 71, 185, 29},
            {-1, "STATIC", "Click on install when your selection is complete.", LEFT_TEXT, 26, 102, 185, 10},
            {1002, "EDIT", "", FOLDER_EDIT, 18, 46, 206, 12},
        }},
        {"DIRCREATE", "Notice", SANS, 8, POPUP_BOX, 0, 0, 203, 111, {
            {1, "BUTTON", "Create", DEFAULT_BUTTON, 40, 90, 50, 14},
            {2, "BUTTON", "Edit...", PUSH_BUTTON, 113, 90, 50, 14},
            {-1, "STATIC", "The specified folder does not exist !", LEFT_TEXT, 50, 20, 129, 11},
            {-1, "BUTTON", "", GROUP_BOX, 6, 4, 191, 76},
            {-1, "STATIC", "Press Enter to have Setup create the folder now.", LEFT_TEXT, 21, 63, 160, 8},
            {-1, "STATIC", "#137", ICON, 23, 13, 18, 20},
            {1004, "STATIC", "", CENTRED_TEXT, 15, 43, 173, 10},
        }},
        {"COPYFILES", "Please Wait", SANS, 8, POPUP_BOX, 0, 0, 245, 97, {
            {-1, "STATIC", "#137", ICON, 28, 17, 18, 20},
            {-1, "BUTTON", "", GROUP_BOX, 7, 4, 228, 85},
            {-1, "STATIC", "Setup is copying the distribution files to:", LEFT_TEXT, 59, 23, 157, 12},
            {-1, "STATIC", "Copying:", LEFT_TEXT, 67, 65, 30, 10},
            {1005, "STATIC", "", LEFT_TEXT, 106, 65, 69, 10},
            {1004, "STATIC", "", CENTRED_TEXT, 25, 46, 194, 8},
        }},
        {"#135", "Setup", SANS, 8, POPUP_BOX, 0, 0, 245, 111, {
            {1, "BUTTON", "Create Icons", DEFAULT_BUTTON, 41, 81, 71, 14},
            {2, "BUTTON", "Skip", PUSH_BUTTON, 133, 81, 71, 14},
            {-1, "STATIC", "Setup will now create Icons in Program Manager.", LEFT_TEXT, 53, 17, 168, 13},
            {-1, "STATIC", "#137", ICON, 24, 17, 18, 20},
            {-1, "STATIC", "The icons go into the program group Corvane.", LEFT_TEXT, 12, 48, 219, 8},
            {-1, "BUTTON", "", GROUP_BOX, 8, 6, 228, 61},
        }},
        {"SUCCESS", "Setup Complete", SANS, 8, OVERLAPPED_BOX, 0, 0, 182, 94, {
            {1, "BUTTON", "OK", DEFAULT_BUTTON, 62, 74, 50, 14},
            {-1, "STATIC", "#137", ICON, 12, 13, 18, 20},
            {-1, "BUTTON", "", GROUP_BOX, 7, 5, 168, 61},
            {-1, "STATIC", "Corvane Pro32 has been successfully installed on your computer", CENTRED_TEXT,
             36, 17, 134, 19},
            {-1, "STATIC", "Press enter to return to Windows", LEFT_TEXT, 35, 47, 111, 10},
        }},
        {"WIZARDNOTFND", "Notice", SANS, 8, POPUP_BOX, 0, 0, 226, 80, {
            {1, "BUTTON", "Exit", DEFAULT_BUTTON, 88, 58, 50, 14},
            {-1, "STATIC", "#136", ICON, 18, 22, 18, 20},
            {-1, "BUTTON", "", GROUP_BOX, 9, 9, 208, 41},
            {-1, "STATIC", "Corvane Pro32 cannot be found on your computer.", CENTRED_TEXT, 42, 26, 168, 8},
        }},
        {"UNISTALL", "Uninstall", SANS, 8, POPUP_BOX, 0, 0, 254, 164, {
            {-1, "STATIC", "#136", ICON, 29, 22, 18, 20},
            {-1, "BUTTON", "", GROUP_BOX, 13, 11, 228, 73},
            {-1, "STATIC", "Welcome to the Corvane Pro32 uninstall  program.", LEFT_TEXT, 59, 30, 166, 8},
            {-1, "STATIC", "This program will remove Corvane Pro32 and all its components.", CENTRED_TEXT,
             22, 57, 209, 8},
            {2, "BUTTON", "Exit", PUSH_BUTTON, 102, 143, 50, 16},
            {-1, "BUTTON", "", GROUP_BOX, 13, 125, 228, 10},
            {1, "BUTTON", "Remove", PUSH_BUTTON, 53, 98, 45, 16},
            {-1, "STATIC", "Remove Corvane Pro32 now.", LEFT_TEXT, 105, 102, 102, 8},
        }},
        {"EXITUNINSTALL", "Exit Uninstall", SANS, 8, POPUP_BOX, 0, 0, 249, 108, {
            {1, "BUTTON", "Exit", DEFAULT_BUTTON, 54, 88, 50, 14},
            {2, "BUTTON", "Resume", PUSH_BUTTON, 130, 88, 61, 14},
            {-1, "STATIC", "#136", ICON, 28, 17, 18, 20},
            {-1, "BUTTON", "", GROUP_BOX, 8, 7, 228, 73},
            {-1, "STATIC", "You have chosen to exit Corvane Pro32 Uninstall.", LEFT_TEXT, 58, 25, 163, 8},
            {-1, "STATIC", "You can run this program at any time to remove Corvane Pro32 from your computer.",
             CENTRED_TEXT, 18, 47, 211, 22},
        }},
        {"REMOVE", "Remove Melvro", SANS, 8, OVERLAPPED_BOX, 0, 0, 245, 119, {
            {1, "BUTTON", "Remove", DEFAULT_BUTTON, 43, 99, 70, 14},
            {2, "BUTTON", "Cancel", PUSH_BUTTON, 137, 99, 61, 14},
            {-1, "STATIC", "#136", ICON, 14, 14, 18, 20},
            {-1, "BUTTON", "", GROUP_BOX, 7, 4, 228, 87},
            {-1, "STATIC", "You have chosen to remove Corvane Pro32.", LEFT_TEXT, 50, 22, 149, 8},
            {-1, "STATIC", "Please confirm that you want to remove all Corvane Pro32 components from:",
             CENTRED_TEXT, 18, 50, 206, 18},
            {1004, "STATIC", "", CENTRED_TEXT, 19, 70, 206, 10},
        }},
        {"RSUCCESS1", "Removal complete", SANS, 8, POPUP_BOX, 0, 0, 185, 71, {
            {1, "BUTTON", "Exit", DEFAULT_BUTTON, 64, 52, 50, 14},
            {-1, "STATIC", "#136", ICON, 12, 13, 18, 20},
            {-1, "BUTTON", "", GROUP_BOX, 7, 5, 168, 41},
            {-1, "STATIC", "Corvane Pro32 has been successfully removed from your computer", CENTRED_TEXT,
             36, 17, 134, 19},
        }},
        {"#115", "Setup", SANS, 8, POPUP_BOX, 0, 0, 282, 140, {
            {1, "BUTTON", "Create new Item", DEFAULT_BUTTON, 72, 112, 71, 14},
            {2, "BUTTON", "Skip", PUSH_BUTTON, 159, 112, 50, 14},
            {108, "LISTBOX", "", GROUP_LIST, 157, 24, 117, 42},
            {1002, "EDIT", "", FOLDER_EDIT, 6, 84, 134, 12},
            {-1, "STATIC", "Existing Program Groups", LEFT_TEXT, 157, 9, 117, 9},
            {-1, "STATIC", "Caption", LEFT_TEXT, 6, 72, 30, 11},
            {112, "EDIT", "", FOLDER_EDIT, 157, 84, 117, 12},
            {-1, "STATIC", "Select a Program Manager group in which you want to add a Corvane Pro program item.",
             LEFT_TEXT, 13, 13, 117, 27},
            {-1, "STATIC", "Group", LEFT_TEXT, 157, 72, 26, 11},
            {-1, "STATIC", "Or you may type in a new group name to be created.", LEFT_TEXT, 13, 41, 122, 22},
            {-1, "BUTTON", "", GROUP_BOX, 6, 1, 134, 65},
        }},
    };
}

}  // namespace

const std::vector<Template>& All()
{
    static const std::vector<Template> all = Build();
    return all;
}

const Template* Find(const std::string& name)
{
    for (const Template& t : All())
        if (t.name == name)
            return &t;
    return nullptr;
}

}  // namespace templates
