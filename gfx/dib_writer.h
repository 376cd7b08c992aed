#pragma once
// Writing a picture in the stored form.
#include <cstdint>
#include <vector>

#include "gfx/dib_format.h"

namespace kv {

// The stored form, starting with the length byte 4 and "TDIB".
std::vector<uint8_t> writeTdib(const DibPicture& picture);

}  // namespace kv
