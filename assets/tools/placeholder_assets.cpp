// PLACEHOLDER generator: stand-in pictures and recordings with exactly the catalogue's sizes,
// depths, pattern layouts, transparent colours, sample formats and byte counts, and nothing worth
// looking at or listening to (every pattern cell is a plain box inside a margin of the transparent
// colour; every recording is silence). The real art and sound replace these.
//
//   placeholder_assets image NAME OUTPUT.tdib
//   placeholder_assets sound NAME OUTPUT.wav
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "assets/catalogue.h"
#include "gfx/dib_format.h"
#include "platform/wave_format.h"

namespace kv {
namespace {

Rgb8 rgbOf(uint32_t color) {
  return Rgb8{static_cast<uint8_t>(color & 0xFF), static_cast<uint8_t>((color >> 8) & 0xFF),
              static_cast<uint8_t>((color >> 16) & 0xFF)};
}

// Font cells that stay empty: the blank characters and the cells without a glyph.
bool blankFontCell(int cell) {
  return (cell >= 26 && cell <= 30) || (cell >= 44 && cell <= 58) || cell >= 64;
}

// Index 0: background (transparent), 1: box, 2: box outline.
int cellShade(const ImageAsset& a, int x, int y) {
  const int pw = a.patternWidth > 0 ? a.patternWidth : a.width;
  const int ph = a.patternHeight > 0 ? a.patternHeight : a.height;
  const int cx = x % pw, cy = y % ph;
  const int cell = (y / ph) * (a.width / pw) + x / pw;
  if (a.name == "font" && blankFontCell(cell)) return 0;
  if (cx < 1 || cy < 1 || cx >= pw - 1 || cy >= ph - 1) return 0;
  if (cx == 1 || cy == 1 || cx == pw - 2 || cy == ph - 2) return 2;
  return 1;
}

DibPicture placeholderPicture(const ImageAsset& a) {
  DibPicture p;
  p.width = a.width;
  p.height = a.height;
  p.bitCount = a.bitCount;
  const Rgb8 shades[3] = {rgbOf(a.transparentColor), Rgb8{230, 200, 40}, Rgb8{40, 30, 20}};
  const size_t count = static_cast<size_t>(a.width) * a.height;
  if (a.bitCount == 8) {
    p.palette.assign(256, Rgb8{});
    for (int i = 0; i < 3; ++i) p.palette[i] = shades[i];
    p.indices.resize(count);
  } else {
    p.pixels.resize(count);
  }
  for (int y = 0; y < a.height; ++y) {
    for (int x = 0; x < a.width; ++x) {
      const int shade = cellShade(a, x, y);
      const size_t i = static_cast<size_t>(y) * a.width + x;
      if (a.bitCount == 8) {
        p.indices[i] = static_cast<uint8_t>(shade);
      } else {
        p.pixels[i] = shades[shade];
      }
    }
  }
  return p;
}

WaveData placeholderRecording(const SoundAsset& s) {
  WaveData w;
  w.format = pcmFormat(s.sampleRate, s.bitsPerSample, 1);
  // Silence: the midpoint for unsigned 8-bit samples, zero for signed 16-bit ones.
  w.data.assign(s.dataBytes, s.bitsPerSample == 8 ? 0x80 : 0x00);
  return w;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

int run(const std::string& kind, const std::string& name, const std::string& path) {
  std::vector<uint8_t> bytes;
  if (kind == "image") {
    for (const ImageAsset& a : kImageCatalogue)
      if (a.name == name) bytes = writeTdib(placeholderPicture(a));
  } else if (kind == "sound") {
    for (const SoundAsset& s : kSoundCatalogue)
      if (s.name == name) bytes = writeRiffWave(placeholderRecording(s));
  } else {
    std::cerr << "placeholder_assets: the kind must be image or sound, not " << kind << "\n";
    return 2;
  }
  if (bytes.empty()) {
    std::cerr << "placeholder_assets: no " << kind << " named " << name << " in the catalogue\n";
    return 2;
  }
  if (!writeFile(path, bytes)) {
    std::cerr << "placeholder_assets: cannot write " << path << "\n";
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace kv

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: placeholder_assets image|sound NAME OUTPUT\n";
    return 2;
  }
  return kv::run(argv[1], argv[2], argv[3]);
}
