#pragma once
// The files a harness run reads and writes must not be one and the same: a trace written over its
// own script, or a screenshot over the trace, would destroy the very thing the run was asked for.
#include <optional>
#include <string>
#include <vector>

namespace kv {

struct NamedPath {
  std::string what;  // "the script", "the trace file", "the screenshot"
  std::string path;
};

// True when a and b name the same file: the same existing regular file or pipe (however it is
// spelled: links, "./", "..") or, when neither exists yet, the same place. Character devices such as
// /dev/null may be shared.
bool sameFile(const std::string& a, const std::string& b);

// The first output that names the same file as an input or as an output of another kind, as one
// line: "the trace file x is also the script"; none when all are distinct. Outputs of the same kind
// (two screenshots) may share a file: the later one wins.
std::optional<std::string> findPathClash(const std::vector<NamedPath>& inputs,
                                         const std::vector<NamedPath>& outputs);

}  // namespace kv
