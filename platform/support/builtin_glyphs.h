#pragma once
// Button captions without a font file: a small hand-drawn pixel font, used by headless screenshots
// and by the desktop when no system font can be found.
#include "platform/support/screen_composer.h"

namespace kv {

class BuiltinGlyphs : public GlyphSource {
 public:
  TextBitmap renderText(const std::string& text) override;
};

}  // namespace kv
