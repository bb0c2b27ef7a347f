// Removal: the sweep that takes an installed copy off the machine.
#ifndef CORVANE_REMOVE_H
#define CORVANE_REMOVE_H

#include "common/common.h"

// 0 when everything went, else the RunResult of what stayed.
int RemovalSweep(HWND notice);

// REMOVESCAN: the notice shown while the sweep runs. It ends with END_YES,
// or with RUN_FILE_IN_USE when a file it was to delete stays, or with
// RUN_COPY_FAILED when the folder leads elsewhere and was left alone.
extern const WorkNotice RemoveScan;

#endif
