#include "payload/package.h"

#include <unzip.h>

#include <atomic>
#include <mutex>
#include <cstring>

#include "system/text.h"

namespace orvello {

namespace {

// minizip reads through these callbacks, so the archive can be the locked
// resource itself: nothing is copied and nothing touches the disk.
struct MemoryStream {
  std::span<const uint8_t> bytes;
  uint64_t position = 0;
};

// minizip opens the stream once per archive, so the stream can be the
// archive's own state rather than a separate allocation.
voidpf OpenMemory(voidpf opaque, const void* /*filename*/, int /*mode*/) {
  auto* stream = static_cast<MemoryStream*>(opaque);
  stream->position = 0;
  return stream;
}

uLong ReadMemory(voidpf /*opaque*/, voidpf handle, void* buffer, uLong size) {
  auto* s = static_cast<MemoryStream*>(handle);
  if (s->position >= s->bytes.size()) return 0;
  uint64_t left = s->bytes.size() - s->position;
  uLong n = static_cast<uLong>(left < size ? left : size);
  std::memcpy(buffer, s->bytes.data() + s->position, n);
  s->position += n;
  return n;
}

uLong WriteMemory(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T TellMemory(voidpf /*opaque*/, voidpf handle) { return static_cast<MemoryStream*>(handle)->position; }

long SeekMemory(voidpf /*opaque*/, voidpf handle, ZPOS64_T offset, int origin) {
  auto* s = static_cast<MemoryStream*>(handle);
  uint64_t base = 0;
  switch (origin) {
    case ZLIB_FILEFUNC_SEEK_SET: base = 0; break;
    case ZLIB_FILEFUNC_SEEK_CUR: base = s->position; break;
    case ZLIB_FILEFUNC_SEEK_END: base = s->bytes.size(); break;
    default: return -1;
  }
  uint64_t target = base + offset;
  if (target > s->bytes.size()) return -1;
  s->position = target;
  return 0;
}

int CloseMemory(voidpf /*opaque*/, voidpf /*handle*/) { return 0; }

int ErrorMemory(voidpf, voidpf) { return 0; }

// The program asks with backslashes; the archive stores forward slashes.
std::wstring NormalisePath(std::wstring_view path) {
  std::wstring out;
  out.reserve(path.size());
  for (wchar_t c : path) {
    wchar_t d = c == L'\\' ? L'/' : c;
    if (d == L'/' && !out.empty() && out.back() == L'/') continue;
    out += d;
  }
  while (!out.empty() && out.front() == L'/') out.erase(out.begin());
  return out;
}

std::atomic<const PackageArchive*> g_current{nullptr};

}  // namespace

struct PackageArchive::State {
  MemoryStream source;
  zlib_filefunc64_def functions{};
  unzFile zip = nullptr;
  // minizip keeps one current entry per archive; the UI thread and the
  // engine's worker may read at the same time.
  std::mutex readLock;

  ~State() {
    if (zip) unzClose(zip);
  }
};

PackageArchive::PackageArchive(std::unique_ptr<State> state) : state_(std::move(state)) {}
PackageArchive::~PackageArchive() = default;

std::unique_ptr<PackageArchive> PackageArchive::Open(std::span<const uint8_t> zipBytes) {
  if (zipBytes.empty()) return nullptr;
  auto state = std::make_unique<State>();
  state->source.bytes = zipBytes;
  state->functions.zopen64_file = OpenMemory;
  state->functions.zread_file = ReadMemory;
  state->functions.zwrite_file = WriteMemory;
  state->functions.ztell64_file = TellMemory;
  state->functions.zseek64_file = SeekMemory;
  state->functions.zclose_file = CloseMemory;
  state->functions.zerror_file = ErrorMemory;
  state->functions.opaque = &state->source;
  state->zip = unzOpen2_64("package", &state->functions);
  if (!state->zip) return nullptr;

  std::unique_ptr<PackageArchive> archive(new PackageArchive(std::move(state)));
  unzFile zip = archive->state_->zip;
  for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
    char name[1024];
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) continue;
    archive->names_.push_back(Utf8ToWide(name));
  }
  return archive;
}

bool PackageArchive::Contains(std::wstring_view path) const {
  std::wstring wanted = NormalisePath(path);
  for (const auto& n : names_)
    if (EqualsIgnoreCase(n, wanted)) return true;
  return false;
}

std::optional<std::vector<uint8_t>> PackageArchive::Read(std::wstring_view path) const {
  std::wstring wanted = NormalisePath(path);
  const std::wstring* stored = nullptr;
  for (const auto& n : names_) {
    if (n == wanted) {  // an exact match wins over a case-folded one
      stored = &n;
      break;
    }
    if (!stored && EqualsIgnoreCase(n, wanted)) stored = &n;
  }
  if (!stored || stored->empty() || stored->back() == L'/') return std::nullopt;

  std::lock_guard<std::mutex> lock(state_->readLock);
  unzFile zip = state_->zip;
  // Case-sensitive lookup of the stored spelling (1 = case-sensitive).
  if (unzLocateFile(zip, WideToUtf8(*stored).c_str(), 1) != UNZ_OK) return std::nullopt;
  unz_file_info64 info{};
  if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) return std::nullopt;
  if (unzOpenCurrentFile(zip) != UNZ_OK) return std::nullopt;
  std::vector<uint8_t> data(static_cast<size_t>(info.uncompressed_size));
  size_t got = 0;
  while (got < data.size()) {
    unsigned chunk = static_cast<unsigned>(std::min<size_t>(data.size() - got, 1u << 20));
    int n = unzReadCurrentFile(zip, data.data() + got, chunk);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  // Closing checks the CRC of a fully read entry.
  int closeRc = unzCloseCurrentFile(zip);
  if (got != data.size() || closeRc != UNZ_OK) return std::nullopt;
  return data;
}

void SetCurrentPackage(const PackageArchive* package) { g_current.store(package); }
const PackageArchive* CurrentPackage() { return g_current.load(); }

std::optional<std::vector<uint8_t>> ReadPackageFile(std::wstring_view path) {
  const PackageArchive* p = g_current.load();
  if (!p) return std::nullopt;
  return p->Read(path);
}

}  // namespace orvello
