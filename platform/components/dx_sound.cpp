#include "platform/components/dx_sound.h"

#include <algorithm>

#include "platform/audio/audio_system.h"
#include "platform/components/component_errors.h"

namespace kv {

TDXSound::TDXSound(AudioSystem& audio, Clock& clock, bool hasForm)
    : audio_(audio), clock_(clock), hasForm_(hasForm) {
  // A card lost while the game runs leaves the effects as if there had never been one.
  audio_.addLossListener(this, [this] { Finalize(); });
}

TDXSound::~TDXSound() {
  try {
    Finalize();
  } catch (const std::exception&) {
    // A listener's failure while the device goes away changes nothing any more.
  }
  notify(TDXSoundNotifyType::Destroying);
  audio_.removeLossListener(this);
}

void TDXSound::Initialize() {
  Finalize();
  if (!hasForm_) throw EDXSoundError("Form not found");
  notify(TDXSoundNotifyType::Initializing);
  raise(OnInitializing, *this);
  if (!audio_.acquire()) {
    throw EDirectSoundError(formatMessage("%s cannot be initialized", "DirectSound"));
  }
  acquired_ = true;
  initialized_ = true;
  notify(TDXSoundNotifyType::Initialize);
  raise(OnInitialize, *this);
  notify(TDXSoundNotifyType::Restore);
  raise(OnRestore, *this);
}

void TDXSound::Finalize() {
  if (initialized_) {
    initialized_ = false;
    // Listeners free their voices while the output is still theirs.
    notify(TDXSoundNotifyType::Finalize);
    raise(OnFinalize, *this);
  }
  if (acquired_) {
    acquired_ = false;
    audio_.release();
  }
}

void TDXSound::Loaded() {
  if (!AutoInitialize) return;
  try {
    Initialize();
  } catch (const EDirectSoundError&) {
    // No sound card: the effects stay silent.
  }
}

void TDXSound::RegisterNotifyEvent(void* context, TDXSoundNotifyEvent callback) {
  listeners_.push_back({context, std::move(callback), nextListenerId_++});
  const Listener l = listeners_.back();
  if (!initialized_) return;
  if (l.callback) l.callback(*this, TDXSoundNotifyType::Initialize);
  if (registered(l.id) && l.callback) l.callback(*this, TDXSoundNotifyType::Restore);
}

void TDXSound::UnRegisterNotifyEvent(void* context) {
  std::erase_if(listeners_, [context](const Listener& l) { return l.context == context; });
}

bool TDXSound::registered(uint64_t id) const {
  return std::any_of(listeners_.begin(), listeners_.end(), [id](const Listener& l) { return l.id == id; });
}

void TDXSound::notify(TDXSoundNotifyType type) {
  // Listeners may come and go while they are told: the step goes to those registered when it was
  // sent that have not left since.
  const std::vector<Listener> snapshot = listeners_;
  for (const Listener& l : snapshot) {
    if (registered(l.id) && l.callback) l.callback(*this, type);
  }
}

}  // namespace kv
