#include "platform/components/component_errors.h"

#include <string_view>

namespace kv {

namespace {
std::string substitute(std::string_view format, std::string_view marker, const std::string& value) {
  std::string out(format);
  if (auto at = out.find(marker); at != std::string::npos) out.replace(at, marker.size(), value);
  return out;
}
}  // namespace

std::string formatMessage(const char* format, const std::string& argument) {
  return substitute(format, "%s", argument);
}

std::string formatMessage(const char* format, long long argument) {
  return substitute(format, "%d", std::to_string(argument));
}

}  // namespace kv
