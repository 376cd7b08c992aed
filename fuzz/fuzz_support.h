#pragma once
// Helpers shared by the fuzz targets.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kv::fuzz {

// The fuzz input as a file that lives only in memory, for readers that take a file name: nothing
// is written to disk, and the name stays valid until the object goes.
class MemoryFile {
 public:
  MemoryFile(const uint8_t* data, size_t size) {
    fd_ = memfd_create("kv_fuzz_input", MFD_CLOEXEC);
    if (fd_ < 0) std::abort();
    for (size_t done = 0; done < size;) {
      const ssize_t n = ::write(fd_, data + done, size - done);
      if (n <= 0) std::abort();
      done += static_cast<size_t>(n);
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  ~MemoryFile() { ::close(fd_); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  int fd_ = -1;
  std::string path_;
};

// A broken promise of the code under test: report it the way libFuzzer reports a crash.
[[noreturn]] inline void violated(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

#define KV_FUZZ_CHECK(condition)                        \
  do {                                                  \
    if (!(condition)) ::kv::fuzz::violated(#condition); \
  } while (0)

}  // namespace kv::fuzz
