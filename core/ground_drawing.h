#pragma once
// The sky's stars and the ground, painted through the pixel layer on every redraw.
#include <cstdint>

namespace kv {

constexpr uint32_t kStarColor = 0xFFFFFF;
constexpr uint8_t kGroundRed = 94, kGroundGreen = 86, kGroundBlue = 3;

// Paints stars and ground; the caller holds the pixel-layer lock.
void drawGround();

}  // namespace kv
