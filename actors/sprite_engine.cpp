#include "actors/sprite_engine.h"

#include "gfx/dd_surface.h"

namespace kv {

TSpriteEngine::TSpriteEngine(TSprite* parent) : TSprite(parent) {}

TSpriteEngine::~TSpriteEngine() {
  // The children unlink themselves from this engine's counters and dead list, which must still be
  // here while they go.
  Clear();
}

void TSpriteEngine::Draw() {
  drawCount_ = 0;
  TSprite::Draw();
}

void TSpriteEngine::SetSurface(TDirectDrawSurface* surface) {
  surface_ = surface;
  if (!surface) return;
  surfaceRect_ = TRect{0, 0, surface->Width(), surface->Height()};
  Width = surface->Width();
  Height = surface->Height();
}

}  // namespace kv
