#pragma once
// Who wants to know when levels start and end (the harness's trace).
namespace kv {

class GameObserver {
 public:
  virtual ~GameObserver() = default;
  // The frame timer was just switched on for a new level.
  virtual void levelStarted() = 0;
  // The level ended and the selection screen is showing.
  virtual void levelEnded() = 0;
};

}  // namespace kv
