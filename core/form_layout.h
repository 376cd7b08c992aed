#pragma once
// Where the window's push buttons stand, in screen pixels of the 800x600 display, with their
// captions. The form places its buttons from here; tests and scripts click their centres.
#include <array>

#include "platform/components/push_button.h"

namespace kv {

constexpr ButtonPlace kPlayButton{"Play", 331, 407, 127, 57};
constexpr ButtonPlace kStopButton{"Stop", 16, 8, 75, 25};
constexpr ButtonPlace kExitButton{"Exit", 331, 501, 127, 57};
// Levels 1 to 6, left to right under the caption.
constexpr std::array<ButtonPlace, 6> kLevelButtons{{{"1", 309, 470, 25, 25},
                                                    {"2", 340, 470, 25, 25},
                                                    {"3", 371, 470, 25, 25},
                                                    {"4", 402, 470, 25, 25},
                                                    {"5", 433, 470, 25, 25},
                                                    {"6", 464, 470, 25, 25}}};

}  // namespace kv
