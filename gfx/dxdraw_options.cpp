#include "gfx/dxdraw_options.h"

namespace kv {

TDXDrawOptions deriveNowOptions(TDXDrawOptions o) {
  TDXDrawOptions n = o;
  if (!(n & doFullScreen)) n &= static_cast<TDXDrawOptions>(~0x0116);
  if (!(n & do3D)) n &= static_cast<TDXDrawOptions>(~0x7C00);
  if (n & doSystemMemory) n &= static_cast<TDXDrawOptions>(~doFlip);
  if (n & doDirectX7Mode) n &= static_cast<TDXDrawOptions>(~doRetainedMode);
  n &= static_cast<TDXDrawOptions>(~doHardware);  // only a 3-D set-up would set it again
  return n;
}

TDXDrawOptions deriveNowOptionsInitialized(TDXDrawOptions now, TDXDrawOptions o) {
  constexpr TDXDrawOptions kLive = doWaitVBlank | doStretch | doCenter;
  TDXDrawOptions n = static_cast<TDXDrawOptions>((now & ~kLive) | (o & kLive));
  if (!(n & do3D)) n &= static_cast<TDXDrawOptions>(~0x7800);
  return n;
}

}  // namespace kv
