#include "ui/skin.h"

#include <mutex>

#include "payload/package.h"

namespace orvello::ui {

namespace {

struct SkinState {
  std::mutex mutex;
  PackFileReader reader;
  LanguageManager* language = nullptr;
};

SkinState& State() {
  static SkinState state;
  return state;
}

}  // namespace

void SetSkinReader(PackFileReader reader) {
  std::lock_guard lock(State().mutex);
  State().reader = std::move(reader);
}

std::optional<std::vector<uint8_t>> ReadSkinFile(std::wstring_view path) {
  PackFileReader reader;
  {
    std::lock_guard lock(State().mutex);
    reader = State().reader;
  }
  if (reader) return reader(path);
  return ReadPackageFile(path);
}

void SetSkinLanguage(LanguageManager* language) {
  std::lock_guard lock(State().mutex);
  State().language = language;
}

LanguageManager& SkinLanguage() {
  std::lock_guard lock(State().mutex);
  return State().language ? *State().language : AppLanguage();
}

}  // namespace orvello::ui
