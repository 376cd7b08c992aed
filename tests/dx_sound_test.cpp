// The sound device component and the wave list's playback on the virtual sound card.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/audio/audio_system.h"
#include "platform/components/component_errors.h"
#include "platform/components/dx_sound.h"
#include "platform/components/wave_list.h"
#include "platform/headless/virtual_audio.h"
#include "platform/headless/virtual_clock.h"

namespace kv {
namespace {

constexpr uint64_t kMs = 1'000'000;

// A card that counts how often the game takes its lock.
class CountingCard : public VirtualAudio {
 public:
  using VirtualAudio::VirtualAudio;
  void lock() override { ++locks; }
  int locks = 0;
};

class DXSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    audio.mixer().setDeclickFrames(0);  // exact sample values
    card.setTap([this](const int16_t* s, int frames) {
      for (int i = 0; i < frames; ++i) heard.push_back(s[2 * i]);
    });
  }
  // 16-bit mono at 44100 Hz: `frames` samples of `level`, or a ramp 0, 1, 2... when level is 0.
  TWaveCollectionItem& addEntry(int frames, int16_t level, bool looped = false) {
    TWaveCollectionItem& item = list.Items().Add();
    item.Wave.format = pcmFormat(44100, 16, 1);
    for (int i = 0; i < frames; ++i) {
      const auto v = static_cast<uint16_t>(level ? level : i);
      item.Wave.data.push_back(static_cast<uint8_t>(v & 0xFF));
      item.Wave.data.push_back(static_cast<uint8_t>(v >> 8));
    }
    item.SetLooped(looped);
    return item;
  }
  void start() {
    list.SetDXSound(&sound);
    sound.Loaded();
  }
  void advanceMs(uint64_t ms) { clock.advanceTo(clock.nowNs() + ms * kMs); }

  VirtualClock clock;
  CountingCard card{clock};
  AudioSystem audio{card};
  TDXSound sound{audio, clock};
  TDXWaveList list;
  std::vector<int16_t> heard;
};

TEST_F(DXSoundTest, OverlappingPlaysTakeACopyEachAndFinishedCopiesAreReused) {
  TWaveCollectionItem& shot = addEntry(4410, 1000);  // 100 ms
  start();
  for (int i = 0; i < 3; ++i) {
    shot.PlayWave(false);
    advanceMs(10);
  }
  ASSERT_EQ(shot.copies().size(), 3u);
  EXPECT_TRUE(shot.IsWavePlaying());
  EXPECT_EQ(heard.back(), 3000);  // all three sound together
  const std::vector<VoiceId> copies = shot.copies();
  advanceMs(100);
  EXPECT_FALSE(shot.IsWavePlaying());
  EXPECT_EQ(heard.back(), 0);
  shot.PlayWave(false);
  EXPECT_EQ(shot.copies(), copies);  // the first copy plays again; nothing new is made
  EXPECT_TRUE(audio.mixer().isPlaying(copies[0]));
  EXPECT_FALSE(audio.mixer().isPlaying(copies[1]));
  EXPECT_EQ(shot.playWaveCalls(), 4u);
  shot.PlayWave(false);
  shot.StopWave();  // every copy stops and stays
  EXPECT_FALSE(shot.IsWavePlaying());
  EXPECT_EQ(shot.copies(), copies);
}

TEST_F(DXSoundTest, AtTheLimitOfCopiesTheOldestStartsOverAndBecomesTheNewest) {
  TWaveCollectionItem& shot = addEntry(44100, 0);  // a one-second ramp: the level tells the position
  shot.SetMaxPlayingCount(2);
  start();
  shot.PlayWave(false);
  advanceMs(20);
  shot.PlayWave(false);
  advanceMs(20);
  const VoiceId oldest = shot.copies()[0], newer = shot.copies()[1];
  shot.PlayWave(false);
  EXPECT_EQ(shot.copies(), (std::vector<VoiceId>{newer, oldest}));
  EXPECT_EQ(audio.mixer().position(oldest), 0);
  advanceMs(10);
  EXPECT_EQ(audio.mixer().position(oldest), 441);
  EXPECT_EQ(audio.mixer().position(newer), 1323);
  EXPECT_EQ(heard.back(), 440 + 1322);  // still two voices
  // A new limit frees the copies; the same limit again keeps them.
  shot.SetMaxPlayingCount(2);
  EXPECT_EQ(shot.copies().size(), 2u);
  shot.SetMaxPlayingCount(-4);
  EXPECT_EQ(shot.MaxPlayingCount(), 0);
  EXPECT_TRUE(shot.copies().empty());
  EXPECT_FALSE(audio.mixer().hasVoice(oldest));
  EXPECT_FALSE(shot.IsWavePlaying());
}

TEST_F(DXSoundTest, TheLoopedEngineChangesPitchWithoutRestartingAndStopsInTheSameTick) {
  TWaveCollectionItem& engine = addEntry(44100, 0, true);
  start();
  engine.PlayWave(false);
  advanceMs(100);
  EXPECT_EQ(audio.mixer().position(engine.mainVoice()), 4410);
  engine.SetPlayFrequency(88200);
  advanceMs(10);
  EXPECT_EQ(audio.mixer().position(engine.mainVoice()), 4410 + 882);  // on from where it was, twice as fast
  EXPECT_TRUE(engine.IsWavePlaying());
  EXPECT_TRUE(engine.copies().empty());

  // Set on every tick, the same pitch takes the lock only when it changes.
  const int locksBefore = card.locks;
  for (int tick = 0; tick < 100; ++tick) {
    engine.SetPlayFrequency(tick < 50 ? 88200 : 35000);
    (void)engine.IsWavePlaying();
  }
  EXPECT_EQ(card.locks - locksBefore, 1);

  // Starting it again restarts it from the top on its one voice.
  engine.PlayWave(false);
  EXPECT_EQ(audio.mixer().position(engine.mainVoice()), 0);
  EXPECT_EQ(audio.mixer().rate(engine.mainVoice()), 35000);
  advanceMs(1000);
  EXPECT_TRUE(engine.IsWavePlaying());  // around the loop
  // The level's last tick re-pitches it, then the level end stops it: silence.
  engine.SetPlayFrequency(55000);
  engine.StopWave();
  heard.clear();
  advanceMs(10);
  EXPECT_FALSE(engine.IsWavePlaying());
  EXPECT_EQ(heard, std::vector<int16_t>(441, 0));
  // A change of the loop flag stops the entry first.
  engine.PlayWave(false);
  engine.SetLooped(false);
  EXPECT_FALSE(audio.mixer().isPlaying(engine.mainVoice()));
}

TEST_F(DXSoundTest, WithoutASoundCardEveryCallDoesNothing) {
  card.setOpenFails(true);
  TWaveCollectionItem& shot = addEntry(100, 1000);
  TWaveCollectionItem& engine = addEntry(100, 1000, true);
  start();  // the missing card is no error
  EXPECT_FALSE(sound.Initialized());
  EXPECT_FALSE(shot.Initialized());
  shot.PlayWave(true);  // returns at once, though it asks to wait
  engine.PlayWave(false);
  engine.SetPlayFrequency(45000);
  engine.StopWave();
  EXPECT_FALSE(shot.IsWavePlaying());
  EXPECT_FALSE(engine.IsWavePlaying());
  EXPECT_EQ(shot.mainVoice(), 0u);
  EXPECT_EQ(clock.nowNs(), 0u);
  EXPECT_EQ(shot.playWaveCalls(), 1u);
  EXPECT_EQ(engine.PlayFrequency(), 45000);
  try {
    sound.Initialize();
    ADD_FAILURE() << "no card, yet initialised";
  } catch (const EDirectSoundError& e) {
    EXPECT_STREQ(e.what(), "DirectSound cannot be initialized");
  }
  TDXSound homeless(audio, clock, false);
  EXPECT_THROW(homeless.Loaded(), EDXSoundError);  // "Form not found" is not caught
}

TEST(DXSoundWaitTest, AWaitOnACardThatStoppedPullingEndsASecondAfterTheSound) {
  // A card that says it is open but never mixes, as one that died before anyone was told.
  struct DeadCard : AudioDevice {
    bool open(int, MixCallback) override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    int sampleRate() const override { return 44100; }
    void lock() override {}
    void unlock() override {}
  } card;
  VirtualClock clock;
  AudioSystem audio(card);
  TDXSound sound(audio, clock);
  TDXWaveList list;
  TWaveCollectionItem& jump = list.Items().Add();
  jump.Wave = {pcmFormat(22050, 8, 1), std::vector<uint8_t>(11025, 200)};  // half a second
  list.SetDXSound(&sound);
  sound.Loaded();
  jump.PlayWave(true);
  EXPECT_EQ(clock.nowNs(), 1500 * kMs);
}

TEST_F(DXSoundTest, TheDeviceBringsItsListsUpAndDownInOrder) {
  std::vector<int> steps;
  sound.RegisterNotifyEvent(&steps,
                            [&](TDXSound&, TDXSoundNotifyType t) { steps.push_back(static_cast<int>(t)); });
  TWaveCollectionItem& shot = addEntry(100, 1000);
  shot.SetPlayFrequency(22050);
  sound.Loaded();
  EXPECT_EQ(steps, (std::vector<int>{1, 2, 4}));
  EXPECT_FALSE(shot.Initialized());  // its list has no device yet
  list.SetDXSound(&sound);           // an initialised device brings it up at once
  ASSERT_TRUE(shot.Initialized());
  const VoiceId main = shot.mainVoice();
  EXPECT_EQ(audio.mixer().rate(main), 22050);
  shot.PlayWave(true);
  EXPECT_EQ(clock.nowNs(), 10 * kMs);  // 100 frames at half speed end within the first 10 ms
  EXPECT_FALSE(shot.IsWavePlaying());
  list.SetDXSound(nullptr);
  EXPECT_FALSE(shot.Initialized());
  EXPECT_FALSE(audio.mixer().hasVoice(main));
  sound.Finalize();
  EXPECT_EQ(steps.back(), 3);
  EXPECT_FALSE(audio.isOpen());
  sound.UnRegisterNotifyEvent(&steps);

  TWaveCollectionItem& stereo = addEntry(100, 1000);
  stereo.Wave.format = pcmFormat(44100, 16, 2);
  list.SetDXSound(&sound);
  EXPECT_THROW(sound.Initialize(), EDirectSoundBufferError);
}

TEST_F(DXSoundTest, ALostCardLeavesEveryEntrySilentAndTheRecordingCountsItAsSilence) {
  VirtualClock c;
  VirtualAudio lostCard(c);
  std::vector<int16_t> recorded;
  lostCard.record(44100,
                  [&](const int16_t* s, int frames) { recorded.insert(recorded.end(), s, s + 2 * frames); });
  AudioSystem system(lostCard);
  system.mixer().setDeclickFrames(0);
  TDXSound device(system, c);
  TDXWaveList effects;
  TWaveCollectionItem& engine = effects.Items().Add();
  engine.Wave = {pcmFormat(44100, 16, 1), std::vector<uint8_t>(200, 0x10)};  // 4112 all along
  engine.SetLooped(true);
  effects.SetDXSound(&device);
  c.advanceTo(100 * kMs);         // the card opens late: the recording starts with silence
  ASSERT_TRUE(system.acquire());  // another user, as the music is
  device.Loaded();
  engine.PlayWave(false);
  c.advanceTo(300 * kMs);
  lostCard.simulateLoss();
  EXPECT_FALSE(device.Initialized());
  EXPECT_FALSE(engine.IsWavePlaying());
  EXPECT_FALSE(system.isOpen());
  EXPECT_FALSE(system.acquire());  // gone while the music still holds it
  engine.PlayWave(false);
  EXPECT_FALSE(engine.IsWavePlaying());
  c.advanceTo(500 * kMs + 123);
  lostCard.finishRecording();
  ASSERT_EQ(recorded.size(), 2u * 22050);
  EXPECT_EQ(recorded[2 * 4409], 0);
  EXPECT_EQ(recorded[2 * 4410], 4112);
  EXPECT_EQ(recorded[2 * 13229 + 1], 4112);
  EXPECT_EQ(recorded[2 * 13230], 0);
  EXPECT_EQ(recorded.back(), 0);
  system.release();
}

}  // namespace
}  // namespace kv
