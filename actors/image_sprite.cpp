#include "actors/image_sprite.h"

#include "actors/sprite_engine.h"
#include "gfx/image_list.h"
#include "platform/support/rounding.h"

namespace kv {

TImageSprite::TImageSprite(TSprite* parent) : TSprite(parent) {}

void TImageSprite::SetImage(TPictureCollectionItem* image) {
  image_ = image;
  Width = image ? image->Width() : 0;
  Height = image ? image->Height() : 0;
}

void TImageSprite::DoMove(int32_t moveCount) {
  if (OnMove) {
    int32_t count = moveCount;
    OnMove(*this, count);
    return;
  }
  Animate(moveCount);
}

void TImageSprite::Animate(int32_t moveCount) {
  AnimPos = AnimPos + moveCount * AnimSpeed;
  if (AnimLooped) {
    if (AnimCount > 0) {
      const int64_t turns = roundEven(static_cast<long double>(AnimPos) / AnimCount);
      AnimPos = AnimPos - static_cast<double>(turns * int64_t{AnimCount});
      if (AnimPos < 0) AnimPos = AnimPos + AnimCount;
    } else {
      AnimPos = 0;
    }
  } else {
    if (AnimPos >= AnimCount) {
      AnimPos = AnimCount - 1;
      AnimSpeed = 0;
    }
    if (AnimPos < 0) {
      AnimPos = 0;
      AnimSpeed = 0;
    }
  }
}

int32_t TImageSprite::ImageIndex() const {
  return round32(AnimPos) + AnimStart;
}

TRect TImageSprite::DrawRect() {
  TRect r = GetBoundsRect();
  if (!image_) return r;
  // Division truncates toward zero, as the shift must.
  const int32_t dx = (Width - image_->Width()) / 2;
  const int32_t dy = (Height - image_->Height()) / 2;
  return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

void TImageSprite::DoDraw() {
  if (!image_ && OnGetImage) {
    TPictureCollectionItem* supplied = nullptr;
    OnGetImage(*this, supplied);
    if (supplied != image_) SetImage(supplied);
  }
  if (OnDraw) {
    OnDraw(*this);
    return;
  }
  TDirectDrawSurface* surface = Engine() ? Engine()->Surface() : nullptr;
  if (!image_ || !surface) return;  // nothing to draw, or nowhere to draw it
  const TRect r = DrawRect();
  image_->Draw(surface, r.Left, r.Top, ImageIndex());
}

}  // namespace kv
