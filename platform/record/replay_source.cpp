#include "platform/record/replay_source.h"

#include <algorithm>
#include <vector>

#include "platform/support/builtin_glyphs.h"
#include "platform/support/screen_composer.h"
#include "platform/support/stored_frame.h"

namespace kv {

namespace {

// What a display offers when the replay has stopped and the game still asks.
const std::vector<DisplayModeDesc>& standardModes() {
  static const std::vector<DisplayModeDesc> modes{
      {640, 480, 16}, {800, 600, 8}, {800, 600, 16}, {800, 600, 32}};
  return modes;
}

// The person watching sees each frame when the recorded clock says it was shown.
class Pacer {
 public:
  Pacer(ReplayCursor& cursor, ReplayViewer& viewer) : cursor_(cursor), viewer_(viewer) {}

  // Waits until real time has caught up with the recorded clock (ahead by aheadMs: a recorded sleep),
  // keeping the window answering.
  void pace(uint32_t aheadMs = 0) {
    if (!viewer_.clock) return;
    const uint32_t recorded = cursor_.nowMs() + aheadMs;
    if (!started_) {
      started_ = true;
      recordedStart_ = recorded;
      realStart_ = viewer_.clock->nowMs();
    }
    const uint32_t due = recorded - recordedStart_;
    for (;;) {
      pump();
      const uint32_t elapsed = viewer_.clock->nowMs() - realStart_;
      if (cursor_.stopped() || elapsed >= due) return;
      viewer_.clock->sleepMs(std::min<uint32_t>(due - elapsed, 20));
    }
  }

  // The viewer's own events: its close ends the replay; the rest only concern its window.
  void pump() {
    if (!viewer_.events) return;
    Event e;
    while (viewer_.events->poll(e)) {
      if (e.kind == Event::Kind::Quit) {
        cursor_.stop(ReplayCursor::Outcome::ViewerClosed, "the window showing the replay was closed");
      } else if (e.kind == Event::Kind::SizeStart) {
        viewer_.video->releaseDevice();
      } else if (e.kind == Event::Kind::SizeEnd) {
        viewer_.video->createDevice();
        viewer_.video->repaint();
      } else if (e.kind == Event::Kind::Expose) {
        viewer_.video->repaint();
      }
    }
  }

 private:
  ReplayCursor& cursor_;
  ReplayViewer& viewer_;
  bool started_ = false;
  uint32_t recordedStart_ = 0, realStart_ = 0;
};

class ReplayVideo : public VideoDevice {
 public:
  ReplayVideo(ReplayCursor& c, ReplayViewer& viewer, Pacer& pacer) : c_(c), viewer_(viewer), pacer_(pacer) {}

  int refreshRateHz() override {
    const Record* r = c_.take(Call::RefreshRate);
    return r ? static_cast<int>(r->v[0]) : 60;
  }
  bool openWindow() override {
    const bool ok = flag(Call::OpenWindow, true);
    if (ok && viewer_.video && !viewer_.video->openWindow())
      c_.stop(ReplayCursor::Outcome::ViewerFailed,
              "cannot open the window to show the replay: " + viewer_.video->error());
    return ok;
  }
  bool createDevice() override {
    const bool ok = flag(Call::CreateDevice, true);
    if (ok && viewer_.video) viewer_.video->createDevice();
    return ok;
  }
  void releaseDevice() override {
    c_.take(Call::ReleaseDevice);
    if (viewer_.video) viewer_.video->releaseDevice();
  }
  std::vector<DisplayModeDesc> modes() const override {
    const Record* r = c_.take(Call::Modes);
    return r ? r->modes : standardModes();
  }
  bool setMode(const DisplayModeDesc& m) override {
    const Record* r = c_.take(Call::SetMode);
    if (!c_.sameArgument(r, 0, m.width) || !c_.sameArgument(r, 1, m.height) ||
        !c_.sameArgument(r, 2, m.bitCount))
      return true;
    if (r->v[3] && viewer_.video) viewer_.video->setMode(m);
    return r->v[3] != 0;
  }
  PixelLayout pixelLayout() const override {
    const Record* r = c_.take(Call::PixelLayout);
    return r && r->v[0] ? PixelLayout::Rgb555 : PixelLayout::Rgb565;
  }
  bool surfacesLost() const override { return flag(Call::SurfacesLost, false); }
  bool restoreSurfaces() override {
    const bool ok = flag(Call::RestoreSurfaces, true);
    if (ok && viewer_.video) viewer_.video->restoreSurfaces();
    return ok;
  }
  void present(const Frame16& frame, int vblanks) override {
    c_.sameArgument(c_.take(Call::Present), 0, vblanks);
    frame_.assign(frame);
    if (viewer_.video) {
      pacer_.pace();
      viewer_.video->present(frame, 0);
    }
  }
  void waitForVBlank(int vblanks) override {
    c_.sameArgument(c_.take(Call::WaitVBlank), 0, vblanks);
    pacer_.pace();
  }
  void setButtons(const std::vector<ButtonView>& buttons) override {
    c_.sameArgument(c_.take(Call::SetButtons), 0, static_cast<int64_t>(buttons.size()));
    buttons_ = buttons;
    if (viewer_.video) viewer_.video->setButtons(buttons);
  }
  void repaint() override {
    c_.take(Call::Repaint);
    if (viewer_.video) viewer_.video->repaint();
  }
  // A replay writes no file the recorded run wrote; it answers as that run's display did.
  bool saveScreenshot(const std::string&) override { return flag(Call::SaveScreenshot, false); }
  std::string error() const override {
    const Record* r = c_.take(Call::Error);
    return r ? r->text : std::string();
  }

  RgbImage screen() const {
    const Frame16 f = frame_.view();
    return composeScreen(frame_.empty() ? nullptr : &f, buttons_, glyphs_);
  }

 private:
  bool flag(Call call, bool otherwise) const {
    const Record* r = c_.take(call);
    return r ? r->v[0] != 0 : otherwise;
  }

  ReplayCursor& c_;
  ReplayViewer& viewer_;
  Pacer& pacer_;
  StoredFrame frame_;
  std::vector<ButtonView> buttons_;
  mutable BuiltinGlyphs glyphs_;
};

class ReplayEvents : public EventSource {
 public:
  ReplayEvents(ReplayCursor& c, Pacer& pacer) : c_(c), pacer_(pacer) {}
  bool poll(Event& out) override {
    if (tick_ && !c_.stopped()) tick_(c_.nowMs());
    pacer_.pump();
    const Record* r = c_.take(Call::Poll);
    if (!r || r->v[0] == 0) return false;
    out = Event{};
    out.kind = static_cast<Event::Kind>(r->v[1]);
    out.x = static_cast<int>(r->v[2]);
    out.y = static_cast<int>(r->v[3]);
    out.vk = static_cast<int>(r->v[4]);
    return true;
  }
  void waitForEvent() override { c_.take(Call::WaitEvent); }

  std::function<void(uint32_t)> tick_;

 private:
  ReplayCursor& c_;
  Pacer& pacer_;
};

// A viewer waits at every clock read and sleep until the recorded moment has come.
class ReplayClock : public Clock {
 public:
  ReplayClock(ReplayCursor& c, Pacer& pacer) : c_(c), pacer_(pacer) {}
  uint32_t nowMs() override {
    c_.take(Call::Now);
    pacer_.pace();
    return c_.nowMs();  // time stands still once the replay has stopped
  }
  void sleepMs(uint32_t ms) override {
    if (c_.sameArgument(c_.take(Call::Sleep), 0, ms)) pacer_.pace(ms);
  }
  uint32_t seedValue() override {
    const Record* r = c_.take(Call::Seed);
    return r ? static_cast<uint32_t>(r->v[0]) : 0;
  }

 private:
  ReplayCursor& c_;
  Pacer& pacer_;
};

class ReplayInput : public InputDevices {
 public:
  explicit ReplayInput(ReplayCursor& c) : c_(c) {}
  JoystickReading joystick(int id) override {
    const Record* r = c_.take(Call::Joystick);
    if (!c_.sameArgument(r, 0, id) || r->v[1] == 0) return {};
    JoystickReading j;
    j.present = true;
    int* fields[] = {&j.minX, &j.maxX, &j.minY, &j.maxY, &j.minZ, &j.maxZ, &j.x, &j.y, &j.z, &j.buttonCount};
    for (size_t i = 0; i < std::size(fields); ++i) *fields[i] = static_cast<int>(r->v[i + 2]);
    j.buttons = static_cast<uint32_t>(r->v[12]);
    j.hat = static_cast<uint8_t>(r->v[13]);
    return j;
  }
  bool foreground() override {
    const Record* r = c_.take(Call::Foreground);
    return r ? r->v[0] != 0 : true;
  }

 private:
  ReplayCursor& c_;
};

// The card mixes on the game's thread, at each lock and each look, the frames the recorded card had
// mixed by then: the mixer's voices end and move on exactly as the game saw them.
class ReplayAudio : public AudioDevice {
 public:
  explicit ReplayAudio(ReplayCursor& c) : c_(c) {
    c_.onLost([this](const Record& r) {
      mixFrames(r.v[0]);
      open_ = false;
      mix_ = nullptr;
      reportLost();
    });
  }

  bool open(int sampleRate, MixCallback mix) override {
    const Record* r = c_.take(Call::AudioOpen);
    if (!c_.sameArgument(r, 0, sampleRate) || r->v[1] == 0) return false;
    open_ = true;
    mix_ = std::move(mix);
    askedRate_ = sampleRate;
    openedAtMs_ = c_.nowMs();
    padded_ = false;  // the silence while it was closed comes before its first frames
    return true;
  }
  void close() override {
    const Record* r = c_.take(Call::AudioClose);
    if (r) mixFrames(r->v[0]);
    open_ = false;
    mix_ = nullptr;
  }
  bool isOpen() const override {
    const Record* r = c_.take(Call::AudioIsOpen);
    return r && r->v[0] != 0;
  }
  int sampleRate() const override {
    const Record* r = c_.take(Call::AudioRate);
    if (!r) return 44100;
    if (open_ && knownRate_ == 0 && r->v[0] > 0) knownRate_ = static_cast<int>(r->v[0]);
    return static_cast<int>(r->v[0]);
  }
  void lock() override { mixAnswer(Call::AudioLock); }
  void unlock() override { c_.take(Call::AudioUnlock); }
  void beginRead() override { mixAnswer(Call::AudioRead); }
  void endRead() override { c_.take(Call::AudioReadEnd); }

  void finish() {
    const Record* r = c_.takeEnd();
    if (r) mixFrames(r->v[0]);
    if (!open_ && sink_) padTo(c_.nowMs());
  }
  int rate() const { return knownRate_ > 0 ? knownRate_ : askedRate_ > 0 ? askedRate_ : 44100; }
  void setSink(ReplaySource::SoundSink sink) { sink_ = std::move(sink); }

 private:
  void mixAnswer(Call call) {
    const Record* r = c_.take(call);
    if (r) mixFrames(r->v[0]);
  }

  void mixFrames(int64_t frames) {
    if (frames <= 0 || c_.stopped()) return;
    if (!mix_) {
      c_.stop(ReplayCursor::Outcome::Failed,
              "the recording is damaged: its sound card plays while it is closed");
      return;
    }
    if (sink_ && !padded_) {
      padTo(openedAtMs_);
      padded_ = true;
    }
    constexpr int64_t kChunk = 4096;
    buffer_.resize(2 * kChunk);
    while (frames > 0) {
      const int n = static_cast<int>(std::min(frames, kChunk));
      std::fill_n(buffer_.begin(), 2 * n, int16_t{0});
      mix_(buffer_.data(), n);
      if (sink_) sink_(buffer_.data(), n);
      written_ += static_cast<uint64_t>(n);
      frames -= n;
    }
  }

  // Silence from where the sound so far ends up to ms on the recorded clock.
  void padTo(uint32_t ms) {
    const uint64_t target = uint64_t{ms} * static_cast<uint64_t>(rate()) / 1000;
    const std::vector<int16_t> silence(2 * 4096, 0);
    while (written_ < target) {
      const int n = static_cast<int>(std::min<uint64_t>(target - written_, 4096));
      sink_(silence.data(), n);
      written_ += static_cast<uint64_t>(n);
    }
  }

  ReplayCursor& c_;
  MixCallback mix_;
  ReplaySource::SoundSink sink_;
  std::vector<int16_t> buffer_;
  bool open_ = false;
  bool padded_ = false;
  int askedRate_ = 0;
  mutable int knownRate_ = 0;
  uint32_t openedAtMs_ = 0;
  uint64_t written_ = 0;
};

}  // namespace

struct ReplaySource::Devices {
  explicit Devices(ReplayCursor& c)
      : pacer(c, viewer), video(c, viewer, pacer), events(c, pacer), clock(c, pacer), input(c), audio(c) {}
  ReplayViewer viewer;
  Pacer pacer;
  ReplayVideo video;
  ReplayEvents events;
  ReplayClock clock;
  ReplayInput input;
  ReplayAudio audio;
};

ReplaySource::ReplaySource(RecordingFile file, const RecordingSummary& summary, std::string thisProgram)
    : file_(std::move(file)),
      cursor_(file_, summary, std::move(thisProgram)),
      devices_(std::make_unique<Devices>(cursor_)) {}

ReplaySource::~ReplaySource() = default;

Platform ReplaySource::platform() {
  return Platform{devices_->video, devices_->events, devices_->clock, devices_->input, devices_->audio};
}

void ReplaySource::setViewer(const ReplayViewer& viewer) {
  devices_->viewer = viewer;
}

void ReplaySource::onStop(std::function<void()> listener) {
  cursor_.onStop(std::move(listener));
}

void ReplaySource::onPoll(std::function<void(uint32_t)> tick) {
  devices_->events.tick_ = std::move(tick);
}

void ReplaySource::setSoundSink(SoundSink sink) {
  devices_->audio.setSink(std::move(sink));
}

int ReplaySource::soundRate() const {
  return devices_->audio.rate();
}

void ReplaySource::finish() {
  devices_->audio.finish();
}

RgbImage ReplaySource::screen() const {
  return devices_->video.screen();
}

}  // namespace kv
