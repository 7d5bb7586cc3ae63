#include "platform/fake/fake_registry.h"

#include <algorithm>

#include "system/text.h"

namespace orvello::fake {

using platform::RegistryRoot;
using platform::RegistryValue;
using platform::Result;
using platform::Status;
namespace err = platform::err;

struct FakeRegistry::Key {
  std::wstring name;
  std::vector<std::pair<std::wstring, RegistryValue>> values;
  std::vector<std::unique_ptr<Key>> subkeys;

  Key* Child(const std::wstring& child) {
    for (auto& k : subkeys)
      if (EqualsIgnoreCase(k->name, child)) return k.get();
    return nullptr;
  }
  RegistryValue* Value(const std::wstring& valueName) {
    for (auto& [n, v] : values)
      if (EqualsIgnoreCase(n, valueName)) return &v;
    return nullptr;
  }
};

namespace {

// "a\\b\\c" -> {"a","b","c"}. The registry has no empty key names; doubled
// and trailing backslashes are passed over as RegCreateKeyExW does.
std::vector<std::wstring> Levels(const std::wstring& path) {
  std::vector<std::wstring> levels;
  std::wstring piece;
  for (wchar_t c : path) {
    if (c == L'\\') {
      if (!piece.empty()) levels.push_back(std::move(piece));
      piece.clear();
    } else {
      piece.push_back(c);
    }
  }
  if (!piece.empty()) levels.push_back(std::move(piece));
  return levels;
}

constexpr uint32_t kBadPathname = 161;  // ERROR_BAD_PATHNAME

// A subkey path is relative to its root and may not start with a backslash.
bool BadPath(const std::wstring& path) { return !path.empty() && path[0] == L'\\'; }

bool IsPrefix(const std::vector<std::wstring>& prefix, const std::vector<std::wstring>& levels) {
  if (prefix.size() > levels.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (!EqualsIgnoreCase(prefix[i], levels[i])) return false;
  return true;
}

}  // namespace

FakeRegistry::FakeRegistry()
    : currentUser_(std::make_unique<Key>()), localMachine_(std::make_unique<Key>()) {
  // A machine always has these; the program's own keys go below them.
  CreateKey(RegistryRoot::CurrentUser, L"Software");
  CreateKey(RegistryRoot::LocalMachine, L"SOFTWARE");
  CreateKey(RegistryRoot::LocalMachine, L"SYSTEM\\CurrentControlSet");
}

FakeRegistry::~FakeRegistry() = default;

FakeRegistry::Key* FakeRegistry::Find(RegistryRoot root, const std::wstring& path) {
  Key* key = root == RegistryRoot::CurrentUser ? currentUser_.get() : localMachine_.get();
  for (const auto& level : Levels(path)) {
    key = key->Child(level);
    if (!key) return nullptr;
  }
  return key;
}

Status FakeRegistry::WriteAllowed(RegistryRoot root, const std::wstring& path) {
  auto levels = Levels(path);
  for (const auto& block : writeBlocks_)
    if (block.root == root && IsPrefix(block.levels, levels)) return Status::Fail(block.error);
  return Status::Ok();
}

Status FakeRegistry::CreateKey(RegistryRoot root, const std::wstring& path) {
  if (BadPath(path)) return Status::Fail(kBadPathname);
  std::lock_guard lock(mutex_);
  if (Find(root, path)) return Status::Ok();  // opening an existing key needs no write right
  if (auto allowed = WriteAllowed(root, path); !allowed) return allowed;
  Key* key = root == RegistryRoot::CurrentUser ? currentUser_.get() : localMachine_.get();
  for (const auto& level : Levels(path)) {
    Key* child = key->Child(level);
    if (!child) {
      key->subkeys.push_back(std::make_unique<Key>());
      child = key->subkeys.back().get();
      child->name = level;
    }
    key = child;
  }
  return Status::Ok();
}

bool FakeRegistry::KeyExists(RegistryRoot root, const std::wstring& path) {
  if (BadPath(path)) return false;
  std::lock_guard lock(mutex_);
  return Find(root, path) != nullptr;
}

Result<RegistryValue> FakeRegistry::QueryValue(RegistryRoot root, const std::wstring& path,
                                               const std::wstring& name) {
  if (BadPath(path)) return Result<RegistryValue>::Fail(kBadPathname);
  std::lock_guard lock(mutex_);
  Key* key = Find(root, path);
  if (!key) return Result<RegistryValue>::Fail(err::kFileNotFound);
  RegistryValue* value = key->Value(name);
  if (!value) return Result<RegistryValue>::Fail(err::kFileNotFound);
  return Result<RegistryValue>::Ok(*value);
}

Status FakeRegistry::SetValue(RegistryRoot root, const std::wstring& path, const std::wstring& name,
                              const RegistryValue& value) {
  if (auto created = CreateKey(root, path); !created) return created;
  std::lock_guard lock(mutex_);
  if (auto allowed = WriteAllowed(root, path); !allowed) return allowed;
  Key* key = Find(root, path);
  if (RegistryValue* existing = key->Value(name))
    *existing = value;
  else
    key->values.emplace_back(name, value);
  return Status::Ok();
}

Status FakeRegistry::DeleteValue(RegistryRoot root, const std::wstring& path, const std::wstring& name) {
  if (BadPath(path)) return Status::Fail(kBadPathname);
  std::lock_guard lock(mutex_);
  Key* key = Find(root, path);
  if (!key) return Status::Fail(err::kFileNotFound);
  if (auto allowed = WriteAllowed(root, path); !allowed) return allowed;
  auto it = std::find_if(key->values.begin(), key->values.end(),
                         [&](const auto& v) { return EqualsIgnoreCase(v.first, name); });
  if (it == key->values.end()) return Status::Fail(err::kFileNotFound);
  key->values.erase(it);
  return Status::Ok();
}

Status FakeRegistry::DeleteKey(RegistryRoot root, const std::wstring& path) {
  if (BadPath(path)) return Status::Fail(kBadPathname);
  std::lock_guard lock(mutex_);
  auto levels = Levels(path);
  if (levels.empty()) return Status::Fail(err::kAccessDenied);  // a root cannot be deleted
  Key* parent = root == RegistryRoot::CurrentUser ? currentUser_.get() : localMachine_.get();
  for (size_t i = 0; i + 1 < levels.size(); ++i) {
    parent = parent->Child(levels[i]);
    if (!parent) return Status::Fail(err::kFileNotFound);
  }
  auto it = std::find_if(parent->subkeys.begin(), parent->subkeys.end(),
                         [&](const auto& k) { return EqualsIgnoreCase(k->name, levels.back()); });
  if (it == parent->subkeys.end()) return Status::Fail(err::kFileNotFound);
  if (auto allowed = WriteAllowed(root, path); !allowed) return allowed;
  // RegDeleteKeyW refuses a key that still has subkeys.
  if (!(*it)->subkeys.empty()) return Status::Fail(err::kAccessDenied);
  parent->subkeys.erase(it);
  return Status::Ok();
}

void FakeRegistry::SetWriteError(RegistryRoot root, const std::wstring& path, std::optional<uint32_t> error) {
  std::lock_guard lock(mutex_);
  auto levels = Levels(path);
  std::erase_if(writeBlocks_, [&](const WriteBlock& b) {
    return b.root == root && b.levels.size() == levels.size() && IsPrefix(b.levels, levels);
  });
  if (error) writeBlocks_.push_back({root, std::move(levels), *error});
}

std::vector<std::wstring> FakeRegistry::ValueNames(RegistryRoot root, const std::wstring& path) {
  std::lock_guard lock(mutex_);
  std::vector<std::wstring> names;
  if (Key* key = Find(root, path))
    for (const auto& v : key->values) names.push_back(v.first);
  return names;
}

std::vector<std::wstring> FakeRegistry::SubkeyNames(RegistryRoot root, const std::wstring& path) {
  std::lock_guard lock(mutex_);
  std::vector<std::wstring> names;
  if (Key* key = Find(root, path))
    for (const auto& k : key->subkeys) names.push_back(k->name);
  return names;
}

}  // namespace orvello::fake
