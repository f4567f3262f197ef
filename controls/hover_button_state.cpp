// hover_button_state.cpp - the process-wide hover button record.
#include "controls/hover_button_state.h"

// Only focusRepaint starts set: a button that gains the focus repaints itself
// unless its own mouse press gave it the focus.
HoverButtonGlobals hoverButtonGlobals = {1, 0, 0, 0, 0, 0, 0, 0, nullptr};
