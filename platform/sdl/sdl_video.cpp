#include "platform/sdl/sdl_video.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>

#include "platform/sdl/refresh_measure.h"
#include "platform/sdl/sdl_renderer_choice.h"

namespace kv {

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

bool sameView(const ButtonView& a, const ButtonView& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height &&
         a.caption == b.caption && a.pressed == b.pressed && a.enabled == b.enabled;
}

uint64_t steadyNs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

}  // namespace

SdlVideo::SdlVideo(bool windowed, std::unique_ptr<GlyphSource> glyphs)
    : windowed_(windowed), glyphs_(std::move(glyphs)) {
  pacer_.setRefreshHz(reportedRateHz());
}

SdlVideo::~SdlVideo() = default;

int SdlVideo::reportedRateHz() const {
  const int display = window_.get() ? std::max(SDL_GetWindowDisplayIndex(window_.get()), 0) : 0;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(display, &mode) != 0) return 0;
  // SDL hands the rate over in whole Hz already; 0 means it does not know.
  return std::max(mode.refresh_rate, 0);
}

int SdlVideo::refreshRateHz() {
  const int reported = reportedRateHz();
  if (reported > 1 || !prepareWindow()) return reported;
  followDisplay();
  // Nothing steady measured: the game counts that as 75 Hz, as the pacer does.
  return measuredHz_ > 1 ? measuredHz_ : reported;
}

bool SdlVideo::prepareWindow() {
  if (presenter_) return true;
  if (!window_.create(error_)) return false;
  presenter_ = createPresenter(window_.get(), *glyphs_, error_);
  return presenter_ != nullptr;
}

void SdlVideo::showWindow() {
  if (shown_) return;
  window_.show(!windowed_);
  shown_ = true;
  presenter_->invalidate();
}

bool SdlVideo::openWindow() {
  if (!prepareWindow()) return false;
  showWindow();
  followDisplay();
  show(false, 1);
  return true;
}

int SdlVideo::measureRateHz() {
  if (!presenter_ || !presenter_->canWaitForVBlank()) return 0;
  showWindow();
  // A few presents first: the window may still be appearing.
  constexpr int kWarmUp = 3, kPresents = 40;
  constexpr uint64_t kNoWaitNs = 10'000'000, kLongestNs = 1'500'000'000;
  for (int i = 0; i < kWarmUp; ++i) show(true, 1);
  std::vector<uint64_t> ends{steadyNs()};
  for (int i = 0; i < kPresents; ++i) {
    show(true, 1);
    ends.push_back(steadyNs());
    const uint64_t took = ends.back() - ends.front();
    // Presents that do not wait at all are known after ten; a slow display is not waited for long.
    if ((i == 9 && took < kNoWaitNs) || took > kLongestNs) break;
  }
  return steadyRateHz(ends);
}

void SdlVideo::followDisplay() {
  const int display = window_.get() ? std::max(SDL_GetWindowDisplayIndex(window_.get()), 0) : 0;
  if (display == pacedDisplay_ && window_.fullScreen() == pacedFullScreen_) return;
  pacedDisplay_ = display;
  pacedFullScreen_ = window_.fullScreen();
  int hz = reportedRateHz();
  measuredHz_ = 0;
  if (hz <= 1) hz = measuredHz_ = measureRateHz();
  pacer_.setRefreshHz(hz);
  pacer_.reset();
}

uint32_t SdlVideo::windowId() const {
  return window_.get() ? SDL_GetWindowID(window_.get()) : 0;
}

bool SdlVideo::hasKeyboardFocus() const {
  return window_.get() && (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool SdlVideo::createDevice() {
  if (!presenter_) {
    error_ = "the window is not open";
    return false;
  }
  if (!presenter_->restore()) {
    error_ = std::string("the screen texture cannot be made (") + SDL_GetError() + ")";
    return false;
  }
  device_ = true;
  lost_ = false;
  dirty_ = true;
  frameChanged_ = true;
  // After a switch between full screen and a window (or to another display) the rate may differ.
  followDisplay();
  pacer_.reset();
  return true;
}

void SdlVideo::releaseDevice() {
  device_ = false;
  dirty_ = true;
}

std::vector<DisplayModeDesc> SdlVideo::modes() const {
  // The picture is scaled to whatever the desktop runs, so these are all the modes there are; the
  // bit depth only names the drawing surfaces' layout.
  return {{kScreenWidth, kScreenHeight, 16},
          {kScreenWidth, kScreenHeight, 24},
          {kScreenWidth, kScreenHeight, 32}};
}

bool SdlVideo::setMode(const DisplayModeDesc& mode) {
  if (!device_) return false;
  return mode.width == kScreenWidth && mode.height == kScreenHeight &&
         (mode.bitCount == 16 || mode.bitCount == 24 || mode.bitCount == 32);
}

void SdlVideo::windowExposed() {
  dirty_ = true;
  if (presenter_) presenter_->invalidate();
}

void SdlVideo::renderTargetsReset(bool deviceReset) {
  lost_ = true;
  dirty_ = true;
  if (presenter_) presenter_->targetsReset(deviceReset);
}

bool SdlVideo::restoreSurfaces() {
  if (!device_ || !presenter_ || !presenter_->restore()) return false;
  lost_ = false;
  dirty_ = true;
  frameChanged_ = true;
  return true;
}

const Frame16* SdlVideo::shownFrame() {
  if (!device_ || frame_.empty()) return nullptr;
  frameView_ = frame_.view();
  return &frameView_;
}

void SdlVideo::show(bool vsync, int shows) {
  presenter_->show(shownFrame(), frameChanged_, buttons_, vsync, shows);
  frameChanged_ = false;
}

void SdlVideo::present(const Frame16& frame, int vblanks) {
  if (frame.pixels && frame.width > 0 && frame.height > 0) {
    frame_.assign(frame);
    frameChanged_ = true;
  }
  if (!presenter_ || !device_) return;
  followDisplay();  // the window may have moved to another display
  const int shows = std::max(vblanks, 1);
  pacer_.present(vblanks, [this, vblanks, shows] { show(vblanks > 0, shows); });
  dirty_ = false;
}

void SdlVideo::waitForVBlank(int vblanks) {
  if (vblanks > 0) pacer_.present(vblanks, [] {});
}

void SdlVideo::setButtons(const std::vector<ButtonView>& buttons) {
  if (buttons.size() == buttons_.size() &&
      std::equal(buttons.begin(), buttons.end(), buttons_.begin(), sameView))
    return;
  buttons_ = buttons;
  dirty_ = true;
}

void SdlVideo::repaint() {
  if (!dirty_ || !presenter_) return;
  if (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_MINIMIZED) return;  // nothing to see; stays due
  // The same frame with the current buttons, at once: a repaint never waits for the vertical blank.
  show(false, 1);
  dirty_ = false;
}

bool SdlVideo::saveScreenshot(const std::string& path) {
  const Frame16 f = frame_.view();
  return writeBmp24(path, composeScreen(frame_.empty() ? nullptr : &f, buttons_, *glyphs_));
}

RgbImage SdlVideo::readBack() {
  if (!presenter_) return RgbImage(kScreenWidth, kScreenHeight);
  return presenter_->readBack(shownFrame(), buttons_);
}

}  // namespace kv
