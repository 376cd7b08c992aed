// Placeholder until the SDL back end lands.
#include "platform/sdl/sdl_backend.h"

namespace kv {

struct SdlBackend::Impl {};

SdlBackend::SdlBackend() = default;
SdlBackend::~SdlBackend() = default;

bool SdlBackend::init(const SdlOptions&, std::string& error) {
  error = "the desktop back end is not built yet";
  return false;
}

Platform SdlBackend::platform() { throw std::logic_error("no desktop back end"); }

}  // namespace kv
