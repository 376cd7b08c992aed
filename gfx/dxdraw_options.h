#pragma once
// The display control's options: a 16-bit set, bit n for the option of ordinal n.
#include <cstdint>

namespace kv {

using TDXDrawOptions = uint16_t;

enum TDXDrawOption : uint16_t {
  doFullScreen = 0x0001,
  doNoWindowChange = 0x0002,
  doAllowReboot = 0x0004,
  doWaitVBlank = 0x0008,
  doAllowPalette256 = 0x0010,
  doSystemMemory = 0x0020,
  doStretch = 0x0040,
  doCenter = 0x0080,
  doFlip = 0x0100,
  do3D = 0x0200,
  doDirectX7Mode = 0x0400,
  doRetainedMode = 0x0800,
  doHardware = 0x1000,
  doSelectDriver = 0x2000,
  doZBuffer = 0x4000,
};

// The effective options of a display that is not initialised, derived from the requested ones.
TDXDrawOptions deriveNowOptions(TDXDrawOptions options);
// The effective options after assigning `options` to an initialised display whose effective
// options are `now`: only the wait, stretch and centre bits follow.
TDXDrawOptions deriveNowOptionsInitialized(TDXDrawOptions now, TDXDrawOptions options);

}  // namespace kv
