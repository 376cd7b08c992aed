#pragma once
// TDXDraw: the display control. It owns the display device, the screen surface `Primary` and the
// off-screen drawing surface `Surface`, shows `Surface` with Flip, and tells registered listeners
// when the device and its surfaces come and go.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "gfx/dd_surface.h"
#include "gfx/direct_draw.h"
#include "gfx/display_modes.h"
#include "gfx/dxdraw_options.h"

namespace kv {

class VideoDevice;

enum class TDXDrawNotifyType {
  Destroying,
  Initializing,
  Initialize,
  InitializeSurface,
  SetSurfaceSize,
  Restore,
  Finalize,
  FinalizeSurface,
};

class TDXDraw;
using TDXDrawNotifyEvent = std::function<void(TDXDraw& sender, TDXDrawNotifyType type)>;
using TDXDrawEvent = std::function<void(TDXDraw& sender)>;

class TDXDraw {
 public:
  // hasForm: the control sits on a window (a display without one cannot initialise).
  explicit TDXDraw(VideoDevice& video, bool hasForm = true);
  ~TDXDraw();
  TDXDraw(const TDXDraw&) = delete;
  TDXDraw& operator=(const TDXDraw&) = delete;

  TDXDrawOptions Options() const { return options_; }
  void SetOptions(TDXDrawOptions options);
  TDXDrawOptions NowOptions() const { return nowOptions_; }

  TDXDrawDisplay Display;
  bool AutoInitialize = true;
  bool AutoSize = true;

  int32_t SurfaceWidth() const;
  int32_t SurfaceHeight() const;
  void SetSurfaceSize(int32_t width, int32_t height);

  // The control's place on its window.
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  int32_t Left() const { return left_; }
  int32_t Top() const { return top_; }
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }

  bool Initialized() const { return initialized_; }
  bool Busy() const { return busy_; }
  TDirectDrawSurface* Primary() { return primary_ ? primary_.get() : nullptr; }
  TDirectDrawSurface* Surface() { return surface_ ? surface_.get() : nullptr; }
  TDirectDraw* DDraw() { return ddraw_.get(); }
  // The cooperative level the last initialisation asked for (full screen: 0x51, 0x55; +0x02; windowed 0x08).
  uint32_t CooperativeLevel() const { return cooperativeLevel_; }

  void Initialize();
  void Finalize();
  void Restore();
  bool CanDraw();
  void Flip();

  // The mode list, enumerated from the device on first use and sorted.
  const std::vector<TDXDrawDisplayMode>& DisplayModes();

  // Each waiting Flip waits for this many vertical blanks (more than 1 on displays above 120 Hz).
  void SetVBlanksPerFlip(int32_t k) { vblanksPerFlip_ = k < 1 ? 1 : k; }
  int32_t VBlanksPerFlip() const { return vblanksPerFlip_; }

  // Window hooks: first shown, interactive move or size (also minimise) start and end, destroyed.
  void FormShown();
  void FormMoveSizeStart();
  void FormMoveSizeEnd();
  void FormDestroyed();
  void SetFormLoading(bool loading) { formLoading_ = loading; }

  // Listeners; `context` identifies the registration. Events go in reverse order of registration.
  void RegisterNotifyEvent(void* context, TDXDrawNotifyEvent callback);
  void UnRegisterNotifyEvent(void* context);

  TDXDrawEvent OnInitializing, OnInitialize, OnInitializeSurface, OnFinalize, OnFinalizeSurface,
      OnRestoreSurface;

  // The video device behind the display.
  VideoDevice& Video() { return video_; }

 private:
  enum class Stage { None, Initialized, SurfaceInitialized };
  struct Listener {
    void* context;
    TDXDrawNotifyEvent callback;
    uint64_t id;  // tells registrations of the same context apart
  };

  void notify(TDXDrawNotifyType type);
  void notifyOne(const Listener& l, TDXDrawNotifyType type);
  bool registered(uint64_t id) const;
  void createSurfaces();
  bool makeDrawingSurface();
  void releaseDriver();
  void resizeSurface(int32_t width, int32_t height);

  VideoDevice& video_;
  bool hasForm_;
  TDXDrawOptions options_ = 0x368C;
  TDXDrawOptions nowOptions_;
  int32_t left_ = 0, top_ = 0, width_ = 100, height_ = 100;
  int32_t surfaceWidth_ = 100, surfaceHeight_ = 100;
  bool initialized_ = false;
  bool busy_ = false;
  bool initAttempted_ = false;
  bool initializing_ = false;
  bool formLoading_ = false;
  Stage stage_ = Stage::None;
  uint32_t cooperativeLevel_ = 0;
  int32_t vblanksPerFlip_ = 1;
  std::unique_ptr<TDirectDraw> ddraw_;
  std::unique_ptr<TDirectDrawSurface> primary_;
  std::unique_ptr<TDirectDrawSurface> surface_;
  std::vector<TDXDrawDisplayMode> modes_;
  bool modesRead_ = false;
  std::vector<Listener> listeners_;
  uint64_t nextListenerId_ = 0;
};

}  // namespace kv
