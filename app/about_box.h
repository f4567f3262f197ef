// about_box.h - the About box: name, version, description and licence text.
#pragma once

#include "platform/platform.h"

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
