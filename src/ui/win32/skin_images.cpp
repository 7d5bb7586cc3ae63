#include "ui/win32/skin_images.h"

#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>

#include "system/text.h"
#include "ui/skin.h"

namespace orvello::ui::win32 {

GdiplusSession::GdiplusSession() {
  Gdiplus::GdiplusStartupInput input;
  if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
}

GdiplusSession::~GdiplusSession() {
  if (token_) Gdiplus::GdiplusShutdown(token_);
}

// GDI+ reads a stream's image lazily, so the stream lives as long as the
// bitmap made from it.
struct SkinImages::Entry {
  IStream* stream = nullptr;
  std::unique_ptr<Gdiplus::Bitmap> bitmap;
  ~Entry() {
    bitmap.reset();
    if (stream) stream->Release();
  }
};

SkinImages::SkinImages() = default;
SkinImages::~SkinImages() = default;

void SkinImages::Clear() { images_.clear(); }

Gdiplus::Bitmap* SkinImages::Get(std::wstring_view path) {
  if (path.empty()) return nullptr;
  std::wstring key = ToUpper(path);
  auto found = images_.find(key);
  if (found != images_.end()) return found->second ? found->second->bitmap.get() : nullptr;
  std::unique_ptr<Entry> entry;
  auto bytes = ReadSkinFile(path);
  if (bytes && !bytes->empty()) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes->size());
    if (memory) {
      if (void* data = GlobalLock(memory)) {
        std::copy(bytes->begin(), bytes->end(), static_cast<uint8_t*>(data));
        GlobalUnlock(memory);
      }
      entry = std::make_unique<Entry>();
      if (SUCCEEDED(CreateStreamOnHGlobal(memory, TRUE, &entry->stream))) {
        entry->bitmap.reset(Gdiplus::Bitmap::FromStream(entry->stream));
        if (entry->bitmap && entry->bitmap->GetLastStatus() != Gdiplus::Ok) entry->bitmap.reset();
      } else {
        GlobalFree(memory);
      }
      if (!entry->bitmap) entry.reset();
    }
  }
  Gdiplus::Bitmap* bitmap = entry ? entry->bitmap.get() : nullptr;
  images_.emplace(std::move(key), std::move(entry));
  return bitmap;
}

SIZE SkinImages::ImageSize(std::wstring_view path) {
  Gdiplus::Bitmap* bitmap = Get(path);
  if (!bitmap) return SIZE{0, 0};
  return SIZE{static_cast<LONG>(bitmap->GetWidth()), static_cast<LONG>(bitmap->GetHeight())};
}

bool SkinImages::DrawCentered(HDC dc, std::wstring_view path, const RECT& box, double scale) {
  Gdiplus::Bitmap* bitmap = Get(path);
  if (!bitmap) return false;
  double width = bitmap->GetWidth() * scale, height = bitmap->GetHeight() * scale;
  double boxWidth = box.right - box.left, boxHeight = box.bottom - box.top;
  if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return false;
  double fit = std::min({1.0, boxWidth / width, boxHeight / height});
  width *= fit;
  height *= fit;
  Gdiplus::Graphics graphics(dc);
  graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  Gdiplus::RectF target(static_cast<Gdiplus::REAL>(box.left + (boxWidth - width) / 2),
                        static_cast<Gdiplus::REAL>(box.top + (boxHeight - height) / 2),
                        static_cast<Gdiplus::REAL>(width), static_cast<Gdiplus::REAL>(height));
  return graphics.DrawImage(bitmap, target) == Gdiplus::Ok;
}

}  // namespace orvello::ui::win32
