#pragma once
// The display control as the game configures it, over the headless display, with listeners that
// write what they are told to a log. Shared by the display tests.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gfx/dxdraw.h"
#include "platform/headless/virtual_clock.h"
#include "platform/headless/virtual_display.h"

namespace kv::testing_display {

using N = TDXDrawNotifyType;

inline const char* name(N t) {
  switch (t) {
    case N::Destroying:
      return "Destroying";
    case N::Initializing:
      return "Initializing";
    case N::Initialize:
      return "Initialize";
    case N::InitializeSurface:
      return "InitializeSurface";
    case N::SetSurfaceSize:
      return "SetSurfaceSize";
    case N::Restore:
      return "Restore";
    case N::Finalize:
      return "Finalize";
    case N::FinalizeSurface:
      return "FinalizeSurface";
  }
  return "?";
}

using Log = std::vector<std::string>;

// The display as the game's window configures it.
inline void configureLikeTheGame(TDXDraw& d) {
  d.SetFormLoading(true);
  d.SetBounds(0, 0, 800, 566);
  d.Display.Width = 800;
  d.Display.Height = 600;
  d.Display.SetBitCount(16);
  d.SetOptions(doFullScreen | doAllowReboot | doDirectX7Mode | doHardware | doSelectDriver);
  d.SetSurfaceSize(800, 566);
  d.SetFormLoading(false);
}

class DisplayTest : public ::testing::Test {
 protected:
  DisplayTest() { configureLikeTheGame(draw); }

  // Registers a listener that writes "<tag>:<event>" to log.
  void listen(void* context, const std::string& tag) {
    draw.RegisterNotifyEvent(context, [this, tag](TDXDraw&, N t) { log.push_back(tag + ":" + name(t)); });
  }
  void handlers() {
    draw.OnInitializing = [this](TDXDraw&) { log.push_back("OnInitializing"); };
    draw.OnInitialize = [this](TDXDraw&) { log.push_back("OnInitialize"); };
    draw.OnInitializeSurface = [this](TDXDraw&) { log.push_back("OnInitializeSurface"); };
    draw.OnRestoreSurface = [this](TDXDraw&) { log.push_back("OnRestoreSurface"); };
    draw.OnFinalizeSurface = [this](TDXDraw&) { log.push_back("OnFinalizeSurface"); };
    draw.OnFinalize = [this](TDXDraw&) { log.push_back("OnFinalize"); };
  }
  std::string thrownBy(const std::function<void()>& f) {
    try {
      f();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "";
  }
  bool allPixelsAre(const TDirectDrawSurface& s, uint16_t v) {
    for (int y = 0; y < s.Height(); ++y)
      for (int x = 0; x < s.Width(); ++x)
        if (s.Pixel(x, y) != v) return false;
    return true;
  }

  Log log;           // outlives the display, which still tells its listeners when it goes
  int a = 0, b = 0;  // listener contexts
  VirtualClock clock;
  VirtualDisplay video{clock, 60};
  TDXDraw draw{video};
};

}  // namespace kv::testing_display
