#include "ui/picture.h"

#include "ui/layout_values.h"

namespace orvello::ui {

namespace {
constexpr uint32_t kFrameTimer = 1;
}

void Picture::SetImage(std::wstring image) {
  if (image == image_) return;
  image_ = std::move(image);
  Changed(Change::kFrames);
}

void Picture::ResetFrames() {
  frames_.clear();
  current_ = 0;
  UpdateAnimation();
  Changed(Change::kFrames);
}

void Picture::AddFrame(std::wstring imagePath) {
  frames_.push_back(std::move(imagePath));
  UpdateAnimation();
  Changed(Change::kFrames);
}

void Picture::SetFrameDelay(uint32_t ms) {
  if (ms == delay_) return;
  delay_ = ms;
  // A running animation restarts with the new delay.
  if (animating_) {
    KillToolkitTimer(kFrameTimer);
    animating_ = false;
  }
  UpdateAnimation();
}

AttributeResult Picture::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"image") {
    image_ = value;
    return AttributeResult::kApplied;
  }
  if (name == L"delay") {
    auto ms = ParseLayoutInt(value);
    if (!ms || *ms < 0) return AttributeResult::kBadValue;
    delay_ = static_cast<uint32_t>(*ms);
    return AttributeResult::kApplied;
  }
  if (name == L"autoplay") {
    auto flag = ParseLayoutBool(value);
    if (!flag) return AttributeResult::kBadValue;
    autoPlay_ = *flag;
    return AttributeResult::kApplied;
  }
  return Control::SetAttribute(name, value);
}

void Picture::OnAttached() { UpdateAnimation(); }

void Picture::OnDetaching() {
  if (animating_) KillToolkitTimer(kFrameTimer);
  animating_ = false;
}

void Picture::OnToolkitTimer(uint32_t id) {
  if (id != kFrameTimer || frames_.empty()) return;
  current_ = (current_ + 1) % frames_.size();
  Changed(Change::kFrames);
}

void Picture::UpdateAnimation() {
  bool wanted = autoPlay_ && frames_.size() >= 2 && delay_ > 0 && Manager() != nullptr;
  if (wanted == animating_) return;
  if (wanted)
    animating_ = SetToolkitTimer(kFrameTimer, delay_);
  else {
    KillToolkitTimer(kFrameTimer);
    animating_ = false;
  }
}

}  // namespace orvello::ui
