#pragma once
// Which SDL renderer draws the window. An accelerated renderer is preferred, unless its OpenGL
// driver turns out to rasterise on the CPU (Mesa's llvmpipe and friends, as on virtual and remote
// displays without a graphics card): for a 2-D game that uploads one frame and copies it once, SDL's
// own software renderer writing straight into the window's shared-memory image costs a fraction of
// that, in CPU and in memory.
struct SDL_Renderer;
struct SDL_Window;

namespace kv {

// The renderer for the window, or nullptr when none can be made.
SDL_Renderer* createWindowRenderer(SDL_Window* window);

// True for the renderer strings of OpenGL drivers that rasterise on the CPU.
bool isCpuRasterizer(const char* glRenderer);

}  // namespace kv
