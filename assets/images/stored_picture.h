#pragma once
// Reads back a picture file written by the art tools (the stored "TDIB" form), for the contact
// sheet and the asset tests. It says what is wrong
// with anything else.
#include <string>

#include "gfx/dib_format.h"

namespace kv {

// Throws ArtSourceError when the file is missing or not in the stored form.
DibPicture loadStoredPicture(const std::string& path);

}  // namespace kv
