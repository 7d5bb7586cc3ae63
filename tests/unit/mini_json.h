#pragma once
// A small JSON reader for the tests that look into the package's
// device-data files: objects keep their members in file order (the files
// are written in alphabetical order, which the tests check), numbers keep
// whether they were written as integers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orvello::test {

struct JsonValue {
  enum class Kind { Null, Bool, Integer, Real, String, Array, Object };
  Kind kind = Kind::Null;
  bool boolean = false;
  int64_t integer = 0;
  double real = 0;
  std::string text;
  std::vector<JsonValue> items;
  std::vector<std::pair<std::string, JsonValue>> members;

  const JsonValue* Member(std::string_view name) const {
    for (const auto& [n, v] : members)
      if (n == name) return &v;
    return nullptr;
  }
};

class JsonReader {
 public:
  // nullopt when the text is not exactly one JSON value (blanks around it
  // allowed); `error` then says where.
  static std::optional<JsonValue> Parse(std::string_view text, std::string* error = nullptr) {
    JsonReader r(text);
    JsonValue v;
    if (!r.Value(v) || (r.Blanks(), r.pos_ != text.size())) {
      if (error) *error = "bad JSON at offset " + std::to_string(r.pos_);
      return std::nullopt;
    }
    return v;
  }

 private:
  explicit JsonReader(std::string_view text) : s_(text) {}

  void Blanks() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n')) ++pos_;
  }
  bool Take(char c) {
    Blanks();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool Word(std::string_view w) {
    if (s_.substr(pos_, w.size()) != w) return false;
    pos_ += w.size();
    return true;
  }

  bool Value(JsonValue& v) {
    Blanks();
    if (pos_ >= s_.size()) return false;
    char c = s_[pos_];
    if (c == '{') return Object(v);
    if (c == '[') return Array(v);
    if (c == '"') {
      v.kind = JsonValue::Kind::String;
      return String(v.text);
    }
    if (Word("true")) return v.kind = JsonValue::Kind::Bool, v.boolean = true, true;
    if (Word("false")) return v.kind = JsonValue::Kind::Bool, v.boolean = false, true;
    if (Word("null")) return v.kind = JsonValue::Kind::Null, true;
    return Number(v);
  }

  bool Object(JsonValue& v) {
    v.kind = JsonValue::Kind::Object;
    ++pos_;
    if (Take('}')) return true;
    do {
      Blanks();
      std::string name;
      if (!String(name) || !Take(':')) return false;
      JsonValue member;
      if (!Value(member)) return false;
      v.members.emplace_back(std::move(name), std::move(member));
    } while (Take(','));
    return Take('}');
  }

  bool Array(JsonValue& v) {
    v.kind = JsonValue::Kind::Array;
    ++pos_;
    if (Take(']')) return true;
    do {
      JsonValue item;
      if (!Value(item)) return false;
      v.items.push_back(std::move(item));
    } while (Take(','));
    return Take(']');
  }

  bool String(std::string& out) {
    if (pos_ >= s_.size() || s_[pos_] != '"') return false;
    ++pos_;
    while (pos_ < s_.size()) {
      char c = s_[pos_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= s_.size()) return false;
      char e = s_[pos_++];
      switch (e) {
        case '"': case '\\': case '/': out += e; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          if (pos_ + 4 > s_.size()) return false;
          unsigned code = 0;
          for (int i = 0; i < 4; ++i) {
            char h = s_[pos_++];
            code <<= 4;
            if (h >= '0' && h <= '9') code |= h - '0';
            else if (h >= 'a' && h <= 'f') code |= h - 'a' + 10;
            else if (h >= 'A' && h <= 'F') code |= h - 'A' + 10;
            else return false;
          }
          // Only the basic plane is needed here; written as UTF-8.
          if (code < 0x80) {
            out += static_cast<char>(code);
          } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
          } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
          }
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }

  bool Number(JsonValue& v) {
    size_t start = pos_;
    if (pos_ < s_.size() && s_[pos_] == '-') ++pos_;
    size_t digits = pos_;
    while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') ++pos_;
    if (pos_ == digits || (s_[digits] == '0' && pos_ - digits > 1)) return false;
    bool real = false;
    if (pos_ < s_.size() && s_[pos_] == '.') {
      real = true;
      size_t fraction = ++pos_;
      while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') ++pos_;
      if (pos_ == fraction) return false;
    }
    if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
      real = true;
      ++pos_;
      if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-')) ++pos_;
      size_t exponent = pos_;
      while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') ++pos_;
      if (pos_ == exponent) return false;
    }
    std::string text(s_.substr(start, pos_ - start));
    if (real) {
      v.kind = JsonValue::Kind::Real;
      v.real = std::stod(text);
    } else {
      v.kind = JsonValue::Kind::Integer;
      v.integer = std::stoll(text);
    }
    return true;
  }

  std::string_view s_;
  size_t pos_ = 0;
};

}  // namespace orvello::test
