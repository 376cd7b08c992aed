#include "platform/headless/virtual_display.h"

#include <algorithm>

#include "platform/headless/virtual_clock.h"
#include "platform/support/builtin_glyphs.h"

namespace kv {

VirtualDisplay::VirtualDisplay(VirtualClock& clock, int refreshHz)
    : clock_(clock),
      refreshHz_(refreshHz),
      modes_{{640, 480, 8},  {640, 480, 16}, {640, 480, 32},  {800, 600, 8},
             {800, 600, 16}, {800, 600, 32}, {1024, 768, 16}, {1024, 768, 32}},
      glyphs_(std::make_unique<BuiltinGlyphs>()) {}

VirtualDisplay::~VirtualDisplay() = default;

bool VirtualDisplay::openWindow() {
  window_ = true;
  return true;
}

bool VirtualDisplay::createDevice() {
  if (createFails_) {
    error_ = "the virtual display refuses to make a device";
    return false;
  }
  device_ = true;
  lost_ = false;
  return true;
}

void VirtualDisplay::releaseDevice() {
  device_ = false;
  mode_ = {};
}

bool VirtualDisplay::setMode(const DisplayModeDesc& mode) {
  if (!device_) return false;
  if (std::find(refused_.begin(), refused_.end(), mode) != refused_.end()) return false;
  if (std::find(modes_.begin(), modes_.end(), mode) == modes_.end()) return false;
  mode_ = mode;
  return true;
}

bool VirtualDisplay::restoreSurfaces() {
  if (restoreFails_ || !device_) return false;
  lost_ = false;
  return true;
}

uint64_t VirtualDisplay::pacingPeriodNs() const {
  int hz = refreshHz_ > 1 ? refreshHz_ : 75;
  return 1'000'000'000ull / static_cast<uint64_t>(hz);
}

void VirtualDisplay::present(const Frame16& frame, int vblanks) {
  frame_.assign(frame);
  ++presents_;
  if (vblanks > 0) {
    ++waitedPresents_;
    waitBlanks(vblanks);
  } else {
    clock_.advanceTo(clock_.nowNs() + 1'000'000);
  }
}

void VirtualDisplay::waitForVBlank(int vblanks) {
  if (vblanks > 0) waitBlanks(vblanks);
}

void VirtualDisplay::waitBlanks(int vblanks) {
  {
    // Vertical blank n falls at floor(n * 1e9 / hz) ns. Find the last one at or before now (a
    // present that returned on a blank stands on it), then wait for the vblanks-th one after it.
    const uint64_t hz = static_cast<uint64_t>(refreshHz_ > 1 ? refreshHz_ : 75);
    const uint64_t now = clock_.nowNs();
    auto blankAt = [hz](uint64_t n) {
      return static_cast<uint64_t>(static_cast<unsigned __int128>(n) * 1'000'000'000u / hz);
    };
    uint64_t n = static_cast<uint64_t>(static_cast<unsigned __int128>(now) * hz / 1'000'000'000u);
    while (blankAt(n + 1) <= now) ++n;
    vblanks_ += vblanks;
    clock_.advanceTo(blankAt(n + static_cast<uint64_t>(vblanks)));
  }
}

RgbImage VirtualDisplay::screen() const {
  const Frame16 f = frame_.view();
  return composeScreen(frame_.empty() ? nullptr : &f, buttons_, *glyphs_);
}

bool VirtualDisplay::saveScreenshot(const std::string& path) {
  return writeBmp24(path, screen());
}

}  // namespace kv
