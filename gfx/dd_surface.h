#pragma once
// TDirectDrawSurface: one 16-bit drawing surface in our own memory, with the device's behaviour:
// it can be lost and restored, locked for direct pixel access, filled, and used as a colour-keyed
// blit source. Every operation records its result; failures are not exceptions.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/pattern_stores.h"
#include "gfx/pixel_spans.h"
#include "gfx/rect.h"
#include "platform/seam/pixel_layout.h"

namespace kv {

class TDirectDraw;

// Result codes the operations record.
enum class DDResult { Ok, NotMade, Lost, Busy, InvalidParams, OutOfMemory, Refused };

struct SurfaceLockDesc {
  uint8_t* bits = nullptr;  // the first pixel of the top row
  int32_t pitchBytes = 0;   // bytes from one row to the next (may exceed 2 x width)
  int32_t width = 0, height = 0;
  uint32_t greenMask = 0;  // 0x07E0 for 5-6-5, 0x03E0 for 5-5-5
};

class TDirectDrawSurface {
 public:
  explicit TDirectDrawSurface(TDirectDraw* device = nullptr);
  ~TDirectDrawSurface();
  TDirectDrawSurface(const TDirectDrawSurface&) = delete;
  TDirectDrawSurface& operator=(const TDirectDrawSurface&) = delete;

  // Makes the surface's memory; false when the size is not positive or too large.
  bool Create(int32_t width, int32_t height, PixelLayout layout);
  // The screen surface has no memory of its own: presenting writes to it.
  void CreatePrimary(int32_t width, int32_t height, PixelLayout layout);
  void Release();
  // True while the surface exists (its device interface is there).
  bool Exists() const { return exists_; }

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  PixelLayout Layout() const { return layout_; }
  DDResult LastResult() const { return result_; }

  // Lost surfaces refuse to be drawn on or locked until they are restored. A surface is lost when it
  // was marked so or while its device has lost the surfaces' memory.
  bool IsLost() const;
  void MarkLost() { lost_ = exists_; }
  // Brings a lost surface back (its device must allow it); the content is then undefined.
  bool Restore();

  // Sets every pixel to the raw 16-bit value (not a colour).
  void Fill(uint32_t pixel);

  // Whole-surface lock for direct pixel access.
  bool Lock(SurfaceLockDesc& desc);
  void Unlock();
  bool Locked() const { return locked_; }
  // Tests: make the next locks fail as a busy device would.
  void SetRefuseLocks(bool refuse) { refuseLocks_ = refuse; }

  // Source colour key for transparent blits. The picture's opaque pixels are found here, so the
  // pictures of an image list are scanned once per restore, not on every draw.
  void SetColorKey(uint16_t key);
  bool HasColorKey() const { return hasColorKey_; }
  // The rectangles this picture's keyed copies take whole again and again (an image-list entry's
  // patterns): their opaque pixels are listed once, so such a copy is one pass over a list.
  void SetKeyedPatterns(std::vector<TRect> rects);
  uint16_t ColorKey() const { return colorKey_; }

  // Copies src's rectangle to (x, y) without scaling, skipping the key colour when useKey is set.
  // The caller has clipped both rectangles; this only refuses what is still out of bounds.
  bool BltFast(int32_t x, int32_t y, const TDirectDrawSurface& src, const TRect& srcRect, bool useKey);

  // Direct access for the device and tests (empty for the screen surface). Writable access may
  // change the picture, so its opaque pixels are found again before the next keyed copy from it.
  uint16_t* Row(int32_t y) {
    opaqueFresh_ = false;
    return writable() + static_cast<size_t>(y) * pitchPixels_;
  }
  const uint16_t* Row(int32_t y) const { return memory_->data() + static_cast<size_t>(y) * pitchPixels_; }
  int32_t PitchPixels() const { return pitchPixels_; }
  uint16_t Pixel(int32_t x, int32_t y) const { return Row(y)[x]; }
  // The pixels as a frame to present. Unless the surface is locked, the frame shares its memory:
  // a display may keep it without a copy, and the surface moves to other memory before it next
  // writes (for a whole fill without copying anything).
  Frame16 frame() const;

 private:
  friend class TDirectDraw;
  // The opaque pixels (by row and by pattern) for the current pixels and key, found again when
  // anything may have changed them.
  const OpaquePixels& opaquePixels() const;
  void keyedCopy(int32_t x, int32_t y, const TDirectDrawSurface& src, const TRect& r);
  void keyedCopyPixelByPixel(int32_t x, int32_t y, const TDirectDrawSurface& src, const TRect& r);

  using Pixels = std::vector<uint16_t>;
  // The pixels for writing: copied first while a display still keeps them as its frame.
  uint16_t* writable() {
    if (memory_.use_count() > 1) moveToOwnMemory(true);
    return memory_->data();
  }
  void moveToOwnMemory(bool keepPixels);

  TDirectDraw* device_;  // cleared when the device goes first
  std::shared_ptr<Pixels> memory_ = std::make_shared<Pixels>();
  // The memory of an earlier frame, reused once no display keeps it any more.
  std::shared_ptr<Pixels> spare_;
  int32_t width_ = 0, height_ = 0, pitchPixels_ = 0;
  PixelLayout layout_ = PixelLayout::Rgb565;
  bool exists_ = false;
  bool primary_ = false;
  bool lost_ = false;
  bool locked_ = false;
  bool refuseLocks_ = false;
  bool hasColorKey_ = false;
  uint16_t colorKey_ = 0;
  mutable OpaquePixels opaque_;
  mutable PatternStores patterns_;
  mutable bool opaqueFresh_ = false;
  DDResult result_ = DDResult::NotMade;
};

}  // namespace kv
