// A small strict JSON reader for tests: whatever a program writes as JSON is read back by the
// grammar of RFC 8259 (UTF-8 text, no trailing commas, no single quotes, strings with escapes
// only, numbers without leading zeros), so that a fault in the writer fails the test rather than passing
// unseen by a search for substrings.
#pragma once

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zk::test {

struct JsonValue {
  enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string text;  // String: the text, escapes resolved (UTF-8)
  std::vector<JsonValue> items;
  std::map<std::string, JsonValue> members;

  const JsonValue& operator[](const std::string& name) const {
    static const JsonValue none;
    auto it = members.find(name);
    return it == members.end() ? none : it->second;
  }
  const JsonValue& operator[](std::size_t i) const {
    static const JsonValue none;
    return i < items.size() ? items[i] : none;
  }
};

class JsonReader {
 public:
  // Reads one whole document; false with the offset of the first fault in error.
  static bool Parse(const std::string& text, JsonValue& value, std::string& error) {
    JsonReader r(text);
    value = JsonValue{};
    r.Space();
    if (!r.Value(value, 0)) {
      error = "JSON の誤り (位置 " + std::to_string(r.at_) + ")";
      return false;
    }
    r.Space();
    if (r.at_ != text.size()) {
      error = "JSON の後に余分な文字 (位置 " + std::to_string(r.at_) + ")";
      return false;
    }
    return true;
  }

 private:
  explicit JsonReader(const std::string& text) : s_(text) {}

  bool End() const { return at_ >= s_.size(); }
  char Peek() const { return End() ? '\0' : s_[at_]; }
  void Space() {
    while (!End() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\n' || s_[at_] == '\r')) ++at_;
  }
  bool Literal(const char* word) {
    std::string w(word);
    if (s_.compare(at_, w.size(), w) != 0) return false;
    at_ += w.size();
    return true;
  }

  bool Value(JsonValue& v, int depth) {
    if (depth > 64) return false;
    switch (Peek()) {
      case '{':
        return Object(v, depth);
      case '[':
        return Array(v, depth);
      case '"':
        v.kind = JsonValue::Kind::String;
        return String(v.text);
      case 't':
        v.kind = JsonValue::Kind::Bool;
        v.boolean = true;
        return Literal("true");
      case 'f':
        v.kind = JsonValue::Kind::Bool;
        return Literal("false");
      case 'n':
        v.kind = JsonValue::Kind::Null;
        return Literal("null");
      default:
        v.kind = JsonValue::Kind::Number;
        return Number(v.number);
    }
  }

  bool Object(JsonValue& v, int depth) {
    v.kind = JsonValue::Kind::Object;
    ++at_;
    Space();
    if (Peek() == '}') return ++at_, true;
    for (;;) {
      Space();
      std::string name;
      if (Peek() != '"' || !String(name)) return false;
      Space();
      if (Peek() != ':') return false;
      ++at_;
      Space();
      if (v.members.count(name)) return false;  // a repeated name is refused too
      if (!Value(v.members[name], depth + 1)) return false;
      Space();
      if (Peek() == ',') {
        ++at_;
        continue;
      }
      if (Peek() == '}') return ++at_, true;
      return false;
    }
  }

  bool Array(JsonValue& v, int depth) {
    v.kind = JsonValue::Kind::Array;
    ++at_;
    Space();
    if (Peek() == ']') return ++at_, true;
    for (;;) {
      Space();
      v.items.emplace_back();
      if (!Value(v.items.back(), depth + 1)) return false;
      Space();
      if (Peek() == ',') {
        ++at_;
        continue;
      }
      if (Peek() == ']') return ++at_, true;
      return false;
    }
  }

  bool String(std::string& out) {
    ++at_;
    while (!End()) {
      unsigned char c = static_cast<unsigned char>(s_[at_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;
      if (c >= 0x80) {  // a UTF-8 sequence, whole and in its shortest form
        std::size_t n = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 0;
        if (n == 0 || at_ + n > s_.size()) return false;
        auto second = static_cast<unsigned char>(s_[at_]);
        if ((c == 0xE0 && second < 0xA0) || (c == 0xED && second > 0x9F) || (c == 0xF0 && second < 0x90) ||
            (c == 0xF4 && second > 0x8F))
          return false;
        out += static_cast<char>(c);
        for (std::size_t k = 0; k < n; ++k) {
          if ((static_cast<unsigned char>(s_[at_]) & 0xC0) != 0x80) return false;
          out += s_[at_++];
        }
        continue;
      }
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      if (End()) return false;
      char e = s_[at_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          if (at_ + 4 > s_.size()) return false;
          unsigned code = 0;
          for (int i = 0; i < 4; ++i) {
            char h = s_[at_++];
            int digit = h >= '0' && h <= '9'   ? h - '0'
                        : h >= 'a' && h <= 'f' ? h - 'a' + 10
                        : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                               : 99;
            code = code * 16 + static_cast<unsigned>(digit);
            if (code > 0xFFFF) return false;
          }
          if (code < 0x80)
            out += static_cast<char>(code);
          else if (code < 0x800) {
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

  bool Digits() {
    std::size_t from = at_;
    while (!End() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
    return at_ > from;
  }

  bool Number(double& out) {
    std::size_t from = at_;
    if (Peek() == '-') ++at_;
    if (Peek() == '0')
      ++at_;
    else if (!Digits())
      return false;
    if (Peek() == '.') {
      ++at_;
      if (!Digits()) return false;
    }
    if (Peek() == 'e' || Peek() == 'E') {
      ++at_;
      if (Peek() == '+' || Peek() == '-') ++at_;
      if (!Digits()) return false;
    }
    out = std::strtod(s_.substr(from, at_ - from).c_str(), nullptr);
    return true;
  }

  const std::string& s_;
  std::size_t at_ = 0;
};

}  // namespace zk::test
