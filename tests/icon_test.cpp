// The game's icons: the PNG files as a decoder reads them, the drawing of the vehicle, and the
// window's icon being the same drawing as the installed ones.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "assets/images/stored_picture.h"
#include "packaging/icon/png_writer.h"
#include "packaging/icon/vehicle_icon.h"
#include "platform/sdl/window_icon.h"

namespace kv {
namespace {

uint32_t bigEndian32(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

struct Chunk {
  std::string type;
  std::vector<uint8_t> data;
};

// Splits a PNG into its chunks, checking the signature, the lengths and every CRC.
std::vector<Chunk> readChunks(const std::vector<uint8_t>& png) {
  const std::vector<uint8_t> signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
  std::vector<Chunk> chunks;
  size_t at = 8;
  while (at + 12 <= png.size()) {
    const uint32_t length = bigEndian32(png, at);
    if (at + 12 + length > png.size()) break;
    Chunk c{std::string(png.begin() + at + 4, png.begin() + at + 8),
            std::vector<uint8_t>(png.begin() + at + 8, png.begin() + at + 8 + length)};
    const uLong crc = crc32(0L, png.data() + at + 4, static_cast<uInt>(length + 4));
    EXPECT_EQ(bigEndian32(png, at + 8 + length), crc) << c.type;
    chunks.push_back(std::move(c));
    at += 12 + length;
  }
  EXPECT_EQ(at, png.size());
  return chunks;
}

TEST(IconTest, PngHoldsThePixelsRowByRow) {
  RgbaImage image(3, 2);
  for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = static_cast<uint8_t>(i * 11);
  const std::vector<Chunk> chunks = readChunks(encodePng(image));
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[0].type, "IHDR");
  EXPECT_EQ(chunks[1].type, "IDAT");
  EXPECT_EQ(chunks[2].type, "IEND");
  const std::vector<uint8_t>& h = chunks[0].data;
  ASSERT_EQ(h.size(), 13u);
  EXPECT_EQ(bigEndian32(h, 0), 3u);
  EXPECT_EQ(bigEndian32(h, 4), 2u);
  EXPECT_EQ(std::vector<uint8_t>(h.begin() + 8, h.end()), (std::vector<uint8_t>{8, 6, 0, 0, 0}));

  // Inflated, each row is the filter byte 0 and the row's RGBA bytes.
  std::vector<uint8_t> raw(2 * (1 + 3 * 4) + 16);
  uLongf rawSize = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &rawSize, chunks[1].data.data(), chunks[1].data.size()), Z_OK);
  raw.resize(rawSize);
  std::vector<uint8_t> expected;
  for (int y = 0; y < 2; ++y) {
    expected.push_back(0);
    expected.insert(expected.end(), image.at(0, y), image.at(0, y) + 12);
  }
  EXPECT_EQ(raw, expected);
  EXPECT_THROW(encodePng(RgbaImage()), std::invalid_argument);
}

VehicleArt builtArt() {
  VehicleArt art;
  art.body = {loadStoredPicture(KV_IMAGE_BUILD_DIR "/czolg.tdib"), {255, 255, 255}, 83};
  art.wheel = {loadStoredPicture(KV_IMAGE_BUILD_DIR "/kolo.tdib"), {128, 128, 255}, 0};
  return art;
}

std::set<std::tuple<int, int, int>> opaqueColours(const RgbaImage& image) {
  std::set<std::tuple<int, int, int>> colours;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = image.at(x, y);
      if (p[3] == 255) colours.insert({p[0], p[1], p[2]});
    }
  }
  return colours;
}

TEST(IconTest, TheVehicleStandsOnATileWithRoundedCorners) {
  const VehicleArt art = builtArt();
  for (int size : {32, 256}) {
    const RgbaImage icon = drawVehicleIcon(art, size);
    ASSERT_EQ(icon.width, size);
    ASSERT_EQ(icon.rgba.size(), static_cast<size_t>(size) * size * 4);
    for (auto [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}}) {
      EXPECT_EQ(icon.at(x, y)[3], 0) << size << " corner " << x << "," << y;
    }
    EXPECT_EQ(icon.at(size / 2, size / 8)[3], 255) << size;        // the sky
    EXPECT_EQ(icon.at(size / 2, size * 15 / 16)[3], 255) << size;  // the ground
  }
  // Large enough, the drawing keeps the pictures' own colours: the wheels' magenta tyre, the
  // body's lamps, and none of the transparent colours.
  const std::set<std::tuple<int, int, int>> colours = opaqueColours(drawVehicleIcon(art, 256));
  EXPECT_TRUE(colours.count({255, 0, 255}));
  EXPECT_TRUE(colours.count({255, 136, 0}));
  EXPECT_FALSE(colours.count({128, 128, 255}));
  EXPECT_FALSE(colours.count({255, 255, 255}));
  EXPECT_THROW(drawVehicleIcon(art, 8), std::invalid_argument);
  EXPECT_THROW(drawVehicleIcon(VehicleArt{}, 64), std::invalid_argument);
}

TEST(IconTest, TheWindowShowsTheInstalledDrawing) {
  const WindowIcon window = windowIcon();
  ASSERT_EQ(window.width, 64);
  ASSERT_EQ(window.height, 64);
  const RgbaImage drawn = drawVehicleIcon(builtArt(), 64);
  EXPECT_TRUE(std::equal(drawn.rgba.begin(), drawn.rgba.end(), window.rgba));
}

}  // namespace
}  // namespace kv
