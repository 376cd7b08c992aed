#include "actors/dx_sprite_engine.h"

#include "gfx/dxdraw.h"

namespace kv {

TDXSpriteEngine::TDXSpriteEngine() : engine_(std::make_unique<TSpriteEngine>(nullptr)) {}

TDXSpriteEngine::~TDXSpriteEngine() {
  SetDXDraw(nullptr);
  engine_.reset();
}

void TDXSpriteEngine::Move(int32_t moveCount) {
  engine_->Move(moveCount);
}

void TDXSpriteEngine::Draw() {
  if (dxDraw_ && dxDraw_->Initialized()) engine_->Draw();
}

void TDXSpriteEngine::SetDXDraw(TDXDraw* dxDraw) {
  if (dxDraw_) dxDraw_->UnRegisterNotifyEvent(this);
  dxDraw_ = dxDraw;
  if (dxDraw_) {
    dxDraw_->RegisterNotifyEvent(
        this, [this](TDXDraw& sender, TDXDrawNotifyType type) { displayNotify(sender, type); });
  }
}

void TDXSpriteEngine::displayNotify(TDXDraw& sender, TDXDrawNotifyType type) {
  switch (type) {
    case TDXDrawNotifyType::Destroying:
      SetDXDraw(nullptr);
      break;
    case TDXDrawNotifyType::Initialize:
      engine_->SetSurface(sender.Surface());
      break;
    case TDXDrawNotifyType::Finalize:
      engine_->SetSurface(nullptr);
      break;
    default:
      break;
  }
}

}  // namespace kv
