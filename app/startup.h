// startup.h - the program's start-up and shutdown sequence.
#pragma once

#include "platform/platform.h"

// Prepares the window classes and the tooltip popup, runs the main dialog
// until the user leaves it and takes the tooltips down again. Returns the
// process exit code, 0 on every path.
int RunDialvane(HINSTANCE instance);
