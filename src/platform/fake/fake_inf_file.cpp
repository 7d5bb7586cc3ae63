#include "platform/fake/fake_inf_file.h"

#include "system/text.h"

namespace orvello::fake {

using platform::InfLine;
using platform::Result;
namespace err = platform::err;

namespace {

std::wstring Decode(std::span<const uint8_t> bytes) {
  if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return Utf16BytesToWide(bytes.subspan(2));
  if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
    return Utf8ToWide(std::string_view(reinterpret_cast<const char*>(bytes.data()) + 3, bytes.size() - 3));
  }
  std::wstring out;
  out.reserve(bytes.size());
  for (uint8_t b : bytes) out.push_back(static_cast<wchar_t>(b));
  return out;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Whether only blanks, or blanks and a comment, follow position i.
bool OnlyBlanksOrCommentFrom(const std::wstring& line, size_t i) {
  for (; i < line.size(); ++i) {
    if (line[i] == L';') return true;
    if (!IsBlank(line[i])) return false;
  }
  return true;
}

// Splits the text into physical lines at CR LF, LF or CR.
std::vector<std::wstring> PhysicalLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::wstring cur;
  for (size_t i = 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (c == L'\r' || c == L'\n') {
      lines.push_back(cur);
      cur.clear();
      if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else if (c != 0 && c != 0x1A) {  // NUL and the old end-of-file mark are skipped
      cur.push_back(c);
    }
  }
  if (!cur.empty()) lines.push_back(cur);
  return lines;
}

// Collects one logical line's key and fields across continuations.
class LineTokenizer {
 public:
  // Feeds one physical line; true when the logical line continues on the next.
  bool Feed(const std::wstring& line) {
    for (size_t i = 0; i < line.size(); ++i) {
      wchar_t c = line[i];
      if (inQuotes_) {
        if (c == L'"') {
          if (i + 1 < line.size() && line[i + 1] == L'"') {
            field_.push_back(L'"');
            ++i;
          } else {
            inQuotes_ = false;
          }
        } else {
          field_.push_back(c);
        }
        continue;
      }
      switch (c) {
        case L';':
          return false;
        case L'\\':
          if (OnlyBlanksOrCommentFrom(line, i + 1)) return true;
          Append(c);
          break;
        case L'"':
          FlushBlanks();
          inQuotes_ = true;
          content_ = true;
          break;
        case L',':
          EndField();
          sawComma_ = true;
          break;
        case L'=':
          if (!key_ && !sawComma_) {
            key_ = field_;
            field_.clear();
            pendingBlanks_.clear();
            content_ = true;
          } else {
            Append(c);
          }
          break;
        default:
          if (IsBlank(c)) {
            if (!field_.empty()) pendingBlanks_.push_back(c);
          } else {
            Append(c);
          }
          break;
      }
    }
    // A quote left open ends with the line, as SetupAPI does.
    inQuotes_ = false;
    return false;
  }

  // The finished line, or nothing for a blank or comment-only line.
  std::optional<InfDocument::Line> Finish() {
    if (!content_ && field_.empty() && fields_.empty() && !sawComma_) return std::nullopt;
    fields_.push_back(field_);
    InfDocument::Line line;
    line.key = key_;
    line.fields = std::move(fields_);
    return line;
  }

 private:
  void FlushBlanks() {
    field_ += pendingBlanks_;
    pendingBlanks_.clear();
  }
  void Append(wchar_t c) {
    FlushBlanks();
    field_.push_back(c);
    content_ = true;
  }
  void EndField() {
    fields_.push_back(field_);
    field_.clear();
    pendingBlanks_.clear();
  }

  std::optional<std::wstring> key_;
  std::vector<std::wstring> fields_;
  std::wstring field_;
  std::wstring pendingBlanks_;
  bool inQuotes_ = false;
  bool sawComma_ = false;
  bool content_ = false;
};

class FakeInfFile : public platform::IInfFile {
 public:
  explicit FakeInfFile(InfDocument doc) : doc_(std::move(doc)) {}

  std::vector<std::wstring> Sections() override {
    std::vector<std::wstring> names;
    for (const auto& s : doc_.sections()) names.push_back(s.name);
    return names;
  }

  int32_t LineCount(const std::wstring& section) override {
    const InfDocument::Section* s = doc_.Find(section);
    return s ? static_cast<int32_t>(s->lines.size()) : -1;
  }

  Result<InfLine> Line(const std::wstring& section, uint32_t index) override {
    // SetupGetLineByIndexW answers ERROR_LINE_NOT_FOUND for a missing section too.
    const InfDocument::Section* s = doc_.Find(section);
    if (!s || index >= s->lines.size()) return Result<InfLine>::Fail(inf_err::kLineNotFound);
    const InfDocument::Line& l = s->lines[index];
    InfLine out;
    if (l.key) out.key = doc_.Substitute(*l.key);
    for (const auto& f : l.fields) out.fields.push_back(doc_.Substitute(f));
    return Result<InfLine>::Ok(std::move(out));
  }

 private:
  InfDocument doc_;
};

bool IsWin4Signature(const std::wstring& s) {
  return EqualsIgnoreCase(s, L"$Windows NT$") || EqualsIgnoreCase(s, L"$Chicago$") ||
         EqualsIgnoreCase(s, L"$Windows 95$");
}

}  // namespace

Result<InfDocument> InfDocument::Parse(std::span<const uint8_t> bytes, uint32_t* errorLine) {
  InfDocument doc;
  std::vector<std::wstring> lines = PhysicalLines(Decode(bytes));
  Section* current = nullptr;
  LineTokenizer tokenizer;
  bool continuing = false;
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::wstring& raw = lines[n];
    size_t first = 0;
    while (first < raw.size() && IsBlank(raw[first])) ++first;
    if (!continuing && first < raw.size() && raw[first] == L'[') {
      size_t close = raw.find(L']', first + 1);
      std::wstring name = raw.substr(first + 1, close == std::wstring::npos ? std::wstring::npos : close - first - 1);
      current = nullptr;
      for (auto& s : doc.sections_) {
        if (EqualsIgnoreCase(s.name, name)) current = &s;
      }
      if (!current) {
        doc.sections_.push_back(Section{name, {}});
        current = &doc.sections_.back();
      }
      continue;
    }
    continuing = tokenizer.Feed(raw);
    if (continuing && n + 1 < lines.size()) continue;
    std::optional<Line> line = tokenizer.Finish();
    tokenizer = LineTokenizer();
    continuing = false;
    if (!line) continue;
    if (!current) {
      if (errorLine) *errorLine = static_cast<uint32_t>(n + 1);
      return Result<InfDocument>::Fail(inf_err::kExpectedSectionName);
    }
    current->lines.push_back(std::move(*line));
  }
  return Result<InfDocument>::Ok(std::move(doc));
}

const InfDocument::Section* InfDocument::Find(std::wstring_view name) const {
  for (const auto& s : sections_) {
    if (EqualsIgnoreCase(s.name, name)) return &s;
  }
  return nullptr;
}

std::wstring InfDocument::Substitute(std::wstring_view text) const {
  std::wstring out;
  const Section* strings = Find(L"Strings");
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'%') {
      out.push_back(text[i]);
      continue;
    }
    size_t close = text.find(L'%', i + 1);
    if (close == std::wstring_view::npos) {
      out.append(text.substr(i));
      break;
    }
    std::wstring_view name = text.substr(i + 1, close - i - 1);
    if (name.empty()) {
      out.push_back(L'%');
      i = close;
      continue;
    }
    const Line* found = nullptr;
    if (strings) {
      for (const auto& l : strings->lines) {
        if (l.key && EqualsIgnoreCase(*l.key, name)) {
          found = &l;
          break;
        }
      }
    }
    if (!found) {
      // Unknown names stay; the closing '%' may open the next name.
      out.push_back(L'%');
      out.append(name);
      i = close - 1;
      continue;
    }
    std::wstring value;
    for (size_t f = 0; f < found->fields.size(); ++f) {
      if (f) value.push_back(L',');
      value += found->fields[f];
    }
    out += value;
    i = close;
  }
  return out;
}

std::wstring InfDocument::Value(std::wstring_view section, std::wstring_view key) const {
  const Section* s = Find(section);
  if (!s) return {};
  for (const auto& l : s->lines) {
    if (l.key && EqualsIgnoreCase(Substitute(*l.key), key) && !l.fields.empty()) return Substitute(l.fields[0]);
  }
  return {};
}

Result<InfDocument> ReadInfDocument(platform::IFiles& files, const std::wstring& path, const std::wstring& infClass) {
  auto file = files.Open(path, platform::OpenMode::OpenExisting);
  if (!file) return Result<InfDocument>::Fail(file.error);
  auto bytes = file.value->ReadAll();
  if (!bytes) return Result<InfDocument>::Fail(bytes.error);
  auto doc = InfDocument::Parse(bytes.value);
  if (!doc) return doc;
  if (!IsWin4Signature(doc.value.Value(L"Version", L"Signature"))) {
    return Result<InfDocument>::Fail(inf_err::kWrongInfStyle);
  }
  if (!infClass.empty() && !EqualsIgnoreCase(doc.value.Value(L"Version", L"Class"), infClass)) {
    return Result<InfDocument>::Fail(inf_err::kClassMismatch);
  }
  return doc;
}

Result<std::unique_ptr<platform::IInfFile>> OpenInfFile(platform::IFiles& files, const std::wstring& path,
                                                         const std::wstring& infClass) {
  using R = Result<std::unique_ptr<platform::IInfFile>>;
  auto doc = ReadInfDocument(files, path, infClass);
  if (!doc) return R::Fail(doc.error);
  return R::Ok(std::make_unique<FakeInfFile>(std::move(doc.value)));
}

}  // namespace orvello::fake
