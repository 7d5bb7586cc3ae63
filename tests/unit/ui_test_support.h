#pragma once
// Shared pieces of the toolkit tests: layouts and language packs held in
// memory, a headless backend, and a form that writes down what reaches it.
#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

#include "lang/language.h"
#include "system/text.h"
#include "ui/color.h"
#include "ui/form.h"
#include "ui/geometry.h"
#include "ui/headless/headless_backend.h"
#include "ui/skin.h"
#include "ui/window.h"

namespace orvello::ui {

inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "{" << r.left << "," << r.top << "," << r.right << "," << r.bottom << "}";
}
inline void PrintTo(const Size& s, std::ostream* os) { *os << s.width << "x" << s.height; }
inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << "," << p.y << ")"; }
inline void PrintTo(const Color& c, std::ostream* os) { *os << std::hex << "#" << c.argb << std::dec; }

}  // namespace orvello::ui

namespace orvello::ui::test {

// Package entries by path, ignoring letter case as the package does.
class SkinFiles {
 public:
  SkinFiles() : language_(Reader()) {
    SetSkinReader(Reader());
    SetSkinLanguage(&language_);
  }
  ~SkinFiles() {
    SetSkinReader(nullptr);
    SetSkinLanguage(nullptr);
  }

  void Put(const std::wstring& path, const std::string& utf8) { files_[ToUpper(path)] = utf8; }
  void Remove(const std::wstring& path) { files_.erase(ToUpper(path)); }
  LanguageManager& Language() { return language_; }

 private:
  PackFileReader Reader() {
    return [this](std::wstring_view path) -> std::optional<std::vector<uint8_t>> {
      auto found = files_.find(ToUpper(path));
      if (found == files_.end()) return std::nullopt;
      return std::vector<uint8_t>(found->second.begin(), found->second.end());
    };
  }

  std::map<std::wstring, std::string> files_;
  LanguageManager language_;
};

class UiTest : public ::testing::Test {
 protected:
  // Creates and shows a window over a layout put into the skin.
  void Open(Window& window, const std::wstring& file, const std::string& xml, const std::wstring& className = L"Test") {
    skin_.Put(file, xml);
    LoadResult result = window.Create(file, className);
    ASSERT_TRUE(result.ok()) << (result.problems.empty() ? "not created" : WideToUtf8(result.problems.front()));
    window.Show();
    backend_.Pump();
  }

  headless::HeadlessBackend backend_;
  SkinFiles skin_;
};

// Writes "<label>:<type>:<sender>" for every notification, "<label>:menu:<item>"
// for menu commands, "<label>:msg:<number>" for window messages.
class RecordingForm : public CUIForm {
 public:
  RecordingForm(std::wstring label, std::vector<std::wstring>& log) : label_(std::move(label)), log_(log) {}

  void Notify(Notification& msg) override {
    log_.push_back(label_ + L":" + msg.type + L":" + msg.SenderName());
    CUIForm::Notify(msg);
  }
  void OnMenuCommand(const MenuItem& item) override { log_.push_back(label_ + L":menu:" + item.name); }
  bool HandleMessage(uint32_t message, WParam, LParam) override {
    log_.push_back(label_ + L":msg:" + std::to_wstring(message));
    return message == takes;
  }

  uint32_t takes = 0;  // the message this form reports as handled

 protected:
  std::wstring label_;
  std::vector<std::wstring>& log_;
};

}  // namespace orvello::ui::test
