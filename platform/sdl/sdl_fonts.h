#pragma once
// Button captions in the system's sans-serif font (found through fontconfig, drawn with SDL_ttf,
// anti-aliased); the built-in pixel font when no font can be found.
#include <memory>
#include <string>

#include "platform/support/screen_composer.h"

namespace kv {

// The caption font: DejaVu Sans or whatever the system calls sans-serif, about 11 pixels high;
// the built-in glyphs when there is none.
std::unique_ptr<GlyphSource> makeCaptionGlyphs();

// The file fontconfig picks for a family name such as "sans-serif"; empty when there is none.
std::string findFontFile(const std::string& family);

}  // namespace kv
