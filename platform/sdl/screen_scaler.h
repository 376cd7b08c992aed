#pragma once
// Scales the game's 800x600 screen into a window's 32-bit pixels by whole source pixels (each window
// pixel shows the screen pixel under its centre), letterboxed between black bars. The maps from
// window columns and rows to screen columns and rows are made once per window size, and a window row
// that shows the same screen row as the one above it is a copy of that row. Only screen rows whose
// frame pixels or buttons changed since the last draw are composed (the 16-bit pixels widened through
// a table, the buttons' pictures on top) and scaled; the others stay as they are in the window, and
// the caller is told which bands of the window changed, so that only those go to the display. No SDL.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/seam/pixel_layout.h"

namespace kv {

struct PixelRect {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const PixelRect&) const = default;
};

// Where a screen of the given size lies in a window: as large as fits with its shape kept, centred.
PixelRect letterbox(int windowWidth, int windowHeight, int screenWidth, int screenHeight);

// The screen coordinate a window coordinate shows, for a picture starting at `start` that is `length`
// window pixels long; before the picture -1, after it `screenLength` (beyond either edge).
int screenCoordinate(int windowPos, int start, int length, int screenLength);

// 32-bit window pixels with 8-bit channels at these bit positions (X11's usual is 16, 8, 0).
struct Rgb32Layout {
  int redShift = 16, greenShift = 8, blueShift = 0;
  uint32_t pack(uint32_t r, uint32_t g, uint32_t b) const {
    return r << redShift | g << greenShift | b << blueShift;
  }
};

// A picture laid over the frame (a push button), already in the window's pixel layout. Its id names
// its pixels: the same id must mean the same pixels (0: unknown, drawn afresh every time).
struct ScreenOverlay {
  int left = 0, top = 0, width = 0, height = 0;
  const uint32_t* pixels = nullptr;  // width * height, rows top to bottom
  uint64_t id = 0;
  bool operator==(const ScreenOverlay& o) const {
    return left == o.left && top == o.top && width == o.width && height == o.height && id == o.id && id != 0;
  }
};

class ScreenScaler {
 public:
  static constexpr int kScreenWidth = 800;
  static constexpr int kScreenHeight = 600;

  // The window's pixels; a new buffer or size is drawn whole by the next draw.
  void setTarget(uint32_t* pixels, int pitchBytes, int width, int height, Rgb32Layout layout);
  bool sameTarget(const uint32_t* pixels, int pitchBytes, int width, int height) const {
    return pixels == pixels_ && pitchBytes == pitchBytes_ && width == width_ && height == height_;
  }
  // What the window shows is unknown (it was exposed): the next draw is whole, bars included.
  void invalidate() { whole_ = true; }

  // Draws the frame (null: black) at the top left with the overlays on top into the window and
  // returns the window's bands that changed (none when nothing did).
  const std::vector<PixelRect>& draw(const Frame16* frame, const std::vector<ScreenOverlay>& overlays);

  PixelRect picture() const { return picture_; }
  Rgb32Layout layout() const { return layout_; }
  // The first window column and row that show screen pixel (x, y): where to read the window back.
  int windowX(int x) const { return picture_.x + firstColumn_[x]; }
  int windowY(int y) const { return picture_.y + std::min(firstRow_[y], picture_.h - 1); }

 private:
  // Marks the rows whose source changed since the last draw; false for a row that did not.
  void findChangedRows(const Frame16* frame, const std::vector<ScreenOverlay>& overlays);
  // Composes screen row y into `row` (800 pixels).
  void composeRow(int y, const Frame16* frame, const std::vector<ScreenOverlay>& overlays, uint32_t* row);
  // Puts the composed row into every window row that shows screen row y.
  void scaleRow(int y, const uint32_t* row);
  void addBand(int top, int bottom);
  uint32_t* windowRow(int y) const {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(pixels_) +
                                       static_cast<ptrdiff_t>(y) * pitchBytes_);
  }

  uint32_t* pixels_ = nullptr;
  int pitchBytes_ = 0, width_ = 0, height_ = 0;
  Rgb32Layout layout_;
  PixelRect picture_;
  bool whole_ = true;
  std::vector<int> columnMap_;    // per window column of the picture: the screen column it shows
  std::vector<uint8_t> repeats_;  // per screen column: how many window columns show it
  int mostRepeats_ = 0;
  std::vector<int> firstColumn_;  // per screen column: the first picture column showing it
  std::vector<int> firstRow_;  // per screen row (and one past the last): the first picture row at or after it
  std::vector<uint32_t> widen_;  // every 16-bit pixel in the window's layout
  PixelLayout widenFor_ = PixelLayout::Rgb565;
  // What the window shows, as its sources: the frame's pixels and the buttons last drawn.
  std::vector<uint16_t> shownFrame_;
  int shownWidth_ = -1, shownHeight_ = -1;
  PixelLayout shownLayout_ = PixelLayout::Rgb565;
  std::vector<ScreenOverlay> shownOverlays_;
  std::vector<uint8_t> changed_;  // per screen row, this draw
  std::vector<uint32_t> row_;     // the row being composed
  std::vector<PixelRect> bands_;
};

}  // namespace kv
