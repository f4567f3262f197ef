// host_dialog.cpp - a dialog created from an in-memory template for tests.
#include "support/host_dialog.h"

#include "settings/settings_state.h"

#include <vector>

namespace {

const WORD HOST_FONT_POINTS = 8;
const char HOST_FONT_FACE[] = "MS Sans Serif";

// FALSE for WM_INITDIALOG too: the dialog manager then sets no focus, and
// the dialog is not activated.
INT_PTR CALLBACK HostDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

void AppendText(std::vector<WORD> *words, const char *text)
{
    for (const char *c = text; *c; ++c)
        words->push_back(static_cast<BYTE>(*c));
    words->push_back(0);
}

} // namespace

HWND CreateHostDialog(int x, int y, int width, int height)
{
    // DLGTEMPLATE, then menu, class and title, then the font (DS_SETFONT).
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    DLGTEMPLATE *header = reinterpret_cast<DLGTEMPLATE *>(words.data());
    header->style = WS_POPUP | WS_BORDER | DS_SETFONT;
    header->cdit = 0;
    header->cx = 100;
    header->cy = 100;
    words.push_back(0); // no menu
    words.push_back(0); // standard dialog class
    AppendText(&words, "");
    words.push_back(HOST_FONT_POINTS);
    AppendText(&words, HOST_FONT_FACE);

    HWND dialog = CreateDialogIndirectParamA(settingsState.instance,
                                             reinterpret_cast<LPCDLGTEMPLATEA>(words.data()),
                                             nullptr, HostDialogProc, 0);
    // Shown without activation: Wine (without a window manager) treats an
    // activated window as managed and then waits 2 s for every hide.
    if (dialog)
        SetWindowPos(dialog, HWND_TOP, x, y, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    return dialog;
}

HWND AddHostControl(HWND dialog, const char *className, const char *text, DWORD style, int id,
                    int x, int y, int width, int height)
{
    HWND control = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width,
                                   height, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   settingsState.instance, nullptr);
    if (control)
        SendMessageA(control, WM_SETFONT, SendMessageA(dialog, WM_GETFONT, 0, 0), FALSE);
    return control;
}
