#pragma once
// The sound card: it pulls interleaved 16-bit stereo samples from a mix callback.
#include <cstdint>
#include <functional>

namespace kv {

// Fills frames stereo frames (2 x int16 each) into out.
using MixCallback = std::function<void(int16_t* out, int frames)>;

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
  // The audio system opens the device once with its mix function; false when there is no sound card.
  virtual bool open(int sampleRate, MixCallback mix) = 0;
  // The audio system closes it when the last user lets go.
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
  // The actual output rate after open.
  virtual int sampleRate() const = 0;
  // Game code changes shared mixer state between lock and unlock (the mix may run on another thread).
  virtual void lock() = 0;
  virtual void unlock() = 0;
  // Game code reads what the mix last published (whether a voice still plays, where it is) between
  // beginRead and endRead, without the lock. A device that must know exactly how far the mix had got
  // when the game looked (a recording of the run) holds the mix off meanwhile; the others let it run.
  virtual void beginRead() {}
  virtual void endRead() {}

  // The audio system learns here that the sound card went away while it was open (unplugged, or its
  // server gone). The device has closed itself by then; the call comes on the game's thread.
  void setLostHandler(std::function<void()> handler) { lostHandler_ = std::move(handler); }

 protected:
  void reportLost() {
    if (lostHandler_) lostHandler_();
  }

 private:
  std::function<void()> lostHandler_;
};

// Holds the device lock for one scope.
class AudioLock {
 public:
  explicit AudioLock(AudioDevice* d) : d_(d) {
    if (d_) d_->lock();
  }
  ~AudioLock() {
    if (d_) d_->unlock();
  }
  AudioLock(const AudioLock&) = delete;
  AudioLock& operator=(const AudioLock&) = delete;

 private:
  AudioDevice* d_;
};

// Holds one look at what the mix published (beginRead ... endRead) for one scope.
class AudioReadGuard {
 public:
  explicit AudioReadGuard(AudioDevice* d) : d_(d) {
    if (d_) d_->beginRead();
  }
  ~AudioReadGuard() {
    if (d_) d_->endRead();
  }
  AudioReadGuard(const AudioReadGuard&) = delete;
  AudioReadGuard& operator=(const AudioReadGuard&) = delete;

 private:
  AudioDevice* d_;
};

}  // namespace kv
