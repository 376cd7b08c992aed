#pragma once
// TDirectDraw: the display device the surfaces belong to. It asks the platform whether surface
// memory was lost and whether it can be had back.
#include <vector>

namespace kv {

class VideoDevice;
class TDirectDrawSurface;

class TDirectDraw {
 public:
  explicit TDirectDraw(VideoDevice& video) : video_(video) {}
  // Surfaces still alive when the device goes stay usable on their own, without a device.
  ~TDirectDraw();
  TDirectDraw(const TDirectDraw&) = delete;
  TDirectDraw& operator=(const TDirectDraw&) = delete;

  VideoDevice& video() { return video_; }
  // True while the platform has taken the surfaces' memory away: every surface of the device is lost.
  bool surfaceMemoryLost() const;
  // Lost surfaces come back only when the platform has its memory again.
  bool restoreSurfaceMemory();

 private:
  friend class TDirectDrawSurface;
  void attach(TDirectDrawSurface* surface) { surfaces_.push_back(surface); }
  void detach(TDirectDrawSurface* surface);

  VideoDevice& video_;
  std::vector<TDirectDrawSurface*> surfaces_;  // made on this device and still alive
};

}  // namespace kv
