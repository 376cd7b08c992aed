#include "platform/audio/mixer.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace kv {

namespace {
constexpr int kFracBits = 32;
constexpr uint64_t kFracMask = (uint64_t{1} << kFracBits) - 1;

int32_t lerp(int32_t a, int32_t b, uint64_t frac) {
  return a + static_cast<int32_t>((static_cast<int64_t>(b - a) * static_cast<int64_t>(frac)) >> kFracBits);
}

int16_t clamp16(int32_t v) {
  return static_cast<int16_t>(std::clamp<int32_t>(v, -32768, 32767));
}

// The voice's sound jumps: what was heard so far turns into an offset that fades out, so the jump is
// spread over declickFrames frames. newLeft and newRight are what the voice contributes from now on.
void spreadJump(int32_t (&last)[2], int32_t (&offStart)[2], int& offLeft, int declickFrames, int32_t newLeft,
                int32_t newRight) {
  if (declickFrames == 0) {
    last[0] = newLeft;
    last[1] = newRight;
    return;
  }
  const int32_t next[2] = {newLeft, newRight};
  for (int c = 0; c < 2; ++c) {
    const int32_t current = static_cast<int32_t>(int64_t{offStart[c]} * offLeft / declickFrames);
    offStart[c] = current + last[c] - next[c];
    last[c] = next[c];
  }
  offLeft = declickFrames;
}

}  // namespace

// One voice. Positions are 32.32 fixed point in frames of the voice's own data: a recording's index,
// or for a stream an index into buf, whose first frame is frame bufStart of the source.
struct Mixer::Voice {
  VoiceId id = 0;
  std::shared_ptr<const PcmSample> sample;
  std::shared_ptr<StreamSource> stream;
  int ownRate = 0;
  int rate = 0;
  uint64_t step = 0;
  uint64_t pos = 0;
  // The mix ends voices on its own thread while the game may be asking about them.
  std::atomic<bool> playing{false};
  bool looped = false;
  std::atomic<bool> ended{false};
  std::atomic<int64_t> heard{0};  // position() as of the last mix or change
  bool jumped = false;            // the next frame does not follow the last one heard

  std::vector<int16_t> buf;  // streams: decoded frames, interleaved
  int bufFrames = 0;
  int64_t bufStart = 0;
  bool sourceDone = false;

  // Smoothing: last[] is the last data frame this voice contributed (0 once it is silent); the
  // offset offStart * offLeft / declickFrames is added on top while offLeft counts down.
  int32_t last[2] = {0, 0};
  int32_t offStart[2] = {0, 0};
  int offLeft = 0;
};

Mixer::Mixer(int outputRate) : outputRate_(outputRate > 0 ? outputRate : 44100) {}
Mixer::~Mixer() = default;

void Mixer::setOutputRate(int hz) {
  if (hz <= 0) return;
  outputRate_ = hz;
  for (auto& v : voices_) v->step = (uint64_t(v->rate) << kFracBits) / uint64_t(outputRate_);
}

void Mixer::setDeclickFrames(int frames) {
  declickFrames_ = std::max(0, frames);
  for (auto& v : voices_) v->offLeft = 0;
  declickLeft_ = 0;
}

Mixer::Voice* Mixer::find(VoiceId id) const {
  if (id == 0) return nullptr;
  for (auto& v : voices_)
    if (v->id == id) return v.get();
  return nullptr;
}

VoiceId Mixer::insert(std::unique_ptr<Voice> v) {
  v->id = nextId_++;
  if (nextId_ == 0) nextId_ = 1;
  v->rate = v->ownRate;
  v->step = (uint64_t(v->rate) << kFracBits) / uint64_t(outputRate_);
  publishPosition(*v);
  voices_.push_back(std::move(v));
  return voices_.back()->id;
}

VoiceId Mixer::addSample(std::shared_ptr<const PcmSample> sample) {
  if (!sample || sample->sampleRate <= 0) return 0;
  auto v = std::make_unique<Voice>();
  v->ownRate = sample->sampleRate;
  v->sample = std::move(sample);
  return insert(std::move(v));
}

VoiceId Mixer::addStream(std::shared_ptr<StreamSource> source) {
  if (!source || source->sampleRate() <= 0) return 0;
  auto v = std::make_unique<Voice>();
  v->ownRate = source->sampleRate();
  v->stream = std::move(source);
  v->buf.assign(static_cast<size_t>(kStreamChunk + 1) * 2, 0);
  return insert(std::move(v));
}

VoiceId Mixer::copyVoice(VoiceId id) {
  const Voice* original = find(id);
  if (!original || !original->sample) return 0;
  const int rate = original->rate;
  const bool looped = original->looped;
  const VoiceId copy = addSample(original->sample);
  setRate(copy, rate);
  setLooped(copy, looped);
  return copy;
}

void Mixer::removeVoice(VoiceId id) {
  auto it = std::find_if(voices_.begin(), voices_.end(), [id](const auto& v) { return v->id == id; });
  if (it == voices_.end()) return;
  // Whatever the voice was sounding fades out with the mixer's own correction instead of stopping dead.
  Voice& v = **it;
  if (declickFrames_ > 0) {
    int32_t heard[2];
    for (int c = 0; c < 2; ++c) {
      heard[c] = v.last[c] + static_cast<int32_t>(int64_t{v.offStart[c]} * v.offLeft / declickFrames_);
    }
    addCorrection(heard[0], heard[1]);
  }
  voices_.erase(it);
}

void Mixer::addCorrection(int32_t left, int32_t right) {
  if (declickFrames_ == 0) return;
  const double remaining = static_cast<double>(declickLeft_) / declickFrames_;
  correction_[0] = correction_[0] * remaining + left;
  correction_[1] = correction_[1] * remaining + right;
  declickLeft_ = declickFrames_;
}

void Mixer::endVoice(Voice& v) noexcept {
  v.playing = false;
  v.ended = true;
  v.jumped = false;
  spreadJump(v.last, v.offStart, v.offLeft, declickFrames_, 0, 0);
}

void Mixer::rewind(Voice& v) {
  v.pos = 0;
  v.ended = false;
  if (v.stream) {
    v.bufFrames = 0;
    v.bufStart = 0;
    v.sourceDone = !v.stream->rewind();
  }
  if (v.playing) v.jumped = true;
  publishPosition(v);
}

void Mixer::publishPosition(Voice& v) noexcept {
  const int64_t idx = static_cast<int64_t>(v.pos >> kFracBits);
  v.heard.store(
      v.sample ? std::min(idx, v.sample->frames()) : v.bufStart + std::min<int64_t>(idx, v.bufFrames),
      std::memory_order_relaxed);
}

void Mixer::play(VoiceId id, bool fromStart) {
  Voice* v = find(id);
  if (!v) return;
  if (fromStart) rewind(*v);
  if (!v->playing) {
    v->playing = true;
    v->jumped = true;
  }
}

void Mixer::stop(VoiceId id) {
  Voice* v = find(id);
  if (!v || !v->playing) return;
  v->playing = false;
  v->jumped = false;
  spreadJump(v->last, v->offStart, v->offLeft, declickFrames_, 0, 0);
}

bool Mixer::isPlaying(VoiceId id) const {
  const Voice* v = find(id);
  return v && v->playing;
}

bool Mixer::atEnd(VoiceId id) const {
  const Voice* v = find(id);
  return v && v->ended;
}

void Mixer::setRate(VoiceId id, int hz) {
  Voice* v = find(id);
  if (!v) return;
  v->rate = hz > 0 ? hz : v->ownRate;
  v->step = (uint64_t(v->rate) << kFracBits) / uint64_t(outputRate_);
}

int Mixer::rate(VoiceId id) const {
  const Voice* v = find(id);
  return v ? v->rate : 0;
}

void Mixer::setLooped(VoiceId id, bool looped) {
  if (Voice* v = find(id)) v->looped = looped;
}

void Mixer::setPosition(VoiceId id, int64_t frame) {
  Voice* v = find(id);
  if (!v) return;
  if (frame <= 0) {
    rewind(*v);
    return;
  }
  if (!v->sample) return;  // a stream can only go back to its start
  v->pos = static_cast<uint64_t>(std::min(frame, v->sample->frames())) << kFracBits;
  v->ended = false;
  if (v->playing) v->jumped = true;
  publishPosition(*v);
}

int64_t Mixer::position(VoiceId id) const {
  const Voice* v = find(id);
  return v ? v->heard.load(std::memory_order_relaxed) : 0;
}

// Adds frames of one recording voice to acc, until it has nothing more to sound.
void Mixer::accumulate(Voice& v, int32_t* frame) noexcept {
  int32_t l = v.playing ? v.last[0] : 0;
  int32_t r = v.playing ? v.last[1] : 0;
  if (v.offLeft > 0) {
    l += static_cast<int32_t>(int64_t{v.offStart[0]} * v.offLeft / declickFrames_);
    r += static_cast<int32_t>(int64_t{v.offStart[1]} * v.offLeft / declickFrames_);
    --v.offLeft;
  }
  frame[0] += l;
  frame[1] += r;
}

void Mixer::mixSample(Voice& v, int32_t* acc, int frames) noexcept {
  const PcmSample& s = *v.sample;
  const int64_t n = s.frames();
  for (int i = 0; i < frames; ++i) {
    bool finished = false;
    if (v.playing) {
      int64_t idx = static_cast<int64_t>(v.pos >> kFracBits);
      if (idx >= n && v.looped && n > 0) {
        idx %= n;
        v.pos = (uint64_t(idx) << kFracBits) | (v.pos & kFracMask);
      }
      if (idx >= n) {
        endVoice(v);
      } else {
        const int32_t a = s.at(idx);
        const int32_t b = idx + 1 < n ? s.at(idx + 1) : (v.looped ? s.at(0) : a);
        const int32_t x = lerp(a, b, v.pos & kFracMask);
        if (v.jumped) {
          spreadJump(v.last, v.offStart, v.offLeft, declickFrames_, x, x);
          v.jumped = false;
        }
        v.last[0] = v.last[1] = x;
        v.pos += v.step;
        // Past the last frame the voice ends at once, so its status is exact to the frame.
        finished = !v.looped && static_cast<int64_t>(v.pos >> kFracBits) >= n;
      }
    }
    if (!v.playing && v.offLeft == 0) return;
    accumulate(v, acc + 2 * i);
    if (finished) endVoice(v);
  }
}

// Makes sure the frame at pos and the one after it are in buf, unless the source has ended.
bool Mixer::refillStream(Voice& v) noexcept {
  const int capacity = kStreamChunk + 1;
  while (!v.sourceDone && static_cast<int64_t>(v.pos >> kFracBits) + 1 >= v.bufFrames) {
    const int drop =
        static_cast<int>(std::min<int64_t>(static_cast<int64_t>(v.pos >> kFracBits), v.bufFrames));
    const int keep = v.bufFrames - drop;
    if (keep > 0 && drop > 0) {
      std::memmove(v.buf.data(), v.buf.data() + 2 * drop, sizeof(int16_t) * 2 * static_cast<size_t>(keep));
    }
    v.bufStart += drop;
    v.pos -= uint64_t(drop) << kFracBits;
    v.bufFrames = keep;
    const int want = capacity - keep;
    const int got = std::clamp(v.stream->read(v.buf.data() + 2 * keep, want), 0, want);
    v.bufFrames += got;
    if (got < want) v.sourceDone = true;
  }
  return static_cast<int64_t>(v.pos >> kFracBits) < v.bufFrames;
}

void Mixer::mixStream(Voice& v, int32_t* acc, int frames) noexcept {
  for (int i = 0; i < frames; ++i) {
    bool finished = false;
    if (v.playing) {
      int64_t idx = static_cast<int64_t>(v.pos >> kFracBits);
      if (idx + 1 >= v.bufFrames && !refillStream(v)) {
        endVoice(v);
      } else {
        idx = static_cast<int64_t>(v.pos >> kFracBits);
        const int16_t* a = v.buf.data() + 2 * idx;
        const int16_t* b = idx + 1 < v.bufFrames ? a + 2 : a;
        const uint64_t frac = v.pos & kFracMask;
        const int32_t l = lerp(a[0], b[0], frac);
        const int32_t r = lerp(a[1], b[1], frac);
        if (v.jumped) {
          spreadJump(v.last, v.offStart, v.offLeft, declickFrames_, l, r);
          v.jumped = false;
        }
        v.last[0] = l;
        v.last[1] = r;
        v.pos += v.step;
        finished = static_cast<int64_t>(v.pos >> kFracBits) + 1 >= v.bufFrames && !refillStream(v);
      }
    }
    if (!v.playing && v.offLeft == 0) return;
    accumulate(v, acc + 2 * i);
    if (finished) endVoice(v);
  }
}

void Mixer::mixBlock(int32_t* acc, int n) noexcept {
  std::fill(acc, acc + 2 * n, 0);
  for (auto& vp : voices_) {
    Voice& v = *vp;
    if (!v.playing && v.offLeft == 0) continue;
    if (v.sample) {
      mixSample(v, acc, n);
    } else {
      mixStream(v, acc, n);
    }
    publishPosition(v);
  }
  for (int i = 0; i < n && declickLeft_ > 0; ++i, --declickLeft_) {
    const double k = static_cast<double>(declickLeft_) / declickFrames_;
    acc[2 * i] += static_cast<int32_t>(correction_[0] * k);
    acc[2 * i + 1] += static_cast<int32_t>(correction_[1] * k);
  }
}

void Mixer::mix(int16_t* out, int frames) noexcept {
  while (frames > 0) {
    const int n = std::min(frames, kBlock);
    mixBlock(acc_.data(), n);
    for (int i = 0; i < 2 * n; ++i) out[i] = clamp16(acc_[i]);
    out += 2 * n;
    frames -= n;
  }
}

void Mixer::mixUnclipped(int32_t* out, int frames) noexcept {
  while (frames > 0) {
    const int n = std::min(frames, kBlock);
    mixBlock(out, n);
    out += 2 * n;
    frames -= n;
  }
}

}  // namespace kv
