// startup.cpp - start-up and shutdown around the modal main dialog.
#include "app/startup.h"

#include "app/main_dialog.h"
#include "controls/hover_button.h"
#include "resource.h"
#include "settings/settings_state.h"
#include "tooltips/tooltips.h"

int RunDialvane(HINSTANCE instance)
{
    settingsState.instance = instance;
    InitCommonControls();

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
