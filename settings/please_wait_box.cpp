// please_wait_box.cpp - the shared behaviour of the two "Please wait" boxes.
#include "settings/please_wait_box.h"

#include "settings/settings_state.h"

namespace {

// The boxes' result carries no meaning.
const INT_PTR PLEASE_WAIT_RESULT = 0;

INT_PTR OnInitDialog(HWND box)
{
    PostMessageA(box, WM_DEFERRED_INIT, 0, 0);
    return TRUE;
}

INT_PTR OnDeferredInit(HWND box, PleaseWaitWork work)
{
    // The box's text is painted before the work starts: the work runs
    // without returning to the message loop.
    ShowWindow(box, SW_SHOW);
    UpdateWindow(box);
    work(settingsState.pages[PAGE_GENERAL]);
    EndDialog(box, PLEASE_WAIT_RESULT);
    return TRUE;
}

} // namespace

INT_PTR HandlePleaseWaitBoxMessage(HWND box, UINT message, PleaseWaitWork work)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(box);
    case WM_DEFERRED_INIT:
        return OnDeferredInit(box, work);
    default:
        return FALSE;
    }
}
