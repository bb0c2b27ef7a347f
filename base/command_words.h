// The words of a command line after the program's name, as every program
// of the setup reads them: the system keeps the line in wide form, where
// the ANSI one would be converted best fit.
// Like all of base/, it knows nothing of the programs built on it.
#ifndef CORVANE_COMMAND_WORDS_H
#define CORVANE_COMMAND_WORDS_H

#include <windows.h>

// The command line without the program name and the blanks and control
// characters after it. Computed here rather than taken from the C
// runtime's start-up code, whose rule for quotes is its own.
const WCHAR* CommandTail(const WCHAR* commandLine);
// "/quiet" or "/passive" when a word of the tail is one, in any case, as
// a deployment tool or the list of installed programs passes it on; else
// "", for a run a person watches.
const char* UnattendedSwitch(const WCHAR* tail);
// The words of the tail that a removal passes on to SETUP.EXE, each
// followed by a blank: UnattendedSwitch's, then "/closeapplications" and
// "/wait=SECONDS" (up to six digits) where the tail has them, in any case.
// Nothing else: no other text of the command line reaches the next one.
enum { PASSED_CHARS = 48 };
void PassedSwitches(const WCHAR* tail, char* words);

#endif
