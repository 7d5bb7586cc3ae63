#include "ui/win32/dpi_fonts.h"

#include <cmath>

namespace orvello::ui::win32 {

double SystemScale() {
  HDC screen = GetDC(nullptr);
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi / 96.0 : 1.0;
}

int Scaled(int logical, double scale) { return static_cast<int>(std::lround(logical * scale)); }

int Unscaled(int pixels, double scale) { return static_cast<int>(std::lround(pixels / scale)); }

RECT ToNative(const Rect& logical, double scale) {
  return RECT{Scaled(logical.left, scale), Scaled(logical.top, scale), Scaled(logical.right, scale),
              Scaled(logical.bottom, scale)};
}

GdiObject<HFONT> MakeFont(const FontDef& font, double scale) {
  int height = -Scaled(font.size > 0 ? font.size : 12, scale);
  return GdiObject<HFONT>(CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, font.italic, font.underline,
                                      FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                      CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                      font.face.empty() ? L"Microsoft YaHei" : font.face.c_str()));
}

}  // namespace orvello::ui::win32
