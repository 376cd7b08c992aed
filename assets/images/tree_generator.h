#pragma once
// The scenery tree, grown rather than drawn: a trunk that forks again and again into thinner,
// shorter twigs, each twig ending in a small cluster of leaves. The source gives the size, the
// transparent colour, the seed of the growth and the colours:
//
//   size W H
//   key R G B
//   seed N
//   colour bark-light|bark|bark-dark|bark-outline|leaf-light|leaf|leaf-dark R G B
//
// The same source always grows the same tree: the growth uses its own random sequence.
#include <string>

#include "gfx/dib_format.h"

namespace kv {

// Grows the 24-bit picture; `sourceName` only labels error messages (ArtSourceError).
DibPicture growTree(const std::string& text, const std::string& sourceName);

}  // namespace kv
