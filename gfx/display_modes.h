#pragma once
// The requested full-screen mode and the search for the mode to set.
#include <functional>
#include <vector>

#include "platform/seam/video_device.h"

namespace kv {

using TDXDrawDisplayMode = DisplayModeDesc;

class TDXDrawDisplay {
 public:
  int Width = 640;
  int Height = 480;
  bool FixedBitCount = false;
  bool FixedRatio = true;
  bool FixedSize = true;
  int BitCount() const { return bitCount_; }
  // Accepts 8, 16, 24 or 32; raises EDirectDrawError otherwise.
  void SetBitCount(int bits);

 private:
  int bitCount_ = 16;
};

// Sorted ascending by width, then height, then bit count.
void sortModes(std::vector<TDXDrawDisplayMode>& modes);

// Finds and sets a mode for the request: the exact mode first, then (with FixedRatio) the best mode
// of the same aspect ratio, then the best mode without the ratio rule. `trySet` asks the device.
// On success `display` takes the width, height and bit count that were set.
bool selectDisplayMode(TDXDrawDisplay& display, const std::vector<TDXDrawDisplayMode>& sortedModes,
                       const std::function<bool(const TDXDrawDisplayMode&)>& trySet);

}  // namespace kv
