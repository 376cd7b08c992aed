#include "platform/sdl/sdl_renderer_choice.h"

#include <SDL2/SDL.h>

#include <cstring>
#include <string_view>

#include "platform/sdl/framebuffer_presenter.h"
#include "platform/sdl/renderer_presenter.h"

namespace kv {

namespace {

constexpr unsigned kGlRenderer = 0x1F01;  // GL_RENDERER, for glGetString

// The OpenGL renderer string of the renderer's context (current right after it was made).
const char* glRendererOf(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0 || std::string_view(info.name).substr(0, 6) != "opengl")
    return nullptr;
  using GetString = const unsigned char* (*)(unsigned);
  auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  return getString ? reinterpret_cast<const char*>(getString(kGlRenderer)) : nullptr;
}

std::unique_ptr<ScreenPresenter> rendererPresenter(SDL_Renderer* renderer, GlyphSource& glyphs,
                                                   std::string& error) {
  if (!renderer) {
    error = std::string("no renderer for the window (") + SDL_GetError() + ")";
    return nullptr;
  }
  return std::make_unique<RendererPresenter>(renderer, glyphs);
}

}  // namespace

bool isCpuRasterizer(const char* glRenderer) {
  if (glRenderer == nullptr) return false;
  for (const char* name : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer", "SWR"}) {
    if (std::strstr(glRenderer, name) != nullptr) return true;
  }
  return false;
}

std::unique_ptr<ScreenPresenter> createPresenter(SDL_Window* window, GlyphSource& glyphs,
                                                 std::string& error) {
  const char* named = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
  if (named && *named) return rendererPresenter(SDL_CreateRenderer(window, -1, 0), glyphs, error);

  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
  if (renderer && !isCpuRasterizer(glRendererOf(renderer))) return rendererPresenter(renderer, glyphs, error);
  if (renderer) SDL_DestroyRenderer(renderer);

  // The driver's own framebuffer only: SDL would otherwise fake one with a renderer of its own.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (auto framebuffer = FramebufferPresenter::create(window, glyphs)) return framebuffer;
  // A framebuffer in another format (a 16-bit X server): SDL's software renderer converts into it.
  // None at all (Wayland): whatever renderer SDL has.
  const bool haveFramebuffer = SDL_GetWindowSurface(window) != nullptr;
  return rendererPresenter(SDL_CreateRenderer(window, -1, haveFramebuffer ? SDL_RENDERER_SOFTWARE : 0),
                           glyphs, error);
}

}  // namespace kv
