// The large matrix-font captions, the intro and the title backdrop's tick.
#include "core/form.h"
#include "gfx/backdrop.h"
#include "gfx/matrix_captions.h"
#include "gfx/turbopixels.h"
#include "state/game_state.h"

namespace kv {

void TForm1::pisz(int32_t x, int32_t y, uint8_t code) {
  drawMatrixGlyph(x, y, code, game.captionScale);
}

void TForm1::robnapis(int32_t x, int32_t y, const std::string& text) {
  TDirectDrawSurface* surface = DXDraw1.Surface();
  if (!surface) return;
  LockSurface(*surface);
  drawMatrixText(x, y, text, game.captionScale);
  UnlockSurface();
  DXDraw1.Flip();
}

void TForm1::logo() {
  // Over the selection screen (Play pressed before the intro) the menu may hold the pixel lock.
  takeScreen();
  releaseMenuLock();
  Clock& clock = Application.platform().clock;
  if (TDirectDrawSurface* surface = DXDraw1.Surface()) surface->Fill(0);
  game.captionScale = 2;
  robnapis(160, 60, "ZOBRANTIKA");
  DXDraw1.Flip();
  clock.sleepMs(1000);
  game.captionScale = 1;
  robnapis(270, 160, "HUMBLY PRESENTS");
  DXDraw1.Flip();
  clock.sleepMs(1000);
  game.captionScale = 4;
  robnapis(10, 310, "KORVALUNDRIX");
  DXDraw1.Flip();
  resetBackdrop();
  DXTimer2.SetEnabled(true);
}

void TForm1::DXTimer2Timer(TDXTimer& /*sender*/, int /*lagCount*/) {
  TDirectDrawSurface* surface = DXDraw1.Surface();
  if (!surface) {
    // Minimised: nothing to animate, but the flip still waits a refresh, so the tick does not spin.
    DXDraw1.Flip();
    return;
  }
  const uint64_t owner = screenOwner_;
  const bool finished = backdropTick(*surface, game.surfaceLocked, [&] {
    Application.ProcessMessages();
    // A level start or a redrawn menu took the screen: this tick must not touch it any more.
    return screenOwner_ == owner && !Application.Terminated();
  });
  if (finished) DXDraw1.Flip();
}

}  // namespace kv
