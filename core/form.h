#pragma once
// TForm1: the game's main window. It owns every component (display, timers, buttons, and the
// sprite, image, input and sound components as they are added) and carries the game's event
// handlers. The handlers live in the files named after what they do: startup.cpp, frame_loop.cpp,
// level_lifecycle.cpp, menus.cpp.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "actors/dx_sprite_engine.h"
#include "gfx/dxdraw.h"
#include "gfx/image_list.h"
#include "platform/audio/audio_system.h"
#include "platform/components/application.h"
#include "platform/components/dx_sound.h"
#include "platform/components/frame_timer.h"
#include "platform/components/input.h"
#include "platform/components/push_button.h"
#include "platform/components/wave_list.h"

namespace kv {

class GameObserver;

// The engine's hum, looped during a level; its pitch follows the speed.
constexpr int32_t kEngineSound = 2;

struct FormSettings {
  bool fullScreen = true;             // the display takes the whole screen
  std::vector<std::string> dataDirs;  // where run-time files are looked up (empty: the usual places)
  bool seedGiven = false;             // seed the random generator with `seed` instead of the clock
  uint32_t seed = 0;
};

class TForm1 : public FormEventSink {
 public:
  // Creates the components with their stored settings, then runs FormCreate. Raises MissingDataFile
  // when the matrix font is nowhere to be found.
  TForm1(TApplication& app, AudioSystem& audio, FormSettings settings);
  ~TForm1() override;
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  // The window appears: the display switches to full screen. False when no window can be opened.
  bool Show();
  // Closes the window: FormClose, then the program ends.
  void Close();
  bool Closed() const { return closed_; }

  void setObserver(GameObserver* observer) { observer_ = observer; }

  // Components.
  TApplication& Application;
  AudioSystem& Audio;
  TDXDraw DXDraw1;
  TDXTimer DXTimer1;
  TDXTimer DXTimer2;
  TDXSpriteEngine DXSpriteEngine1;
  TDXImageList DXImageList2;
  TDXSound DXSound1;  // before the wave list, which frees its voices first
  TDXWaveList DXWaveList1;
  TDXInput DXInput1;
  TButton Button1, Button2, Button3, Button4, Button5, Button6, Button7, Button8, Button9;

  // Startup and shutdown.
  void FormCreate();
  void refreshcheck();
  void FormClose();
  void Button3Click();
  void zrobmatryce();

  // The game's tick and the level around it.
  void DXTimer1Timer(TDXTimer& sender, int lagCount);
  void inicjujplansze();
  void zakonczplansze();
  // Two steps of the tick: a saucer takes off; a rock appears at the left edge.
  void launchUfo();
  void spawnRock();

  // Menus and level selection.
  void pickalevel();
  void FormKeyDown(int key);
  void DXDraw1MouseMove(int x, int y);
  void Button1Click();
  void Button2Click();
  void levelButtonClick(int32_t level);

  // Captions and the intro.
  void pisz(int32_t x, int32_t y, uint8_t code);
  void robnapis(int32_t x, int32_t y, const std::string& text);
  void logo();
  void DXTimer2Timer(TDXTimer& sender, int lagCount);

  // The display's vertical blanks per waiting flip, chosen at startup with the speeds.
  int32_t vblanksPerFlip() const { return vblanksPerFlip_; }

  // FormEventSink.
  void onKeyDown(int vk) override;
  void onMouseMove(int x, int y) override;
  void onCloseRequest() override;
  void onMinimize() override;
  void onRestore() override;
  void onMoveSizeStart() override;
  void onMoveSizeEnd() override;

 private:
  void loadComponents();
  // Gives back the pixel lock the menu holds, before anything else draws on the surface.
  void releaseMenuLock();
  // Whoever takes the screen over from the backdrop bumps this, so a backdrop tick in progress stops.
  void takeScreen() { ++screenOwner_; }
  void redrawFrame();
  void createLevelActors();
  void freeLevelActors();
  void moveAndDrawSprites();
  void setEnginePitch();
  void startEngineSound();
  void stopEngineSound();
  void drawHud();
  void drawBanner();

  FormSettings settings_;
  GameObserver* observer_ = nullptr;
  bool closed_ = false;
  int32_t vblanksPerFlip_ = 1;
  uint64_t screenOwner_ = 0;
  uint64_t levelEnds_ = 0;
};

}  // namespace kv
