// Removal: the sweep that takes an installed copy off the machine.
#ifndef CORVANE_REMOVE_H
#define CORVANE_REMOVE_H

#include "common/common.h"

void RemovalSweep(HWND notice);

// REMOVESCAN: the notice shown while the sweep runs.
extern const WorkNotice RemoveScan;

#endif
