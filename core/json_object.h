#pragma once
// A JSON object written field by field, for the harness's trace. Doubles are written in their
// shortest form that reads back to the same value.
#include <charconv>
#include <cstdint>
#include <string>

namespace kv {

class JsonObject {
 public:
  JsonObject& field(const char* name, int64_t v) { return raw(name, std::to_string(v)); }
  JsonObject& field(const char* name, int32_t v) { return raw(name, std::to_string(v)); }
  JsonObject& field(const char* name, bool v) { return raw(name, v ? "true" : "false"); }
  JsonObject& field(const char* name, double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return raw(name, std::string(buf, r.ptr));
  }
  JsonObject& field(const char* name, const std::string& v) {
    std::string quoted = "\"";
    for (char c : v) {
      if (static_cast<unsigned char>(c) < 0x20) continue;
      if (c == '"' || c == '\\') quoted += '\\';
      quoted += c;
    }
    return raw(name, quoted + "\"");
  }
  // A value that is JSON already (an array, an object, null).
  JsonObject& raw(const char* name, const std::string& value) {
    text_ += text_.empty() ? "{" : ",";
    text_ += "\"";
    text_ += name;
    text_ += "\":";
    text_ += value;
    return *this;
  }
  std::string str() const { return text_.empty() ? "{}" : text_ + "}"; }

 private:
  std::string text_;
};

}  // namespace kv
