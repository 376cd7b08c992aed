#include "platform/sdl/sdl_renderer_choice.h"

#include <SDL2/SDL.h>

#include <cstring>
#include <string_view>

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

}  // namespace

bool isCpuRasterizer(const char* glRenderer) {
  if (glRenderer == nullptr) return false;
  for (const char* name : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer", "SWR"}) {
    if (std::strstr(glRenderer, name) != nullptr) return true;
  }
  return false;
}

SDL_Renderer* createWindowRenderer(SDL_Window* window) {
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED);
  if (renderer && isCpuRasterizer(glRendererOf(renderer))) {
    SDL_DestroyRenderer(renderer);
    renderer = nullptr;
  }
  if (!renderer) {
    // Without a usable graphics card (or under SDL's dummy driver): the software renderer, drawing
    // into the window's own image rather than through an OpenGL texture.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  }
  return renderer;
}

}  // namespace kv
