#pragma once
// Records as bytes: a call's number, then its fields as variable-length numbers (small values take one
// byte; signed ones zigzag-coded; clock reads and joystick readings as differences from the last one,
// so a steady stream of them is a steady stream of the same few bytes), then a mode list or a text.
// Reading checks every value against the range its field may hold.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/record/recorded_call.h"

namespace kv {

// What the difference coding remembers: the last values of each call's fields (per joystick id).
class DeltaMemory {
 public:
  std::array<int64_t, kMaxFields>& last(const Record& r);

 private:
  std::map<std::pair<Call, int64_t>, std::array<int64_t, kMaxFields>> last_;
};

class RecordEncoder {
 public:
  void encode(const Record& r, std::vector<uint8_t>& out);

 private:
  DeltaMemory memory_;
};

class RecordDecoder {
 public:
  // Reads one record from [at, end) and moves at past it. False with a one-line reason when the bytes
  // are not a record (an unknown call, a number cut short or too long, a value out of its range).
  bool decode(const uint8_t*& at, const uint8_t* end, Record& r, std::string& error);

 private:
  DeltaMemory memory_;
};

}  // namespace kv
