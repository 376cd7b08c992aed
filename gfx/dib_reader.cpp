// Reading the stored picture form. Every size and offset is checked against the bytes held before it
// is used; sizes are computed in 64 bits so that no product can wrap.
//
// Accepted: the length byte 4 and "TDIB", a 40-byte information header with one plane, 8, 24 or 32
// bits per pixel, uncompressed (8 and 24 bits) or with the three standard colour masks (32 bits), an
// 8-bit picture's full 256-entry palette, and exactly the padded rows the header announces. Rows are
// stored bottom-up; a negative height (rows stored top-down) is read as well. Anything else throws
// EDibError naming the problem.
#include <cstdint>
#include <string>

#include "gfx/dib_reader.h"
#include "platform/components/component_errors.h"

namespace kv {

namespace {

// The largest side we read: a picture wider or taller than any surface could hold is refused.
constexpr int64_t kMaxSide = 16384;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kRgb = 0;        // no compression
constexpr uint32_t kBitFields = 3;  // colour masks follow the header

[[noreturn]] void fail(const std::string& what) {
  throw EDibError("Picture is invalid: " + what);
}

// A read cursor that refuses to step past the end of the buffer.
class Reader {
 public:
  Reader(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

  size_t remaining() const { return size_ - pos_; }
  void need(uint64_t count, const char* what) const {
    if (count > remaining()) fail(std::string(what) + " is cut short");
  }
  uint8_t u8(const char* what) {
    need(1, what);
    return bytes_[pos_++];
  }
  uint16_t u16(const char* what) {
    need(2, what);
    const uint16_t v = static_cast<uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return v;
  }
  uint32_t u32(const char* what) {
    need(4, what);
    const uint32_t v = static_cast<uint32_t>(bytes_[pos_]) | (static_cast<uint32_t>(bytes_[pos_ + 1]) << 8) |
                       (static_cast<uint32_t>(bytes_[pos_ + 2]) << 16) |
                       (static_cast<uint32_t>(bytes_[pos_ + 3]) << 24);
    pos_ += 4;
    return v;
  }
  int32_t i32(const char* what) { return static_cast<int32_t>(u32(what)); }
  const uint8_t* take(uint64_t count, const char* what) {
    need(count, what);
    const uint8_t* p = bytes_ + pos_;
    pos_ += static_cast<size_t>(count);
    return p;
  }

 private:
  const uint8_t* bytes_;
  size_t size_;
  size_t pos_ = 0;
};

void readSignature(Reader& in) {
  const uint8_t length = in.u8("the signature");
  if (length != 4) fail("the signature length is " + std::to_string(length) + ", not 4");
  const uint8_t* tag = in.take(4, "the signature");
  if (tag[0] != 'T' || tag[1] != 'D' || tag[2] != 'I' || tag[3] != 'B') fail("the signature is not \"TDIB\"");
}

void readMasks(Reader& in) {
  const uint32_t red = in.u32("the colour masks");
  const uint32_t green = in.u32("the colour masks");
  const uint32_t blue = in.u32("the colour masks");
  if (red != 0xFF0000 || green != 0x00FF00 || blue != 0x0000FF)
    fail("only the colour masks 0xFF0000, 0xFF00, 0xFF are supported");
}

}  // namespace

DibPicture readTdib(const uint8_t* bytes, size_t size) {
  if (bytes == nullptr && size != 0) fail("no data");
  Reader in(bytes, size);
  readSignature(in);

  const uint32_t headerSize = in.u32("the information header");
  if (headerSize != kInfoHeaderSize)
    fail("the information header is " + std::to_string(headerSize) + " bytes, not 40");
  const int64_t width = in.i32("the information header");
  const int64_t storedHeight = in.i32("the information header");
  const uint16_t planes = in.u16("the information header");
  const uint16_t bitCount = in.u16("the information header");
  const uint32_t compression = in.u32("the information header");
  const uint32_t imageSize = in.u32("the information header");
  in.u32("the information header");  // horizontal resolution
  in.u32("the information header");  // vertical resolution
  const uint32_t colorsUsed = in.u32("the information header");
  in.u32("the information header");  // important colours

  const bool topDown = storedHeight < 0;
  const int64_t height = topDown ? -storedHeight : storedHeight;
  if (width <= 0) fail("the width " + std::to_string(width) + " is not positive");
  if (height == 0) fail("the height is 0");
  if (width > kMaxSide || height > kMaxSide)
    fail("the size " + std::to_string(width) + "x" + std::to_string(height) + " is too large");
  if (planes != 1) fail("the plane count is " + std::to_string(planes) + ", not 1");
  if (bitCount != 8 && bitCount != 24 && bitCount != 32)
    fail("the bit depth " + std::to_string(bitCount) + " is not 8, 24 or 32");

  DibPicture p;
  p.width = static_cast<int>(width);
  p.height = static_cast<int>(height);
  p.bitCount = bitCount;

  if (bitCount == 32) {
    if (compression != kBitFields) fail("a 32-bit picture must carry its three colour masks");
    readMasks(in);
  } else if (compression != kRgb) {
    fail("compression " + std::to_string(compression) + " is not supported");
  }
  if (bitCount == 8) {
    if (colorsUsed != 0 && colorsUsed != 256)
      fail("an 8-bit picture needs a 256-entry palette, not " + std::to_string(colorsUsed));
    const uint8_t* pal = in.take(256 * 4, "the palette");
    p.palette.resize(256);
    for (int i = 0; i < 256; ++i) p.palette[i] = Rgb8{pal[4 * i + 2], pal[4 * i + 1], pal[4 * i]};
  } else if (colorsUsed != 0) {
    fail("a " + std::to_string(bitCount) + "-bit picture carries no palette");
  }

  const uint64_t stride = ((static_cast<uint64_t>(width) * bitCount + 31) / 32) * 4;
  const uint64_t pixelBytes = stride * static_cast<uint64_t>(height);
  if (imageSize != 0 && imageSize != pixelBytes)
    fail("the image size " + std::to_string(imageSize) + " does not match " + std::to_string(pixelBytes) +
         " bytes of rows");
  const uint8_t* rows = in.take(pixelBytes, "the pixel rows");
  if (in.remaining() != 0) fail(std::to_string(in.remaining()) + " bytes follow the pixel rows");

  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (bitCount == 8) {
    p.indices.resize(count);
  } else {
    p.pixels.resize(count);
  }
  const size_t bytesPerPixel = bitCount / 8;
  for (int64_t y = 0; y < height; ++y) {
    const int64_t storedRow = topDown ? y : height - 1 - y;
    const uint8_t* src = rows + static_cast<size_t>(storedRow) * stride;
    const size_t out = static_cast<size_t>(y) * static_cast<size_t>(width);
    for (int64_t x = 0; x < width; ++x, src += bytesPerPixel) {
      if (bitCount == 8) {
        p.indices[out + x] = src[0];
      } else {
        p.pixels[out + x] = Rgb8{src[2], src[1], src[0]};
      }
    }
  }
  return p;
}

}  // namespace kv
