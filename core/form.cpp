#include "core/form.h"

#include "actors/actor_components.h"
#include "assets/catalogue.h"
#include "core/form_layout.h"
#include "state/game_state.h"

namespace kv {

TForm1::TForm1(TApplication& app, AudioSystem& audio, FormSettings settings)
    : Application(app),
      Audio(audio),
      DXDraw1(app.platform().video),
      DXTimer1(app, app.platform().clock),
      DXTimer2(app, app.platform().clock),
      DXSound1(audio, app.platform().clock),
      DXInput1(app.keyboard(), app.platform().input),
      Button1(app, kPlayButton),
      Button2(app, kStopButton),
      Button3(app, kExitButton),
      Button4(app, kLevelButtons[0]),
      Button5(app, kLevelButtons[1]),
      Button6(app, kLevelButtons[2]),
      Button7(app, kLevelButtons[3]),
      Button8(app, kLevelButtons[4]),
      Button9(app, kLevelButtons[5]),
      settings_(std::move(settings)) {
  game.Form1 = this;
  loadComponents();
  Application.setForm(this);
  FormCreate();
}

TForm1::~TForm1() {
  Application.setForm(nullptr);
  DXTimer1.SetEnabled(false);
  DXTimer2.SetEnabled(false);
  // A window closed in the middle of a level takes the level's actors with it; the game state
  // keeps no reference to them.
  if (game.levelRunning) freeLevelActors();
  actorComponents = ActorComponents{};
  if (game.Form1 == this) game.Form1 = nullptr;
}

// The components' stored settings, as the window's resource holds them.
void TForm1::loadComponents() {
  DXDraw1.SetFormLoading(true);
  DXDraw1.SetBounds(0, 0, 800, 566);
  DXDraw1.AutoInitialize = true;
  DXDraw1.AutoSize = true;
  DXDraw1.Display.Width = 800;
  DXDraw1.Display.Height = 600;
  DXDraw1.Display.SetBitCount(16);
  DXDraw1.Display.FixedBitCount = false;
  DXDraw1.Display.FixedRatio = true;
  DXDraw1.Display.FixedSize = true;
  TDXDrawOptions options = doFullScreen | doAllowReboot | doDirectX7Mode | doHardware | doSelectDriver;
  if (!settings_.fullScreen) options &= static_cast<TDXDrawOptions>(~doFullScreen);
  DXDraw1.SetOptions(options);
  DXDraw1.SetSurfaceSize(800, 566);
  DXDraw1.SetFormLoading(false);

  DXSpriteEngine1.SetDXDraw(&DXDraw1);
  // The embedded pictures and recordings, by their catalogue indices and names.
  loadImages(DXImageList2);
  DXImageList2.SetDXDraw(&DXDraw1);
  loadSounds(DXWaveList1);
  DXSound1.AutoInitialize = true;
  DXSound1.Options = 0;
  DXWaveList1.SetDXSound(&DXSound1);

  for (TDXTimer* t : {&DXTimer1, &DXTimer2}) {
    t->BeginLoading();
    t->SetActiveOnly(false);
    t->SetEnabled(false);
    t->SetInterval(0);
    t->Loaded();
  }
  DXTimer1.OnTimer = [this](TDXTimer& sender, int lag) { DXTimer1Timer(sender, lag); };
  DXTimer2.OnTimer = [this](TDXTimer& sender, int lag) { DXTimer2Timer(sender, lag); };

  // The key table as the game stores it: Space fires.
  DXInput1.Keyboard.Assigns[isButton1] = {32, 32, 0};
  DXInput1.ActiveOnly = true;
  DXInput1.Poll();
  actorComponents.input = &DXInput1;
  actorComponents.sounds = &DXWaveList1;

  for (TButton* b : {&Button4, &Button5, &Button6, &Button7, &Button8, &Button9}) {
    b->SetVisible(false);
    b->SetEnabled(false);
  }
  Button1.OnClick = [this] { Button1Click(); };
  Button2.OnClick = [this] { Button2Click(); };
  Button3.OnClick = [this] { Button3Click(); };
  Button4.OnClick = [this] { levelButtonClick(1); };
  Button5.OnClick = [this] { levelButtonClick(2); };
  Button6.OnClick = [this] { levelButtonClick(3); };
  Button7.OnClick = [this] { levelButtonClick(4); };
  Button8.OnClick = [this] { levelButtonClick(5); };
  Button9.OnClick = [this] { levelButtonClick(6); };

  // The sound device starts last, when everything is loaded; without a sound card it stays silent.
  DXSound1.Loaded();
}

bool TForm1::Show() {
  if (!Application.platform().video.openWindow()) return false;
  DXDraw1.FormShown();
  return true;
}

void TForm1::Close() {
  if (closed_) return;
  closed_ = true;
  FormClose();
  DXTimer1.SetEnabled(false);
  DXTimer2.SetEnabled(false);
  Application.Terminate();
}

void TForm1::onKeyDown(int vk) {
  FormKeyDown(vk);
}

void TForm1::onMouseMove(int x, int y) {
  // The display covers the window's client area; the rows below it are not the game's.
  if (x >= DXDraw1.Left() && x < DXDraw1.Left() + DXDraw1.Width() && y >= DXDraw1.Top() &&
      y < DXDraw1.Top() + DXDraw1.Height()) {
    DXDraw1MouseMove(x - DXDraw1.Left(), y - DXDraw1.Top());
  }
}

void TForm1::onCloseRequest() {
  Close();
}

void TForm1::onMinimize() {
  DXDraw1.FormMoveSizeStart();
}

void TForm1::onRestore() {
  DXDraw1.FormMoveSizeEnd();
}

void TForm1::onMoveSizeStart() {
  DXDraw1.FormMoveSizeStart();
}

void TForm1::onMoveSizeEnd() {
  DXDraw1.FormMoveSizeEnd();
}

}  // namespace kv
