#include "gfx/dxdraw_options.h"

namespace kv {

namespace {
// What only an exclusive full-screen display can do.
constexpr TDXDrawOptions kFullScreenOnly = doNoWindowChange | doAllowReboot | doAllowPalette256 | doFlip;
// What only a 3-D set-up uses; the DirectX 7 mode stays chosen on an initialised display.
constexpr TDXDrawOptions k3DSetUp = doRetainedMode | doHardware | doSelectDriver | doZBuffer;

constexpr TDXDrawOptions without(TDXDrawOptions options, TDXDrawOptions bits) {
  return static_cast<TDXDrawOptions>(options & ~bits);
}
}  // namespace

TDXDrawOptions deriveNowOptions(TDXDrawOptions o) {
  TDXDrawOptions n = o;
  if (!(n & doFullScreen)) n = without(n, kFullScreenOnly);
  if (!(n & do3D)) n = without(n, k3DSetUp | doDirectX7Mode);
  if (n & doSystemMemory) n = without(n, doFlip);
  if (n & doDirectX7Mode) n = without(n, doRetainedMode);
  n = without(n, doHardware);  // only a 3-D set-up would set it again
  return n;
}

TDXDrawOptions deriveNowOptionsInitialized(TDXDrawOptions now, TDXDrawOptions o) {
  constexpr TDXDrawOptions kLive = doWaitVBlank | doStretch | doCenter;
  TDXDrawOptions n = static_cast<TDXDrawOptions>(without(now, kLive) | (o & kLive));
  if (!(n & do3D)) n = without(n, k3DSetUp);
  return n;
}

}  // namespace kv
