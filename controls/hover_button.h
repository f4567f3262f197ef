// hover_button.h - the hover button window class: a self-drawn push (or
// toggle) button whose caption takes the hot-tracking colour under the mouse.
#pragma once

#include "platform/platform.h"

LRESULT CALLBACK HoverButtonWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Sets a hover button up: toggle mode, glyph strip and hover strip resource
// ids, and the hover strip's frame count. A repeated hover strip id keeps the
// frame count stored with it. Windows of other classes are left alone.
void ConfigureHoverButton(HWND window, int toggleMode, int glyphId, int hoverId, int frameCount);

// Sets a toggle button's checked value as given; push buttons ignore it.
void SetHoverButtonCheck(HWND window, int check);

// Registers the hover button class; 0 when registration fails.
ATOM RegisterHoverButtonClass(HINSTANCE instance);

// Sets a hover button up as every dialog of the program uses it: a push
// button with a text caption and hover colouring, no bitmaps.
void ConfigurePlainHoverButton(HWND button);
