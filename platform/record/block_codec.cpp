#include "platform/record/block_codec.h"

#include <algorithm>

namespace kv {

namespace {

// The logistic function 4096 / (1 + e^-x) at x = -8, -7.5, ..., 8.
constexpr std::array<int, 33> kSquashPoints = {
    1,    2,    4,    6,    10,   17,   27,   45,   74,   120,  194,  311,  488,  747,  1102, 1546, 2048,
    2550, 2994, 3349, 3608, 3785, 3902, 3976, 4022, 4051, 4069, 4079, 4086, 4090, 4092, 4094, 4095};

// Probability (12 bits) of a logit d in 1/256 units, interpolated between the points above.
int squash(int d) {
  if (d > 2047) return 4095;
  if (d < -2047) return 1;
  const int w = d & 127;
  const int i = (d >> 7) + 16;
  return (kSquashPoints[i] * (128 - w) + kSquashPoints[i + 1] * w + 64) >> 7;
}

// The inverse: the logit of a 12-bit probability.
struct StretchTable {
  std::array<int16_t, 4096> v{};
  StretchTable() {
    int next = 0;
    for (int x = -2047; x <= 2047; ++x) {
      const int p = squash(x);
      for (int j = next; j <= p; ++j) v[j] = static_cast<int16_t>(x);
      next = std::max(next, p + 1);
    }
    for (int j = next; j < 4096; ++j) v[j] = 2047;
  }
};

int stretch(int p) {
  static const StretchTable table;
  return table.v[static_cast<size_t>(p)];
}

// How fast a context's probability follows what it sees: 1/1.5 after its first bit, slowing to 1/32.
struct RateTable {
  std::array<int, 32> v{};
  RateTable() {
    for (int n = 0; n < 32; ++n) v[n] = 2048 / (2 * n + 3);
  }
};

uint32_t hashBytes(uint64_t bytes, int order) {
  uint64_t h = (bytes + static_cast<uint64_t>(order)) * 0x9E3779B97F4A7C15ull;
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9ull;
  return static_cast<uint32_t>(h >> 32);
}

}  // namespace

// Predicts the next bit from contexts of the bytes before it and learns from each bit coded.
class ByteModel {
 public:
  static constexpr int kOrders = 6;  // 0, 1, 2, 3, 4 and 6 bytes before
  static constexpr int kInputs = kOrders + 1;
  static constexpr int kTableBits = 14;
  static constexpr int32_t kMaxWeight = 1 << 20;  // 16.0; 1.0 is 65536

  ByteModel() {
    for (auto& t : tables_) t.assign(size_t{1} << kTableBits, Slot{});
    for (auto& set : weights_) set.fill(1 << 14);
    startByte();
  }

  int predict() {
    for (int k = 0; k < kOrders; ++k) {
      const uint32_t index = (base_[k] ^ (static_cast<uint32_t>(c0_) * 0x2F0B4C27u)) >> (32 - kTableBits);
      slot_[k] = &tables_[k][index];
      // A context never seen before starts from what the next shorter one knows.
      if (k > 0 && slot_[k]->n == 0) slot_[k]->p = slot_[k - 1]->p;
      input_[k] = stretch(slot_[k]->p >> 4);
    }
    input_[kOrders] = 256;
    const auto& w = weights_[weightSet()];
    int64_t sum = 0;
    for (int i = 0; i < kInputs; ++i) sum += static_cast<int64_t>(w[i]) * input_[i];
    const int dot = static_cast<int>(std::clamp<int64_t>(sum >> 16, -2047, 2047));
    p_ = std::clamp(squash(dot), 1, 4095);
    return p_;
  }

  void update(int bit) {
    static const RateTable rates;
    const int err = ((bit << 12) - p_) * 6;
    auto& w = weights_[weightSet()];
    // Bounded, so that no run of bits, however long or odd, can push a weight past its range.
    for (int i = 0; i < kInputs; ++i)
      w[i] = std::clamp(w[i] + ((input_[i] * err) >> 10), -kMaxWeight, kMaxWeight);
    for (int k = 0; k < kOrders; ++k) {
      Slot& s = *slot_[k];
      s.p = static_cast<uint16_t>(s.p + ((((bit << 16) - s.p) * rates.v[s.n]) >> 10));
      if (s.n < 31) ++s.n;
    }
    c0_ = (c0_ << 1) | bit;
    if (c0_ >= 256) {
      history_ = (history_ << 8) | static_cast<uint64_t>(c0_ & 0xFF);
      startByte();
    }
  }

 private:
  struct Slot {
    uint16_t p = 1 << 15;
    uint8_t n = 0;
  };

  size_t weightSet() const { return static_cast<size_t>(c0_) | static_cast<size_t>(history_ & 0xFF) << 8; }

  void startByte() {
    c0_ = 1;
    constexpr int kBytes[kOrders] = {0, 1, 2, 3, 4, 6};
    for (int k = 0; k < kOrders; ++k) {
      const uint64_t mask = kBytes[k] == 0 ? 0 : (~uint64_t{0} >> (64 - 8 * kBytes[k]));
      base_[k] = hashBytes(history_ & mask, k);
    }
  }

  std::array<std::vector<Slot>, kOrders> tables_;
  // One set of weights for each bit position after each previous byte (a record's kind, mostly).
  std::vector<std::array<int32_t, kInputs>> weights_ = std::vector<std::array<int32_t, kInputs>>(256 * 256);
  std::array<uint32_t, kOrders> base_{};
  std::array<Slot*, kOrders> slot_{};
  std::array<int, kInputs> input_{};
  uint64_t history_ = 0;
  int c0_ = 1;
  int p_ = 2048;
};

namespace {

// The interval [low, high] narrows with every bit; equal leading bytes are settled and shifted out.
class Encoder {
 public:
  explicit Encoder(std::vector<uint8_t>& out) : out_(out) {}
  void encode(int bit, int p) {
    const uint32_t mid = low_ + static_cast<uint32_t>((static_cast<uint64_t>(high_ - low_) * p) >> 12);
    if (bit) {
      high_ = mid;
    } else {
      low_ = mid + 1;
    }
    while (((low_ ^ high_) & 0xFF000000u) == 0) {
      out_.push_back(static_cast<uint8_t>(high_ >> 24));
      low_ <<= 8;
      high_ = (high_ << 8) | 0xFF;
    }
  }
  // Any value in the last interval decodes the same: low itself, followed by the zeros the decoder
  // reads past the end.
  void finish() {
    for (int shift = 24; shift >= 0; shift -= 8) out_.push_back(static_cast<uint8_t>(low_ >> shift));
  }

 private:
  std::vector<uint8_t>& out_;
  uint32_t low_ = 0, high_ = 0xFFFFFFFFu;
};

class Decoder {
 public:
  Decoder(const uint8_t* data, size_t size) : data_(data), size_(size) {
    for (int i = 0; i < 4; ++i) x_ = (x_ << 8) | next();
  }
  int decode(int p) {
    const uint32_t mid = low_ + static_cast<uint32_t>((static_cast<uint64_t>(high_ - low_) * p) >> 12);
    const int bit = x_ <= mid ? 1 : 0;
    if (bit) {
      high_ = mid;
    } else {
      low_ = mid + 1;
    }
    while (((low_ ^ high_) & 0xFF000000u) == 0) {
      low_ <<= 8;
      high_ = (high_ << 8) | 0xFF;
      x_ = (x_ << 8) | next();
    }
    return bit;
  }

 private:
  uint32_t next() { return at_ < size_ ? data_[at_++] : 0; }

  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  uint32_t low_ = 0, high_ = 0xFFFFFFFFu, x_ = 0;
};

}  // namespace

BlockCodec::BlockCodec() : model_(std::make_unique<ByteModel>()) {}
BlockCodec::~BlockCodec() = default;

std::vector<uint8_t> BlockCodec::compress(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> out;
  out.reserve(raw.size() / 4 + 16);
  Encoder enc(out);
  for (const uint8_t byte : raw) {
    for (int i = 7; i >= 0; --i) {
      const int bit = (byte >> i) & 1;
      enc.encode(bit, model_->predict());
      model_->update(bit);
    }
  }
  enc.finish();
  return out;
}

std::vector<uint8_t> BlockCodec::decompress(const uint8_t* data, size_t size, size_t rawSize) {
  std::vector<uint8_t> raw(rawSize);
  Decoder dec(data, size);
  for (uint8_t& byte : raw) {
    int c = 0;
    for (int i = 0; i < 8; ++i) {
      const int bit = dec.decode(model_->predict());
      model_->update(bit);
      c = (c << 1) | bit;
    }
    byte = static_cast<uint8_t>(c);
  }
  return raw;
}

}  // namespace kv
