#pragma once
// PNG images of the skin, decoded once with GDI+ and drawn with their alpha
// channel (title-bar glyphs, pictures, animation frames).
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace Gdiplus {
class Bitmap;
}

namespace orvello::ui::win32 {

// GDI+ for the lifetime of the object.
class GdiplusSession {
 public:
  GdiplusSession();
  ~GdiplusSession();
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool ok() const { return token_ != 0; }

 private:
  ULONG_PTR token_ = 0;
};

class SkinImages {
 public:
  SkinImages();
  ~SkinImages();
  SkinImages(const SkinImages&) = delete;
  SkinImages& operator=(const SkinImages&) = delete;

  // Null when the package has no such image or it cannot be decoded.
  Gdiplus::Bitmap* Get(std::wstring_view path);
  // Size of the image in its own pixels; {0,0} when there is none.
  SIZE ImageSize(std::wstring_view path);
  // Drawn at its own size times `scale`, centred in `box`; shrunk to fit
  // when larger.
  bool DrawCentered(HDC dc, std::wstring_view path, const RECT& box, double scale);
  void Clear();

 private:
  struct Entry;
  std::map<std::wstring, std::unique_ptr<Entry>, std::less<>> images_;
};

}  // namespace orvello::ui::win32
