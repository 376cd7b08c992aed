#include "platform/record/recorded_call.h"

#include <limits>

namespace kv {

namespace {

constexpr int64_t kI32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kI32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kU32Max = std::numeric_limits<uint32_t>::max();
// Frames a card may mix between two reports: a day at 192 kHz.
constexpr int64_t kMaxFrames = int64_t{192000} * 86400;

FieldLayout flag(const char* name) {
  return {name, 0, 1, false};
}
FieldLayout int32(const char* name, bool delta = false) {
  return {name, kI32Min, kI32Max, delta};
}
FieldLayout frames() {
  return {"frames", 0, kMaxFrames, false};
}

std::vector<CallLayout> makeLayouts() {
  std::vector<CallLayout> s(kCallCount + 1);
  auto set = [&s](Call c, CallLayout layout) { s[static_cast<size_t>(c)] = std::move(layout); };
  set(Call::RefreshRate, {"the refresh rate", {int32("hz")}, 0, -1});
  set(Call::OpenWindow, {"opening the window", {flag("ok")}, 0, -1});
  set(Call::CreateDevice, {"making the display device", {flag("ok")}, 0, -1});
  set(Call::ReleaseDevice, {"releasing the display device", {}, 0, -1});
  set(Call::Modes, {"the list of display modes", {}, 0, -1});
  set(Call::SetMode, {"a display mode", {int32("width"), int32("height"), int32("bits"), flag("ok")}, 3, -1});
  set(Call::PixelLayout, {"the pixel layout", {{"layout", 0, 1, false}}, 0, -1});
  set(Call::SurfacesLost, {"whether the surfaces were lost", {flag("lost")}, 0, -1});
  set(Call::RestoreSurfaces, {"restoring the surfaces", {flag("ok")}, 0, -1});
  set(Call::Present, {"a present", {int32("vblanks")}, 1, -1});
  set(Call::WaitVBlank, {"a wait for the vertical blank", {int32("vblanks")}, 1, -1});
  set(Call::SetButtons, {"the push buttons", {{"count", 0, 1 << 16, false}}, 1, -1});
  set(Call::Repaint, {"a repaint", {}, 0, -1});
  set(Call::SaveScreenshot, {"a screenshot", {flag("ok")}, 0, -1});
  set(Call::Error, {"the display's error text", {}, 0, -1});
  set(Call::Poll, {"an event poll",
                   {flag("pending"), {"kind", 0, 15, false}, int32("x"), int32("y"), int32("vk")},
                   0,
                   0});
  set(Call::WaitEvent, {"a wait for an event", {}, 0, -1});
  set(Call::Now, {"a clock read", {{"ms", 0, kU32Max, true}}, 0, -1});
  set(Call::Sleep, {"a sleep", {{"ms", 0, kU32Max, false}}, 1, -1});
  set(Call::Seed, {"the clock's seed", {{"seed", 0, kU32Max, false}}, 0, -1});
  set(Call::Joystick, {"a joystick reading",
                       {{"id", kI32Min, kI32Max, false},
                        flag("present"),
                        int32("minX", true),
                        int32("maxX", true),
                        int32("minY", true),
                        int32("maxY", true),
                        int32("minZ", true),
                        int32("maxZ", true),
                        int32("x", true),
                        int32("y", true),
                        int32("z", true),
                        int32("buttonCount", true),
                        {"buttons", 0, kU32Max, true},
                        {"hat", 0, 255, true}},
                       1,
                       1});
  set(Call::Foreground, {"the foreground state", {flag("foreground")}, 0, -1});
  set(Call::AudioOpen, {"opening the sound card", {int32("rate"), flag("ok")}, 1, -1});
  set(Call::AudioClose, {"closing the sound card", {frames()}, 0, -1});
  set(Call::AudioIsOpen, {"whether the sound card is open", {flag("open")}, 0, -1});
  set(Call::AudioRate, {"the sound card's rate", {int32("rate")}, 0, -1});
  set(Call::AudioLock, {"the sound lock", {frames()}, 0, -1});
  set(Call::AudioUnlock, {"the sound unlock", {}, 0, -1});
  set(Call::AudioRead, {"a look at the sound", {frames()}, 0, -1});
  set(Call::AudioReadEnd, {"the end of a look at the sound", {}, 0, -1});
  set(Call::AudioLost, {"the sound card going away", {frames()}, 0, -1});
  set(Call::End, {"the end of the run", {frames()}, 0, -1});
  return s;
}

}  // namespace

bool validCall(int code) {
  return code >= 1 && code <= kCallCount;
}

const CallLayout& layoutOf(Call call) {
  static const std::vector<CallLayout> layouts = makeLayouts();
  return layouts[static_cast<size_t>(call)];
}

}  // namespace kv
