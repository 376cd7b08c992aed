#pragma once
// Silences the process's stderr for one scope. Libraries under SDL (ALSA looking for a sound card,
// the Wayland client looking for a compositor) print their complaints straight to file descriptor 2
// while SDL probes; where a failed probe is normal, SDL's own one-line reason is reported instead.
namespace kv {

class QuietStderr {
 public:
  QuietStderr();
  ~QuietStderr();
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace kv
