#pragma once
// PNG files of RGBA pictures (8 bits per channel, no interlacing), compressed with zlib.
#include <cstdint>
#include <string>
#include <vector>

#include "packaging/icon/vehicle_icon.h"

namespace kv {

std::vector<uint8_t> encodePng(const RgbaImage& image);

// False when the file cannot be written.
bool writePng(const std::string& path, const RgbaImage& image);

}  // namespace kv
