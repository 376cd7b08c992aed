#pragma once
// The screen through an SDL renderer: the frame uploaded to a 16-bit streaming texture, scaled to the
// window by the renderer's 800x600 logical size (whole pixels, black bars), the push buttons' textures
// on top. The path of graphics cards, and of video drivers that give a window no framebuffer.
#include <vector>

#include "platform/sdl/screen_presenter.h"
#include "platform/sdl/sdl_button_layer.h"
#include "platform/support/screen_composer.h"

struct SDL_Renderer;
struct SDL_Texture;

namespace kv {

class RendererPresenter : public ScreenPresenter {
 public:
  // Takes the renderer over.
  RendererPresenter(SDL_Renderer* renderer, GlyphSource& glyphs);
  ~RendererPresenter() override;
  RendererPresenter(const RendererPresenter&) = delete;
  RendererPresenter& operator=(const RendererPresenter&) = delete;

  void show(const Frame16* frame, bool frameChanged, const std::vector<ButtonView>& buttons, bool vsync,
            int shows) override;
  bool canWaitForVBlank() const override { return true; }
  void invalidate() override {}  // every show draws the whole window
  void targetsReset(bool deviceReset) override;
  bool restore() override;
  RgbImage readBack(const Frame16* frame, const std::vector<ButtonView>& buttons) override;
  const char* name() const override;

 private:
  bool makeTexture(int width, int height, PixelLayout layout);
  void dropTexture();
  void upload(const Frame16& frame);
  void drawScene(const Frame16* frame, const std::vector<ButtonView>& buttons);
  void setVsync(bool on);

  SDL_Renderer* renderer_;
  GlyphSource& glyphs_;
  SDL_Texture* texture_ = nullptr;
  int textureWidth_ = 800, textureHeight_ = 566;
  PixelLayout textureLayout_ = PixelLayout::Rgb565;
  bool uploadDue_ = true;
  bool vsync_ = false;
  SdlButtonLayer buttons_;
};

}  // namespace kv
