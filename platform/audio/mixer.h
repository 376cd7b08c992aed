#pragma once
// The software mixer behind the sound card: a handful of voices summed into interleaved 16-bit stereo.
// Two kinds of voice: recordings held in memory (mono, 8-bit unsigned or 16-bit signed, shared by
// every voice that plays them) and streams that a source decodes on demand (the music). Each voice
// has its own rate; it is resampled to the output rate by linear interpolation.
//
// The game changes voices from its own thread with the device lock held (AudioSystem); mix() runs on
// the audio thread and neither allocates nor throws. Only that one game thread ever changes voices,
// so it may ask about them (hasVoice, isPlaying, atEnd, position, rate) without the lock: those read
// what the audio thread publishes as it mixes, and the game's every tick never waits for a mix.
// Voice ids are never reused, so a stale id simply names no voice and every call on it does nothing.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace kv {

// A recording in memory: mono samples at their own rate.
struct PcmSample {
  enum class Format { Unsigned8, Signed16 };
  Format format = Format::Signed16;
  int sampleRate = 44100;
  std::vector<uint8_t> bytes;  // little-endian for 16-bit samples

  int64_t frames() const {
    return format == Format::Unsigned8 ? static_cast<int64_t>(bytes.size())
                                       : static_cast<int64_t>(bytes.size() / 2);
  }
  int16_t at(int64_t i) const {
    if (format == Format::Unsigned8) return static_cast<int16_t>((bytes[i] - 128) * 256);
    return static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
};

// Something that produces 16-bit stereo frames at its own rate on demand (the music decoder).
class StreamSource {
 public:
  virtual ~StreamSource() = default;
  virtual int sampleRate() const = 0;
  // Called from mix(): fills up to frames frames; fewer means the source has ended.
  virtual int read(int16_t* out, int frames) noexcept = 0;
  // Back to the first frame; false when that is impossible (the voice then counts as ended).
  virtual bool rewind() noexcept = 0;
};

using VoiceId = uint32_t;  // 0 names no voice

class Mixer {
 public:
  explicit Mixer(int outputRate = 44100);
  ~Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // The sound card's rate; voices keep their own rates.
  void setOutputRate(int hz);
  int outputRate() const { return outputRate_; }
  // A discontinuity (a voice starting, stopping or jumping) is smoothed out over this many frames,
  // so nothing clicks; 0 turns the smoothing off.
  void setDeclickFrames(int frames);

  // New voices are stopped at their first frame, play once, at their source's own rate.
  VoiceId addSample(std::shared_ptr<const PcmSample> sample);
  VoiceId addStream(std::shared_ptr<StreamSource> source);
  // Another voice on the same recording (or stream source), with the rate and loop mode of the
  // original, stopped at its first frame.
  VoiceId copyVoice(VoiceId id);
  void removeVoice(VoiceId id);
  bool hasVoice(VoiceId id) const { return find(id) != nullptr; }

  // fromStart false resumes where the voice stopped (a voice at its end stays at its end).
  void play(VoiceId id, bool fromStart);
  void stop(VoiceId id);
  bool isPlaying(VoiceId id) const;
  // True once a voice has run out of data (a looped recording never does) until it is set back.
  bool atEnd(VoiceId id) const;
  // Playback rate in Hz, effective at once, also on a playing voice; 0 or less restores the
  // source's own rate.
  void setRate(VoiceId id, int hz);
  int rate(VoiceId id) const;
  void setLooped(VoiceId id, bool looped);
  // In frames of the voice's own data. A stream can only be set back to 0 (it rewinds its source).
  void setPosition(VoiceId id, int64_t frame);
  int64_t position(VoiceId id) const;

  // Writes frames interleaved stereo frames, each sum saturated at full scale.
  void mix(int16_t* out, int frames) noexcept;
  // The same sums before any saturation, for an output stage that brings them down itself (the
  // audio thread calls this).
  void mixUnclipped(int32_t* out, int frames) noexcept;

  // The largest block a stream voice pulls from its source at once.
  static constexpr int kStreamChunk = 1024;

 private:
  struct Voice;
  static constexpr int kBlock = 512;

  Voice* find(VoiceId id) const;
  VoiceId insert(std::unique_ptr<Voice> v);
  void rewind(Voice& v);
  static void publishPosition(Voice& v) noexcept;
  void endVoice(Voice& v) noexcept;
  // Adds the voice's current frame, and what is left of the fade of its interrupted sound, to one
  // stereo frame of the sums.
  void accumulate(Voice& v, int32_t* frame) noexcept;
  void mixSample(Voice& v, int32_t* acc, int frames) noexcept;
  void mixStream(Voice& v, int32_t* acc, int frames) noexcept;
  bool refillStream(Voice& v) noexcept;
  // Sums frames (at most kBlock) of every voice into acc.
  void mixBlock(int32_t* acc, int frames) noexcept;
  void addCorrection(int32_t left, int32_t right);

  int outputRate_;
  int declickFrames_ = 64;
  VoiceId nextId_ = 1;
  std::vector<std::unique_ptr<Voice>> voices_;
  std::array<int32_t, 2 * kBlock> acc_{};
  // The remaining offset of earlier discontinuities, fading linearly to 0 over declickLeft_ frames.
  double correction_[2] = {0, 0};
  int declickLeft_ = 0;
};

}  // namespace kv
