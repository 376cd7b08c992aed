#include "gfx/dd_surface.h"

#include <algorithm>

#include "gfx/direct_draw.h"
#include "gfx/turbopixels.h"
#include "platform/seam/video_device.h"

namespace kv {

namespace {
constexpr int32_t kMaxSide = 16384;
}

bool TDirectDraw::surfaceMemoryLost() const {
  return video_.surfacesLost();
}

bool TDirectDraw::restoreSurfaceMemory() {
  return !video_.surfacesLost() || video_.restoreSurfaces();
}

TDirectDraw::~TDirectDraw() {
  for (TDirectDrawSurface* s : surfaces_) s->device_ = nullptr;
}

void TDirectDraw::detach(TDirectDrawSurface* surface) {
  surfaces_.erase(std::remove(surfaces_.begin(), surfaces_.end(), surface), surfaces_.end());
}

TDirectDrawSurface::TDirectDrawSurface(TDirectDraw* device) : device_(device) {
  if (device_) device_->attach(this);
}

TDirectDrawSurface::~TDirectDrawSurface() {
  forgetLockedSurface(*this);
  if (device_) device_->detach(this);
}

bool TDirectDrawSurface::Create(int32_t width, int32_t height, PixelLayout layout) {
  Release();
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
    result_ = DDResult::InvalidParams;
    return false;
  }
  // Rows start on 16-byte boundaries, so the pitch may exceed the width as on real devices.
  pitchPixels_ = (width + 7) & ~7;
  memory_ = std::make_shared<Pixels>(static_cast<size_t>(pitchPixels_) * height, 0);
  spare_.reset();
  width_ = width;
  height_ = height;
  layout_ = layout;
  exists_ = true;
  primary_ = false;
  lost_ = false;
  opaqueFresh_ = false;
  result_ = DDResult::Ok;
  return true;
}

void TDirectDrawSurface::CreatePrimary(int32_t width, int32_t height, PixelLayout layout) {
  Release();
  width_ = width;
  height_ = height;
  layout_ = layout;
  exists_ = true;
  primary_ = true;
  result_ = DDResult::Ok;
}

void TDirectDrawSurface::Release() {
  forgetLockedSurface(*this);
  memory_ = std::make_shared<Pixels>();
  spare_.reset();
  width_ = height_ = pitchPixels_ = 0;
  exists_ = false;
  primary_ = false;
  lost_ = false;
  locked_ = false;
  hasColorKey_ = false;
  opaque_.clear();
  opaqueFresh_ = false;
  result_ = DDResult::NotMade;
}

bool TDirectDrawSurface::Restore() {
  if (!exists_) {
    result_ = DDResult::NotMade;
    return false;
  }
  if (!IsLost()) {
    result_ = DDResult::Ok;
    return true;
  }
  if (device_ && !device_->restoreSurfaceMemory()) {
    lost_ = true;
    result_ = DDResult::Lost;
    return false;
  }
  lost_ = false;
  opaqueFresh_ = false;  // restored memory holds no picture to speak of
  result_ = DDResult::Ok;
  return true;
}

bool TDirectDrawSurface::IsLost() const {
  return exists_ && (lost_ || (device_ && device_->surfaceMemoryLost()));
}

void TDirectDrawSurface::Fill(uint32_t pixel) {
  if (!exists_) {
    result_ = DDResult::NotMade;
    return;
  }
  if (IsLost()) {
    result_ = DDResult::Lost;
    return;
  }
  if (primary_) {
    result_ = DDResult::Ok;
    return;
  }
  const auto v = static_cast<uint16_t>(pixel);
  opaqueFresh_ = false;
  if (pitchPixels_ == width_) {
    // Every pixel is written: memory a display still keeps is left to it, not copied.
    if (memory_.use_count() > 1) moveToOwnMemory(false);
    fillPixels(memory_->data(), memory_->size(), v);
  } else {
    for (int32_t y = 0; y < height_; ++y) fillPixels(Row(y), static_cast<size_t>(width_), v);
  }
  result_ = DDResult::Ok;
}

bool TDirectDrawSurface::Lock(SurfaceLockDesc& desc) {
  if (!exists_ || primary_) {
    result_ = DDResult::NotMade;
  } else if (IsLost()) {
    result_ = DDResult::Lost;
  } else if (locked_ || refuseLocks_) {
    result_ = DDResult::Busy;
  } else {
    locked_ = true;
    opaqueFresh_ = false;  // the pixels may change through the lock
    desc.bits = reinterpret_cast<uint8_t*>(writable());
    desc.pitchBytes = pitchPixels_ * 2;
    desc.width = width_;
    desc.height = height_;
    desc.greenMask = layout_ == PixelLayout::Rgb565 ? 0x07E0u : 0x03E0u;
    result_ = DDResult::Ok;
    return true;
  }
  desc = SurfaceLockDesc{};
  return false;
}

void TDirectDrawSurface::Unlock() {
  result_ = locked_ ? DDResult::Ok : DDResult::Refused;
  locked_ = false;
}

bool TDirectDrawSurface::BltFast(int32_t x, int32_t y, const TDirectDrawSurface& src, const TRect& r,
                                 bool useKey) {
  if (!exists_ || !src.exists_ || primary_ || src.primary_) {
    result_ = DDResult::NotMade;
    return false;
  }
  if (IsLost() || src.IsLost()) {
    result_ = DDResult::Lost;
    return false;
  }
  if (locked_ || src.locked_) {
    result_ = DDResult::Busy;
    return false;
  }
  if (r.Left < 0 || r.Top < 0 || r.Right > src.width_ || r.Bottom > src.height_ || r.empty() || x < 0 ||
      y < 0 || x + r.width() > width_ || y + r.height() > height_) {
    result_ = DDResult::InvalidParams;
    return false;
  }
  if (!useKey || !src.hasColorKey_) {
    for (int32_t row = 0; row < r.height(); ++row)
      std::copy_n(src.Row(r.Top + row) + r.Left, r.width(), Row(y + row) + x);
  } else if (&src == this) {
    // A picture copied onto itself may read pixels it has just written: keep the pixel order.
    keyedCopyPixelByPixel(x, y, src, r);
  } else {
    keyedCopy(x, y, src, r);
  }
  result_ = DDResult::Ok;
  return true;
}

void TDirectDrawSurface::SetColorKey(uint16_t key) {
  colorKey_ = key;
  hasColorKey_ = true;
  opaqueFresh_ = false;
  if (exists_ && !primary_) opaquePixels();
}

void TDirectDrawSurface::SetKeyedPatterns(std::vector<TRect> rects) {
  patterns_.setPatterns(std::move(rects));
  opaqueFresh_ = false;
  if (exists_ && !primary_ && hasColorKey_) opaquePixels();
}

const OpaquePixels& TDirectDrawSurface::opaquePixels() const {
  if (!opaqueFresh_) {
    opaque_.build(memory_->data(), pitchPixels_, width_, height_, colorKey_);
    patterns_.build(memory_->data(), pitchPixels_, width_, height_, colorKey_);
    opaqueFresh_ = true;
  }
  return opaque_;
}

void TDirectDrawSurface::keyedCopy(int32_t x, int32_t y, const TDirectDrawSurface& src, const TRect& r) {
  const OpaquePixels& opaque = src.opaquePixels();
  // A whole pattern, or one cut by the destination's edges (a sprite coming in or going out).
  if (const int32_t pattern = src.patterns_.find(r); pattern >= 0) {
    src.patterns_.copy(pattern, r, Row(y) + x, pitchPixels_);
    return;
  }
  for (int32_t row = 0; row < r.height(); ++row)
    opaque.copyRow(r.Top + row, r.Left, r.Right, Row(y + row) + x);
}

void TDirectDrawSurface::keyedCopyPixelByPixel(int32_t x, int32_t y, const TDirectDrawSurface& src,
                                               const TRect& r) {
  const uint16_t key = src.colorKey_;
  for (int32_t row = 0; row < r.height(); ++row) {
    const uint16_t* s = src.Row(r.Top + row) + r.Left;
    uint16_t* d = Row(y + row) + x;
    for (int32_t i = 0; i < r.width(); ++i) {
      if (s[i] != key) d[i] = s[i];
    }
  }
}

void TDirectDrawSurface::moveToOwnMemory(bool keepPixels) {
  std::shared_ptr<Pixels> next;
  if (spare_ && spare_.use_count() == 1 && spare_->size() == memory_->size()) {
    next = std::move(spare_);
  } else {
    next = std::make_shared<Pixels>(memory_->size());
  }
  if (keepPixels) std::copy(memory_->begin(), memory_->end(), next->begin());
  spare_ = std::move(memory_);
  memory_ = std::move(next);
}

Frame16 TDirectDrawSurface::frame() const {
  Frame16 f;
  f.pixels = memory_->data();
  // A locked surface may be written through the lock at any time: its frame is copied.
  if (!locked_ && !memory_->empty()) f.shared = memory_;
  f.width = width_;
  f.height = height_;
  f.pitchPixels = pitchPixels_;
  f.layout = layout_;
  return f;
}

}  // namespace kv
