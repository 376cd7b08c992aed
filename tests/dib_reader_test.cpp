#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "gfx/dib_reader.h"
#include "gfx/dib_writer.h"
#include "image_test_support.h"
#include "platform/components/component_errors.h"

namespace kv {
namespace {

using test::picture24;

DibPicture paletted(int width, int height) {
  DibPicture p;
  p.width = width;
  p.height = height;
  p.bitCount = 8;
  p.palette.resize(256);
  for (int i = 0; i < 256; ++i) p.palette[i] = Rgb8{uint8_t(i), uint8_t(255 - i), uint8_t(i * 7)};
  for (int i = 0; i < width * height; ++i) p.indices.push_back(uint8_t(i * 37 + 11));
  return p;
}

DibPicture gradient(int width, int height, int bitCount) {
  return picture24(
      width, height,
      [](int x, int y) {
        return Rgb8{uint8_t(x * 9), uint8_t(y * 13), uint8_t(x + y)};
      },
      bitCount);
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}
void put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}

// Offsets in the stored form: 5 bytes of signature, then the information header.
constexpr size_t kHeader = 5, kWidth = 9, kHeight = 13, kPlanes = 17, kBits = 19, kCompression = 21,
                 kImageSize = 25, kColorsUsed = 37, kAfterHeader = 45;

std::string errorOf(const std::vector<uint8_t>& bytes) {
  try {
    readTdib(bytes.data(), bytes.size());
  } catch (const EDibError& e) {
    return e.what();
  }
  return "";
}

TEST(DibReader, ReadsWhatTheWriterStoresAtEveryDepthAndOddWidths) {
  for (int width : {1, 2, 3, 5, 7}) {
    for (int bits : {24, 32}) {
      const DibPicture p = gradient(width, 3, bits);
      const std::vector<uint8_t> stored = writeTdib(p);
      const DibPicture back = readTdib(stored.data(), stored.size());
      EXPECT_EQ(back.width, width);
      EXPECT_EQ(back.height, 3);
      EXPECT_EQ(back.bitCount, bits);
      EXPECT_EQ(back.pixels, p.pixels) << width << " " << bits;
    }
    const DibPicture p = paletted(width, 4);
    const std::vector<uint8_t> stored = writeTdib(p);
    const DibPicture back = readTdib(stored.data(), stored.size());
    EXPECT_EQ(back.bitCount, 8);
    EXPECT_EQ(back.palette, p.palette);
    EXPECT_EQ(back.indices, p.indices);
    EXPECT_EQ(back.at(width - 1, 3), p.at(width - 1, 3));
  }
}

TEST(DibReader, StoredRowsAreBottomUpAndANegativeHeightMeansTopDown) {
  // Two rows of one 24-bit pixel: stored bottom row first.
  const DibPicture p = picture24(1, 2, [](int, int y) { return y == 0 ? Rgb8{255, 0, 0} : Rgb8{0, 0, 255}; });
  std::vector<uint8_t> stored = writeTdib(p);
  EXPECT_EQ(stored[kAfterHeader + 2], 0);  // red of the first stored row: the bottom (blue) one
  EXPECT_EQ(stored[kAfterHeader + 4 + 2], 255);
  put32(stored, kHeight, uint32_t(-2));
  const DibPicture flipped = readTdib(stored.data(), stored.size());
  EXPECT_EQ(flipped.height, 2);
  EXPECT_EQ(flipped.at(0, 0), (Rgb8{0, 0, 255}));
  EXPECT_EQ(flipped.at(0, 1), (Rgb8{255, 0, 0}));
}

TEST(DibReader, EveryTruncationOfAValidPictureIsRefused) {
  for (const DibPicture& p : {paletted(3, 2), gradient(3, 2, 24), gradient(2, 2, 32)}) {
    const std::vector<uint8_t> stored = writeTdib(p);
    for (size_t n = 0; n < stored.size(); ++n) {
      // A copy of exactly n bytes, so that the sanitizer sees any read past them.
      std::vector<uint8_t> prefix(stored.begin(), stored.begin() + n);
      EXPECT_THROW(readTdib(prefix.data(), prefix.size()), EDibError)
          << "bit depth " << p.bitCount << ", " << n;
    }
    EXPECT_EQ(errorOf(stored), "");  // the whole of it reads
  }
  EXPECT_THROW(readTdib(nullptr, 0), EDibError);
}

TEST(DibReader, MalformedHeadersAreRefusedSayingWhy) {
  const std::vector<uint8_t> good = writeTdib(gradient(3, 2, 24));
  auto with = [&](auto change) {
    std::vector<uint8_t> b = good;
    change(b);
    return errorOf(b);
  };
  EXPECT_NE(with([](auto& b) { b[0] = 5; }).find("signature length"), std::string::npos);
  EXPECT_NE(with([](auto& b) { b[1] = 'X'; }).find("\"TDIB\""), std::string::npos);
  EXPECT_NE(with([](auto& b) { put32(b, kHeader, 124); }).find("124 bytes"), std::string::npos);
  EXPECT_NE(with([](auto& b) { put32(b, kWidth, 0); }).find("width 0"), std::string::npos);
  EXPECT_NE(with([](auto& b) { put32(b, kWidth, uint32_t(-3)); }).find("width -3"), std::string::npos);
  EXPECT_NE(with([](auto& b) { put32(b, kHeight, 0); }).find("height is 0"), std::string::npos);
  EXPECT_NE(with([](auto& b) { put32(b, kWidth, 0x7FFFFFFF); }).find("too large"), std::string::npos);
  EXPECT_NE(with([](auto& b) { put32(b, kHeight, 0x80000000u); }).find("too large"), std::string::npos);
  EXPECT_NE(with([](auto& b) { put16(b, kPlanes, 2); }).find("plane"), std::string::npos);
  for (uint16_t bits : {0, 1, 4, 16, 48}) {
    EXPECT_NE(with([&](auto& b) { put16(b, kBits, bits); }).find("bit depth " + std::to_string(bits)),
              std::string::npos);
  }
  EXPECT_NE(with([](auto& b) { put32(b, kCompression, 1); }).find("compression 1"), std::string::npos);
  EXPECT_NE(with([](auto& b) { put32(b, kImageSize, 999); }).find("image size 999"), std::string::npos);
  EXPECT_NE(with([](auto& b) { put32(b, kColorsUsed, 16); }).find("no palette"), std::string::npos);
  EXPECT_NE(with([](auto& b) { b.push_back(0); }).find("1 bytes follow"), std::string::npos);
}

TEST(DibReader, SizesThatWouldOverflowAreCheckedAgainstTheDataHeld) {
  // 16384 x 16384 at 32 bits announces a gigabyte of rows; the check must not wrap or allocate.
  std::vector<uint8_t> b = writeTdib(gradient(2, 2, 32));
  put32(b, kWidth, 16384);
  put32(b, kHeight, 16384);
  put32(b, kImageSize, 0);
  EXPECT_NE(errorOf(b).find("pixel rows is cut short"), std::string::npos) << errorOf(b);
  put32(b, kImageSize, 0xFFFFFFFF);
  EXPECT_NE(errorOf(b).find("image size"), std::string::npos);
}

TEST(DibReader, PalettesAndMasksMustBeTheOnesThePictureNeeds) {
  std::vector<uint8_t> eight = writeTdib(paletted(2, 2));
  put32(eight, kColorsUsed, 0);  // 0 means a full palette
  EXPECT_NO_THROW(readTdib(eight.data(), eight.size()));
  put32(eight, kColorsUsed, 16);
  EXPECT_NE(errorOf(eight).find("256-entry palette"), std::string::npos);

  std::vector<uint8_t> wide = writeTdib(gradient(2, 2, 32));
  put32(wide, kCompression, 0);
  EXPECT_NE(errorOf(wide).find("colour masks"), std::string::npos);
  for (size_t mask = 0; mask < 3; ++mask) {
    std::vector<uint8_t> b = writeTdib(gradient(2, 2, 32));
    put32(b, kAfterHeader + 4 * mask, 0x00FF);  // a swapped channel order
    if (mask == 2) put32(b, kAfterHeader + 4 * mask, 0xFF000000);
    EXPECT_NE(errorOf(b).find("only the colour masks"), std::string::npos) << mask;
  }
}

}  // namespace
}  // namespace kv
