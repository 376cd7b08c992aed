#pragma once
// TDirectDraw: the display device the surfaces belong to. It asks the platform whether surface
// memory was lost and whether it can be had back.
namespace kv {

class VideoDevice;

class TDirectDraw {
 public:
  explicit TDirectDraw(VideoDevice& video) : video_(video) {}
  VideoDevice& video() { return video_; }
  // Lost surfaces come back only when the platform has its memory again.
  bool restoreSurfaceMemory();

 private:
  VideoDevice& video_;
};

}  // namespace kv
