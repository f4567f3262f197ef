// general_page.h - the General page: the one page of the main dialog's tabs.
#pragma once

#include "platform/platform.h"

INT_PTR CALLBACK GeneralPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
