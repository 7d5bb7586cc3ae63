#pragma once
// The package ZIP (resource ZIPRES 129), read from memory. Entries are found
// by their backslash path relative to the archive root, ignoring letter
// case; the archive itself stores forward slashes.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orvello {

class PackageArchive {
 public:
  // Null when the bytes are not a readable ZIP archive. The bytes must
  // outlive the archive (they are the locked resource).
  static std::unique_ptr<PackageArchive> Open(std::span<const uint8_t> zipBytes);
  ~PackageArchive();

  std::optional<std::vector<uint8_t>> Read(std::wstring_view path) const;
  bool Contains(std::wstring_view path) const;
  // Stored names as the archive lists them (forward slashes).
  const std::vector<std::wstring>& EntryNames() const { return names_; }

 private:
  struct State;
  explicit PackageArchive(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
  std::vector<std::wstring> names_;
};

// The process-wide package that the UI toolkit, the language packs and the
// engine read from (the toolkit's resource reader). Set once at start-up.
void SetCurrentPackage(const PackageArchive* package);
const PackageArchive* CurrentPackage();
// Reads an entry of the current package; nullopt when missing or unreadable.
std::optional<std::vector<uint8_t>> ReadPackageFile(std::wstring_view path);

}  // namespace orvello
