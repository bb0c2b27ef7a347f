// SETUPSCAN: the notice shown while the installation record is read.
#include "record/record.h"

static INT_PTR scan(HWND)
{
    ScanInstallation();
    return 1;
}

const WorkNotice SetupScan = {scan, false};
