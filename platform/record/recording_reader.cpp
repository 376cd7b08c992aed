#include "platform/record/recording_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/record/crc32.h"
#include "platform/support/byte_order.h"

namespace kv {

namespace {

std::string at(size_t index, size_t offset) {
  return "is damaged: block " + std::to_string(index) + " (at byte " + std::to_string(offset) + ")";
}

}  // namespace

RecordingFile parseRecording(std::vector<uint8_t> bytes, bool checkSums) {
  if (bytes.size() > kMaxRecordingBytes) throw RecordingError("is larger than a recording may be (64 MiB)");
  RecordingFile file;
  size_t pos = 0;
  file.header = decodeHeader(bytes, pos, checkSums);
  while (pos < bytes.size()) {
    const size_t index = file.blocks.size();
    const size_t start = pos;
    if (bytes[pos] != 'B') throw RecordingError(at(index, start) + " does not start like a block");
    if (bytes.size() - pos < kBlockFrame) throw RecordingError(at(index, start) + " is cut short");
    const uint8_t* p = bytes.data() + pos;
    RecordingBlock b;
    const uint32_t number = getLe32(p + 1);
    b.packedSize = getLe32(p + 5);
    b.rawSize = getLe32(p + 9);
    b.rawCrc = getLe32(p + 13);
    if (b.packedSize > kMaxCompressedBlock || b.rawSize == 0 || b.rawSize > kMaxBlockBytes)
      throw RecordingError(at(index, start) + " gives sizes out of range");
    if (bytes.size() - pos - kBlockFrame < size_t{b.packedSize} + kBlockTrailer)
      throw RecordingError(at(index, start) + " is cut short");
    b.offset = pos + kBlockFrame;
    const size_t end = b.offset + b.packedSize;
    if (checkSums && crc32(p, end - pos) != getLe32(bytes.data() + end))
      throw RecordingError(at(index, start) + " is damaged (its checksum does not match)");
    if (number != index) throw RecordingError(at(index, start) + " is numbered " + std::to_string(number));
    file.blocks.push_back(b);
    pos = end + kBlockTrailer;
  }
  file.bytes = std::move(bytes);
  return file;
}

RecordingFile loadRecording(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw RecordingError(std::string("cannot be read: ") + std::strerror(errno));
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    throw RecordingError("is a folder, not a recording");
  }
  std::vector<uint8_t> bytes;
  uint8_t chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int e = errno;
      ::close(fd);
      throw RecordingError(std::string("cannot be read: ") + std::strerror(e));
    }
    if (n == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + n);
    if (bytes.size() > kMaxRecordingBytes) {
      ::close(fd);
      throw RecordingError("is larger than a recording may be (64 MiB)");
    }
  }
  ::close(fd);
  return parseRecording(std::move(bytes));
}

RecordStream::RecordStream(const RecordingFile& file, bool checkSums) : file_(file), checkSums_(checkSums) {}

bool RecordStream::loadBlock() {
  if (nextBlock_ >= file_.blocks.size()) return false;
  const RecordingBlock& b = file_.blocks[nextBlock_];
  raw_ = codec_.decompress(file_.bytes.data() + b.offset, b.packedSize, b.rawSize);
  if (checkSums_ && crc32(raw_.data(), raw_.size()) != b.rawCrc)
    throw RecordingError(at(nextBlock_, b.offset - kBlockFrame) + " decodes to damaged records");
  ++nextBlock_;
  at_ = 0;
  return true;
}

bool RecordStream::next(Record& r) {
  while (at_ >= raw_.size()) {
    if (!loadBlock()) return false;
  }
  if (ended_) throw RecordingError("goes on after its end mark");
  const uint8_t* p = raw_.data() + at_;
  std::string error;
  if (!decoder_.decode(p, raw_.data() + raw_.size(), r, error))
    throw RecordingError(at(nextBlock_ - 1, file_.blocks[nextBlock_ - 1].offset - kBlockFrame) + ", record " +
                         std::to_string(count_) + ": " + error);
  at_ = static_cast<size_t>(p - raw_.data());
  ++count_;
  if (r.call == Call::End) ended_ = true;
  return true;
}

RecordingSummary checkRecords(const RecordingFile& file, bool checkSums) {
  RecordStream stream(file, checkSums);
  RecordingSummary s;
  Record r;
  bool sawClock = false;
  while (stream.next(r)) {
    if (r.call == Call::Now) {
      if (!sawClock) s.firstMs = static_cast<uint32_t>(r.v[0]);
      s.lastMs = static_cast<uint32_t>(r.v[0]);
      sawClock = true;
    }
    s.complete = r.call == Call::End;
  }
  s.records = stream.count();
  return s;
}

}  // namespace kv
