// Writes the tiny binary seeds of the picture and recording corpora, made with the game's own
// writers: a picture of each stored depth, recordings of each sample format, one with its chunks in
// another order and an extra chunk, and two short tones that fuzz/make_seeds.sh encodes into the
// music seeds.
//   kv_make_fuzz_seeds TDIB_FOLDER WAVE_FOLDER TONE_FOLDER
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "gfx/dib_writer.h"
#include "platform/audio/wave_writer.h"
#include "platform/support/byte_order.h"

namespace {

void save(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

kv::DibPicture picture(int width, int height, int bitCount) {
  kv::DibPicture p;
  p.width = width;
  p.height = height;
  p.bitCount = bitCount;
  const size_t count = static_cast<size_t>(width) * height;
  if (bitCount == 8) {
    p.palette.resize(256);
    for (int i = 0; i < 256; ++i) p.palette[i] = kv::Rgb8{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)};
    for (size_t i = 0; i < count; ++i) p.indices.push_back(static_cast<uint8_t>(i * 37));
  } else {
    for (size_t i = 0; i < count; ++i) p.pixels.push_back(kv::Rgb8{uint8_t(i * 50), uint8_t(i * 90), 255});
  }
  return p;
}

kv::WaveData wave(uint32_t rate, uint16_t bits, uint16_t channels, size_t bytes) {
  kv::WaveData w;
  w.format = kv::pcmFormat(rate, bits, channels);
  for (size_t i = 0; i < bytes; ++i) w.data.push_back(static_cast<uint8_t>(i * 29 + 128));
  return w;
}

// "data" before "fmt ", with a "LIST" chunk of odd size between them.
std::vector<uint8_t> reordered() {
  const std::vector<uint8_t> plain = kv::writeRiffWave(wave(22050, 16, 1, 6));
  const std::vector<uint8_t> fmt(plain.begin() + 12, plain.begin() + 36);
  const std::vector<uint8_t> data(plain.begin() + 36, plain.end());
  std::vector<uint8_t> body;
  body.insert(body.end(), data.begin(), data.end());
  for (char c : {'L', 'I', 'S', 'T'}) body.push_back(static_cast<uint8_t>(c));
  kv::putLe32(body, 3);
  for (uint8_t b : {'a', 'b', 'c', '\0'}) body.push_back(b);  // three bytes and the pad byte
  body.insert(body.end(), fmt.begin(), fmt.end());
  std::vector<uint8_t> out;
  for (char c : {'R', 'I', 'F', 'F'}) out.push_back(static_cast<uint8_t>(c));
  kv::putLe32(out, static_cast<uint32_t>(4 + body.size()));
  for (char c : {'W', 'A', 'V', 'E'}) out.push_back(static_cast<uint8_t>(c));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

// frames of a 441 Hz tone.
kv::WaveData tone(uint32_t rate, uint16_t channels, int frames) {
  kv::WaveData w;
  w.format = kv::pcmFormat(rate, 16, channels);
  for (int i = 0; i < frames; ++i) {
    const auto v = static_cast<int16_t>(12000 * std::sin(2 * 3.14159265358979 * 441 * i / rate));
    for (int c = 0; c < channels; ++c) kv::putLe16(w.data, static_cast<uint16_t>(v));
  }
  return w;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: kv_make_fuzz_seeds TDIB_FOLDER WAVE_FOLDER TONE_FOLDER\n");
    return 2;
  }
  const std::string tdib = argv[1], wav = argv[2], tones = argv[3];
  save(tdib + "/tiny8.tdib", kv::writeTdib(picture(3, 2, 8)));
  save(tdib + "/tiny24.tdib", kv::writeTdib(picture(3, 2, 24)));
  save(tdib + "/tiny32.tdib", kv::writeTdib(picture(2, 3, 32)));
  save(wav + "/mono8.wav", kv::writeRiffWave(wave(11025, 8, 1, 9)));
  save(wav + "/mono16.wav", kv::writeRiffWave(wave(44100, 16, 1, 16)));
  save(wav + "/stereo16.wav", kv::writeRiffWave(wave(22050, 16, 2, 16)));
  save(wav + "/reordered.wav", reordered());
  save(tones + "/tone8k_mono.wav", kv::writeRiffWave(tone(8000, 1, 800)));
  save(tones + "/tone44k_stereo.wav", kv::writeRiffWave(tone(44100, 2, 4410)));
  return 0;
}
