// startup.cpp - start-up and shutdown around the modal main dialog.
#include "app/startup.h"

#include "app/main_dialog.h"
#include "controls/hover_button.h"
#include "platform/system_library.h"
#include "resource.h"
#include "settings/settings_state.h"
#include "tooltips/tooltips.h"

namespace {

// InitCommonControls is the common-controls library's export number 17.
const WORD INIT_COMMON_CONTROLS_ORDINAL = 17;

// Makes the tab control and trackbar classes of the dialog templates exist.
// comctl32.dll is not one of the DLLs Windows protects from a copy planted
// in the program's folder, so it is loaded from the system folder instead of
// being imported. Without it the dialogs cannot be created, and the program
// ends as it does when a dialog fails.
void InitCommonControlsFromSystem()
{
    decltype(&InitCommonControls) initCommonControls;
    SystemFunction("comctl32.dll", MAKEINTRESOURCEA(INIT_COMMON_CONTROLS_ORDINAL), &initCommonControls);
    if (initCommonControls)
        initCommonControls();
}

} // namespace

int RunDialvane(HINSTANCE instance)
{
    // Before anything could load a DLL on the program's behalf.
    RestrictDllSearchToSystemFolder();
    settingsState.instance = instance;
    InitCommonControlsFromSystem();

    if (!RegisterHoverButtonClass(instance))
        return 0;
    if (!RegisterTooltipWindowClass(instance))
        return 0;
    // Without a popup the program simply has no tooltips.
    CreateTooltipWindow();

    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), GetDesktopWindow(), MainDialogProc, 0);

    DestroyTooltipWindow();
    return 0;
}
