#include "platform/sdl/renderer_presenter.h"

#include <SDL2/SDL.h>

#include <algorithm>

namespace kv {

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;

Uint32 textureFormat(PixelLayout layout) {
  return layout == PixelLayout::Rgb565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB555;
}

}  // namespace

RendererPresenter::RendererPresenter(SDL_Renderer* renderer, GlyphSource& glyphs)
    : renderer_(renderer), glyphs_(glyphs) {
  // The game's 800x600 screen, scaled to the window with whole pixels and black bars.
  SDL_RenderSetLogicalSize(renderer_, kScreenWidth, kScreenHeight);
  SDL_RenderSetVSync(renderer_, 0);
}

RendererPresenter::~RendererPresenter() {
  buttons_.dropTextures();
  dropTexture();
  SDL_DestroyRenderer(renderer_);
}

const char* RendererPresenter::name() const {
  SDL_RendererInfo info;
  return SDL_GetRendererInfo(renderer_, &info) == 0 ? info.name : "none";
}

bool RendererPresenter::makeTexture(int width, int height, PixelLayout layout) {
  dropTexture();
  texture_ = SDL_CreateTexture(renderer_, textureFormat(layout), SDL_TEXTUREACCESS_STREAMING, width, height);
  textureWidth_ = width;
  textureHeight_ = height;
  textureLayout_ = layout;
  uploadDue_ = true;
  return texture_ != nullptr;
}

void RendererPresenter::dropTexture() {
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = nullptr;
}

void RendererPresenter::targetsReset(bool deviceReset) {
  uploadDue_ = true;
  // After a device reset no texture of the old device is any good, the buttons' neither.
  if (deviceReset) buttons_.dropTextures();
}

bool RendererPresenter::restore() {
  buttons_.dropTextures();
  return makeTexture(textureWidth_, textureHeight_, textureLayout_);
}

void RendererPresenter::upload(const Frame16& frame) {
  if (!texture_ || textureWidth_ != frame.width || textureHeight_ != frame.height ||
      textureLayout_ != frame.layout) {
    if (!makeTexture(frame.width, frame.height, frame.layout)) return;
  }
  SDL_UpdateTexture(texture_, nullptr, frame.pixels, frame.pitchPixels * static_cast<int>(sizeof(uint16_t)));
  uploadDue_ = false;
}

void RendererPresenter::drawScene(const Frame16* frame, const std::vector<ButtonView>& buttons) {
  buttons_.setButtons(buttons);
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  if (frame && texture_) {
    // The frame sits at the top left; below it (rows 566..599 for the game) the screen stays black.
    const int w = std::min(frame->width, kScreenWidth), h = std::min(frame->height, kScreenHeight);
    const SDL_Rect part{0, 0, w, h};
    SDL_RenderCopy(renderer_, texture_, &part, &part);
  }
  buttons_.draw(renderer_, glyphs_);
}

void RendererPresenter::setVsync(bool on) {
  if (on == vsync_) return;
  SDL_RenderSetVSync(renderer_, on ? 1 : 0);
  vsync_ = on;
}

void RendererPresenter::show(const Frame16* frame, bool frameChanged, const std::vector<ButtonView>& buttons,
                             bool vsync, int shows) {
  if (frame && (frameChanged || uploadDue_)) upload(*frame);
  setVsync(vsync);
  // Waiting for k vertical blanks: the same picture goes out k times, each present waiting for one.
  for (int i = 0; i < std::max(shows, 1); ++i) {
    drawScene(frame, buttons);
    SDL_RenderPresent(renderer_);
  }
}

RgbImage RendererPresenter::readBack(const Frame16* frame, const std::vector<ButtonView>& buttons) {
  RgbImage image(kScreenWidth, kScreenHeight);
  if (frame && uploadDue_) upload(*frame);
  drawScene(frame, buttons);
  const SDL_Rect all{0, 0, kScreenWidth, kScreenHeight};
  if (SDL_RenderReadPixels(renderer_, &all, SDL_PIXELFORMAT_RGB24, image.rgb.data(), kScreenWidth * 3) != 0) {
    return RgbImage();
  }
  return image;
}

}  // namespace kv
