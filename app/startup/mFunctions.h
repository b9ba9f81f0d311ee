#pragma once

// The program's small helpers. The folder and file helpers are shared with the edit window and
// live in the common library; this header brings them in together with the rest.
#include "FileHelpers.h"
#include "TranslateColor.h"

// Closes every open top-level window, the last in the window list first.
void UnloadAllForms();

// The height of a horizontal scroll bar in pixels; 16 when the style reports less than 1.
int ScrollBarHeight();
