#pragma once
// The current language pack: a folder of the package ("Lang\English") with
// the message table "StringResource.lng" and one ".lng" file per layout.
// Program messages are written in Chinese and looked up here by that text
// just before they are formatted and shown.
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lang/pack_file.h"

namespace orvello {

// Reads one package entry by its backslash path; nullopt when it is missing.
using PackFileReader =
    std::function<std::optional<std::vector<uint8_t>>(std::wstring_view path)>;

class LanguageManager {
 public:
  // Reads packs from the current package (ReadPackageFile).
  LanguageManager();
  explicit LanguageManager(PackFileReader reader);

  LanguageManager(const LanguageManager&) = delete;
  LanguageManager& operator=(const LanguageManager&) = delete;

  // Makes the language current and reloads the message table. A missing or
  // unreadable table leaves no translations: messages then show as written.
  void SetLanguage(std::wstring_view folder, std::wstring_view name);

  // The translation of a message, or the message itself when the pack has
  // none (it is then remembered as its own translation). Safe to call from
  // any thread while another one switches the language.
  std::wstring Translate(std::wstring_view message);

  std::wstring CurrentLanguageName() const;
  std::wstring CurrentFolder() const;

  // The `Text` entries of the current pack's file for a layout: the layout's
  // file name with ".lng" for ".xml" ("form_main.xml" -> "form_main.lng").
  // Empty when the pack has no such file.
  LayoutTextMap LayoutTexts(std::wstring_view layoutFileName) const;

 private:
  PackFileReader reader_;
  mutable std::mutex mutex_;
  std::wstring folder_;
  std::wstring name_;
  MessageTable messages_;
};

// The program's one language manager, shared by the UI toolkit, the forms
// and the worker threads.
LanguageManager& AppLanguage();

void SetLanguage(std::wstring_view folder, std::wstring_view name);
std::wstring Translate(std::wstring_view message);
std::wstring CurrentLanguageName();

}  // namespace orvello
