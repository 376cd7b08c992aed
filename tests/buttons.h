#pragma once
// The form's buttons as tests click them: from the layout the form itself is built from.
#include <string>

#include "core/form_layout.h"

namespace kv {

inline const ButtonPlace& levelButton(int level) {
  return kLevelButtons.at(static_cast<size_t>(level - 1));
}

// A script's click on a button's centre: "click X Y".
inline std::string clickOn(const ButtonPlace& b) {
  return "click " + std::to_string(b.centreX()) + " " + std::to_string(b.centreY());
}

}  // namespace kv
