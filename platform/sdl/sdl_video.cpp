#include "platform/sdl/sdl_video.h"

#include <SDL2/SDL.h>

#include <algorithm>

#include "platform/sdl/sdl_renderer_choice.h"

namespace kv {

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
// The display control's drawing surface; frames of another size make their own texture.
constexpr int kSurfaceWidth = 800;
constexpr int kSurfaceHeight = 566;

Uint32 textureFormat(PixelLayout layout) {
  return layout == PixelLayout::Rgb565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB555;
}

}  // namespace

SdlVideo::SdlVideo(bool windowed, std::unique_ptr<GlyphSource> glyphs)
    : windowed_(windowed), glyphs_(std::move(glyphs)) {
  pacer_.setRefreshHz(refreshRateHz());
}

SdlVideo::~SdlVideo() {
  buttons_.dropTextures();
  dropTexture();
  if (renderer_) SDL_DestroyRenderer(renderer_);
}

int SdlVideo::refreshRateHz() const {
  const int display = window_.get() ? std::max(SDL_GetWindowDisplayIndex(window_.get()), 0) : 0;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(display, &mode) != 0) return 0;
  // SDL hands the rate over in whole Hz already; 0 means it does not know.
  return std::max(mode.refresh_rate, 0);
}

bool SdlVideo::openWindow() {
  if (renderer_) return true;
  if (!window_.create(error_)) return false;
  renderer_ = createWindowRenderer(window_.get());
  if (!renderer_) {
    error_ = std::string("no renderer for the window (") + SDL_GetError() + ")";
    return false;
  }
  window_.show(!windowed_);
  // The game's 800x600 screen, scaled to the window with whole pixels and black bars.
  SDL_RenderSetLogicalSize(renderer_, kScreenWidth, kScreenHeight);
  SDL_RenderSetVSync(renderer_, 0);
  vsync_ = false;
  pacer_.setRefreshHz(refreshRateHz());
  drawScene();
  SDL_RenderPresent(renderer_);
  return true;
}

const char* SdlVideo::rendererName() const {
  SDL_RendererInfo info;
  if (!renderer_ || SDL_GetRendererInfo(renderer_, &info) != 0) return "none";
  return info.name;
}

uint32_t SdlVideo::windowId() const {
  return window_.get() ? SDL_GetWindowID(window_.get()) : 0;
}

bool SdlVideo::hasKeyboardFocus() const {
  return window_.get() && (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool SdlVideo::makeTexture(int width, int height, PixelLayout layout) {
  dropTexture();
  texture_ = SDL_CreateTexture(renderer_, textureFormat(layout), SDL_TEXTUREACCESS_STREAMING, width, height);
  if (!texture_) {
    error_ = std::string("the screen texture cannot be made (") + SDL_GetError() + ")";
    return false;
  }
  textureWidth_ = width;
  textureHeight_ = height;
  textureLayout_ = layout;
  return true;
}

void SdlVideo::dropTexture() {
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = nullptr;
  textureWidth_ = textureHeight_ = 0;
}

bool SdlVideo::createDevice() {
  if (!renderer_) {
    error_ = "the window is not open";
    return false;
  }
  const bool haveFrame = !frame_.empty();
  if (!makeTexture(haveFrame ? frame_.width() : kSurfaceWidth, haveFrame ? frame_.height() : kSurfaceHeight,
                   haveFrame ? frame_.layout() : PixelLayout::Rgb565)) {
    return false;
  }
  device_ = true;
  lost_ = false;
  dirty_ = true;
  pacer_.reset();
  uploadFrame();
  return true;
}

void SdlVideo::releaseDevice() {
  dropTexture();
  device_ = false;
  dirty_ = true;
}

std::vector<DisplayModeDesc> SdlVideo::modes() const {
  // The renderer scales the 800x600 logical screen to whatever the desktop runs, so these are all
  // the modes there are; the bit depth only names the drawing surfaces' layout.
  return {{kScreenWidth, kScreenHeight, 16},
          {kScreenWidth, kScreenHeight, 24},
          {kScreenWidth, kScreenHeight, 32}};
}

bool SdlVideo::setMode(const DisplayModeDesc& mode) {
  if (!device_) return false;
  return mode.width == kScreenWidth && mode.height == kScreenHeight &&
         (mode.bitCount == 16 || mode.bitCount == 24 || mode.bitCount == 32);
}

void SdlVideo::renderTargetsReset(bool deviceReset) {
  lost_ = true;
  dirty_ = true;
  // After a device reset no texture of the old device is any good, the buttons' neither.
  if (deviceReset) buttons_.dropTextures();
}

bool SdlVideo::restoreSurfaces() {
  if (!device_ || !renderer_) return false;
  buttons_.dropTextures();
  if (!makeTexture(textureWidth_ > 0 ? textureWidth_ : kSurfaceWidth,
                   textureHeight_ > 0 ? textureHeight_ : kSurfaceHeight, textureLayout_)) {
    return false;
  }
  lost_ = false;
  dirty_ = true;
  uploadFrame();
  return true;
}

void SdlVideo::uploadFrame() {
  if (!texture_ || frame_.empty()) return;
  if (textureWidth_ != frame_.width() || textureHeight_ != frame_.height() ||
      textureLayout_ != frame_.layout()) {
    if (!makeTexture(frame_.width(), frame_.height(), frame_.layout())) return;
  }
  SDL_UpdateTexture(texture_, nullptr, frame_.pixels().data(),
                    frame_.width() * static_cast<int>(sizeof(uint16_t)));
}

void SdlVideo::drawScene() {
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  if (texture_ && device_ && !frame_.empty()) {
    // The frame sits at the top left; below it (rows 566..599 for the game) the screen stays black.
    const int w = std::min(frame_.width(), kScreenWidth), h = std::min(frame_.height(), kScreenHeight);
    const SDL_Rect part{0, 0, w, h};
    SDL_RenderCopy(renderer_, texture_, &part, &part);
  }
  buttons_.draw(renderer_, *glyphs_);
}

void SdlVideo::setVsync(bool on) {
  if (on == vsync_) return;
  SDL_RenderSetVSync(renderer_, on ? 1 : 0);
  vsync_ = on;
}

void SdlVideo::present(const Frame16& frame, int vblanks) {
  if (frame.pixels && frame.width > 0 && frame.height > 0) {
    frame_.assign(frame);
  }
  if (!renderer_ || !device_) return;
  uploadFrame();
  setVsync(vblanks > 0);
  // Waiting for k vertical blanks: the same picture goes out k times, each present waiting for one.
  const int shows = std::max(vblanks, 1);
  pacer_.present(vblanks, [this, shows] {
    for (int i = 0; i < shows; ++i) {
      drawScene();
      SDL_RenderPresent(renderer_);
    }
  });
  dirty_ = false;
}

void SdlVideo::waitForVBlank(int vblanks) {
  if (vblanks > 0) pacer_.present(vblanks, [] {});
}

void SdlVideo::setButtons(const std::vector<ButtonView>& buttons) {
  if (buttons_.setButtons(buttons)) dirty_ = true;
}

void SdlVideo::repaint() {
  if (!dirty_ || !renderer_) return;
  if (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_MINIMIZED) return;  // nothing to see; stays due
  // The same frame with the current buttons, at once: a repaint never waits for the vertical blank.
  setVsync(false);
  drawScene();
  SDL_RenderPresent(renderer_);
  dirty_ = false;
}

bool SdlVideo::saveScreenshot(const std::string& path) {
  const Frame16 f = frame_.view();
  return writeBmp24(path, composeScreen(frame_.empty() ? nullptr : &f, buttons_.buttons(), *glyphs_));
}

RgbImage SdlVideo::readBack() {
  RgbImage image(kScreenWidth, kScreenHeight);
  if (!renderer_) return image;
  drawScene();
  const SDL_Rect all{0, 0, kScreenWidth, kScreenHeight};
  if (SDL_RenderReadPixels(renderer_, &all, SDL_PIXELFORMAT_RGB24, image.rgb.data(), kScreenWidth * 3) != 0) {
    return RgbImage();
  }
  return image;
}

}  // namespace kv
