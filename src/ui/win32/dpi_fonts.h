#pragma once
// The model lays out in logical pixels (96 DPI); the screen has its own
// DPI. Everything native is scaled by one factor fixed at start-up (the
// program is system-DPI aware), and the window's fonts are made at that
// scale.
#include <windows.h>

#include "ui/control.h"
#include "ui/geometry.h"
#include "ui/layout_loader.h"
#include "ui/win32/gdi_objects.h"

namespace orvello::ui::win32 {

// The screen's LOGPIXELSY / 96.
double SystemScale();
int Scaled(int logical, double scale);
int Unscaled(int pixels, double scale);
RECT ToNative(const Rect& logical, double scale);

// size is the character height in pixels at 96 DPI.
GdiObject<HFONT> MakeFont(const FontDef& font, double scale);

}  // namespace orvello::ui::win32
