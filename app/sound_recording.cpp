#include "app/sound_recording.h"

#include "platform/audio/wave_writer.h"
#include "platform/support/byte_order.h"

namespace kv {

namespace {

constexpr uint64_t kRiffSizeAt = 4;
constexpr uint64_t kDataSizeAt = 40;
constexpr uint64_t kHeaderBytes = 44;
// A RIFF file counts its size in 32 bits.
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - (kHeaderBytes - 8);

}  // namespace

SoundRecording::SoundRecording(HarnessOutputs& outputs, std::string path, int sampleRate)
    : outputs_(outputs), file_(outputs, "the audio file", std::move(path)), sampleRate_(sampleRate) {}

void SoundRecording::write(const int16_t* samples, int frames) {
  if (frames <= 0 || full_ || outputs_.failed()) return;
  const uint64_t bytes = static_cast<uint64_t>(frames) * 4;
  if (dataBytes_ + bytes > kMaxDataBytes) {
    full_ = true;
    outputs_.fail("the audio file " + file_.path() + " would grow past the 4 GB a WAV file can hold");
    return;
  }
  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(bytes));
  for (int i = 0; i < 2 * frames; ++i) putLe16(out, static_cast<uint16_t>(samples[i]));
  dataBytes_ += bytes;
  if (file_.isOpen()) {
    file_.write(out.data(), out.size());
  } else {
    early_.insert(early_.end(), out.begin(), out.end());
  }
}

bool SoundRecording::create() {
  if (!file_.create()) return false;
  const std::vector<uint8_t> header =
      writeRiffWave(WaveData{pcmFormat(static_cast<uint32_t>(sampleRate_), 16, 2), {}});
  const bool ok = file_.write(header.data(), header.size()) && file_.write(early_.data(), early_.size());
  early_.clear();
  early_.shrink_to_fit();
  return ok;
}

bool SoundRecording::finish() {
  if (!file_.isOpen()) return false;
  std::vector<uint8_t> riffSize, dataSize;
  putLe32(riffSize, static_cast<uint32_t>(kHeaderBytes - 8 + dataBytes_));
  putLe32(dataSize, static_cast<uint32_t>(dataBytes_));
  const bool ok = !outputs_.failed() && file_.writeAt(kRiffSizeAt, riffSize.data(), 4) &&
                  file_.writeAt(kDataSizeAt, dataSize.data(), 4);
  return file_.close() && ok;
}

}  // namespace kv
