// second_page.cpp - the second page. Its controls have no behaviour.
#include "app/second_page.h"

INT_PTR CALLBACK SecondPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_INITDIALOG;
}
