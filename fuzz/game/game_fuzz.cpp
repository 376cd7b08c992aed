// The whole game on the headless back end, played by the fuzzer: its bytes become timed mouse moves
// and clicks (Play, the level buttons, Stop, Exit, anywhere), key presses and releases (the game's
// keys, the digits, any code), window events (focus, minimise, full-screen switches) and device
// faults (lost surfaces, a joystick plugged or pulled, a sound card that goes away). The game runs
// through its menus and levels for a bounded stretch of virtual time, tracing to /dev/null; after
// every idle pass the promises of tests/game_invariants.h must hold, and no exception may escape an
// event handler.
//
// Input: byte 0 picks the refresh rate and the machine (bit 4: no sound card, bit 5: a joystick
// plugged in), byte 1 the seed; then one operation a byte (low five bits: what, high three bits: how
// long to wait before it), some followed by parameter bytes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/harness_output.h"
#include "app/headless_game.h"
#include "app/trace_writer.h"
#include "core/form.h"
#include "core/form_layout.h"
#include "core/game_observer.h"
#include "fuzz/fuzz_support.h"
#include "gfx/turbopixels.h"
#include "platform/audio/audio_system.h"
#include "platform/components/application.h"
#include "platform/headless/headless_backend.h"
#include "platform/support/rgb_image.h"
#include "state/game_state.h"
#include "tests/game_invariants.h"

namespace {

using kv::Event;
using kv::ScriptEvent;

// Limits that keep one input well under a second of CPU: frames shown (a level's redraw costs about
// a millisecond under the sanitizers, a backdrop frame a tenth of that), virtual time, and how long
// the game runs on after the last operation (long enough for a wreck to end its level).
constexpr int kMaxPresents = 700;
constexpr uint64_t kMaxVirtualMs = 120'000;
constexpr uint64_t kRunOnMs = 6'000;

constexpr int kRefreshRates[16] = {60, 0, 1, 59, 60, 75, 85, 100, 119, 120, 144, 240, 360, 72, 50, 61};
constexpr uint64_t kDelaysMs[8] = {0, 16, 50, 150, 500, 1500, 3500, 8000};
// Left, Up, Right, Space, Down, H, K, L, pad 4, pad 8, pad 6, Z, Enter, apostrophe, 1, 6.
constexpr int kGameKeys[16] = {37, 38, 39, 32, 40, 72, 75, 76, 100, 104, 102, 90, 13, 222, 49, 54};

// Reads the input from the front; past its end every read gives 0.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool done() const { return at_ >= size_; }
  uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// Something done to the machine rather than sent as a window message.
struct Fault {
  enum class Kind { LoseSurfaces, ToggleRestoreFails, PlugStick, PullStick, MoveStick, LoseSoundCard, Focus };
  uint64_t timeMs = 0;
  Kind kind = Kind::LoseSurfaces;
  int x = 0, y = 0;
  uint32_t buttons = 0;
};

struct Plan {
  int refreshHz = 60;
  uint32_t seed = 0;
  bool noSoundCard = false;
  bool stick = false;
  std::vector<ScriptEvent> events;
  std::vector<Fault> faults;  // in time order, like the events
  uint64_t lastMs = 0;
};

Plan decode(const uint8_t* data, size_t size) {
  ByteReader in(data, size);
  Plan plan;
  const uint8_t machine = in.next();
  plan.refreshHz = kRefreshRates[machine & 15];
  plan.noSoundCard = (machine & 16) != 0;
  plan.stick = (machine & 32) != 0;
  plan.seed = in.next();

  uint64_t t = 0;
  auto event = [&](Event::Kind kind, int x = 0, int y = 0, int vk = 0) {
    ScriptEvent e;
    e.timeMs = t;
    e.event.kind = kind;
    e.event.x = x;
    e.event.y = y;
    e.event.vk = vk;
    e.event.path = "/dev/null";
    plan.events.push_back(e);
  };
  auto click = [&](int x, int y) {
    event(Event::Kind::MouseDown, x, y);
    event(Event::Kind::MouseUp, x, y);
  };
  auto fault = [&](Fault::Kind kind, int x = 0, int y = 0, uint32_t buttons = 0) {
    plan.faults.push_back(Fault{t, kind, x, y, buttons});
  };
  auto anyX = [&] { return in.next() * 800 / 256; };
  auto anyY = [&] { return in.next() * 600 / 256; };

  while (!in.done()) {
    const uint8_t op = in.next();
    t += kDelaysMs[op >> 5];
    const int what = op & 31;
    switch (what) {
      case 0:
        click(kv::kPlayButton.centreX(), kv::kPlayButton.centreY());
        break;  // Play
      case 1:
      case 2:
      case 3:
      case 4:
      case 5:
      case 6:
        click(kv::kLevelButtons.at(what - 1).centreX(), kv::kLevelButtons.at(what - 1).centreY());
        break;
      case 7:
        click(53, 20);
        break;  // Stop
      case 8:
        if (in.next() & 1) {
          event(Event::Kind::Quit);  // the window closed without Exit
        } else {
          click(kv::kExitButton.centreX(), kv::kExitButton.centreY());  // Exit
        }
        break;
      case 9: {
        const int x = anyX();
        click(x, anyY());
        break;
      }
      case 10: {
        const int x = anyX();
        event(Event::Kind::MouseMove, x, anyY());
        break;
      }
      case 11: {
        const int x = anyX();
        event(Event::Kind::MouseDown, x, anyY());
        break;
      }
      case 12: {
        const int x = anyX();
        event(Event::Kind::MouseUp, x, anyY());
        break;
      }
      case 13:
        event(Event::Kind::KeyDown, 0, 0, kGameKeys[in.next() & 15]);
        break;
      case 14:
        event(Event::Kind::KeyUp, 0, 0, kGameKeys[in.next() & 15]);
        break;
      case 15: {
        const int vk = kGameKeys[in.next() & 15];
        event(Event::Kind::KeyDown, 0, 0, vk);
        event(Event::Kind::KeyUp, 0, 0, vk);
        break;
      }
      case 16: {
        const int vk = 49 + in.next() % 6;
        event(Event::Kind::KeyDown, 0, 0, vk);
        event(Event::Kind::KeyUp, 0, 0, vk);
        break;
      }
      // Any code, also the ones no keyboard sends.
      case 17:
        event(Event::Kind::KeyDown, 0, 0, static_cast<int8_t>(in.next()) * 3);
        break;
      case 18:
        event(Event::Kind::KeyUp, 0, 0, static_cast<int8_t>(in.next()) * 3);
        break;
      case 19:
        event(Event::Kind::Minimize);
        break;
      case 20:
        event(Event::Kind::Restore);
        break;
      case 21:
        fault(Fault::Kind::Focus, 0);
        event(Event::Kind::Deactivate);
        break;
      case 22:
        fault(Fault::Kind::Focus, 1);
        event(Event::Kind::Activate);
        break;
      case 23:
        event(Event::Kind::SizeStart);
        break;
      case 24:
        event(Event::Kind::SizeEnd);
        break;
      case 25:
        fault(in.next() & 1 ? Fault::Kind::ToggleRestoreFails : Fault::Kind::LoseSurfaces);
        break;
      case 26:
        fault(in.next() & 1 ? Fault::Kind::PullStick : Fault::Kind::PlugStick);
        break;
      case 27: {
        const int x = in.next() * 257;
        const int y = in.next() * 257;
        fault(Fault::Kind::MoveStick, x, y, in.next());
        break;
      }
      case 28:
        fault(Fault::Kind::LoseSoundCard);
        break;
      case 29:
        event(Event::Kind::State);
        break;
      case 30:
        event(Event::Kind::Shot);
        break;
      default:
        event(Event::Kind::Terrain);
        break;
    }
  }
  plan.lastMs = t;
  return plan;
}

// Counts level starts and ends and checks the game at each, then passes them on to the trace.
class Watcher : public kv::GameObserver {
 public:
  Watcher(kv::TraceWriter& trace) : trace_(trace) {}
  void levelStarted() override {
    ++counts.starts;
    KV_FUZZ_CHECK(kv::game.distance == 0 && kv::game.ammoUsed == 0 && !kv::game.wrecked);
    check();
    trace_.levelStarted();
  }
  void levelEnded() override {
    ++counts.ends;
    check();
    trace_.levelEnded();
  }
  void check() {
    const std::string broken = kv::test::brokenGamePromise(*form, counts);
    if (!broken.empty()) kv::fuzz::violated(broken.c_str());
  }

  kv::TForm1* form = nullptr;
  kv::test::LevelCounts counts;

 private:
  kv::TraceWriter& trace_;
};

kv::HeadlessGameSettings settingsFor(const Plan& plan) {
  kv::HeadlessGameSettings s;
  s.refreshHz = plan.refreshHz;
  s.seed = plan.seed;
  s.dataDirs = {KV_FUZZ_BUILD_DATA_DIR, KV_FUZZ_SOURCE_DATA_DIR};
  s.script = plan.events;
  // A slow sound card: effects and music keep their lengths and positions, the mixer does a
  // quarter of the work.
  s.sampleRate = 11025;
  s.beforeStart = [&plan](kv::HeadlessBackend& b) {
    if (plan.noSoundCard) b.audio.setOpenFails(true);
    if (plan.stick) b.input.plugStick();
  };
  return s;
}

// One program run: the machine, the application, the game window and the harness's trace.
struct Run : kv::HeadlessGame {
  explicit Run(const Plan& plan) : HeadlessGame(settingsFor(plan)) {
    outputs.onFailure([this] { app->Terminate(); });
    trace = std::make_unique<kv::TraceWriter>(platform->clock);
    watcher = std::make_unique<Watcher>(*trace);
    watcher->form = form.get();
    form->setObserver(watcher.get());
    app->setHarnessHandler([this](const Event& e) {
      if (e.kind == Event::Kind::State) {
        trace->write("state");
      } else if (e.kind == Event::Kind::Terrain) {
        trace->writeTerrain();
      } else if (e.kind == Event::Kind::Shot) {
        kv::writeOutputFile(outputs, "the screenshot", e.path, kv::encodeBmp24(backend->display.screen()));
      }
    });
    KV_FUZZ_CHECK(form->Show());
    KV_FUZZ_CHECK(trace->open(outputs, "/dev/null"));
    trace->write("start");
  }
  // The window goes before the watcher and the trace it reports to.
  ~Run() { form.reset(); }
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;

  void apply(const Fault& f) {
    switch (f.kind) {
      case Fault::Kind::LoseSurfaces:
        backend->display.loseSurfaces();
        break;
      case Fault::Kind::ToggleRestoreFails:
        restoreFails = !restoreFails;
        backend->display.setRestoreFails(restoreFails);
        break;
      case Fault::Kind::PlugStick:
        backend->input.plugStick();
        break;
      case Fault::Kind::PullStick:
        backend->input.pullStick();
        break;
      case Fault::Kind::MoveStick:
        backend->input.stick.x = f.x;
        backend->input.stick.y = f.y;
        backend->input.stick.buttons = f.buttons;
        break;
      case Fault::Kind::LoseSoundCard:
        if (backend->audio.isOpen()) backend->audio.simulateLoss();
        break;
      case Fault::Kind::Focus:
        backend->input.inForeground = f.x != 0;
        break;
    }
  }

  kv::HarnessOutputs outputs;
  std::unique_ptr<kv::TraceWriter> trace;
  std::unique_ptr<Watcher> watcher;
  bool restoreFails = false;
};

// The main loop as the application runs it (events first, then the idle slot, waiting for the next
// event when the slot is empty), with the faults applied on time and the game checked between passes.
void play(const Plan& plan, Run& run) {
  size_t nextFault = 0;
  size_t nextEvent = 0;
  const uint64_t endMs = std::min(plan.lastMs + kRunOnMs, kMaxVirtualMs);
  while (!run.app->Terminated()) {
    const uint64_t now = run.nowMs();
    while (nextFault < plan.faults.size() && plan.faults[nextFault].timeMs <= now)
      run.apply(plan.faults[nextFault++]);
    while (nextEvent < plan.events.size() && plan.events[nextEvent].timeMs <= now) ++nextEvent;
    if (now >= endMs || run.backend->display.presentCount() >= kMaxPresents) break;

    run.app->ProcessMessages();
    if (run.app->Terminated()) break;
    const bool idle = run.app->IdleOnce();
    if (idle && !run.app->Terminated()) {
      // Nothing runs: on to the next thing the player does, or the end.
      uint64_t next = endMs;
      if (nextEvent < plan.events.size()) next = std::min(next, plan.events[nextEvent].timeMs);
      if (nextFault < plan.faults.size()) next = std::min(next, plan.faults[nextFault].timeMs);
      run.backend->clock.advanceTo(std::max(next, now + 1) * 1'000'000);
    }
    if (run.app->exceptionCount() > 0) kv::fuzz::violated("an exception escaped an event handler");
    if (!run.app->Terminated()) run.watcher->check();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Plan plan = decode(data, size);
  {
    Run run(plan);
    play(plan, run);
    // How far an input got, for whoever tunes the seeds.
    if (std::getenv("KV_FUZZ_DEBUG") != nullptr)
      std::fprintf(stderr, "frames %d, game ticks %lld, virtual ms %llu\n",
                   run.backend->display.presentCount(), static_cast<long long>(kv::game.ticks),
                   static_cast<unsigned long long>(run.nowMs()));
    if (run.app->exceptionCount() > 0) kv::fuzz::violated("an exception escaped an event handler");
    // The player goes: the window closes as the system's close would (Exit may have done it already).
    run.form->Close();
    run.trace->write("exit");
    KV_FUZZ_CHECK(run.trace->close());
    KV_FUZZ_CHECK(!run.outputs.failed());
    KV_FUZZ_CHECK(kv::game.level >= 1 && kv::game.level <= 6);
  }
  // Closing in the middle of a level takes the level's actors with the window.
  KV_FUZZ_CHECK(kv::test::invariants_detail::allActorsNull());
  kv::UnlockSurface();
  return 0;
}
