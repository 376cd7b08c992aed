#include "platform/record/recording_platform.h"

#include <atomic>

namespace kv {

namespace {

Record record(Call call, std::initializer_list<int64_t> values = {}) {
  Record r;
  r.call = call;
  size_t i = 0;
  for (const int64_t v : values) r.v[i++] = v;
  return r;
}

class RecordingVideo : public VideoDevice {
 public:
  RecordingVideo(VideoDevice& inner, RecordingWriter& w) : inner_(inner), w_(w) {}

  int refreshRateHz() override {
    const int hz = inner_.refreshRateHz();
    w_.add(record(Call::RefreshRate, {hz}));
    return hz;
  }
  bool openWindow() override { return answer(Call::OpenWindow, inner_.openWindow()); }
  bool createDevice() override { return answer(Call::CreateDevice, inner_.createDevice()); }
  void releaseDevice() override {
    inner_.releaseDevice();
    w_.add(record(Call::ReleaseDevice));
  }
  std::vector<DisplayModeDesc> modes() const override {
    std::vector<DisplayModeDesc> m = inner_.modes();
    if (m.size() > kMaxRecordModes) m.resize(kMaxRecordModes);  // the game sees what a replay will
    Record r = record(Call::Modes);
    r.modes = m;
    w_.add(r);
    return m;
  }
  bool setMode(const DisplayModeDesc& m) override {
    const bool ok = inner_.setMode(m);
    w_.add(record(Call::SetMode, {m.width, m.height, m.bitCount, ok}));
    return ok;
  }
  PixelLayout pixelLayout() const override {
    const PixelLayout layout = inner_.pixelLayout();
    w_.add(record(Call::PixelLayout, {layout == PixelLayout::Rgb555 ? 1 : 0}));
    return layout;
  }
  bool surfacesLost() const override { return answer(Call::SurfacesLost, inner_.surfacesLost()); }
  bool restoreSurfaces() override { return answer(Call::RestoreSurfaces, inner_.restoreSurfaces()); }
  void present(const Frame16& frame, int vblanks) override {
    inner_.present(frame, vblanks);
    w_.add(record(Call::Present, {vblanks}));
  }
  void waitForVBlank(int vblanks) override {
    inner_.waitForVBlank(vblanks);
    w_.add(record(Call::WaitVBlank, {vblanks}));
  }
  void setButtons(const std::vector<ButtonView>& buttons) override {
    inner_.setButtons(buttons);
    w_.add(record(Call::SetButtons, {static_cast<int64_t>(buttons.size())}));
  }
  void repaint() override {
    inner_.repaint();
    w_.add(record(Call::Repaint));
  }
  bool saveScreenshot(const std::string& path) override {
    return answer(Call::SaveScreenshot, inner_.saveScreenshot(path));
  }
  std::string error() const override {
    std::string text = inner_.error();
    if (text.size() > kMaxRecordText) text.resize(kMaxRecordText);
    Record r = record(Call::Error);
    r.text = text;
    w_.add(r);
    return text;
  }

 private:
  bool answer(Call call, bool ok) const {
    w_.add(record(call, {ok}));
    return ok;
  }

  VideoDevice& inner_;
  RecordingWriter& w_;
};

class RecordingEvents : public EventSource {
 public:
  RecordingEvents(EventSource& inner, RecordingWriter& w) : inner_(inner), w_(w) {}
  bool poll(Event& out) override {
    const bool pending = inner_.poll(out);
    w_.add(pending ? record(Call::Poll, {1, static_cast<int64_t>(out.kind), out.x, out.y, out.vk})
                   : record(Call::Poll, {0}));
    return pending;
  }
  void waitForEvent() override {
    w_.flushBeforeWait();
    inner_.waitForEvent();
    w_.add(record(Call::WaitEvent));
  }

 private:
  EventSource& inner_;
  RecordingWriter& w_;
};

class RecordingClock : public Clock {
 public:
  RecordingClock(Clock& inner, RecordingWriter& w) : inner_(inner), w_(w) {}
  uint32_t nowMs() override {
    const uint32_t ms = inner_.nowMs();
    w_.add(record(Call::Now, {ms}));
    return ms;
  }
  void sleepMs(uint32_t ms) override {
    if (ms >= 50) w_.flushBeforeWait();
    inner_.sleepMs(ms);
    w_.add(record(Call::Sleep, {ms}));
  }
  uint32_t seedValue() override {
    const uint32_t seed = inner_.seedValue();
    w_.add(record(Call::Seed, {seed}));
    return seed;
  }

 private:
  Clock& inner_;
  RecordingWriter& w_;
};

class RecordingInput : public InputDevices {
 public:
  RecordingInput(InputDevices& inner, RecordingWriter& w) : inner_(inner), w_(w) {}
  JoystickReading joystick(int id) override {
    const JoystickReading j = inner_.joystick(id);
    w_.add(j.present ? record(Call::Joystick, {id, 1, j.minX, j.maxX, j.minY, j.maxY, j.minZ, j.maxZ, j.x,
                                               j.y, j.z, j.buttonCount, j.buttons, j.hat})
                     : record(Call::Joystick, {id, 0}));
    return j.present ? j : JoystickReading{};  // an absent stick reads as nothing but absent
  }
  bool foreground() override {
    const bool f = inner_.foreground();
    w_.add(record(Call::Foreground, {f}));
    return f;
  }

 private:
  InputDevices& inner_;
  RecordingWriter& w_;
};

class RecordingAudio : public AudioDevice {
 public:
  RecordingAudio(AudioDevice& inner, RecordingWriter& w) : inner_(inner), w_(w) {
    inner_.setLostHandler([this] {
      w_.add(record(Call::AudioLost, {mixedSinceReport()}));
      reportLost();
    });
  }
  ~RecordingAudio() override { inner_.setLostHandler(nullptr); }
  RecordingAudio(const RecordingAudio&) = delete;
  RecordingAudio& operator=(const RecordingAudio&) = delete;

  bool open(int sampleRate, MixCallback mix) override {
    // The count outlives this object, should the card still call after it is gone.
    auto counter = mixed_;
    const bool ok = inner_.open(sampleRate, [counter, mix = std::move(mix)](int16_t* out, int frames) {
      mix(out, frames);
      counter->fetch_add(static_cast<uint64_t>(frames), std::memory_order_release);
    });
    w_.add(record(Call::AudioOpen, {sampleRate, ok}));
    return ok;
  }
  void close() override {
    inner_.close();
    w_.add(record(Call::AudioClose, {mixedSinceReport()}));
  }
  bool isOpen() const override {
    const bool open = inner_.isOpen();
    w_.add(record(Call::AudioIsOpen, {open}));
    return open;
  }
  int sampleRate() const override {
    const int rate = inner_.sampleRate();
    w_.add(record(Call::AudioRate, {rate}));
    return rate;
  }
  void lock() override {
    inner_.lock();
    w_.add(record(Call::AudioLock, {mixedSinceReport()}));
  }
  void unlock() override {
    w_.add(record(Call::AudioUnlock));
    inner_.unlock();
  }
  // The mix is held off by the lock while the game looks, so what it sees is exactly what the frames
  // counted so far left behind.
  void beginRead() override {
    inner_.lock();
    w_.add(record(Call::AudioRead, {mixedSinceReport()}));
  }
  void endRead() override {
    w_.add(record(Call::AudioReadEnd));
    inner_.unlock();
  }

  int64_t finalFrames() {
    inner_.lock();
    const int64_t frames = mixedSinceReport();
    inner_.unlock();
    return frames;
  }

 private:
  int64_t mixedSinceReport() {
    const uint64_t now = mixed_->load(std::memory_order_acquire);
    const uint64_t frames = now - reported_;
    reported_ = now;
    return static_cast<int64_t>(frames);
  }

  AudioDevice& inner_;
  RecordingWriter& w_;
  std::shared_ptr<std::atomic<uint64_t>> mixed_ = std::make_shared<std::atomic<uint64_t>>(0);
  uint64_t reported_ = 0;
};

}  // namespace

struct RecordingPlatform::Devices {
  Devices(const Platform& p, RecordingWriter& w)
      : writer(w),
        video(p.video, w),
        events(p.events, w),
        clock(p.clock, w),
        input(p.input, w),
        audio(p.audio, w) {}
  RecordingWriter& writer;
  RecordingVideo video;
  RecordingEvents events;
  RecordingClock clock;
  RecordingInput input;
  RecordingAudio audio;
};

RecordingPlatform::RecordingPlatform(const Platform& inner, RecordingWriter& writer)
    : devices_(std::make_unique<Devices>(inner, writer)) {}

RecordingPlatform::~RecordingPlatform() = default;

Platform RecordingPlatform::platform() {
  return Platform{devices_->video, devices_->events, devices_->clock, devices_->input, devices_->audio};
}

bool RecordingPlatform::finish() {
  if (devices_->writer.finished()) return !devices_->writer.failed();
  return devices_->writer.finish(record(Call::End, {devices_->audio.finalFrames()}));
}

}  // namespace kv
