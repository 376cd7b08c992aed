#include "gfx/display_modes.h"

#include <algorithm>
#include <climits>

#include "platform/components/component_errors.h"

namespace kv {

namespace {

bool displayDepth(int bits) {
  return bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

void TDXDrawDisplay::SetBitCount(int bits) {
  if (!displayDepth(bits)) throw EDirectDrawError("Display requires 8, 16, 24 or 32 bits");
  bitCount_ = bits;
}

void sortModes(std::vector<TDXDrawDisplayMode>& modes) {
  std::stable_sort(modes.begin(), modes.end(), [](const auto& a, const auto& b) {
    if (a.width != b.width) return a.width < b.width;
    if (a.height != b.height) return a.height < b.height;
    return a.bitCount < b.bitCount;
  });
}

namespace {

bool search(const TDXDrawDisplay& d, int w, int h, int bits, bool ratioRule,
            const std::vector<TDXDrawDisplayMode>& modes, TDXDrawDisplayMode& best) {
  int bestW = INT_MAX, bestH = INT_MAX, bestBits = bits;
  bool found = false;
  const long double ratio = static_cast<long double>(w) / h;
  for (const auto& m : modes) {
    // A platform may list depths such as 15 bits that Display cannot hold: never candidates.
    if (!displayDepth(m.bitCount)) continue;
    if (m.width > bestW || m.height > bestH) continue;
    if (ratioRule && (m.height == 0 || static_cast<long double>(m.width) / m.height != ratio)) continue;
    if (d.FixedSize) {
      if (m.width != w || m.height != h) continue;
    } else if (m.width < w || m.height < h) {
      continue;
    }
    if (d.FixedBitCount) {
      if (m.bitCount != bits) continue;
    } else if (!(m.bitCount > 8 && bits > 8) && m.bitCount < bits) {
      continue;
    }
    bestW = m.width;
    bestH = m.height;
    bestBits = m.bitCount;
    found = true;
  }
  if (!found) return false;
  if (bestBits != bits) {
    for (const auto& m : modes) {
      if (m.width == bestW && m.height == bestH && m.bitCount == bits) {
        bestBits = bits;
        break;
      }
    }
  }
  best = {bestW, bestH, bestBits};
  return true;
}

}  // namespace

bool selectDisplayMode(TDXDrawDisplay& display, const std::vector<TDXDrawDisplayMode>& modes,
                       const std::function<bool(const TDXDrawDisplayMode&)>& trySet) {
  const int w = display.Width, h = display.Height, bits = display.BitCount();
  if (w <= 0 || h <= 0 || !displayDepth(bits)) return false;
  auto take = [&](const TDXDrawDisplayMode& m) {
    display.Width = m.width;
    display.Height = m.height;
    display.SetBitCount(m.bitCount);
    return true;
  };
  if (trySet({w, h, bits})) return take({w, h, bits});
  TDXDrawDisplayMode best;
  if (display.FixedRatio && search(display, w, h, bits, true, modes, best) && trySet(best)) return take(best);
  if (search(display, w, h, bits, false, modes, best) && trySet(best)) return take(best);
  return false;
}

}  // namespace kv
