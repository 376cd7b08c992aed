#pragma once
// Exceptions of the component layer. Each carries its message text; the application prints what
// escapes a handler and goes on.
#include <stdexcept>
#include <string>

namespace kv {

class EComponentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The argument is a class name, which cannot be put in parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define KV_COMPONENT_ERROR(Name)            \
  class Name : public EComponentError {     \
   public:                                  \
    using EComponentError::EComponentError; \
  }
// NOLINTEND(bugprone-macro-parentheses)

KV_COMPONENT_ERROR(EDXDrawError);
KV_COMPONENT_ERROR(EDirectDrawError);
KV_COMPONENT_ERROR(EDirectDrawSurfaceError);
KV_COMPONENT_ERROR(EPictureCollectionError);
KV_COMPONENT_ERROR(EListError);
KV_COMPONENT_ERROR(ESpriteError);
KV_COMPONENT_ERROR(EWaveError);
KV_COMPONENT_ERROR(EDXSoundError);
KV_COMPONENT_ERROR(EDirectSoundError);
KV_COMPONENT_ERROR(EDirectSoundBufferError);
KV_COMPONENT_ERROR(EDibError);
KV_COMPONENT_ERROR(EFOpenError);

#undef KV_COMPONENT_ERROR

// Fills the one %s or %d of a message format.
std::string formatMessage(const char* format, const std::string& argument);
std::string formatMessage(const char* format, long long argument);

}  // namespace kv
