#pragma once
// Streams an MP3 file: it decodes a little at a time as the mixer asks, never the whole file at once.
// Output is always 16-bit stereo at the file's own rate (a mono file is doubled into both channels),
// with the encoder's delay and padding removed, so the length is exact for files with an info tag.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/audio/mixer.h"

struct mpg123_handle_struct;

namespace kv {

class Mp3Decoder : public StreamSource {
 public:
  // Null for a missing or empty file, or one that holds no MP3 audio.
  static std::unique_ptr<Mp3Decoder> open(const std::string& path);
  ~Mp3Decoder() override;
  Mp3Decoder(const Mp3Decoder&) = delete;
  Mp3Decoder& operator=(const Mp3Decoder&) = delete;

  int sampleRate() const override { return rate_; }
  // The file's own channel count (1 or 2); the output is stereo either way.
  int fileChannels() const { return channels_; }
  // Decoded frames from the start to the end of the file.
  int64_t lengthFrames() const { return length_; }
  // Fewer frames than asked at the end of the file, or after a decoding error (which ends it for good
  // until the next rewind).
  int read(int16_t* out, int frames) noexcept override;
  bool rewind() noexcept override;

 private:
  explicit Mp3Decoder(mpg123_handle_struct* handle) : handle_(handle) {}

  mpg123_handle_struct* handle_;
  FILE* file_ = nullptr;  // the decoder's input, closed after the decoder
  int rate_ = 0;
  int channels_ = 0;
  int64_t length_ = 0;
  bool done_ = false;
};

}  // namespace kv
