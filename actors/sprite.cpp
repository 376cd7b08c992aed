#include "actors/sprite.h"

#include <algorithm>

#include "actors/sprite_engine.h"
#include "platform/components/component_errors.h"
#include "platform/support/rounding.h"

namespace kv {

namespace {

void eraseOne(std::vector<TSprite*>& list, const TSprite* sprite) {
  auto it = std::find(list.begin(), list.end(), sprite);
  if (it != list.end()) list.erase(it);
}

}  // namespace

TSprite::TSprite(TSprite* parent) : parent_(parent) {
  if (!parent) return;
  parent->addChild(this);
  auto* parentEngine = dynamic_cast<TSpriteEngine*>(parent);
  engine_ = parentEngine ? parentEngine : parent->engine_;
  if (engine_) ++engine_->spriteCount_;
}

TSprite::~TSprite() {
  Clear();
  if (parent_) {
    if (engine_) --engine_->spriteCount_;
    parent_->removeChild(this);
    if (engine_) eraseOne(engine_->deadList_, this);
  }
}

void TSprite::addChild(TSprite* child) {
  childList_.push_back(child);
  insertIntoDrawList(child);
}

void TSprite::removeChild(TSprite* child) {
  eraseOne(childList_, child);
  eraseOne(drawList_, child);
  if (childList_.empty()) {
    // A sprite without children keeps no lists.
    std::vector<TSprite*>().swap(childList_);
    std::vector<TSprite*>().swap(drawList_);
  }
}

// Lower bound on Z: after every lower Z, before every equal one.
void TSprite::insertIntoDrawList(TSprite* child) {
  int32_t low = 0, high = static_cast<int32_t>(drawList_.size()) - 1;
  while (low <= high) {
    const int32_t mid = (low + high) / 2;
    if (drawList_[mid]->z_ < child->z_) {
      low = mid + 1;
    } else {
      high = mid - 1;
    }
  }
  drawList_.insert(drawList_.begin() + low, child);
}

void TSprite::SetZ(int32_t z) {
  if (z == z_) return;
  z_ = z;
  if (!parent_) return;
  eraseOne(parent_->drawList_, this);
  parent_->insertIntoDrawList(this);
}

void TSprite::Clear() {
  while (Count() > 0) delete childList_[Count() - 1];
}

TSprite* TSprite::Child(int32_t index) const {
  if (childList_.empty())
    throw ESpriteError(formatMessage("Index of the list exceeds the range. (%d)", index));
  if (index < 0 || index >= Count()) throw EListError(formatMessage("List index out of bounds (%d)", index));
  return childList_[index];
}

void TSprite::Move(int32_t moveCount) {
  if (!Moved) return;
  DoMove(moveCount);
  // The count is read once: a sprite added by a hook waits for the next pass.
  const int32_t n = Count();
  for (int32_t i = 0; i < n && i < Count(); ++i) childList_[i]->Move(moveCount);
}

void TSprite::Draw() {
  if (!Visible) return;
  if (engine_ && OverlapRect(GetBoundsRect(), engine_->surfaceRect_)) {
    DoDraw();
    ++engine_->drawCount_;
  }
  for (size_t i = 0; i < drawList_.size(); ++i) drawList_[i]->Draw();
}

int32_t TSprite::Collision() {
  if (!engine_ || isDead_ || !Collisioned) return 0;
  TSpriteEngine& engine = *engine_;
  engine.collisionCount_ = 0;
  engine.collisionDone_ = false;
  engine.collisionRect_ = GetBoundsRect();
  engine.collisionSprite_ = this;
  // Every top-level sprite is visited, also after the scanner's hook has ended the scan's descent.
  const int32_t n = engine.Count();
  for (int32_t i = 0; i < n && i < engine.Count(); ++i) engine.childList_[i]->collisionVisit(engine);
  return engine.collisionCount_;
}

void TSprite::collisionVisit(TSpriteEngine& engine) {
  if (!Collisioned) return;
  TSprite* scanner = engine.collisionSprite_;
  if (this != scanner && OverlapRect(GetBoundsRect(), engine.collisionRect_) &&
      scanner->TestCollision(this) && TestCollision(scanner)) {
    ++engine.collisionCount_;
    scanner->DoCollision(this, engine.collisionDone_);
    if (!scanner->Collisioned || scanner->isDead_) engine.collisionDone_ = true;
  }
  if (engine.collisionDone_) return;
  const int32_t n = Count();
  for (int32_t i = 0; i < n && i < Count(); ++i) childList_[i]->collisionVisit(engine);
}

void TSprite::MarkDead() {
  if (!engine_ || isDead_) return;
  isDead_ = true;
  engine_->deadList_.push_back(this);
}

double TSprite::WorldX() const {
  return parent_ ? parent_->WorldX() + X : X;
}

double TSprite::WorldY() const {
  return parent_ ? parent_->WorldY() + Y : Y;
}

TRect TSprite::GetBoundsRect() {
  const int32_t x = round32(WorldX()), y = round32(WorldY());
  return TRect{x, y, x + Width, y + Height};
}

void TSprite::DoCollision(TSprite* sprite, bool& done) {
  if (OnCollision) OnCollision(*sprite, done);
}

void TSprite::DoDraw() {
  if (OnDraw) OnDraw(*this);
}

void TSprite::DoMove(int32_t moveCount) {
  if (OnMove) OnMove(*this, moveCount);
}

bool TSprite::TestCollision(TSprite*) {
  return true;
}

}  // namespace kv
