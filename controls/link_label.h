// link_label.h - a static text drawn as a hyperlink: blue (or a colour of
// the scheme where blue cannot be read), underlined, with the program's hand
// cursor; a tab stop that Space and Enter follow.
#pragma once

#include "platform/platform.h"

// Colour of the link's text and underline wherever it can be read on the
// dialog's face: pure blue.
const COLORREF LINK_COLOR = RGB(0, 0, 255);

LRESULT CALLBACK LinkLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam);

// Turns a static control (with SS_NOTIFY, so that it is hit-tested and
// reports clicks) into a link label. Its colours follow the scheme when it
// is sent WM_SYSCOLORCHANGE, which the system gives top-level windows only.
void InstallLinkLabel(HWND label);
