// about_box.cpp - the About box. The licence text comes from the module's
// "LICENSE" resource each time the box opens.
#include "app/about_box.h"

#include "controls/hover_button.h"
#include "platform/global_memory.h"
#include "resource.h"
#include "settings/settings_state.h"

namespace {

// Puts the licence text into the edit control. The resource holds no
// terminating zero: its text ends where its data ends, so it is copied into
// a zero-terminated buffer of its own size. Returns false, leaving the
// control empty, when the resource is missing or cannot be loaded, or when
// there is no memory for the copy.
bool ShowLicenseText(HWND dialog)
{
    HRSRC found = FindResourceA(settingsState.instance, LICENSE_RESOURCE_NAME, LICENSE_RESOURCE_TYPE);
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(settingsState.instance, found);
    if (!loaded)
        return false;
    const char *data = static_cast<const char *>(LockResource(loaded));
    if (!data)
        return false;
    const DWORD size = SizeofResource(settingsState.instance, found);
    char *text = static_cast<char *>(AllocateGlobal(GPTR, static_cast<SIZE_T>(size) + 1));
    if (!text)
        return false;
    CopyMemory(text, data, size);
    SendDlgItemMessageA(dialog, IDC_LICENSE_TEXT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    GlobalFree(text);
    return true;
}

BOOL OnInitDialog(HWND dialog)
{
    ConfigurePlainHoverButton(GetDlgItem(dialog, IDCANCEL));
    if (!ShowLicenseText(dialog))
        return TRUE;
    PostMessageA(dialog, WM_DEFERRED_INIT, 0, 0);
    // The dialog manager now focuses the licence text and selects all of it;
    // the deferred step takes that selection away again.
    return TRUE;
}

BOOL OnDeferredInit(HWND dialog)
{
    SendDlgItemMessageA(dialog, IDC_LICENSE_TEXT, EM_SETSEL, 0, 0);
    return TRUE;
}

void OnCommand(HWND dialog, WPARAM wParam)
{
    if (LOWORD(wParam) == IDCANCEL)
        EndDialog(dialog, 0);
}

} // namespace

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_DEFERRED_INIT:
        return OnDeferredInit(dialog);
    case WM_COMMAND:
        OnCommand(dialog, wParam);
        return FALSE;
    }
    return FALSE;
}
