#include "platform/record/record_codec.h"

namespace kv {

namespace {

// Numbers stay below 2^62, so that differences of them never overflow.
constexpr uint64_t kMaxVarint = uint64_t{1} << 62;

void putVarint(std::vector<uint8_t>& out, uint64_t v) {
  while (v >= 0x80) {
    out.push_back(static_cast<uint8_t>(v | 0x80));
    v >>= 7;
  }
  out.push_back(static_cast<uint8_t>(v));
}

uint64_t zigzag(int64_t v) {
  return (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63);
}

int64_t unzigzag(uint64_t v) {
  return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1);
}

bool getVarint(const uint8_t*& at, const uint8_t* end, uint64_t& v) {
  v = 0;
  for (int shift = 0; shift < 63; shift += 7) {
    if (at == end) return false;
    const uint8_t b = *at++;
    v |= static_cast<uint64_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) return v < kMaxVarint;
  }
  return false;
}

int fieldCount(const CallLayout& layout, const Record& r) {
  const int all = static_cast<int>(layout.fields.size());
  if (layout.gate < 0 || r.v[static_cast<size_t>(layout.gate)] != 0) return all;
  return layout.gate + 1;
}

}  // namespace

std::array<int64_t, kMaxFields>& DeltaMemory::last(const Record& r) {
  // Each joystick keeps its own last reading.
  const int64_t key = r.call == Call::Joystick ? r.v[0] : 0;
  return last_[{r.call, key}];
}

void RecordEncoder::encode(const Record& r, std::vector<uint8_t>& out) {
  out.push_back(static_cast<uint8_t>(r.call));
  const CallLayout& layout = layoutOf(r.call);
  const int n = fieldCount(layout, r);
  auto& last = memory_.last(r);
  for (int i = 0; i < static_cast<int>(layout.fields.size()); ++i) {
    const FieldLayout& f = layout.fields[static_cast<size_t>(i)];
    const int64_t v = i < n ? r.v[static_cast<size_t>(i)] : 0;
    if (i < n) {
      if (f.delta) {
        putVarint(out, zigzag(v - last[static_cast<size_t>(i)]));
      } else {
        putVarint(out, f.min < 0 ? zigzag(v) : static_cast<uint64_t>(v));
      }
    }
    if (f.delta) last[static_cast<size_t>(i)] = v;
  }
  if (r.call == Call::Modes) {
    putVarint(out, r.modes.size());
    for (const DisplayModeDesc& m : r.modes) {
      putVarint(out, zigzag(m.width));
      putVarint(out, zigzag(m.height));
      putVarint(out, zigzag(m.bitCount));
    }
  } else if (r.call == Call::Error) {
    putVarint(out, r.text.size());
    out.insert(out.end(), r.text.begin(), r.text.end());
  }
}

bool RecordDecoder::decode(const uint8_t*& at, const uint8_t* end, Record& r, std::string& error) {
  if (at == end) {
    error = "a record is missing";
    return false;
  }
  const int code = *at++;
  if (!validCall(code)) {
    error = "record kind " + std::to_string(code) + " is unknown";
    return false;
  }
  r = Record{};
  r.call = static_cast<Call>(code);
  const CallLayout& layout = layoutOf(r.call);
  auto& last = memory_.last(r);
  const int total = static_cast<int>(layout.fields.size());
  int n = total;
  for (int i = 0; i < total; ++i) {
    const FieldLayout& f = layout.fields[static_cast<size_t>(i)];
    int64_t v = 0;
    if (i < n) {
      uint64_t raw = 0;
      if (!getVarint(at, end, raw)) {
        error = std::string(layout.what) + ": the number " + f.name + " is cut short or too long";
        return false;
      }
      v = f.delta     ? last[static_cast<size_t>(i)] + unzigzag(raw)
          : f.min < 0 ? unzigzag(raw)
                      : static_cast<int64_t>(raw);
      if (v < f.min || v > f.max) {
        error = std::string(layout.what) + ": " + f.name + " " + std::to_string(v) + " is out of range";
        return false;
      }
    }
    r.v[static_cast<size_t>(i)] = v;
    if (f.delta) last[static_cast<size_t>(i)] = v;
    if (i == layout.gate && v == 0) n = i + 1;
  }
  auto small = [&](uint64_t& v, uint64_t max, const char* what) {
    if (!getVarint(at, end, v) || v > max) {
      error = std::string(layout.what) + ": " + what + " is cut short or out of range";
      return false;
    }
    return true;
  };
  if (r.call == Call::Modes) {
    uint64_t count = 0;
    if (!small(count, kMaxRecordModes, "the number of modes")) return false;
    for (uint64_t i = 0; i < count; ++i) {
      uint64_t w = 0, h = 0, b = 0;
      if (!small(w, uint64_t{1} << 32, "a mode") || !small(h, uint64_t{1} << 32, "a mode") ||
          !small(b, uint64_t{1} << 32, "a mode"))
        return false;
      r.modes.push_back(
          {static_cast<int>(unzigzag(w)), static_cast<int>(unzigzag(h)), static_cast<int>(unzigzag(b))});
    }
  } else if (r.call == Call::Error) {
    uint64_t length = 0;
    if (!small(length, kMaxRecordText, "the text's length")) return false;
    if (static_cast<uint64_t>(end - at) < length) {
      error = std::string(layout.what) + " is cut short";
      return false;
    }
    r.text.assign(reinterpret_cast<const char*>(at), static_cast<size_t>(length));
    at += length;
  }
  return true;
}

}  // namespace kv
