#include "lang/language.h"

#include <utility>

#include "payload/package.h"

namespace orvello {

namespace {

std::wstring PackPath(std::wstring_view folder, std::wstring_view fileName) {
  std::wstring path(folder);
  if (!path.empty() && path.back() != L'\\' && path.back() != L'/') path += L'\\';
  path += fileName;
  return path;
}

}  // namespace

LanguageManager::LanguageManager() : LanguageManager(PackFileReader(&ReadPackageFile)) {}

LanguageManager::LanguageManager(PackFileReader reader) : reader_(std::move(reader)) {}

void LanguageManager::SetLanguage(std::wstring_view folder, std::wstring_view name) {
  // The package is read and parsed before taking the lock so that worker
  // threads translating meanwhile wait only for the swap.
  MessageTable loaded;
  if (reader_) {
    if (auto bytes = reader_(PackPath(folder, L"StringResource.lng"))) loaded = ParseMessageTable(*bytes);
  }
  std::lock_guard lock(mutex_);
  folder_ = folder;
  name_ = name;
  messages_ = std::move(loaded);
}

std::wstring LanguageManager::Translate(std::wstring_view message) {
  std::lock_guard lock(mutex_);
  auto found = messages_.find(message);
  if (found == messages_.end()) found = messages_.emplace(std::wstring(message), std::wstring(message)).first;
  return found->second;
}

std::wstring LanguageManager::CurrentLanguageName() const {
  std::lock_guard lock(mutex_);
  return name_;
}

std::wstring LanguageManager::CurrentFolder() const {
  std::lock_guard lock(mutex_);
  return folder_;
}

LayoutTextMap LanguageManager::LayoutTexts(std::wstring_view layoutFileName) const {
  if (!reader_) return {};
  std::wstring path = PackPath(CurrentFolder(), LayoutTextFileName(layoutFileName));
  auto bytes = reader_(path);
  if (!bytes) return {};
  return ParseLayoutTexts(*bytes);
}

LanguageManager& AppLanguage() {
  static LanguageManager manager;
  return manager;
}

void SetLanguage(std::wstring_view folder, std::wstring_view name) { AppLanguage().SetLanguage(folder, name); }

std::wstring Translate(std::wstring_view message) { return AppLanguage().Translate(message); }

std::wstring CurrentLanguageName() { return AppLanguage().CurrentLanguageName(); }

}  // namespace orvello
