#pragma once
// A whole game on the headless back end, for scenario tests: the real window class, the real
// components, virtual time and scripted input.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/headless_game.h"
#include "gfx/turbopixels.h"
#include "state/game_state.h"
#include "tests/buttons.h"

namespace kv::test {

class GameFixture : public HeadlessGame {
 public:
  // beforeStart sets the machine up before the window is created (a sound card that fails...).
  explicit GameFixture(int refreshHz = 60, uint32_t seed = 1,
                       std::vector<std::string> dataDirs = {KV_TEST_DATA_DIR},
                       const std::function<void(HeadlessBackend&)>& beforeStart = {})
      : HeadlessGame(settings(refreshHz, seed, std::move(dataDirs), beforeStart)) {
    form->Show();
  }

  static HeadlessGameSettings settings(int refreshHz, uint32_t seed, std::vector<std::string> dataDirs,
                                       const std::function<void(HeadlessBackend&)>& beforeStart) {
    HeadlessGameSettings s;
    s.refreshHz = refreshHz;
    s.seed = seed;
    s.dataDirs = std::move(dataDirs);
    s.beforeStart = beforeStart;
    return s;
  }

  HeadlessBackend& hb() { return *backend; }
  VirtualDisplay& display() { return backend->display; }

  // Queues an event for the next message processing (at the current virtual time).
  void post(Event::Kind kind, int x = 0, int y = 0, int vk = 0) {
    ScriptEvent e;
    e.timeMs = nowMs();
    e.event.kind = kind;
    e.event.x = x;
    e.event.y = y;
    e.event.vk = vk;
    backend->events.push(e);
  }
  // A click where a player would click: press and release at (x, y).
  void click(int x, int y) {
    post(Event::Kind::MouseDown, x, y);
    post(Event::Kind::MouseUp, x, y);
    app->ProcessMessages();
  }
  void moveMouse(int x, int y) {
    post(Event::Kind::MouseMove, x, y);
    app->ProcessMessages();
  }
  void key(int vk) {
    post(Event::Kind::KeyDown, 0, 0, vk);
    post(Event::Kind::KeyUp, 0, 0, vk);
    app->ProcessMessages();
  }
  // Runs the idle handler n times, as the main loop would with no event pending.
  void idle(int n) {
    for (int i = 0; i < n && app->hasIdleHandler(); ++i) app->IdleOnce();
  }
  void click(const ButtonPlace& button) { click(button.centreX(), button.centreY()); }
  // Press Play, then a level button: the level runs after its banner.
  void startLevel(int level) {
    if (form->Button1.Visible()) click(kPlayButton);
    click(levelButton(level));
  }
  int presents() const { return backend->display.presentCount(); }

  // Runs ticks of the game until `ticks` game ticks have passed or the level has ended.
  void ticks(int64_t n) {
    const int64_t until = game.ticks + n;
    while (game.ticks < until && game.levelRunning && form->DXTimer1.Running()) idle(1);
  }
};

// A matrix font whose letters are solid yellow blocks with a red first row, so captions are easy
// to find on the screen. Returns the folder holding it.
std::string blockFontDir();

}  // namespace kv::test
