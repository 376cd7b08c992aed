#pragma once
// The window's icon: the same drawing as the installed icons, made at build time from the vehicle's
// pictures (packaging/icon).

namespace kv {

struct WindowIcon {
  int width = 0;
  int height = 0;
  const unsigned char* rgba = nullptr;  // straight red, green, blue, alpha per pixel, rows top to bottom
};

WindowIcon windowIcon();

}  // namespace kv
