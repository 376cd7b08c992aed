#pragma once
// Compression of a recording's blocks. A recording is a long run of small, highly repetitive records
// (the same few calls every frame, clock steps of 16 or 17 ms), so each byte is predicted bit by bit
// from the bytes before it (contexts of 0 to 6 bytes, their predictions mixed by weights that learn,
// one set for each previous byte) and coded with a binary arithmetic coder: a predictable byte costs a
// small fraction of a bit.
// Everything is integer arithmetic, so any build on any machine decodes what another one wrote.
//
// The model learns across blocks: blocks are compressed and decompressed in order by one codec, and
// each block ends the arithmetic code on its own, so a file cut after a block keeps every block before.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kv {

class ByteModel;

class BlockCodec {
 public:
  BlockCodec();
  ~BlockCodec();
  BlockCodec(const BlockCodec&) = delete;
  BlockCodec& operator=(const BlockCodec&) = delete;

  std::vector<uint8_t> compress(const std::vector<uint8_t>& raw);
  // Always gives rawSize bytes; from damaged data they are garbage (the block's checksum tells).
  std::vector<uint8_t> decompress(const uint8_t* data, size_t size, size_t rawSize);

 private:
  std::unique_ptr<ByteModel> model_;
};

}  // namespace kv
