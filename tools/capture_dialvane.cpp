// capture_dialvane.cpp - used by tools/run.sh when there is no display: waits
// until a running dialvane.exe has loaded its settings, saves a screenshot of
// its main dialog, then closes it with Cancel (nothing is written).
//
//     capture_dialvane.exe OUTPUT.bmp
#include "support/test_support.h"
#include "resource.h"

#include <cstdio>

namespace {

const char MAIN_TITLE[] = "Dialvane Version 1.2";
const char WAIT_TITLE[] = "Please wait";
const DWORD STARTUP_TIMEOUT_MS = 60000;

struct FindControl {
    int id;
    HWND found;
};

BOOL CALLBACK FindControlById(HWND window, LPARAM lParam)
{
    FindControl *search = reinterpret_cast<FindControl *>(lParam);
    if (GetDlgCtrlID(window) == search->id) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The settings are loaded once the "Please wait" box is gone and the icon-size
// list has been filled.
bool SettingsLoaded(HWND main)
{
    if (!IsWindowVisible(main) || !IsWindowEnabled(main) || FindWindowA(nullptr, WAIT_TITLE))
        return false;
    FindControl search = {IDC_ICON_SIZE, nullptr};
    EnumChildWindows(main, FindControlById, reinterpret_cast<LPARAM>(&search));
    return search.found && SendMessageA(search.found, CB_GETCOUNT, 0, 0) > 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: capture_dialvane OUTPUT.bmp\n");
        return 2;
    }
    HWND main = nullptr;
    const bool loaded = PumpMessagesUntil([&] {
        main = FindWindowA(nullptr, MAIN_TITLE);
        return main && SettingsLoaded(main);
    }, STARTUP_TIMEOUT_MS);
    if (!loaded) {
        fprintf(stderr, "capture_dialvane: the main dialog did not finish loading\n");
        return 1;
    }
    // Let the last paints after the Loading box settle.
    PumpMessagesFor(500);
    ParkCursor();
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessagesFor(300);

    RECT area;
    GetWindowRect(main, &area);
    const ScreenImage image = CaptureScreen(area);
    const bool saved = SaveBitmapFile(image, argv[1]);
    PostMessageA(main, WM_COMMAND, IDCANCEL, 0);
    if (!saved) {
        fprintf(stderr, "capture_dialvane: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
