// second_page.h - the second page: created and placed with the General page,
// but no tab leads to it.
#pragma once

#include "platform/platform.h"

INT_PTR CALLBACK SecondPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
