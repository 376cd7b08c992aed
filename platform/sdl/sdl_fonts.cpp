#include "platform/sdl/sdl_fonts.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include "platform/support/builtin_glyphs.h"

namespace kv {

namespace {

// The captions of the classic buttons are 8 point at 96 dots per inch: about 11 pixels.
constexpr int kCaptionPixels = 11;

class TtfGlyphs : public GlyphSource {
 public:
  explicit TtfGlyphs(TTF_Font* font) : font_(font) {}
  ~TtfGlyphs() override {
    TTF_CloseFont(font_);
    TTF_Quit();
  }
  TtfGlyphs(const TtfGlyphs&) = delete;
  TtfGlyphs& operator=(const TtfGlyphs&) = delete;

  TextBitmap renderText(const std::string& text) override {
    TextBitmap bm;
    if (text.empty()) return bm;
    // White text on a transparent ground: the alpha of each pixel is the ink's coverage.
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(font_, text.c_str(), SDL_Color{255, 255, 255, 255});
    if (!rendered) return bm;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (!argb) return bm;
    bm.width = argb->w;
    bm.height = argb->h;
    bm.coverage.resize(static_cast<size_t>(bm.width) * bm.height);
    SDL_LockSurface(argb);
    for (int y = 0; y < bm.height; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) +
                                                          static_cast<size_t>(y) * argb->pitch);
      for (int x = 0; x < bm.width; ++x) {
        bm.coverage[static_cast<size_t>(y) * bm.width + x] = static_cast<uint8_t>(row[x] >> 24);
      }
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    return bm;
  }

 private:
  TTF_Font* font_;
};

}  // namespace

std::string findFontFile(const std::string& family) {
  // A configuration of our own, freed again: the font file is looked up once and fontconfig's
  // process-wide state stays untouched.
  FcConfig* config = FcInitLoadConfigAndFonts();
  if (!config) return {};
  std::string file;
  if (FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family.c_str()))) {
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(config, pattern, &result)) {
      FcChar8* path = nullptr;
      if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) {
        file = reinterpret_cast<const char*>(path);
      }
      FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
  }
  FcConfigDestroy(config);
  return file;
}

std::unique_ptr<GlyphSource> makeCaptionGlyphs() {
  const std::string file = findFontFile("sans-serif");
  if (!file.empty() && TTF_Init() == 0) {
    if (TTF_Font* font = TTF_OpenFont(file.c_str(), kCaptionPixels)) {
      TTF_SetFontHinting(font, TTF_HINTING_LIGHT);
      return std::make_unique<TtfGlyphs>(font);
    }
    TTF_Quit();
  }
  return std::make_unique<BuiltinGlyphs>();
}

}  // namespace kv
