#include "driver/driver.h"

// Statically initialised: it holds its defaults before WinMain runs.
SetupState State;
