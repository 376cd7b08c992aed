#pragma once
// The push buttons over the game's picture: each visible button is drawn by the shared button
// painter into a small picture, kept as a texture and re-made only when its look changes.
#include <memory>
#include <string>
#include <vector>

#include "platform/seam/button_view.h"
#include "platform/support/screen_composer.h"

struct SDL_Renderer;
struct SDL_Texture;

namespace kv {

class SdlButtonLayer {
 public:
  SdlButtonLayer() = default;
  ~SdlButtonLayer();
  SdlButtonLayer(const SdlButtonLayer&) = delete;
  SdlButtonLayer& operator=(const SdlButtonLayer&) = delete;

  // Takes the visible buttons; true when they differ from the ones held before.
  bool setButtons(const std::vector<ButtonView>& buttons);
  const std::vector<ButtonView>& buttons() const { return buttons_; }
  // Copies the buttons onto the renderer's picture in their order, making textures as needed.
  void draw(SDL_Renderer* renderer, GlyphSource& glyphs);
  // Lets go of every texture (the renderer lost them, or is going away).
  void dropTextures();

 private:
  struct Cached {
    ButtonView look;  // position ignored: the texture holds the button at its top left
    SDL_Texture* texture = nullptr;
  };
  SDL_Texture* textureFor(SDL_Renderer* renderer, const ButtonView& view, GlyphSource& glyphs);
  void prune();

  std::vector<ButtonView> buttons_;
  std::vector<Cached> cache_;
};

}  // namespace kv
