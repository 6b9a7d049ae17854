#pragma once
// Where a decoder reads a file's bytes: a local file (FileSource) or a block of memory (MemorySource). FFmpeg
// reads through one of these, never through a protocol of its own.
//
// Threads: used by one decoder thread at a time.

#include <cstdint>

namespace marvane {

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // Reads up to `size` bytes into `buffer` from the current position: the count, 0 at the end, or -1 on an error
  // (a file that stopped answering, or a read interrupted because the player let the file go).
  virtual int Read(std::uint8_t* buffer, int size) = 0;
  // Moves to `offset` bytes from the start. False when the source cannot go there.
  virtual bool Seek(std::int64_t offset) = 0;
  virtual std::int64_t Position() const = 0;
  // The length in bytes, or -1 when it is not known.
  virtual std::int64_t Size() const = 0;
};

}  // namespace marvane
