#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/audio/wave_reader.h"
#include "platform/audio/wave_writer.h"
#include "platform/components/component_errors.h"
#include "platform/components/wave_list.h"

namespace kv {
namespace {

WaveData sample(uint32_t rate, uint16_t bits, size_t bytes) {
  WaveData w;
  w.format = pcmFormat(rate, bits, 1);
  for (size_t i = 0; i < bytes; ++i) w.data.push_back(uint8_t(i * 31 + 7));
  return w;
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

std::vector<uint8_t> chunk(const char* tag, const std::vector<uint8_t>& body, bool pad = true) {
  std::vector<uint8_t> c(tag, tag + 4);
  c.resize(8);
  put32(c, 4, uint32_t(body.size()));
  c.insert(c.end(), body.begin(), body.end());
  if (pad && body.size() % 2) c.push_back(0);
  return c;
}

std::vector<uint8_t> fmtBody(const WaveFormat& f, size_t extra = 0) {
  std::vector<uint8_t> b(16 + extra, 0);
  b[0] = uint8_t(f.formatTag), b[1] = uint8_t(f.formatTag >> 8);
  b[2] = uint8_t(f.channels);
  put32(b, 4, f.samplesPerSec);
  put32(b, 8, f.avgBytesPerSec);
  b[12] = uint8_t(f.blockAlign);
  b[14] = uint8_t(f.bitsPerSample);
  return b;
}

std::vector<uint8_t> riff(const std::vector<std::vector<uint8_t>>& chunks) {
  std::vector<uint8_t> out{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  for (const auto& c : chunks) out.insert(out.end(), c.begin(), c.end());
  put32(out, 4, uint32_t(out.size() - 8));
  return out;
}

bool invalid(const std::vector<uint8_t>& b) {
  return !readRiffWave(b.data(), b.size()).has_value();
}

TEST(WaveReader, ReadsWhatTheWriterStores) {
  for (const WaveData& w : {sample(11025, 8, 14336), sample(44100, 16, 8820), sample(22050, 8, 7)}) {
    const std::vector<uint8_t> stored = writeRiffWave(w);
    const WaveData back = readRiffWave(stored.data(), stored.size()).value();
    EXPECT_EQ(back.format, w.format);
    EXPECT_EQ(back.data, w.data);
  }
}

TEST(WaveReader, AcceptsAnyChunkOrderAndSkipsUnknownChunksByTheirAlignedSize) {
  const WaveData w = sample(44100, 16, 10);
  const auto fmt = chunk("fmt ", fmtBody(w.format)), data = chunk("data", w.data);
  const auto list = chunk("LIST", {'I', 'N', 'F', 'O', 'x'});  // odd size: one pad byte follows
  // An unknown chunk whose body looks like a "data" header must be skipped, not read.
  const auto decoy = chunk("junk", {'d', 'a', 't', 'a', 2, 0, 0, 0, 1, 2});
  for (const auto& order :
       {std::vector{fmt, data}, std::vector{data, fmt}, std::vector{list, data, decoy, fmt},
        std::vector{fmt, list, data}, std::vector{decoy, fmt, data, list}}) {
    const auto bytes = riff(order);
    const WaveData back = readRiffWave(bytes.data(), bytes.size()).value();
    EXPECT_EQ(back.format, w.format);
    EXPECT_EQ(back.data, w.data);
  }
  // A longer format record (with an extension) is read for its first 16 bytes.
  const auto longFmt = riff({chunk("fmt ", fmtBody(w.format, 2)), data});
  EXPECT_EQ(readRiffWave(longFmt.data(), longFmt.size()).value().format, w.format);
  // Bytes after the RIFF chunk are not part of the recording; an odd last chunk may lack its pad.
  auto trailing = riff({fmt, data});
  trailing.push_back(0x55);
  EXPECT_EQ(readRiffWave(trailing.data(), trailing.size()).value().data, w.data);
  const auto unpadded = riff({fmt, chunk("data", {1, 2, 3}, false)});
  EXPECT_EQ(readRiffWave(unpadded.data(), unpadded.size()).value().data, (std::vector<uint8_t>{1, 2, 3}));
}

TEST(WaveReader, EveryTruncationIsRefusedAlsoWithTheRiffSizeFittingTheCut) {
  const WaveData w = sample(22050, 16, 6);
  const auto full = riff({chunk("fmt ", fmtBody(w.format)), chunk("LIST", {1, 2, 3}), chunk("data", w.data)});
  for (size_t n = 0; n < full.size(); ++n) {
    std::vector<uint8_t> prefix(full.begin(), full.begin() + n);
    EXPECT_TRUE(invalid(prefix)) << n;
    // The same cut with a RIFF size that claims exactly what is there: the chunks must not fit.
    if (n >= 12) {
      put32(prefix, 4, uint32_t(n - 8));
      EXPECT_TRUE(invalid(prefix)) << "fitted " << n;
    }
  }
  EXPECT_FALSE(invalid(full));
  EXPECT_FALSE(readRiffWave(nullptr, 0).has_value());
  // The wave list's loader turns an unreadable recording into the component layer's error.
  try {
    loadStoredWave(full.data(), full.size() - 1);
    ADD_FAILURE() << "a cut recording was loaded";
  } catch (const EWaveError& e) {
    EXPECT_STREQ(e.what(), "Wave is invalid");
  }
}

TEST(WaveReader, WrongTagsSizesAndMissingChunksAreInvalid) {
  const WaveData w = sample(44100, 16, 4);
  const auto fmt = chunk("fmt ", fmtBody(w.format)), data = chunk("data", w.data);
  const auto good = riff({fmt, data});
  auto with = [&](size_t at, uint32_t v) {
    auto b = good;
    put32(b, at, v);
    return b;
  };
  EXPECT_TRUE(invalid(with(0, 0x46464952 + 1)));         // not "RIFF"
  EXPECT_TRUE(invalid(with(8, 0x45564157 + 0x100)));     // not "WAVE"
  EXPECT_TRUE(invalid(with(4, uint32_t(good.size()))));  // RIFF size beyond the buffer
  EXPECT_TRUE(invalid(with(4, 0xFFFFFFFF)));
  EXPECT_TRUE(invalid(with(4, 2)));                     // too small to hold "WAVE"
  EXPECT_TRUE(invalid(with(12 + 4, 0xFFFFFFF0)));       // fmt chunk size beyond the buffer
  EXPECT_TRUE(invalid(with(12 + 24 + 4, 0xFFFFFFFF)));  // data chunk size beyond the buffer
  EXPECT_TRUE(invalid(riff({data})));
  EXPECT_TRUE(invalid(riff({fmt})));
  EXPECT_TRUE(invalid(riff({})));
  std::vector<uint8_t> shortFmt = fmtBody(w.format);
  shortFmt.resize(14);
  EXPECT_TRUE(invalid(riff({chunk("fmt ", shortFmt), data})));
  EXPECT_TRUE(invalid(riff({fmt, data, fmt})));
  EXPECT_TRUE(invalid(riff({fmt, data, data})));
}

TEST(WaveReader, TheFormatMustBePlayablePcm) {
  auto withFormat = [](WaveFormat f) { return riff({chunk("fmt ", fmtBody(f)), chunk("data", {0, 0})}); };
  WaveFormat f = pcmFormat(44100, 16, 1);
  EXPECT_FALSE(invalid(withFormat(f)));
  EXPECT_FALSE(invalid(withFormat(pcmFormat(8000, 8, 2))));
  WaveFormat compressed = f;
  compressed.formatTag = 2;
  EXPECT_TRUE(invalid(withFormat(compressed)));
  EXPECT_TRUE(invalid(withFormat(pcmFormat(44100, 24, 1))));
  EXPECT_TRUE(invalid(withFormat(pcmFormat(44100, 16, 0))));
  EXPECT_TRUE(invalid(withFormat(pcmFormat(0, 16, 1))));
  WaveFormat misaligned = f;
  misaligned.blockAlign = 4;
  EXPECT_TRUE(invalid(withFormat(misaligned)));
}

}  // namespace
}  // namespace kv
