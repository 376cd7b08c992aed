#pragma once
// One call of the seam as a recording holds it: which call, its arguments (so a replay can tell when
// the game asks something else) and the answer the back end gave.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/seam/video_device.h"

namespace kv {

// The numbers are the file's; new calls get new numbers.
enum class Call : uint8_t {
  RefreshRate = 1,  // hz
  OpenWindow,       // ok
  CreateDevice,     // ok
  ReleaseDevice,    //
  Modes,            // (the list in Record::modes)
  SetMode,          // width, height, bits (asked), ok
  PixelLayout,      // layout
  SurfacesLost,     // lost
  RestoreSurfaces,  // ok
  Present,          // vblanks (asked)
  WaitVBlank,       // vblanks (asked)
  SetButtons,       // count (asked)
  Repaint,          //
  SaveScreenshot,   // ok
  Error,            // (the text in Record::text)
  Poll,             // pending, kind, x, y, vk
  WaitEvent,        //
  Now,              // ms
  Sleep,            // ms (asked)
  Seed,             // seed
  Joystick,     // id (asked), present, minX, maxX, minY, maxY, minZ, maxZ, x, y, z, buttonCount, buttons, hat
  Foreground,   // foreground
  AudioOpen,    // rate (asked), ok
  AudioClose,   // frames the card mixed since the last report
  AudioIsOpen,  // open
  AudioRate,    // rate
  AudioLock,    // frames mixed
  AudioUnlock,  //
  AudioRead,    // frames mixed
  AudioReadEnd,  //
  AudioLost,     // frames mixed (the card went away: a report from inside another call)
  End,           // frames mixed (the run's clean end)
};
constexpr int kCallCount = static_cast<int>(Call::End);
constexpr int kMaxFields = 14;

struct Record {
  Call call = Call::End;
  std::array<int64_t, kMaxFields> v{};
  std::string text;                    // Error
  std::vector<DisplayModeDesc> modes;  // Modes
};

// A field's meaning and the values it may hold.
struct FieldLayout {
  const char* name;
  int64_t min, max;
  bool delta;  // stored as the difference from the same field of the call's last record
};

struct CallLayout {
  const char* what;  // "a clock read": for messages
  std::vector<FieldLayout> fields;
  int asked;  // the first `asked` fields are the game's arguments, the rest the answer
  int gate;   // the fields after this one exist only when it is not 0 (-1: all fields always exist)
};

bool validCall(int code);
const CallLayout& layoutOf(Call call);

// The longest text and list a record may hold.
constexpr size_t kMaxRecordText = 4096;
constexpr size_t kMaxRecordModes = 1024;

}  // namespace kv
