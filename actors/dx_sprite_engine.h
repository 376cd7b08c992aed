#pragma once
// TDXSpriteEngine: the component that owns the root sprite engine and links it to a display. The
// engine's drawing surface follows the display: it gets the display's Surface when the display
// initialises and loses it when the display finalises.
#include <cstdint>
#include <memory>

#include "actors/sprite_engine.h"

namespace kv {

class TDXDraw;
enum class TDXDrawNotifyType;

class TDXSpriteEngine {
 public:
  TDXSpriteEngine();
  // Leaves the display, then destroys the root engine with every sprite still in its tree.
  ~TDXSpriteEngine();
  TDXSpriteEngine(const TDXSpriteEngine&) = delete;
  TDXSpriteEngine& operator=(const TDXSpriteEngine&) = delete;

  // The root of the tree; actors are created with it as their parent.
  TSpriteEngine* Engine() const { return engine_.get(); }

  // Moves the whole tree, always.
  void Move(int32_t moveCount);
  // Draws the whole tree, only while a display is linked and initialised.
  void Draw();

  TDXDraw* DXDraw() const { return dxDraw_; }
  // Leaves the previous display's listeners and joins the new display's (none: unlinked).
  void SetDXDraw(TDXDraw* dxDraw);

 private:
  void displayNotify(TDXDraw& sender, TDXDrawNotifyType type);

  std::unique_ptr<TSpriteEngine> engine_;
  TDXDraw* dxDraw_ = nullptr;
};

}  // namespace kv
