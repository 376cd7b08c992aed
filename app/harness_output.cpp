#include "app/harness_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/support/printable_text.h"

namespace kv {

namespace {

// A pipe with a name of its own (made by mkfifo), as opposed to one end of an anonymous pipe seen
// through /dev/stdout or /proc/self/fd, whose reader can never come back.
bool isNamedPipe(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path real = std::filesystem::canonical(path, ec);
  return !ec && std::filesystem::is_fifo(real, ec);
}

}  // namespace

void HarnessOutputs::fail(const std::string& message) {
  if (failed()) return;
  failure_ = message;
  if (listener_) listener_();
}

OutputFile::OutputFile(HarnessOutputs& outputs, std::string what, std::string path)
    : outputs_(outputs), what_(std::move(what)), path_(std::move(path)) {}

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
}

void OutputFile::failWith(int error) {
  failed_ = true;
  outputs_.fail("cannot write " + what_ + " " + printablePath(path_) + ": " + std::strerror(error));
}

bool OutputFile::create() {
  if (failed_) return false;
  // Without O_NONBLOCK, opening a pipe whose reader has gone (/dev/stdout into a finished command)
  // would wait for a new reader for ever; with it the open fails at once. A named pipe in the file
  // system may still get its reader, so that one is waited for as usual. Writes block in any case,
  // so a slow reader is waited for.
  fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd_ < 0 && errno == ENXIO) {
    if (!isNamedPipe(path_)) {
      failWith(EPIPE);
      return false;
    }
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
  }
  if (fd_ < 0) {
    failWith(errno);
    return false;
  }
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) < 0) {
    failWith(errno);
    return false;
  }
  return true;
}

bool OutputFile::write(const void* data, size_t size) {
  if (failed_ || fd_ < 0) return false;
  const auto* p = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd_, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // A write that takes nothing without saying why counts as a full device.
      failWith(n < 0 ? errno : ENOSPC);
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool OutputFile::writeAt(uint64_t offset, const void* data, size_t size) {
  if (failed_ || fd_ < 0) return false;
  const auto* p = static_cast<const uint8_t*>(data);
  while (size > 0) {
    const ssize_t n = ::pwrite(fd_, p, size, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failWith(n < 0 ? errno : ENOSPC);
      return false;
    }
    p += n;
    offset += static_cast<uint64_t>(n);
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool OutputFile::close() {
  if (fd_ < 0) return !failed_;
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && errno != EINTR && !failed_) failWith(errno);
  return !failed_;
}

bool writeOutputFile(HarnessOutputs& outputs, const std::string& what, const std::string& path,
                     const std::vector<uint8_t>& bytes) {
  OutputFile file(outputs, what, path);
  return file.create() && file.write(bytes.data(), bytes.size()) && file.close();
}

void treatBrokenPipesAsErrors() {
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace kv
