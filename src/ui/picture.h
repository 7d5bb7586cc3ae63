#pragma once
// A picture: one image, or an animation through a list of frames (package
// image paths) shown one after the other every frame delay.
#include <cstdint>
#include <string>
#include <vector>

#include "ui/control.h"

namespace orvello::ui {

class Picture : public Control {
 public:
  Picture() : Control(ControlKind::kPicture) {}

  const std::wstring& Image() const { return image_; }
  void SetImage(std::wstring image);

  // Removes every frame and stops the animation.
  void ResetFrames();
  // With two frames or more, in a built window, the animation runs.
  void AddFrame(std::wstring imagePath);
  const std::vector<std::wstring>& Frames() const { return frames_; }
  // Index into Frames(); 0 without frames.
  size_t CurrentFrame() const { return current_; }
  uint32_t FrameDelay() const { return delay_; }
  void SetFrameDelay(uint32_t ms);
  bool IsAnimating() const { return animating_; }

  AttributeResult SetAttribute(std::wstring_view name, std::wstring_view value) override;

 protected:
  void OnAttached() override;
  void OnDetaching() override;
  void OnToolkitTimer(uint32_t id) override;

 private:
  void UpdateAnimation();

  std::wstring image_;
  std::vector<std::wstring> frames_;
  size_t current_ = 0;
  uint32_t delay_ = 100;
  bool autoPlay_ = true;
  bool animating_ = false;
};

}  // namespace orvello::ui
