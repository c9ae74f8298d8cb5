// A small strict JSON reader for the CLI tests: parses one document (RFC 8259, no extensions) into values
// the tests can walk. A document that is not valid JSON gives nullopt.
#pragma once

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace skimlet::test {

struct JsonValue;
using JsonArray = std::vector<JsonValue>;
using JsonObject = std::map<std::string, JsonValue>;

struct JsonValue {
  std::variant<std::nullptr_t, bool, double, std::string, std::shared_ptr<JsonArray>, std::shared_ptr<JsonObject>> V;

  bool IsNull() const { return std::holds_alternative<std::nullptr_t>(V); }
  bool IsNumber() const { return std::holds_alternative<double>(V); }
  bool IsString() const { return std::holds_alternative<std::string>(V); }
  double Number() const { return IsNumber() ? std::get<double>(V) : -1e300; }
  std::string Text() const { return IsString() ? std::get<std::string>(V) : "<not a string>"; }
  bool Bool() const { return std::holds_alternative<bool>(V) && std::get<bool>(V); }
  const JsonArray& Array() const {
    static const JsonArray none;
    auto* a = std::get_if<std::shared_ptr<JsonArray>>(&V);
    return a ? **a : none;
  }
  const JsonObject* Object() const {
    auto* o = std::get_if<std::shared_ptr<JsonObject>>(&V);
    return o ? o->get() : nullptr;
  }
  bool Has(const std::string& key) const { return Object() && Object()->count(key) > 0; }
  // The member Key; a missing member or a value that is no object reads as a string "<missing>".
  const JsonValue& operator[](const std::string& key) const {
    static const JsonValue missing{std::string("<missing>")};
    if (!Object()) return missing;
    auto it = Object()->find(key);
    return it == Object()->end() ? missing : it->second;
  }
};

class JsonReader {
 public:
  static std::optional<JsonValue> Parse(std::string_view text) {
    JsonReader r(text);
    JsonValue v;
    if (!r.Value(v, 0)) return std::nullopt;
    r.Blanks();
    if (r.at_ != text.size()) return std::nullopt;
    return v;
  }

 private:
  explicit JsonReader(std::string_view text) : s_(text) {}

  void Blanks() {
    while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\n' || s_[at_] == '\r')) ++at_;
  }
  bool Literal(std::string_view word) {
    if (s_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }
  bool Value(JsonValue& out, int depth) {
    if (depth > 64) return false;
    Blanks();
    if (at_ >= s_.size()) return false;
    const char c = s_[at_];
    if (c == '{') return ObjectValue(out, depth);
    if (c == '[') return ArrayValue(out, depth);
    if (c == '"') {
      std::string text;
      if (!String(text)) return false;
      out.V = std::move(text);
      return true;
    }
    if (Literal("null")) return out.V = nullptr, true;
    if (Literal("true")) return out.V = true, true;
    if (Literal("false")) return out.V = false, true;
    return NumberValue(out);
  }
  bool NumberValue(JsonValue& out) {
    const size_t start = at_;
    if (at_ < s_.size() && s_[at_] == '-') ++at_;
    auto digits = [&] {
      size_t n = 0;
      while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_, ++n;
      return n;
    };
    const size_t intStart = at_;
    if (digits() == 0 || (s_[intStart] == '0' && at_ - intStart > 1)) return false;
    if (at_ < s_.size() && s_[at_] == '.') {
      ++at_;
      if (digits() == 0) return false;
    }
    if (at_ < s_.size() && (s_[at_] == 'e' || s_[at_] == 'E')) {
      ++at_;
      if (at_ < s_.size() && (s_[at_] == '+' || s_[at_] == '-')) ++at_;
      if (digits() == 0) return false;
    }
    out.V = std::strtod(std::string(s_.substr(start, at_ - start)).c_str(), nullptr);
    return true;
  }
  bool String(std::string& out) {
    ++at_;  // the opening quote
    while (at_ < s_.size()) {
      const auto c = static_cast<unsigned char>(s_[at_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      if (at_ >= s_.size()) return false;
      const char e = s_[at_++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          if (at_ + 4 > s_.size()) return false;
          const std::string hex(s_.substr(at_, 4));
          if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return false;
          at_ += 4;
          const auto cp = static_cast<char32_t>(std::strtoul(hex.c_str(), nullptr, 16));
          // Kept as the escape: the tests compare code points, not their UTF-8 bytes.
          if (cp < 0x80) out += static_cast<char>(cp);
          else out += "\\u" + hex;
          break;
        }
        default: return false;
      }
    }
    return false;
  }
  bool ArrayValue(JsonValue& out, int depth) {
    ++at_;
    auto array = std::make_shared<JsonArray>();
    Blanks();
    if (Literal("]")) return out.V = array, true;
    for (;;) {
      JsonValue item;
      if (!Value(item, depth + 1)) return false;
      array->push_back(std::move(item));
      Blanks();
      if (Literal("]")) return out.V = array, true;
      if (!Literal(",")) return false;
    }
  }
  bool ObjectValue(JsonValue& out, int depth) {
    ++at_;
    auto object = std::make_shared<JsonObject>();
    Blanks();
    if (Literal("}")) return out.V = object, true;
    for (;;) {
      Blanks();
      std::string key;
      if (at_ >= s_.size() || s_[at_] != '"' || !String(key)) return false;
      Blanks();
      if (!Literal(":")) return false;
      JsonValue item;
      if (!Value(item, depth + 1)) return false;
      (*object)[key] = std::move(item);
      Blanks();
      if (Literal("}")) return out.V = object, true;
      if (!Literal(",")) return false;
    }
  }

  std::string_view s_;
  size_t at_ = 0;
};

// The lines of Text (without their line breaks); a text that does not end in a line break is an error
// the caller sees as a last line that does not parse.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

}  // namespace skimlet::test
