#pragma once
// Button captions without a font file: a small hand-drawn pixel font, used by headless screenshots.
#include "platform/screen_composer.h"

namespace kv {

class BuiltinGlyphs : public GlyphSource {
 public:
  TextBitmap renderText(const std::string& text) override;
};

}  // namespace kv
