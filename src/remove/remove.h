// Removal: REMOVESCAN, the notice shown while the installed copy is taken
// off the machine. It owns what goes and in what order: the files, the
// user's settings, the record and the entry, the group and its items, the
// folder and the class key. It knows the state record, the log and the
// rooms below the driver; it knows nothing of the flow, of the run's mode
// or of exit codes: it says what stayed, and the wizard decides what that
// means.
#ifndef CORVANE_REMOVE_H
#define CORVANE_REMOVE_H

#include "common/common.h"

// What the removal could not take away.
enum RemovalFailure {
    REMOVED_ALL = 0,
    REMOVAL_FILE_STAYED,       // a file it was to delete stays (in use, say)
    REMOVAL_FOLDER_ELSEWHERE,  // the folder leads elsewhere and was left alone
    REMOVAL_STOPPED_IN_USE,    // a file stayed in use: nothing was removed
};
RemovalFailure RemoveScan();

// REMOVESCAN's row: the removal, held on screen for two seconds.
extern const WorkNotice RemoveScanNotice;

#endif
