#include "gfx/dxdraw.h"

#include <algorithm>
#include <exception>
#include <string>

#include "platform/components/component_errors.h"
#include "platform/seam/video_device.h"

namespace kv {

namespace {

// Clears a flag when the scope ends, also when an exception leaves it.
class FlagGuard {
 public:
  explicit FlagGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~FlagGuard() { flag_ = false; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

 private:
  bool& flag_;
};

}  // namespace

TDXDraw::TDXDraw(VideoDevice& video, bool hasForm)
    : video_(video), hasForm_(hasForm), nowOptions_(deriveNowOptions(options_)) {}

TDXDraw::~TDXDraw() {
  try {
    Finalize();
  } catch (const std::exception&) {
    // A listener's failure while the display goes away changes nothing any more.
  }
  notify(TDXDrawNotifyType::Destroying);
}

void TDXDraw::SetOptions(TDXDrawOptions options) {
  options_ = options;
  nowOptions_ = initialized_ ? deriveNowOptionsInitialized(nowOptions_, options) : deriveNowOptions(options);
}

int32_t TDXDraw::SurfaceWidth() const {
  return surface_ && surface_->Exists() ? surface_->Width() : surfaceWidth_;
}

int32_t TDXDraw::SurfaceHeight() const {
  return surface_ && surface_->Exists() ? surface_->Height() : surfaceHeight_;
}

void TDXDraw::SetSurfaceSize(int32_t width, int32_t height) {
  if (width != SurfaceWidth() || height != SurfaceHeight()) resizeSurface(width, height);
  notify(TDXDrawNotifyType::SetSurfaceSize);
}

void TDXDraw::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  if (!AutoSize || busy_) return;
  if (width == SurfaceWidth() && height == SurfaceHeight()) return;
  resizeSurface(width, height);
  notify(TDXDrawNotifyType::SetSurfaceSize);
}

void TDXDraw::resizeSurface(int32_t width, int32_t height) {
  surfaceWidth_ = width;
  surfaceHeight_ = height;
  if (!initialized_) return;
  notify(TDXDrawNotifyType::FinalizeSurface);
  if (OnFinalizeSurface) OnFinalizeSurface(*this);
  try {
    if (!makeDrawingSurface()) throw EDXDrawError(formatMessage("%s cannot be made", std::string("Surface")));
  } catch (...) {
    Finalize();
    throw;
  }
  notify(TDXDrawNotifyType::InitializeSurface);
  if (OnInitializeSurface) OnInitializeSurface(*this);
}

const std::vector<TDXDrawDisplayMode>& TDXDraw::DisplayModes() {
  if (!modesRead_) {
    modes_ = video_.modes();
    sortModes(modes_);
    modesRead_ = true;
  }
  return modes_;
}

void TDXDraw::Initialize() {
  initAttempted_ = true;
  Finalize();
  if (!hasForm_) throw EDXDrawError("Form not found");
  if (OnInitializing) OnInitializing(*this);
  {
    // Until Restore: listeners joining now get their Restore with everyone else. Cleared also
    // when a handler or a listener raises, or later listeners would never get one.
    FlagGuard initializing(initializing_);
    {
      FlagGuard busy(busy_);
      notify(TDXDrawNotifyType::Initializing);
      try {
        // Without a device there is nothing to finalize: the driver exists only once it has one.
        if (!video_.createDevice()) {
          throw EDirectDrawError(formatMessage("%s cannot be initialized", std::string("DirectDraw")));
        }
        ddraw_ = std::make_unique<TDirectDraw>(video_);
        if (nowOptions_ & doFullScreen) {
          cooperativeLevel_ = (nowOptions_ & doNoWindowChange) ? 0x55 : 0x51;
          if (nowOptions_ & doAllowReboot) cooperativeLevel_ |= 0x02;
          const int w = Display.Width, h = Display.Height, bits = Display.BitCount();
          if (!selectDisplayMode(Display, DisplayModes(),
                                 [this](const TDXDrawDisplayMode& m) { return video_.setMode(m); })) {
            throw EDXDrawError("Display mode cannot be changed (" + std::to_string(w) + "x" +
                               std::to_string(h) + " " + std::to_string(bits) + "bit)");
          }
        } else {
          cooperativeLevel_ = 0x08;
        }
        if (AutoSize) {
          surfaceWidth_ = width_;
          surfaceHeight_ = height_;
        }
        createSurfaces();
      } catch (...) {
        busy_ = false;
        Finalize();
        throw;
      }
    }
    initialized_ = true;
    notify(TDXDrawNotifyType::SetSurfaceSize);
    stage_ = Stage::Initialized;
    notify(TDXDrawNotifyType::Initialize);
    if (OnInitialize) OnInitialize(*this);
    stage_ = Stage::SurfaceInitialized;
    notify(TDXDrawNotifyType::InitializeSurface);
    if (OnInitializeSurface) OnInitializeSurface(*this);
  }
  Restore();
}

void TDXDraw::createSurfaces() {
  const PixelLayout layout = video_.pixelLayout();
  primary_ = std::make_unique<TDirectDrawSurface>(ddraw_.get());
  const bool full = nowOptions_ & doFullScreen;
  primary_->CreatePrimary(full ? Display.Width : width_, full ? Display.Height : height_, layout);
  if (!primary_->Exists())
    throw EDXDrawError(formatMessage("%s cannot be made", std::string("Primary Surface")));
  if (!makeDrawingSurface()) throw EDXDrawError(formatMessage("%s cannot be made", std::string("Surface")));
}

bool TDXDraw::makeDrawingSurface() {
  if (!surface_) surface_ = std::make_unique<TDirectDrawSurface>(ddraw_.get());
  const int32_t w = std::max(surfaceWidth_, 1), h = std::max(surfaceHeight_, 1);
  const PixelLayout layout = video_.pixelLayout();
  if (!surface_->Create(w, h, layout)) {
    // A second try in system memory, as a device short of video memory would allow.
    if (!surface_->Create(w, h, layout)) return false;
    nowOptions_ |= doSystemMemory;
  }
  surface_->Fill(0);
  return true;
}

void TDXDraw::Finalize() {
  if (!ddraw_) return;
  surfaceWidth_ = SurfaceWidth();
  surfaceHeight_ = SurfaceHeight();
  modes_.clear();
  modesRead_ = false;
  // Every step runs even when an earlier one raised (a handler or a listener); the first failure is
  // raised again once the device is gone.
  std::exception_ptr failure;
  auto step = [&failure](const auto& action) {
    try {
      action();
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  };
  {
    FlagGuard busy(busy_);
    step([this] {
      if (stage_ == Stage::SurfaceInitialized && OnFinalizeSurface) OnFinalizeSurface(*this);
    });
    step([this] { notify(TDXDrawNotifyType::FinalizeSurface); });
    step([this] {
      if (stage_ != Stage::None && OnFinalize) OnFinalize(*this);
    });
    step([this] { notify(TDXDrawNotifyType::Finalize); });
    initialized_ = false;
    stage_ = Stage::None;
    nowOptions_ = deriveNowOptions(options_);
    releaseDriver();
  }
  if (failure) std::rethrow_exception(failure);
}

void TDXDraw::releaseDriver() {
  surface_.reset();
  primary_.reset();
  if (ddraw_) video_.releaseDevice();
  ddraw_.reset();
}

void TDXDraw::Restore() {
  if (!initialized_ || busy_) return;
  FlagGuard busy(busy_);
  const bool primaryBack = primary_->Restore();
  const bool surfaceBack = surface_->Restore();
  if (!primaryBack || !surfaceBack) return;
  primary_->Fill(0);
  surface_->Fill(0);
  notify(TDXDrawNotifyType::Restore);
  if (OnRestoreSurface) OnRestoreSurface(*this);
}

bool TDXDraw::CanDraw() {
  if (!initialized_ || busy_ || !primary_ || !surface_) return false;
  if (!primary_->IsLost() && !surface_->IsLost()) return true;
  Restore();
  return !primary_->IsLost() && !surface_->IsLost();
}

void TDXDraw::Flip() {
  if (!initialized_ || busy_ || !CanDraw()) {
    // Nothing can be shown (the window is minimised, the surfaces are gone for good): a waiting
    // flip still takes its refresh periods, so the game never races on unseen, and once the
    // display has been shown even a flip that would not wait takes one, so the title screen's
    // animation does not spin (on virtual time, where nothing else moves the clock, it would
    // never end).
    if (busy_) return;
    if (nowOptions_ & doWaitVBlank) {
      video_.waitForVBlank(vblanksPerFlip_);
    } else if (initAttempted_) {
      video_.waitForVBlank(1);
    }
    return;
  }
  const int vblanks = (nowOptions_ & doWaitVBlank) ? vblanksPerFlip_ : 0;
  video_.present(surface_->frame(), vblanks);
}

void TDXDraw::FormShown() {
  if (AutoInitialize && !initAttempted_) Initialize();
}

void TDXDraw::FormMoveSizeStart() {
  if (!formLoading_) Finalize();
}

void TDXDraw::FormMoveSizeEnd() {
  if (!formLoading_) Initialize();
}

void TDXDraw::FormDestroyed() {
  Finalize();
}

void TDXDraw::RegisterNotifyEvent(void* context, TDXDrawNotifyEvent callback) {
  listeners_.push_back({context, std::move(callback), nextListenerId_++});
  const Listener l = listeners_.back();
  // The listener may leave while it catches up; it then hears nothing more.
  notifyOne(l, TDXDrawNotifyType::SetSurfaceSize);
  if (!initialized_ || !registered(l.id)) return;
  notifyOne(l, TDXDrawNotifyType::Initialize);
  if (stage_ == Stage::SurfaceInitialized && registered(l.id))
    notifyOne(l, TDXDrawNotifyType::InitializeSurface);
  if (!initializing_ && registered(l.id)) notifyOne(l, TDXDrawNotifyType::Restore);
}

void TDXDraw::UnRegisterNotifyEvent(void* context) {
  auto it = std::find_if(listeners_.begin(), listeners_.end(),
                         [context](const Listener& l) { return l.context == context; });
  if (it == listeners_.end()) return;
  const Listener l = *it;
  listeners_.erase(it);
  if (!initialized_) return;
  if (stage_ == Stage::SurfaceInitialized) notifyOne(l, TDXDrawNotifyType::FinalizeSurface);
  if (stage_ != Stage::None) notifyOne(l, TDXDrawNotifyType::Finalize);
}

void TDXDraw::notifyOne(const Listener& l, TDXDrawNotifyType type) {
  if (l.callback) l.callback(*this, type);
}

bool TDXDraw::registered(uint64_t id) const {
  return std::any_of(listeners_.begin(), listeners_.end(), [id](const Listener& l) { return l.id == id; });
}

void TDXDraw::notify(TDXDrawNotifyType type) {
  // Listeners may register or unregister (themselves or others) while they are told: the event goes
  // to those registered when it was sent that have not left since.
  const std::vector<Listener> snapshot = listeners_;
  for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
    if (registered(it->id)) notifyOne(*it, type);
  }
}

}  // namespace kv
