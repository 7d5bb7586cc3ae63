#pragma once
// Owners of GDI objects: a font or brush is deleted with its owner.
#include <windows.h>

#include <cstdint>
#include <map>

namespace orvello::ui::win32 {

template <typename T>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(T object) : object_(object) {}
  GdiObject(GdiObject&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = other.object_;
      other.object_ = nullptr;
    }
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() { Reset(); }

  T get() const { return object_; }
  void Reset() {
    if (object_) DeleteObject(object_);
    object_ = nullptr;
  }

 private:
  T object_ = nullptr;
};

// Solid brushes by COLORREF, made on first use.
class BrushCache {
 public:
  HBRUSH Get(COLORREF color) {
    auto found = brushes_.find(color);
    if (found != brushes_.end()) return found->second.get();
    return brushes_.emplace(color, GdiObject<HBRUSH>(CreateSolidBrush(color))).first->second.get();
  }

 private:
  std::map<COLORREF, GdiObject<HBRUSH>> brushes_;
};

}  // namespace orvello::ui::win32
