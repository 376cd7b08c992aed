#pragma once
// Reading a stored picture ("TDIB").
#include <cstddef>
#include <cstdint>

#include "gfx/dib_format.h"

namespace kv {

// Reads the stored form. Every size and offset is checked against the data: malformed input
// throws EDibError with a message saying what is wrong, and nothing is read outside the buffer.
DibPicture readTdib(const uint8_t* bytes, size_t size);

}  // namespace kv
