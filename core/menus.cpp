// The menus: push buttons over the display, the intro on the first mouse movement, the
// level-selection screen with its animated caption, and the digit keys that pick a level.
#include "core/form.h"
#include "gfx/backdrop.h"
#include "gfx/turbopixels.h"
#include "state/game_state.h"

namespace kv {

void TForm1::DXDraw1MouseMove(int /*x*/, int /*y*/) {
  // Never during a level: the intro would take the idle slot from the game and freeze it. It then
  // waits for the next movement outside a level.
  if (game.introPending && !game.levelRunning) {
    logo();
    game.introPending = false;
  }
}

void TForm1::Button1Click() {
  // From now on every flip waits for the vertical blank: one redraw per display refresh.
  DXDraw1.SetOptions(DXDraw1.Options() | doWaitVBlank);
  pickalevel();
}

void TForm1::pickalevel() {
  takeScreen();
  DXTimer2.SetEnabled(false);
  releaseMenuLock();
  if (TDirectDrawSurface* surface = DXDraw1.Surface()) surface->Fill(0);
  robnapis(10, 310, "PICK A LEVEL");
  resetBackdrop();
  Button1.SetVisible(false);
  Button1.SetEnabled(false);
  for (TButton* b : {&Button4, &Button5, &Button6, &Button7, &Button8, &Button9}) {
    b->SetVisible(true);
    b->SetEnabled(true);
  }
  if (!game.surfaceLocked) {
    if (TDirectDrawSurface* surface = DXDraw1.Surface()) {
      LockSurface(*surface);
      game.surfaceLocked = true;
    }
  }
  DXTimer2.SetEnabled(true);
}

void TForm1::levelButtonClick(int32_t level) {
  game.level = level;
  DXTimer2.SetEnabled(false);
  inicjujplansze();
}

void TForm1::Button2Click() {
  zakonczplansze();
}

void TForm1::FormKeyDown(int key) {
  // The main keyboard's digits 1 to 6 pick the level number and nothing else.
  if (key >= 49 && key <= 54) game.level = key - 48;
}

}  // namespace kv
