#pragma once
// The real machine through SDL: a window (desktop full screen with an 800x600 logical size, or a
// window), the renderer, keyboard and joysticks, the sound card and the clock.
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/seam/platform.h"

namespace kv {

struct SdlOptions {
  bool windowed = false;
};

class SdlBackend {
 public:
  SdlBackend();
  ~SdlBackend();
  SdlBackend(const SdlBackend&) = delete;
  SdlBackend& operator=(const SdlBackend&) = delete;

  // Starts SDL's video and event subsystems (no window yet: the game opens it when it is shown).
  // False with a message in `error` when there is no display at all.
  bool init(const SdlOptions& options, std::string& error);
  Platform platform();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace kv
