// The window's own scaling against a straightforward one: every window pixel is the screen pixel
// under its centre, on random frames and buttons at many window sizes; rows that did not change are
// left alone and only the changed bands are reported; the pointer maps back to the pixel shown.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/sdl/refresh_measure.h"
#include "platform/sdl/screen_scaler.h"
#include "platform/support/screen_composer.h"

namespace kv {
namespace {

constexpr int kW = ScreenScaler::kScreenWidth, kH = ScreenScaler::kScreenHeight;

struct Scene {
  std::vector<uint16_t> frame;
  Frame16 view;
  std::vector<std::vector<uint32_t>> pictures;
  std::vector<ScreenOverlay> overlays;
};

Scene randomScene(std::mt19937& rng, PixelLayout layout, int width, int height, Rgb32Layout out) {
  Scene s;
  s.frame.resize(static_cast<size_t>(width) * height);
  for (uint16_t& p : s.frame)
    p = static_cast<uint16_t>(rng() & (layout == PixelLayout::Rgb555 ? 0x7FFF : 0xFFFF));
  s.view = Frame16{s.frame.data(), width, height, width, layout, {}};
  // Buttons, one of them hanging over the screen's right edge.
  const int places[][4] = {{331, 407, 127, 57}, {16, 8, 74, 25}, {760, 570, 60, 40}};
  for (const auto& p : places) {
    std::vector<uint32_t> px(static_cast<size_t>(p[2]) * p[3]);
    for (uint32_t& v : px) v = out.pack(rng() & 255, rng() & 255, rng() & 255);
    s.pictures.push_back(std::move(px));
    s.overlays.push_back({p[0], p[1], p[2], p[3], s.pictures.back().data(), s.pictures.size()});
  }
  return s;
}

// The screen composed pixel by pixel: the frame widened, black beyond it, the buttons on top.
std::vector<uint32_t> referenceScreen(const Scene& s, Rgb32Layout out) {
  std::vector<uint32_t> screen(static_cast<size_t>(kW) * kH, 0);
  for (int y = 0; y < std::min(s.view.height, kH); ++y) {
    for (int x = 0; x < std::min(s.view.width, kW); ++x) {
      uint8_t r, g, b;
      widenPixel(s.frame[static_cast<size_t>(y) * s.view.width + x], s.view.layout, r, g, b);
      screen[static_cast<size_t>(y) * kW + x] = out.pack(r, g, b);
    }
  }
  for (const ScreenOverlay& o : s.overlays) {
    for (int y = o.top; y < std::min(o.top + o.height, kH); ++y) {
      for (int x = o.left; x < std::min(o.left + o.width, kW); ++x) {
        screen[static_cast<size_t>(y) * kW + x] =
            o.pixels[static_cast<size_t>(y - o.top) * o.width + (x - o.left)];
      }
    }
  }
  return screen;
}

// Nearest pixel: the screen pixel under the window pixel's centre, black outside the picture.
uint32_t referencePixel(const std::vector<uint32_t>& screen, int wx, int wy, PixelRect pic) {
  if (wx < pic.x || wy < pic.y || wx >= pic.x + pic.w || wy >= pic.y + pic.h) return 0;
  const int sx = static_cast<int>(std::floor((wx - pic.x + 0.5) * kW / pic.w));
  const int sy = static_cast<int>(std::floor((wy - pic.y + 0.5) * kH / pic.h));
  return screen[static_cast<size_t>(sy) * kW + sx];
}

PixelRect rect(int x, int y, int w, int h) {
  return PixelRect{x, y, w, h};
}
std::vector<PixelRect> oneBand(int x, int y, int w, int h) {
  return {rect(x, y, w, h)};
}

struct Window {
  int width, height, pitch;  // pitch in pixels, wider than the window to catch row mistakes
  std::vector<uint32_t> pixels;
  Window(int w, int h)
      : width(w), height(h), pitch(w + 3), pixels(static_cast<size_t>(pitch) * h, 0xDEADBEEF) {}
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * pitch + x]; }
};

// Counts the window pixels that differ from the straightforward scaling.
int mismatches(const Window& w, const std::vector<uint32_t>& screen, PixelRect pic) {
  int bad = 0;
  for (int y = 0; y < w.height; ++y)
    for (int x = 0; x < w.width; ++x) bad += w.at(x, y) != referencePixel(screen, x, y, pic);
  return bad;
}

TEST(ScreenScalerTest, EveryWindowPixelIsTheScreenPixelUnderItsCentre) {
  std::mt19937 rng(17);
  const int sizes[][2] = {{800, 600},  {1920, 1080}, {2560, 1440}, {1024, 768}, {801, 601},
                          {1000, 600}, {800, 1000},  {640, 480},   {1366, 768}, {1600, 1200}};
  const Rgb32Layout layouts[] = {{16, 8, 0}, {0, 8, 16}};
  int round = 0;
  for (const auto& size : sizes) {
    const Rgb32Layout out = layouts[round % 2];
    const PixelLayout in = round % 3 == 2 ? PixelLayout::Rgb555 : PixelLayout::Rgb565;
    // The game's 800x566 frame, now and then one of another size.
    const Scene s =
        round % 4 == 3 ? randomScene(rng, in, 900, 300, out) : randomScene(rng, in, 800, 566, out);
    ++round;
    Window w(size[0], size[1]);
    ScreenScaler scaler;
    scaler.setTarget(w.pixels.data(), w.pitch * 4, w.width, w.height, out);
    const std::vector<PixelRect> bands = scaler.draw(&s.view, s.overlays);
    EXPECT_EQ(bands, oneBand(0, 0, w.width, w.height)) << size[0] << "x" << size[1];
    const PixelRect pic = scaler.picture();
    EXPECT_EQ(mismatches(w, referenceScreen(s, out), pic), 0) << size[0] << "x" << size[1];
    EXPECT_EQ(w.at(w.width, 0), 0xDEADBEEF) << "wrote past the row";

    // The pointer lands on the pixel it is over.
    for (int x = 0; x < w.width; ++x) {
      const int want = x < pic.x            ? -1
                       : x >= pic.x + pic.w ? kW
                                            : static_cast<int>(std::floor((x - pic.x + 0.5) * kW / pic.w));
      ASSERT_EQ(screenCoordinate(x, pic.x, pic.w, kW), want) << size[0] << "x" << size[1] << " at " << x;
    }
  }
  EXPECT_EQ(letterbox(1920, 1080, kW, kH), rect(240, 0, 1440, 1080));
  EXPECT_EQ(letterbox(2560, 1440, kW, kH), rect(320, 0, 1920, 1440));
  EXPECT_EQ(letterbox(3840, 2160, kW, kH), rect(480, 0, 2880, 2160));
  EXPECT_EQ(letterbox(800, 1000, kW, kH), rect(0, 200, 800, 600));
}

TEST(ScreenScalerTest, OnlyChangedRowsAreDrawnAndSent) {
  std::mt19937 rng(3);
  const Rgb32Layout out;
  Scene s = randomScene(rng, PixelLayout::Rgb565, 800, 566, out);
  Window w(1920, 1080);
  ScreenScaler scaler;
  scaler.setTarget(w.pixels.data(), w.pitch * 4, w.width, w.height, out);
  scaler.draw(&s.view, s.overlays);
  EXPECT_TRUE(scaler.draw(&s.view, s.overlays).empty());

  // One pixel of screen row 300 and one of row 303 (shown at window rows 540..541 and 545..546):
  // one band for both, since the rows between cost less than another request.
  s.frame[300 * 800 + 10] ^= 0x0821;
  s.frame[303 * 800 + 700] ^= 0xFFFF;
  const std::vector<PixelRect> bands = scaler.draw(&s.view, s.overlays);
  EXPECT_EQ(bands, oneBand(240, 540, 1440, 7));
  EXPECT_EQ(mismatches(w, referenceScreen(s, out), scaler.picture()), 0);

  // A pressed button (screen rows 8..32) changes its rows alone; the bars are never touched again...
  w.pixels[5] = 12345;
  s.pictures[1][0] ^= 0xFF;
  s.overlays[1].id = 99;  // a new look is a new picture
  EXPECT_EQ(scaler.draw(&s.view, s.overlays), oneBand(240, 14, 1440, 45));
  EXPECT_EQ(mismatches(w, referenceScreen(s, out), scaler.picture()), 1);  // the bar's pixel
  EXPECT_EQ(w.pixels[5], 12345u);
  // ...until the window is exposed: then all of it, bars black again.
  scaler.invalidate();
  EXPECT_EQ(scaler.draw(&s.view, s.overlays).size(), 1u);
  EXPECT_EQ(w.pixels[5], 0u);
  // No frame (the device let go): black with the buttons.
  scaler.draw(nullptr, s.overlays);
  s.frame.assign(s.frame.size(), 0);
  EXPECT_EQ(mismatches(w, referenceScreen(s, out), scaler.picture()), 0);
}

TEST(RefreshMeasureTest, SteadyPresentsGiveTheirRateAndOthersNone) {
  auto ends = [](int n, auto periodNs) {
    std::vector<uint64_t> t{1'000'000'000};
    for (int i = 0; i < n; ++i) t.push_back(t.back() + periodNs(i));
    return t;
  };
  // 60 Hz with a little jitter and a late frame now and then, as a busy machine shows it.
  EXPECT_EQ(
      steadyRateHz(ends(
          40, [](int i) { return i % 9 == 4 ? 33'333'333 : 16'666'667 + (i % 2 ? 300'000 : -300'000); })),
      60);
  EXPECT_EQ(steadyRateHz(ends(40, [](int) { return 6'944'444; })), 144);
  // A renderer that fakes its waiting with a millisecond clock: 16 ms steps.
  EXPECT_EQ(steadyRateHz(ends(40, [](int) { return 16'000'000; })), 62);
  // Presents that do not wait, a rate that wanders, too few presents: no rate.
  EXPECT_EQ(steadyRateHz(ends(40, [](int) { return 150'000; })), 0);
  EXPECT_EQ(steadyRateHz(ends(40, [](int i) { return i % 2 ? 10'000'000 : 30'000'000; })), 0);
  EXPECT_EQ(steadyRateHz(ends(6, [](int) { return 16'666'667; })), 0);
}

}  // namespace
}  // namespace kv
