// The four program items, one table for their creation and their removal.
#include "progman/progman.h"

const char GroupName[] = "Corvane";
const char ItemCaption[] = "Corvane Pro32";

// One row of icons, 77 apart.
const ProgramItem ProgramItems[PROGRAM_ITEMS] = {
    {"\\qvn32.exe", ItemCaption, ",,,38,1,,,)]"},
    {"\\uninstal.exe", "Uninstall32", ",,,115,1,,,)]"},
    {"\\qvnhelp.hlp", "Corvane Pro32 Help", ",,,192,1,,,)]"},
    {"\\qvntutor.hlp", "Corvane Pro32 Tutorial", ",,,269,1,,,)]"},
};
