#pragma once
// Writes 16-bit stereo frames to a WAV file as they come, without holding them: the header goes
// first with sizes of 0 and is set right when the file is finished.
#include <cstdint>
#include <cstdio>
#include <string>

namespace kv {

class WavStream {
 public:
  WavStream() = default;
  ~WavStream();
  WavStream(const WavStream&) = delete;
  WavStream& operator=(const WavStream&) = delete;

  // False (with the reason in error()) when the file cannot be created.
  bool open(const std::string& path, int sampleRate);
  // Appends frames interleaved stereo frames. After the first failure it writes nothing more.
  void write(const int16_t* samples, int frames);
  // Sets the sizes in the header and closes the file; false when anything went wrong on the way.
  bool finish();
  const std::string& error() const { return error_; }
  uint64_t frames() const { return frames_; }

 private:
  void fail(const std::string& what);

  std::FILE* file_ = nullptr;
  std::string path_;
  std::string error_;
  uint64_t frames_ = 0;
};

}  // namespace kv
