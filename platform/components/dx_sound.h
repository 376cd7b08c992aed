#pragma once
// TDXSound: the sound device component. It opens the shared sound output for the sound effects and
// tells its listeners (the wave lists) as the device comes and goes, so they can make and free
// their voices. Without a sound card it stays uninitialised and the game plays silently; a card that
// goes away while the game runs finalises it the same way.
#include <cstdint>
#include <functional>
#include <vector>

namespace kv {

class AudioSystem;
class Clock;

// The steps of the device's life that listeners hear about, with their codes.
enum class TDXSoundNotifyType { Destroying = 0, Initializing = 1, Initialize = 2, Finalize = 3, Restore = 4 };

enum TDXSoundOption : uint32_t { soGlobalFocus = 1, soStickyFocus = 2, soExclusive = 4 };
using TDXSoundOptions = uint32_t;

class TDXSound;
using TDXSoundNotifyEvent = std::function<void(TDXSound& sender, TDXSoundNotifyType type)>;
using TDXSoundEvent = std::function<void(TDXSound& sender)>;

class TDXSound {
 public:
  // hasForm: the component sits on a window (without one it cannot initialise). The clock paces
  // plays that wait for their end.
  TDXSound(AudioSystem& audio, Clock& clock, bool hasForm = true);
  ~TDXSound();
  TDXSound(const TDXSound&) = delete;
  TDXSound& operator=(const TDXSound&) = delete;

  bool AutoInitialize = true;
  // Kept as stored; the shared output has no focus or exclusive modes to set.
  TDXSoundOptions Options = 0;
  TDXSoundEvent OnFinalize, OnInitialize, OnInitializing, OnRestore;

  bool Initialized() const { return initialized_; }
  // Opens the output and brings every listener up. Raises EDXSoundError "Form not found" without a
  // window and EDirectSoundError "DirectSound cannot be initialized" without a sound card.
  void Initialize();
  void Finalize();
  // The end of loading the window: with AutoInitialize the device starts; a missing sound card is
  // no error (the game runs silently).
  void Loaded();

  // Listeners; `context` identifies the registration. A listener that registers while the device
  // is initialised hears initialize and restore at once.
  void RegisterNotifyEvent(void* context, TDXSoundNotifyEvent callback);
  void UnRegisterNotifyEvent(void* context);

  AudioSystem& audio() { return audio_; }
  Clock& clock() { return clock_; }

 private:
  struct Listener {
    void* context;
    TDXSoundNotifyEvent callback;
    uint64_t id;
  };

  void notify(TDXSoundNotifyType type);
  bool registered(uint64_t id) const;
  static void raise(const TDXSoundEvent& event, TDXSound& sender) {
    if (event) event(sender);
  }

  AudioSystem& audio_;
  Clock& clock_;
  bool hasForm_;
  bool initialized_ = false;
  bool acquired_ = false;
  std::vector<Listener> listeners_;
  uint64_t nextListenerId_ = 0;
};

}  // namespace kv
