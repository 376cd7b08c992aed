#include "platform/sdl/framebuffer_presenter.h"

#include <SDL2/SDL.h>

#include <algorithm>

namespace kv {

namespace {

bool sameLook(const ButtonView& a, const ButtonView& b) {
  return a.width == b.width && a.height == b.height && a.caption == b.caption && a.pressed == b.pressed &&
         a.enabled == b.enabled;
}

// The bit position of an 8-bit channel mask, or -1 when the mask is not one whole byte.
int byteShift(Uint32 mask) {
  for (int shift = 0; shift <= 24; shift += 8) {
    if (mask == 0xFFu << shift) return shift;
  }
  return -1;
}

bool layoutOf(const SDL_PixelFormat* format, Rgb32Layout& layout) {
  if (!format || format->BytesPerPixel != 4) return false;
  layout.redShift = byteShift(format->Rmask);
  layout.greenShift = byteShift(format->Gmask);
  layout.blueShift = byteShift(format->Bmask);
  return layout.redShift >= 0 && layout.greenShift >= 0 && layout.blueShift >= 0;
}

}  // namespace

std::unique_ptr<FramebufferPresenter> FramebufferPresenter::create(SDL_Window* window, GlyphSource& glyphs) {
  SDL_Surface* s = window ? SDL_GetWindowSurface(window) : nullptr;
  Rgb32Layout layout;
  if (!s || !layoutOf(s->format, layout)) return nullptr;
  return std::unique_ptr<FramebufferPresenter>(new FramebufferPresenter(window, glyphs));
}

FramebufferPresenter::FramebufferPresenter(SDL_Window* window, GlyphSource& glyphs)
    : window_(window), glyphs_(glyphs) {
  SDL_AddEventWatch(&FramebufferPresenter::mapPointer, this);
}

FramebufferPresenter::~FramebufferPresenter() {
  SDL_DelEventWatch(&FramebufferPresenter::mapPointer, this);
}

int FramebufferPresenter::mapPointer(void* self, SDL_Event* e) {
  // Runs as SDL queues the event, so the game only ever sees the screen's coordinates.
  auto* p = static_cast<FramebufferPresenter*>(self);
  int *x = nullptr, *y = nullptr;
  Uint32 windowId = 0;
  if (e->type == SDL_MOUSEMOTION) {
    x = &e->motion.x, y = &e->motion.y, windowId = e->motion.windowID;
  } else if (e->type == SDL_MOUSEBUTTONDOWN || e->type == SDL_MOUSEBUTTONUP) {
    x = &e->button.x, y = &e->button.y, windowId = e->button.windowID;
  } else {
    return 1;
  }
  if (windowId != SDL_GetWindowID(p->window_)) return 1;
  int w = 0, h = 0;
  SDL_GetWindowSize(p->window_, &w, &h);
  const PixelRect r = letterbox(w, h, ScreenScaler::kScreenWidth, ScreenScaler::kScreenHeight);
  *x = screenCoordinate(*x, r.x, r.w, ScreenScaler::kScreenWidth);
  *y = screenCoordinate(*y, r.y, r.h, ScreenScaler::kScreenHeight);
  return 1;
}

SDL_Surface* FramebufferPresenter::surface() {
  SDL_Surface* s = SDL_GetWindowSurface(window_);  // made anew by SDL after the window's size changed
  Rgb32Layout layout;
  if (!s || !layoutOf(s->format, layout)) return nullptr;
  auto* pixels = static_cast<uint32_t*>(s->pixels);
  if (!scaler_.sameTarget(pixels, s->pitch, s->w, s->h))
    scaler_.setTarget(pixels, s->pitch, s->w, s->h, layout);
  return s;
}

const std::vector<ScreenOverlay>& FramebufferPresenter::overlays(const std::vector<ButtonView>& buttons) {
  const Rgb32Layout layout = scaler_.layout();
  if (layout.redShift != picturesLayout_.redShift || layout.greenShift != picturesLayout_.greenShift ||
      layout.blueShift != picturesLayout_.blueShift) {
    pictures_.clear();
    picturesLayout_ = layout;
  }
  // Only the looks on screen are kept: a button pressed and let go is painted again, which is cheap.
  std::erase_if(pictures_, [&buttons](const Picture& p) {
    return std::none_of(buttons.begin(), buttons.end(),
                        [&p](const ButtonView& b) { return sameLook(p.look, b); });
  });
  overlays_.clear();
  for (const ButtonView& b : buttons) {
    if (b.width <= 0 || b.height <= 0) continue;
    auto it = std::find_if(pictures_.begin(), pictures_.end(),
                           [&b](const Picture& p) { return sameLook(p.look, b); });
    if (it == pictures_.end()) {
      Picture p{b, std::vector<uint32_t>(static_cast<size_t>(b.width) * b.height), nextPictureId_++};
      p.look.left = p.look.top = 0;
      RgbImage image(b.width, b.height);
      paintButton(image, p.look, glyphs_);
      for (size_t i = 0; i < p.pixels.size(); ++i) {
        p.pixels[i] = layout.pack(image.rgb[3 * i], image.rgb[3 * i + 1], image.rgb[3 * i + 2]);
      }
      pictures_.push_back(std::move(p));
      it = pictures_.end() - 1;
    }
    overlays_.push_back({b.left, b.top, b.width, b.height, it->pixels.data(), it->id});
  }
  return overlays_;
}

void FramebufferPresenter::show(const Frame16* frame, bool, const std::vector<ButtonView>& buttons, bool,
                                int) {
  // No vertical blank to wait for here: the pacer holds the pace.
  SDL_Surface* s = surface();
  if (!s) return;
  const std::vector<ScreenOverlay>& over = overlays(buttons);  // may add pictures: before the draw
  const std::vector<PixelRect>& bands = scaler_.draw(frame, over);
  if (bands.empty()) return;
  std::vector<SDL_Rect> rects;
  rects.reserve(bands.size());
  for (const PixelRect& b : bands) rects.push_back({b.x, b.y, b.w, b.h});
  SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(rects.size()));
}

RgbImage FramebufferPresenter::readBack(const Frame16* frame, const std::vector<ButtonView>& buttons) {
  RgbImage image(ScreenScaler::kScreenWidth, ScreenScaler::kScreenHeight);
  SDL_Surface* s = surface();
  if (!s) return RgbImage();
  scaler_.invalidate();
  show(frame, true, buttons, false, 1);
  const Rgb32Layout l = scaler_.layout();
  for (int y = 0; y < image.height; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(
        static_cast<const uint8_t*>(s->pixels) + static_cast<ptrdiff_t>(scaler_.windowY(y)) * s->pitch);
    for (int x = 0; x < image.width; ++x) {
      const uint32_t p = row[scaler_.windowX(x)];
      image.set(x, y, static_cast<uint8_t>(p >> l.redShift), static_cast<uint8_t>(p >> l.greenShift),
                static_cast<uint8_t>(p >> l.blueShift));
    }
  }
  return image;
}

}  // namespace kv
