#pragma once
// A whole game on the headless back end, for tests, benchmarks and fuzz targets: the virtual
// machine, the audio system, the application and the real game window, from the program-start
// state. The window is made but not shown, so that observers can be hooked in first.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/form.h"
#include "platform/audio/audio_system.h"
#include "platform/components/application.h"
#include "platform/headless/headless_backend.h"

namespace kv {

struct HeadlessGameSettings {
  int refreshHz = 60;
  uint32_t seed = 1;
  std::vector<std::string> dataDirs;  // where the matrix font and the music are found
  std::vector<ScriptEvent> script;    // timed input; the game does not close when it runs out
  int sampleRate = 44100;             // the mixer's rate (a slow card makes a fuzzer's run cheaper)
  // Sets the machine up before the window is made (a sound card that fails, a stick plugged in).
  std::function<void(HeadlessBackend&)> beforeStart;
};

class HeadlessGame {
 public:
  explicit HeadlessGame(HeadlessGameSettings settings);
  ~HeadlessGame();
  HeadlessGame(const HeadlessGame&) = delete;
  HeadlessGame& operator=(const HeadlessGame&) = delete;

  // Virtual milliseconds since the start.
  uint64_t nowMs() const { return backend->clock.nowNs() / 1'000'000; }

  std::unique_ptr<HeadlessBackend> backend;
  std::unique_ptr<Platform> platform;
  std::unique_ptr<AudioSystem> audio;
  std::unique_ptr<TApplication> app;
  std::unique_ptr<TForm1> form;
};

}  // namespace kv
