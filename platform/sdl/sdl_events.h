#pragma once
// Window messages from SDL's event queue, as the application understands them.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/sdl/window_keys.h"
#include "platform/seam/event_source.h"

union SDL_Event;

namespace kv {

class SdlVideo;

// Tells real pointer movements from the pointer arriving: when the window appears under a resting
// pointer, or the pointer enters it, the system reports the position once; that is not a movement
// (the intro waits for the player to move the mouse). Later reports count only when the position
// changed.
class PointerMotionFilter {
 public:
  // The pointer comes into the window (also at the start, before any report).
  void arrive() { arriving_ = true; }
  // True when a report at (x, y) is a movement the game should see.
  bool moved(int x, int y);

 private:
  bool arriving_ = true;
  int x_ = -1, y_ = -1;
};

// Pointer positions SDL reports (already in the 800x600 logical screen) outside the screen, in the
// black bars beside a letterboxed picture, are not the game's: moves and presses there are dropped,
// releases are pulled to the nearest screen pixel so a pressed button still sees them.
struct PointerPlace {
  bool inside = false;
  int x = 0, y = 0;  // clamped to the screen
};
PointerPlace placePointer(int x, int y, int screenWidth = 800, int screenHeight = 600);

class SdlEvents : public EventSource {
 public:
  explicit SdlEvents(SdlVideo& video);
  ~SdlEvents() override;
  SdlEvents(const SdlEvents&) = delete;
  SdlEvents& operator=(const SdlEvents&) = delete;

  bool poll(Event& out) override;
  void waitForEvent() override;

  // Told the id of every output device SDL reports removed, as the events go by.
  void setAudioRemovedHandler(std::function<void(uint32_t device)> handler) {
    audioRemoved_ = std::move(handler);
  }

 private:
  // Turns one SDL event into ours; false for events the game has no use for.
  bool translate(const SDL_Event& e, Event& out);
  bool translateKey(const SDL_Event& e, Event& out);
  // A window destroyed from outside closes the game once, as the window's close does.
  bool windowLost(Event& out);
  // So does a stop signal (SIGTERM, SIGINT, SIGHUP).
  bool stopSignalled(Event& out);
  // Without a window manager nothing holds the window to its minimum size: a smaller size someone
  // gave it is put back to the minimum.
  void keepMinimumSize(int width, int height);

  SdlVideo& video_;
  std::unique_ptr<SDL_Event> pending_;  // taken by waitForEvent, handed out by the next poll
  bool havePending_ = false;
  bool minimized_ = false;
  PointerMotionFilter motion_;
  std::function<void(uint32_t)> audioRemoved_;
  WindowKeys windowKeys_;
  // Between the display's finalise (already handed out) and its initialise (next).
  bool switchPending_ = false;
  bool lossReported_ = false;
  bool stopReported_ = false;
};

}  // namespace kv
