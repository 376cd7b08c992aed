#pragma once
// CRC-32 (the polynomial of zip and PNG), to find a damaged byte before it is believed.
#include <cstddef>
#include <cstdint>

namespace kv {

// The CRC of size bytes, continuing from crc (0 for a fresh start).
uint32_t crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

}  // namespace kv
