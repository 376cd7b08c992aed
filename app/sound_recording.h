#pragma once
// The virtual sound card's whole output as a 16-bit stereo WAV file (--audio-out), written as it
// comes: the header first with sizes of 0, set right when the run ends. The card starts playing
// before the run's files are made; what it plays until then is kept and written first.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/harness_output.h"

namespace kv {

class SoundRecording {
 public:
  SoundRecording(HarnessOutputs& outputs, std::string path, int sampleRate);

  // Appends interleaved stereo frames (held in memory until the file exists).
  void write(const int16_t* samples, int frames);
  // The rate the header names, when it is known only after the card opened (a replay); before create.
  void setSampleRate(int sampleRate) { sampleRate_ = sampleRate; }
  // Creates the file and writes what came so far; false (the failure recorded) when it cannot.
  bool create();
  // Sets the sizes in the header and closes the file.
  bool finish();

 private:
  bool append(const std::vector<uint8_t>& bytes);

  HarnessOutputs& outputs_;
  OutputFile file_;
  int sampleRate_;
  std::vector<uint8_t> early_;  // frames played before the file was made
  uint64_t dataBytes_ = 0;
  bool full_ = false;
};

}  // namespace kv
