#include "assets/images/stored_picture.h"

#include "assets/images/art_text.h"
#include "gfx/dib_reader.h"
#include "platform/components/component_errors.h"

namespace kv {

DibPicture loadStoredPicture(const std::string& path) {
  const std::string bytes = readArtFile(path);
  try {
    return readTdib(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  } catch (const EDibError& e) {
    throw ArtSourceError(path + ": " + e.what());
  }
}

}  // namespace kv
