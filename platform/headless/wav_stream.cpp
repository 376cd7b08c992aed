#include "platform/headless/wav_stream.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/byte_order.h"
#include "platform/wave_format.h"

namespace kv {

namespace {

constexpr long kRiffSizeAt = 4;
constexpr long kDataSizeAt = 40;
constexpr uint64_t kHeaderBytes = 44;
constexpr uint64_t kBytesPerFrame = 4;
// A RIFF file counts its size in 32 bits.
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - (kHeaderBytes - 8);

}  // namespace

WavStream::~WavStream() {
  if (file_) std::fclose(file_);
}

bool WavStream::open(const std::string& path, int sampleRate) {
  path_ = path;
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) {
    error_ = "cannot write the audio file " + path + " (" + std::strerror(errno) + ")";
    return false;
  }
  const std::vector<uint8_t> header =
      writeRiffWave(WaveData{pcmFormat(static_cast<uint32_t>(sampleRate), 16, 2), {}});
  if (std::fwrite(header.data(), 1, header.size(), file_) != header.size()) fail("writing");
  return error_.empty();
}

void WavStream::write(const int16_t* samples, int frames) {
  if (!file_ || !error_.empty() || frames <= 0) return;
  if ((frames_ + static_cast<uint64_t>(frames)) * kBytesPerFrame > kMaxDataBytes) {
    error_ = "the audio file " + path_ + " would grow past the 4 GB a WAV file can hold";
    return;
  }
  std::vector<uint8_t> bytes;
  bytes.reserve(static_cast<size_t>(frames) * kBytesPerFrame);
  for (int i = 0; i < 2 * frames; ++i) putLe16(bytes, static_cast<uint16_t>(samples[i]));
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
    fail("writing");
    return;
  }
  frames_ += static_cast<uint64_t>(frames);
}

bool WavStream::finish() {
  if (!file_) return false;
  if (error_.empty()) {
    const uint32_t dataBytes = static_cast<uint32_t>(frames_ * kBytesPerFrame);
    std::vector<uint8_t> riffSize, dataSize;
    putLe32(riffSize, static_cast<uint32_t>(kHeaderBytes - 8) + dataBytes);
    putLe32(dataSize, dataBytes);
    if (std::fflush(file_) != 0 || std::fseek(file_, kRiffSizeAt, SEEK_SET) != 0 ||
        std::fwrite(riffSize.data(), 1, 4, file_) != 4 || std::fseek(file_, kDataSizeAt, SEEK_SET) != 0 ||
        std::fwrite(dataSize.data(), 1, 4, file_) != 4) {
      fail("finishing");
    }
  }
  const int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0 && error_.empty()) fail("closing");
  return error_.empty();
}

void WavStream::fail(const std::string& what) {
  if (error_.empty())
    error_ = "cannot write the audio file " + path_ + " (" + what + ": " + std::strerror(errno) + ")";
}

}  // namespace kv
