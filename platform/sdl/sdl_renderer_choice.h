#pragma once
// How the screen reaches the window. A graphics card's renderer is preferred, unless its OpenGL
// driver turns out to rasterise on the CPU (Mesa's llvmpipe and friends, as on virtual and remote
// displays without a graphics card). Then, where the video driver gives the window a framebuffer of
// its own (X11, SDL's dummy driver), our scaler writes the picture straight into it, which costs a
// fraction of any renderer; where it gives none (Wayland), the renderer SDL has is taken, software
// rasterised or not. A renderer the player names in SDL_RENDER_DRIVER is taken as it is.
#include <memory>
#include <string>

#include "platform/sdl/screen_presenter.h"
#include "platform/support/screen_composer.h"

struct SDL_Window;

namespace kv {

// The presenter for the window, or nullptr (with SDL's reason in error) when none can be made.
std::unique_ptr<ScreenPresenter> createPresenter(SDL_Window* window, GlyphSource& glyphs, std::string& error);

// True for the renderer strings of OpenGL drivers that rasterise on the CPU.
bool isCpuRasterizer(const char* glRenderer);

}  // namespace kv
