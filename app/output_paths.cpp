#include "app/output_paths.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "platform/support/printable_text.h"

namespace kv {

namespace fs = std::filesystem;

bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa {
  }, sb{};
  const bool aExists = ::stat(a.c_str(), &sa) == 0;
  const bool bExists = ::stat(b.c_str(), &sb) == 0;
  if (aExists != bExists) return false;
  if (aExists) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino && !S_ISCHR(sa.st_mode);
  std::error_code ea, eb;
  const fs::path ca = fs::weakly_canonical(fs::absolute(a, ea), ea);
  const fs::path cb = fs::weakly_canonical(fs::absolute(b, eb), eb);
  return !ea && !eb && ca == cb;
}

std::optional<std::string> findPathClash(const std::vector<NamedPath>& inputs,
                                         const std::vector<NamedPath>& outputs) {
  for (size_t i = 0; i < outputs.size(); ++i) {
    const NamedPath& out = outputs[i];
    for (const NamedPath& in : inputs) {
      if (sameFile(out.path, in.path))
        return out.what + " " + printablePath(out.path) + " is also " + in.what + " (" +
               printablePath(in.path) + ")";
    }
    for (size_t j = 0; j < i; ++j) {
      if (outputs[j].what != out.what && sameFile(out.path, outputs[j].path))
        return out.what + " " + printablePath(out.path) + " is also " + outputs[j].what + " (" +
               printablePath(outputs[j].path) + ")";
    }
  }
  return std::nullopt;
}

}  // namespace kv
