// capture_dialvane.cpp - used by tools/run.sh when there is no display: waits
// until a running dialvane.exe has loaded its settings, saves a screenshot of
// its main dialog, then closes it with Cancel (nothing is written).
//
//     capture_dialvane.exe OUTPUT.bmp
#include "support/dialvane_process.h"

#include <cstdio>

namespace {
const DWORD STARTUP_TIMEOUT_MS = 60000;
// Time for the last paints after the Loading box to reach the screen.
const DWORD SETTLE_MS = 500;
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: capture_dialvane OUTPUT.bmp\n");
        return 2;
    }
    DialvaneProcess program;
    program.AttachToAnyProcess();
    HWND main = program.WaitUntilLoaded(STARTUP_TIMEOUT_MS);
    if (!main) {
        fprintf(stderr, "capture_dialvane: the main dialog did not finish loading\n");
        return 1;
    }
    ParkCursor();
    PumpMessagesFor(SETTLE_MS);

    RECT area;
    GetWindowRect(main, &area);
    const bool saved = SaveBitmapFile(CaptureScreen(area), argv[1]);
    program.Click(program.Control(main, IDCANCEL));
    if (!saved) {
        fprintf(stderr, "capture_dialvane: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
