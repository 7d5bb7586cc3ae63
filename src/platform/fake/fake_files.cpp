#include "platform/fake/fake_files.h"

#include <algorithm>
#include <cwctype>
#include <mutex>

#include "system/text.h"

namespace orvello::fake {

using platform::DirectoryEntry;
using platform::IFile;
using platform::OpenMode;
using platform::Result;
using platform::Status;
namespace err = platform::err;

namespace {

constexpr uint32_t kSharingViolation = 32;
constexpr uint32_t kBadNetPath = 53;
constexpr uint32_t kInvalidName = 123;
constexpr uint32_t kDirNotEmpty = 145;
constexpr uint32_t kDirectory = 267;  // ERROR_DIRECTORY: the name is not a folder

// A path after Win32's normalisation: drive letter plus the names below it.
struct ParsedPath {
  wchar_t drive = L'C';
  std::vector<std::wstring> parts;
  uint32_t error = 0;
  bool trailingSeparator = false;  // only a folder may be named so
};

bool HasInvalidCharacter(std::wstring_view name, bool allowWildcards) {
  for (wchar_t c : name) {
    if (c < 32) return true;
    switch (c) {
      case L'<': case L'>': case L':': case L'"': case L'|':
        return true;
      case L'*': case L'?':
        if (!allowWildcards) return true;
        break;
      default:
        break;
    }
  }
  return false;
}

ParsedPath Parse(const std::wstring& input, const ParsedPath& cwd, bool lastMayHaveWildcards = false) {
  ParsedPath out;
  if (input.empty()) {
    out.error = err::kPathNotFound;
    return out;
  }
  std::wstring p = input;
  bool literal = p.rfind(L"\\\\?\\", 0) == 0;  // no normalisation after this prefix
  if (literal) p.erase(0, 4);
  if (!literal) std::replace(p.begin(), p.end(), L'/', L'\\');
  if (p.rfind(L"\\\\", 0) == 0) {
    out.error = kBadNetPath;  // this machine has no network shares
    return out;
  }
  std::wstring rest;
  if (p.size() >= 2 && p[1] == L':' && std::iswalpha(p[0])) {
    out.drive = FoldCase(p[0]);
    rest = p.substr(2);
    if (rest.empty() || rest[0] != L'\\') {
      if (out.drive == cwd.drive) out.parts = cwd.parts;  // drive-relative: "C:name"
    }
  } else if (!p.empty() && p[0] == L'\\') {
    out.drive = cwd.drive;
    rest = p;
  } else {
    out.drive = cwd.drive;
    out.parts = cwd.parts;
    rest = p;
  }
  out.trailingSeparator = rest.size() > 1 && rest.back() == L'\\';
  std::vector<std::wstring> pieces;
  std::wstring piece;
  for (wchar_t c : rest) {
    if (c == L'\\') {
      pieces.push_back(std::move(piece));
      piece.clear();
    } else {
      piece.push_back(c);
    }
  }
  pieces.push_back(std::move(piece));
  for (size_t i = 0; i < pieces.size(); ++i) {
    const std::wstring& name = pieces[i];
    if (name.empty()) continue;  // doubled and trailing separators collapse
    if (!literal && name == L".") continue;
    if (!literal && name == L"..") {
      if (!out.parts.empty()) out.parts.pop_back();
      continue;
    }
    bool last = i + 1 == pieces.size();
    if (HasInvalidCharacter(name, lastMayHaveWildcards && last)) {
      out.error = kInvalidName;
      return out;
    }
    out.parts.push_back(name);
  }
  return out;
}

std::wstring Join(const ParsedPath& p) {
  std::wstring s(1, p.drive);
  s += L":";
  if (p.parts.empty()) return s + L"\\";
  for (const auto& part : p.parts) s += L"\\" + part;
  return s;
}

bool SortsBefore(const std::wstring& a, const std::wstring& b) {
  return ToUpper(a) < ToUpper(b);
}

bool GlobMatch(std::wstring_view name, std::wstring_view pattern) {
  size_t n = 0, p = 0, starP = std::wstring_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == L'?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == L'*') {
      starP = p++;
      starN = n;
    } else if (starP != std::wstring_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

}  // namespace

bool MatchesFindPattern(std::wstring_view name, std::wstring_view pattern) {
  if (pattern == L"*" || pattern == L"*.*") return true;
  if (GlobMatch(name, pattern)) return true;
  // "name.*" also finds "name"; "name." finds only names without an extension.
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == L".*")
    return name.find(L'.') == std::wstring_view::npos && GlobMatch(name, pattern.substr(0, pattern.size() - 2));
  if (!pattern.empty() && pattern.back() == L'.')
    return name.find(L'.') == std::wstring_view::npos && GlobMatch(name, pattern.substr(0, pattern.size() - 1));
  return false;
}

struct FakeFiles::Node {
  std::wstring name;
  bool directory = false;
  bool readOnly = false;
  std::vector<uint8_t> data;
  std::vector<std::shared_ptr<Node>> children;

  struct Handle {
    uint64_t id;
    bool read, write, shareRead, shareWrite;
  };
  std::vector<Handle> handles;

  std::shared_ptr<Node> Child(const std::wstring& child) const {
    for (const auto& c : children)
      if (EqualsIgnoreCase(c->name, child)) return c;
    return nullptr;
  }
  void RemoveChild(const Node* child) {
    std::erase_if(children, [&](const auto& c) { return c.get() == child; });
  }
  // Whether a new handle with this access and sharing can join the open ones.
  bool CanOpen(bool read, bool write, bool shareRead, bool shareWrite) const {
    for (const auto& h : handles) {
      if ((read && !h.shareRead) || (write && !h.shareWrite)) return false;
      if ((h.read && !shareRead) || (h.write && !shareWrite)) return false;
    }
    return true;
  }
};

struct FakeFiles::State {
  std::mutex mutex;
  std::map<wchar_t, std::shared_ptr<Node>> drives;
  ParsedPath cwd;
  struct Block {
    ParsedPath at;
    uint32_t error;
  };
  std::vector<Block> blocks;
  uint64_t nextHandle = 1;

  struct Located {
    std::shared_ptr<Node> parent;  // null for a drive root
    std::shared_ptr<Node> node;    // null when the last name does not exist
    std::wstring leaf;
    uint32_t error = 0;            // 3 when the drive or a parent folder is missing
  };

  // Parses `text` against the current folder into `p` and looks it up; a
  // path that does not parse reports its error as the lookup's.
  Located Find(const std::wstring& text, ParsedPath& p) const {
    p = Parse(text, cwd);
    if (p.error) {
      Located out;
      out.error = p.error;
      return out;
    }
    return Locate(p);
  }

  Located Locate(const ParsedPath& p) const {
    Located out;
    auto drive = drives.find(p.drive);
    if (drive == drives.end()) {
      out.error = err::kPathNotFound;
      return out;
    }
    if (p.parts.empty()) {
      out.node = drive->second;
      return out;
    }
    std::shared_ptr<Node> dir = drive->second;
    for (size_t i = 0; i + 1 < p.parts.size(); ++i) {
      dir = dir->Child(p.parts[i]);
      if (!dir || !dir->directory) {
        out.error = err::kPathNotFound;
        return out;
      }
    }
    out.parent = dir;
    out.leaf = p.parts.back();
    out.node = dir->Child(out.leaf);
    return out;
  }

  uint32_t WriteError(const ParsedPath& p) const {
    for (const auto& b : blocks) {
      if (b.at.drive != p.drive || b.at.parts.size() > p.parts.size()) continue;
      bool prefix = true;
      for (size_t i = 0; i < b.at.parts.size() && prefix; ++i) prefix = EqualsIgnoreCase(b.at.parts[i], p.parts[i]);
      if (prefix) return b.error;
    }
    return 0;
  }

  // Creates every missing folder of p (not p itself when asFile).
  std::shared_ptr<Node> Build(const ParsedPath& p, bool lastIsFile, uint32_t& error) {
    auto& root = drives[p.drive];
    if (!root) {
      root = std::make_shared<Node>();
      root->directory = true;
    }
    std::shared_ptr<Node> dir = root;
    size_t folders = lastIsFile ? p.parts.size() - 1 : p.parts.size();
    for (size_t i = 0; i < folders; ++i) {
      auto child = dir->Child(p.parts[i]);
      if (!child) {
        child = std::make_shared<Node>();
        child->name = p.parts[i];
        child->directory = true;
        dir->children.push_back(child);
      } else if (!child->directory) {
        error = err::kPathNotFound;
        return nullptr;
      }
      dir = child;
    }
    return dir;
  }
};

namespace {

class FakeFile : public IFile {
 public:
  FakeFile(std::shared_ptr<FakeFiles::State> state, std::shared_ptr<FakeFiles::Node> node, uint64_t id, bool write)
      : state_(std::move(state)), node_(std::move(node)), id_(id), write_(write) {}
  ~FakeFile() override {
    std::lock_guard lock(state_->mutex);
    std::erase_if(node_->handles, [&](const auto& h) { return h.id == id_; });
  }

  Status Write(std::span<const uint8_t> bytes) override {
    std::lock_guard lock(state_->mutex);
    if (!write_) return Status::Fail(err::kAccessDenied);
    auto& data = node_->data;
    if (data.size() < position_ + bytes.size()) data.resize(position_ + bytes.size());
    std::copy(bytes.begin(), bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(position_));
    position_ += bytes.size();
    return Status::Ok();
  }

  Result<std::vector<uint8_t>> ReadAll() override {
    std::lock_guard lock(state_->mutex);
    position_ = node_->data.size();
    return Result<std::vector<uint8_t>>::Ok(node_->data);
  }

  Status SeekToEnd() override {
    std::lock_guard lock(state_->mutex);
    position_ = node_->data.size();
    return Status::Ok();
  }

  Status SetEndOfFile() override {
    std::lock_guard lock(state_->mutex);
    if (!write_) return Status::Fail(err::kAccessDenied);
    node_->data.resize(position_);
    return Status::Ok();
  }

 private:
  std::shared_ptr<FakeFiles::State> state_;
  std::shared_ptr<FakeFiles::Node> node_;
  uint64_t id_;
  bool write_;
  size_t position_ = 0;
};

}  // namespace

FakeFiles::FakeFiles() : state_(std::make_shared<State>()) {
  state_->cwd.drive = L'C';
  AddDrive(L'C');
  for (const wchar_t* folder : {L"C:\\Windows\\system32", L"C:\\Program Files", L"C:\\Program Files (x86)", L"C:\\Tools"})
    AddDirectory(folder);
  SetCurrentDirectory(L"C:\\Tools");
}

FakeFiles::~FakeFiles() = default;

Result<std::unique_ptr<IFile>> FakeFiles::Open(const std::wstring& path, OpenMode mode) {
  using R = Result<std::unique_ptr<IFile>>;
  std::lock_guard lock(state_->mutex);
  ParsedPath p;
  auto at = state_->Find(path, p);
  if (at.error) return R::Fail(at.error);
  if (!at.parent || (at.node && at.node->directory)) return R::Fail(err::kAccessDenied);
  if (p.trailingSeparator) return R::Fail(kInvalidName);

  bool write = mode != OpenMode::OpenExisting;
  bool shareWrite = !write;
  if (at.node) {
    if (mode == OpenMode::CreateNew) return R::Fail(err::kFileExists);
    if (write && at.node->readOnly) return R::Fail(err::kAccessDenied);
  } else {
    if (mode == OpenMode::OpenExisting) return R::Fail(err::kFileNotFound);
  }
  if (write)
    if (uint32_t e = state_->WriteError(p)) return R::Fail(e);
  if (at.node && !at.node->CanOpen(true, write, true, shareWrite)) return R::Fail(kSharingViolation);

  std::shared_ptr<Node> node = at.node;
  if (!node) {
    node = std::make_shared<Node>();
    node->name = at.leaf;
    at.parent->children.push_back(node);
  } else if (mode == OpenMode::CreateAlways) {
    node->data.clear();
  }
  uint64_t id = state_->nextHandle++;
  node->handles.push_back({id, true, write, true, shareWrite});
  return R::Ok(std::make_unique<FakeFile>(state_, node, id, write));
}

Status FakeFiles::CreateDirectory(const std::wstring& path) {
  std::lock_guard lock(state_->mutex);
  ParsedPath p;
  auto at = state_->Find(path, p);
  if (at.error) return Status::Fail(at.error);
  if (at.node) return Status::Fail(err::kAlreadyExists);
  if (uint32_t e = state_->WriteError(p)) return Status::Fail(e);
  auto node = std::make_shared<Node>();
  node->name = at.leaf;
  node->directory = true;
  at.parent->children.push_back(node);
  return Status::Ok();
}

Status FakeFiles::RemoveDirectory(const std::wstring& path) {
  std::lock_guard lock(state_->mutex);
  ParsedPath p;
  auto at = state_->Find(path, p);
  if (at.error) return Status::Fail(at.error);
  if (!at.node) return Status::Fail(err::kFileNotFound);
  if (!at.parent) return Status::Fail(err::kAccessDenied);  // a drive root
  if (!at.node->directory) return Status::Fail(kDirectory);
  if (!at.node->children.empty()) return Status::Fail(kDirNotEmpty);
  if (uint32_t e = state_->WriteError(p)) return Status::Fail(e);
  if (at.node->readOnly) return Status::Fail(err::kAccessDenied);
  // Windows refuses to remove the current directory while the process is in it.
  auto cwd = state_->Locate(state_->cwd);
  if (cwd.node == at.node) return Status::Fail(kSharingViolation);
  at.parent->RemoveChild(at.node.get());
  return Status::Ok();
}

Status FakeFiles::DeleteFile(const std::wstring& path) {
  std::lock_guard lock(state_->mutex);
  ParsedPath p;
  auto at = state_->Find(path, p);
  if (at.error) return Status::Fail(at.error);
  if (!at.node) return Status::Fail(err::kFileNotFound);
  if (at.node->directory) return Status::Fail(err::kAccessDenied);
  if (p.trailingSeparator) return Status::Fail(kInvalidName);
  if (uint32_t e = state_->WriteError(p)) return Status::Fail(e);
  if (at.node->readOnly) return Status::Fail(err::kAccessDenied);
  if (!at.node->handles.empty()) return Status::Fail(kSharingViolation);
  at.parent->RemoveChild(at.node.get());
  return Status::Ok();
}

Status FakeFiles::CopyFile(const std::wstring& from, const std::wstring& to, bool failIfExists) {
  std::lock_guard lock(state_->mutex);
  ParsedPath src;
  auto source = state_->Find(from, src);
  if (source.error) return Status::Fail(source.error);
  if (!source.node) return Status::Fail(err::kFileNotFound);
  if (source.node->directory || !source.parent) return Status::Fail(err::kAccessDenied);
  // CopyFileW reads the source letting others read and write (a log that is
  // open for writing can be copied).
  if (!source.node->CanOpen(true, false, true, true)) return Status::Fail(kSharingViolation);

  ParsedPath dst;
  auto target = state_->Find(to, dst);
  if (target.error) return Status::Fail(target.error);
  if (!target.parent) return Status::Fail(err::kAccessDenied);
  if (target.node) {
    if (target.node->directory) return Status::Fail(err::kAccessDenied);
    if (failIfExists) return Status::Fail(err::kFileExists);
    if (target.node->readOnly) return Status::Fail(err::kAccessDenied);
    if (target.node == source.node || !target.node->handles.empty()) return Status::Fail(kSharingViolation);
  }
  if (uint32_t e = state_->WriteError(dst)) return Status::Fail(e);

  std::shared_ptr<Node> node = target.node;
  if (!node) {
    node = std::make_shared<Node>();
    node->name = target.leaf;
    target.parent->children.push_back(node);
  }
  node->data = source.node->data;
  node->readOnly = source.node->readOnly;  // attributes travel with the copy
  return Status::Ok();
}

Result<std::vector<DirectoryEntry>> FakeFiles::Find(const std::wstring& pattern) {
  using R = Result<std::vector<DirectoryEntry>>;
  std::lock_guard lock(state_->mutex);
  ParsedPath p = Parse(pattern, state_->cwd, true);
  if (p.error) return R::Fail(p.error);
  // A pattern naming a folder with a trailing backslash matches nothing.
  std::wstring normalised = pattern;
  std::replace(normalised.begin(), normalised.end(), L'/', L'\\');
  if (p.parts.empty() || normalised.back() == L'\\') {
    ParsedPath dir = p;
    auto at = state_->Locate(dir);
    if (at.error || !at.node || !at.node->directory) return R::Fail(err::kPathNotFound);
    return R::Fail(err::kFileNotFound);
  }
  std::wstring namePattern = p.parts.back();
  ParsedPath dir = p;
  dir.parts.pop_back();
  auto at = state_->Locate(dir);
  if (at.error || !at.node) return R::Fail(err::kPathNotFound);
  if (!at.node->directory) return R::Fail(kInvalidName);  // "file.txt\*": as Wine answers

  std::vector<DirectoryEntry> found;
  if (!dir.parts.empty()) {  // drive roots have no "." and ".."
    for (const wchar_t* dots : {L".", L".."})
      if (MatchesFindPattern(dots, namePattern)) found.push_back({dots, true});
  }
  std::vector<std::shared_ptr<Node>> children = at.node->children;
  std::sort(children.begin(), children.end(), [](const auto& a, const auto& b) { return SortsBefore(a->name, b->name); });
  for (const auto& child : children)
    if (MatchesFindPattern(child->name, namePattern)) found.push_back({child->name, child->directory});
  if (found.empty()) return R::Fail(err::kFileNotFound);
  return R::Ok(std::move(found));
}

bool FakeFiles::Exists(const std::wstring& path) {
  std::lock_guard lock(state_->mutex);
  ParsedPath p = Parse(path, state_->cwd);
  if (p.error) return false;
  auto at = state_->Locate(p);
  return !at.error && at.node;
}

bool FakeFiles::IsDirectory(const std::wstring& path) {
  std::lock_guard lock(state_->mutex);
  ParsedPath p = Parse(path, state_->cwd);
  if (p.error) return false;
  auto at = state_->Locate(p);
  return !at.error && at.node && at.node->directory;
}

void FakeFiles::AddDrive(wchar_t letter) {
  std::lock_guard lock(state_->mutex);
  auto& root = state_->drives[FoldCase(letter)];
  if (!root) {
    root = std::make_shared<Node>();
    root->directory = true;
  }
}

Status FakeFiles::AddFile(const std::wstring& path, std::string_view bytes) {
  return AddFile(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

Status FakeFiles::AddFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  std::lock_guard lock(state_->mutex);
  ParsedPath p = Parse(path, state_->cwd);
  if (p.error) return Status::Fail(p.error);
  if (p.parts.empty()) return Status::Fail(err::kAccessDenied);
  uint32_t error = 0;
  auto dir = state_->Build(p, true, error);
  if (!dir) return Status::Fail(error);
  auto node = dir->Child(p.parts.back());
  if (node && node->directory) return Status::Fail(err::kAccessDenied);
  if (!node) {
    node = std::make_shared<Node>();
    node->name = p.parts.back();
    dir->children.push_back(node);
  }
  node->data = bytes;
  return Status::Ok();
}

Status FakeFiles::AddDirectory(const std::wstring& path) {
  std::lock_guard lock(state_->mutex);
  ParsedPath p = Parse(path, state_->cwd);
  if (p.error) return Status::Fail(p.error);
  uint32_t error = 0;
  if (!state_->Build(p, false, error)) return Status::Fail(error);
  return Status::Ok();
}

Status FakeFiles::SetReadOnly(const std::wstring& path, bool readOnly) {
  std::lock_guard lock(state_->mutex);
  ParsedPath p;
  auto at = state_->Find(path, p);
  if (at.error) return Status::Fail(at.error);
  if (!at.node) return Status::Fail(err::kFileNotFound);
  at.node->readOnly = readOnly;
  return Status::Ok();
}

void FakeFiles::SetWriteError(const std::wstring& path, std::optional<uint32_t> error) {
  std::lock_guard lock(state_->mutex);
  ParsedPath p = Parse(path, state_->cwd);
  if (p.error) return;
  std::erase_if(state_->blocks, [&](const State::Block& b) { return EqualsIgnoreCase(Join(b.at), Join(p)); });
  if (error) state_->blocks.push_back({p, *error});
}

void FakeFiles::SetCurrentDirectory(const std::wstring& path) {
  std::lock_guard lock(state_->mutex);
  ParsedPath p = Parse(path, state_->cwd);
  if (!p.error) state_->cwd = p;
}

std::optional<std::wstring> FakeFiles::FullPathName(const std::wstring& path) {
  std::lock_guard lock(state_->mutex);
  ParsedPath p = Parse(path, state_->cwd);
  if (p.error) return std::nullopt;
  return Join(p);
}

std::optional<std::vector<uint8_t>> FakeFiles::FileBytes(const std::wstring& path) {
  std::lock_guard lock(state_->mutex);
  ParsedPath p;
  auto at = state_->Find(path, p);
  if (at.error || !at.node || at.node->directory) return std::nullopt;
  return at.node->data;
}

std::optional<std::string> FakeFiles::FileText(const std::wstring& path) {
  auto bytes = FileBytes(path);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

std::vector<std::wstring> FakeFiles::ListTree(const std::wstring& folder) {
  std::lock_guard lock(state_->mutex);
  std::vector<std::wstring> out;
  ParsedPath p;
  auto at = state_->Find(folder, p);
  if (at.error || !at.node || !at.node->directory) return out;
  std::wstring base = Join(p);
  if (base.back() == L'\\') base.pop_back();
  auto walk = [&](auto& self, const Node& dir, const std::wstring& prefix) -> void {
    std::vector<std::shared_ptr<Node>> children = dir.children;
    std::sort(children.begin(), children.end(), [](const auto& a, const auto& b) { return SortsBefore(a->name, b->name); });
    for (const auto& child : children) {
      std::wstring full = prefix + L"\\" + child->name;
      out.push_back(full);
      if (child->directory) self(self, *child, full);
    }
  };
  walk(walk, *at.node, base);
  return out;
}

size_t FakeFiles::OpenHandleCount(const std::wstring& path) {
  std::lock_guard lock(state_->mutex);
  ParsedPath p;
  auto at = state_->Find(path, p);
  return (at.error || !at.node) ? 0 : at.node->handles.size();
}

}  // namespace orvello::fake
