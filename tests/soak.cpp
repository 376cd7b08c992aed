// A long session in one process: PLAYS levels over all six, played by a seeded player that is
// sometimes careful (the autopilot, with a slip now and then) and sometimes wild (keys held and let go
// at random, fire, jumps, digit keys, Stop). Between ticks the promises of tests/game_invariants.h
// must hold and no exception may escape. It prints plays, wins, wrecks, points and the peak resident
// memory after 10 plays and after the last, and fails when the peak grew by more than 5% between them.
//   kv_soak [PLAYS [SEED]]
#include <sys/resource.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "core/game_observer.h"
#include "state/game_state.h"
#include "tests/autopilot.h"
#include "tests/game_fixture.h"
#include "tests/game_invariants.h"

namespace {

using kv::game;

constexpr int kLeft = 37, kUp = 38, kRight = 39, kSpace = 32;
// A level lasts well under this many ticks; a level still running then is stuck.
constexpr int64_t kMaxTicksPerPlay = 200'000;
constexpr int kMemoryPlays = 10;

class Counter : public kv::GameObserver {
 public:
  void levelStarted() override { ++counts.starts; }
  void levelEnded() override { ++counts.ends; }
  kv::test::LevelCounts counts;
};

long peakResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

[[noreturn]] void fail(int play, const std::string& why) {
  std::fprintf(stderr, "soak: play %d: %s\n", play, why.c_str());
  std::exit(1);
}

struct Totals {
  int plays = 0, wins = 0, wonWrecked = 0, wrecks = 0, stopped = 0;
  long peakAfterTenKb = 0;
};

// One level, from the selection screen to its end.
void playOne(kv::test::GameFixture& g, kv::test::Autopilot& careful, Counter& counter, std::mt19937& rng,
             int play, Totals& totals) {
  auto chance = [&](int perThousand) { return static_cast<int>(rng() % 1000) < perThousand; };
  const int level = 1 + static_cast<int>(rng() % 6);
  const bool wild = chance(400);
  // Now and then a wild player gives up part-way with Stop.
  const int64_t stopAfter = wild && chance(250) ? static_cast<int64_t>(rng() % 3000) : -1;
  const int64_t endsBefore = counter.counts.ends;
  g.startLevel(level);
  if (!game.levelRunning) fail(play, "level " + std::to_string(level) + " did not start");
  if (game.level != level)
    fail(play, "asked for level " + std::to_string(level) + ", got " + std::to_string(game.level));

  auto& keys = g.app->keyboard();
  const int64_t startTick = game.ticks;
  while (counter.counts.ends == endsBefore) {
    if (game.ticks - startTick > kMaxTicksPerPlay) fail(play, "the level never ended");
    if (wild) {
      for (int vk : {kLeft, kUp, kRight, kSpace}) {
        if (chance(30)) keys.keyDown(vk);
        if (chance(40)) keys.keyUp(vk);
      }
      if (chance(2)) g.key('1' + static_cast<int>(rng() % 6));
    } else {
      careful.decide();
      if (chance(3)) keys.keyDown(chance(500) ? kUp : kSpace);  // a slip of the finger
    }
    if (game.ticks - startTick == stopAfter) g.click(kv::kStopButton);
    if (counter.counts.ends == endsBefore) g.idle(1);
    if (g.app->exceptionCount() > 0) fail(play, "an exception escaped an event handler");
    const std::string broken = kv::test::brokenGamePromise(*g.form, counter.counts);
    if (!broken.empty()) fail(play, broken);
  }
  for (int vk : {kLeft, kUp, kRight, kSpace}) keys.keyUp(vk);

  ++totals.plays;
  // A wreck close to the end still wins when the distance runs out before the wreck's time.
  if (game.levelWon) {
    ++totals.wins;
    if (game.wrecked) ++totals.wonWrecked;
  } else if (game.wrecked) {
    ++totals.wrecks;
  } else {
    ++totals.stopped;
  }
  if (totals.plays == kMemoryPlays) totals.peakAfterTenKb = peakResidentKb();
}

}  // namespace

int main(int argc, char** argv) {
  const int plays = argc > 1 ? std::atoi(argv[1]) : 100;
  const uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1;
  if (plays < kMemoryPlays) {
    std::fprintf(stderr, "usage: kv_soak [PLAYS [SEED]] with PLAYS of at least %d\n", kMemoryPlays);
    return 2;
  }
  std::mt19937 rng(seed);
  Totals totals;
  int32_t points = 0;
  {
    kv::test::GameFixture g(60, seed);
    Counter counter;
    g.form->setObserver(&counter);
    kv::test::Autopilot careful(g);
    for (int play = 1; play <= plays; ++play) playOne(g, careful, counter, rng, play, totals);
    if (counter.counts.starts != plays || counter.counts.ends != plays)
      fail(plays, std::to_string(counter.counts.starts) + " starts and " +
                      std::to_string(counter.counts.ends) + " ends for " + std::to_string(plays) + " plays");
    points = game.totalPoints;
    g.form->setObserver(nullptr);
  }
  const long peakKb = peakResidentKb();
  std::printf(
      "soak: %d plays (seed %u): %d won (%d of them wrecked as the distance ran out), %d lost to a "
      "wreck, %d stopped, %d points\n",
      totals.plays, seed, totals.wins, totals.wonWrecked, totals.wrecks, totals.stopped, points);
  std::printf("soak: peak resident memory %.1f MB after %d plays, %.1f MB after %d\n",
              totals.peakAfterTenKb / 1024.0, kMemoryPlays, peakKb / 1024.0, plays);
  if (peakKb > totals.peakAfterTenKb * 105 / 100) {
    std::fprintf(stderr, "soak: the peak memory grew by more than 5%% after play %d\n", kMemoryPlays);
    return 1;
  }
  return 0;
}
