#include "platform/sdl/sdl_button_layer.h"

#include <SDL2/SDL.h>

#include <algorithm>

#include "platform/support/rgb_image.h"

namespace kv {

namespace {

bool sameView(const ButtonView& a, const ButtonView& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height &&
         a.caption == b.caption && a.pressed == b.pressed && a.enabled == b.enabled;
}

bool sameLook(const ButtonView& a, const ButtonView& b) {
  return a.width == b.width && a.height == b.height && a.caption == b.caption && a.pressed == b.pressed &&
         a.enabled == b.enabled;
}

}  // namespace

SdlButtonLayer::~SdlButtonLayer() {
  dropTextures();
}

bool SdlButtonLayer::setButtons(const std::vector<ButtonView>& buttons) {
  const bool changed = buttons.size() != buttons_.size() ||
                       !std::equal(buttons.begin(), buttons.end(), buttons_.begin(), sameView);
  buttons_ = buttons;
  if (changed) prune();
  return changed;
}

void SdlButtonLayer::prune() {
  // Keep only the looks still on screen: a button that was pressed and let go is re-made, which is
  // cheap, and the cache never grows.
  std::erase_if(cache_, [this](Cached& c) {
    const bool used = std::any_of(buttons_.begin(), buttons_.end(),
                                  [&c](const ButtonView& b) { return sameLook(c.look, b); });
    if (!used && c.texture) SDL_DestroyTexture(c.texture);
    return !used;
  });
}

void SdlButtonLayer::dropTextures() {
  for (Cached& c : cache_) {
    if (c.texture) SDL_DestroyTexture(c.texture);
  }
  cache_.clear();
}

SDL_Texture* SdlButtonLayer::textureFor(SDL_Renderer* renderer, const ButtonView& view, GlyphSource& glyphs) {
  for (const Cached& c : cache_) {
    if (sameLook(c.look, view)) return c.texture;
  }
  ButtonView atOrigin = view;
  atOrigin.left = 0;
  atOrigin.top = 0;
  RgbImage picture(view.width, view.height);
  paintButton(picture, atOrigin, glyphs);
  SDL_Texture* texture =
      SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB24, SDL_TEXTUREACCESS_STATIC, view.width, view.height);
  if (texture) SDL_UpdateTexture(texture, nullptr, picture.rgb.data(), view.width * 3);
  // A failed texture is remembered too, so a broken renderer is not asked again on every frame.
  cache_.push_back({atOrigin, texture});
  return texture;
}

void SdlButtonLayer::draw(SDL_Renderer* renderer, GlyphSource& glyphs) {
  for (const ButtonView& b : buttons_) {
    if (b.width <= 0 || b.height <= 0) continue;
    SDL_Texture* texture = textureFor(renderer, b, glyphs);
    if (!texture) continue;
    const SDL_Rect dst{b.left, b.top, b.width, b.height};
    SDL_RenderCopy(renderer, texture, nullptr, &dst);
  }
}

}  // namespace kv
