#include "platform/audio/mp3_decoder.h"

#include <mpg123.h>

#include <cstdio>

namespace kv {

namespace {
bool libraryReady() {
  static const bool ready = mpg123_init() == MPG123_OK;
  return ready;
}

// The decoder reads through a buffered stdio stream: its own reader asks for a frame header and a
// frame at a time, two system calls per few hundred bytes, and a damaged file one byte at a time.
mpg123_ssize_t readFile(void* file, void* out, size_t bytes) {
  auto* f = static_cast<FILE*>(file);
  const size_t got = std::fread(out, 1, bytes, f);
  if (got == 0 && std::ferror(f)) return -1;
  return static_cast<mpg123_ssize_t>(got);
}

off_t seekFile(void* file, off_t offset, int whence) {
  auto* f = static_cast<FILE*>(file);
  if (fseeko(f, offset, whence) != 0) return -1;
  return ftello(f);
}
}  // namespace

std::unique_ptr<Mp3Decoder> Mp3Decoder::open(const std::string& path) {
  if (!libraryReady()) return nullptr;
  int err = MPG123_OK;
  mpg123_handle* h = mpg123_new(nullptr, &err);
  if (!h) return nullptr;
  std::unique_ptr<Mp3Decoder> d(new Mp3Decoder(h));
  d->file_ = std::fopen(path.c_str(), "rb");
  if (!d->file_) return nullptr;
  // Quiet (no messages on stderr for damaged files), always stereo; gapless decoding is the default.
  mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO | MPG123_GAPLESS, 0.0);
  mpg123_format_none(h);
  const long* rates = nullptr;
  size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (size_t i = 0; i < rateCount; ++i) mpg123_format(h, rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);

  if (mpg123_replace_reader_handle(h, readFile, seekFile, nullptr) != MPG123_OK) return nullptr;
  if (mpg123_open_handle(h, d->file_) != MPG123_OK) return nullptr;
  long rate = 0;
  int channels = 0;
  int encoding = 0;
  if (mpg123_getformat(h, &rate, &channels, &encoding) != MPG123_OK) return nullptr;
  if (rate <= 0 || channels != 2 || encoding != MPG123_ENC_SIGNED_16) return nullptr;
  d->rate_ = static_cast<int>(rate);

  mpg123_frameinfo info{};
  d->channels_ = mpg123_info(h, &info) == MPG123_OK && info.mode == MPG123_M_MONO ? 1 : 2;
  // Reading every frame header once gives the exact length and an exact seek index, also for files
  // without an info tag or cut short.
  if (mpg123_scan(h) != MPG123_OK) return nullptr;
  const off_t length = mpg123_length(h);
  if (length <= 0) return nullptr;
  d->length_ = static_cast<int64_t>(length);
  if (mpg123_seek(h, 0, SEEK_SET) < 0) return nullptr;
  return d;
}

Mp3Decoder::~Mp3Decoder() {
  mpg123_close(handle_);
  mpg123_delete(handle_);
  if (file_) std::fclose(file_);
}

int Mp3Decoder::read(int16_t* out, int frames) noexcept {
  if (frames <= 0) return 0;
  auto* bytes = reinterpret_cast<unsigned char*>(out);
  const size_t want = static_cast<size_t>(frames) * 4;
  size_t total = 0;
  while (total < want && !done_) {
    size_t got = 0;
    const int result = mpg123_read(handle_, bytes + total, want - total, &got);
    total += got;
    if (result == MPG123_OK) continue;
    if (result == MPG123_NEW_FORMAT) {
      long rate = 0;
      int channels = 0;
      int encoding = 0;
      // The rest of a file that changes its rate half way would play at the wrong pitch: end there.
      if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK || rate != rate_) done_ = true;
      continue;
    }
    // The end of the file, or damage that the decoder cannot get past: the music ends here quietly.
    done_ = true;
  }
  return static_cast<int>(total / 4);
}

bool Mp3Decoder::rewind() noexcept {
  done_ = mpg123_seek(handle_, 0, SEEK_SET) < 0;
  return !done_;
}

}  // namespace kv
