// SETUPSCAN: the notice shown while the installation record is read. It
// stays on screen for two seconds however quick the reading is.
#include "record/record.h"

enum { SCAN_MILLISECONDS = 2000 };

static INT_PTR scan(const NoticeView&)
{
    ScanInstallation();
    return END_YES;
}

const WorkNotice SetupScanNotice = {scan, false, SCAN_MILLISECONDS};
