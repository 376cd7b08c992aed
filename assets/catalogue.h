#pragma once
// The game's pictures and recordings: which exist, under which index and name, and the sizes,
// formats and flags the game logic relies on. The loaders fill the image list and the wave list
// from the embedded data and check every entry against these tables.
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string_view>

namespace kv {

class TDXImageList;
class TDXWaveList;

struct ImageAsset {
  int32_t index;
  std::string_view name;
  int32_t width, height;                // pixels
  int bitCount;                         // stored depth: 8 (with a palette), 24 or 32
  int32_t patternWidth, patternHeight;  // 0: the whole picture
  int32_t frames;                       // patterns the entry yields
  uint32_t transparentColor;            // 0x00BBGGRR
};

struct SoundAsset {
  int32_t index;
  std::string_view name;
  bool looped;
  int32_t maxPlayingCount;
  uint32_t sampleRate;
  uint16_t bitsPerSample;  // mono PCM
  uint32_t dataBytes;
};

inline constexpr std::array<ImageAsset, 9> kImageCatalogue{{
    {0, "kolo", 15, 14, 24, 0, 0, 1, 0xFF8080},
    {1, "czolg", 664, 23, 32, 83, 23, 8, 0xFFFFFF},
    {2, "font", 440, 88, 8, 22, 22, 80, 0xFF00FF},
    {3, "kamien", 35, 40, 24, 0, 0, 1, 0xFFFFFF},
    {4, "pocisk", 20, 8, 24, 0, 0, 1, 0x80FFFF},
    {5, "drzewko", 166, 330, 24, 0, 0, 1, 0xFFFFFF},
    {6, "ufo", 664, 27, 32, 83, 27, 8, 0xFFFFFF},
    {7, "pocisk1", 6, 16, 24, 0, 0, 1, 0x00FFFF},
    {8, "bomba", 11, 22, 24, 0, 0, 1, 0xFFFFFF},
}};

// Recordings 0 and 3 are the same sound.
inline constexpr std::array<SoundAsset, 6> kSoundCatalogue{{
    {0, "dziura", false, 0, 11025, 8, 14336},
    {1, "skok", false, 0, 44100, 16, 8820},
    {2, "normalnie", true, 0, 44100, 16, 112798},
    {3, "kamien", false, 0, 11025, 8, 14336},
    {4, "Trafiony", false, 0, 44100, 16, 15290},
    {5, "strzal", false, 0, 22050, 16, 6890},
}};

// An embedded asset that is missing or does not match its catalogue entry.
class EAssetError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Empties the list and adds the nine pictures in catalogue order, each with its name, pattern size,
// transparent colour, Transparent on and SystemMemory off; the colour table is all zero. When the
// list's display is already initialised the entries are built at once. Throws EAssetError for a
// picture that is missing, unreadable or different from its catalogue entry.
void loadImages(TDXImageList& list);

// Empties the list and adds the six recordings in catalogue order with their names and flags.
// Throws EAssetError like loadImages.
void loadSounds(TDXWaveList& list);

}  // namespace kv
