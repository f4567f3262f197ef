// link_label.h - a static text drawn as a hyperlink: blue, underlined, with
// the program's hand cursor.
#pragma once

#include "platform/platform.h"

// Colour of the link's text and underline: pure blue.
const COLORREF LINK_COLOR = RGB(0, 0, 255);

LRESULT CALLBACK LinkLabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam);

// Turns a static control (with SS_NOTIFY, so that it is hit-tested and
// reports clicks) into a link label.
void InstallLinkLabel(HWND label);
