// Renders the music loop to a 44100 Hz stereo 16-bit WAVE file, ready for the MP3 encoder.
//   kv_musicgen OUTPUT.wav
#include <cstdio>
#include <exception>
#include <fstream>

#include "assets/music/mixer.h"
#include "assets/music/score.h"
#include "assets/music/song_form.h"
#include "platform/audio/wave_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.wav\n", argc > 0 ? argv[0] : "kv_musicgen");
    return 2;
  }
  try {
    using namespace kv::music;
    const std::vector<int16_t> samples = mixSong(composeScore());
    kv::WaveData wave;
    wave.format = kv::pcmFormat(kSampleRate, 16, kChannels);
    wave.data.reserve(2 * samples.size());
    for (const int16_t s : samples) {
      const auto u = static_cast<uint16_t>(s);
      wave.data.push_back(static_cast<uint8_t>(u & 0xFF));
      wave.data.push_back(static_cast<uint8_t>(u >> 8));
    }
    const std::vector<uint8_t> bytes = kv::writeRiffWave(wave);
    std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
      std::fprintf(stderr, "%s: cannot write\n", argv[1]);
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kv_musicgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
