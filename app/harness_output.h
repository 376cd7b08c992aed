#pragma once
// Every file the harness writes (the trace, screenshots, the recorded sound) goes through here, so a
// write that fails anywhere (a full disk, a closed pipe, a folder in the way) ends the run the same
// way: the first failure is kept as one line naming the file and the reason, whoever listens stops
// the run, and the program exits non-zero.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kv {

class HarnessOutputs {
 public:
  // Called once, at the first failure (the program stops its main loop there).
  void onFailure(std::function<void()> listener) { listener_ = std::move(listener); }
  // Records a failure; only the first one is kept.
  void fail(const std::string& message);
  bool failed() const { return !failure_.empty(); }
  // "cannot write the trace file t.jsonl: No space left on device"
  const std::string& failure() const { return failure_; }

 private:
  std::string failure_;
  std::function<void()> listener_;
};

// One output file, written as the run goes. Nothing is created before create().
class OutputFile {
 public:
  // what names the file in messages ("the trace file").
  OutputFile(HarnessOutputs& outputs, std::string what, std::string path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates (or empties) the file. False, with the failure recorded, when it cannot be.
  bool create();
  // Writes everything or records the failure; after a failure every call does nothing.
  bool write(const void* data, size_t size);
  bool write(const std::string& text) { return write(text.data(), text.size()); }
  // Writes over bytes written before (a header whose sizes are known only at the end); on a pipe,
  // which cannot go back, this is a failure like any other.
  bool writeAt(uint64_t offset, const void* data, size_t size);
  // Closes the file; a close that reports an error (a delayed write that failed) is a failure too.
  bool close();
  bool isOpen() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }

 private:
  void failWith(int error);

  HarnessOutputs& outputs_;
  std::string what_;
  std::string path_;
  int fd_ = -1;
  bool failed_ = false;
};

// Creates path, writes bytes, closes it: false, with the failure recorded, when any step fails.
bool writeOutputFile(HarnessOutputs& outputs, const std::string& what, const std::string& path,
                     const std::vector<uint8_t>& bytes);

// Writes that fail must come back as errors, not kill the program: a closed pipe is a write error
// like any other. Called once at program start.
void treatBrokenPipesAsErrors();

}  // namespace kv
