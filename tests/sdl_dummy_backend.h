#pragma once
// The desktop back end started on SDL's dummy video and audio drivers: no screen or sound card is
// needed, but the window, the renderer, the textures and the sound thread are the real ones.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_video.h"

namespace kv {

class SdlDummyBackendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::string error;
    ASSERT_TRUE(backend.init(SdlOptions{true}, error)) << error;
  }
  SdlVideo& video() { return dynamic_cast<SdlVideo&>(backend.platform().video); }

  SdlBackend backend;
};

}  // namespace kv
