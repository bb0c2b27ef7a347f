// Removal: the sweep that takes an installed copy off the machine.
#ifndef CORVANE_REMOVE_H
#define CORVANE_REMOVE_H

#include "common/common.h"

bool RemovalSweep(HWND notice);

// REMOVESCAN: the notice shown while the sweep runs. It ends with END_YES,
// or with RUN_FILE_IN_USE when a file it was to delete stays.
extern const WorkNotice RemoveScan;

#endif
