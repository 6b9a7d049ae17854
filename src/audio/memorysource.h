#pragma once
// The bytes of a file held in memory (a fuzzer's input, a file read ahead), as a ByteSource. Every byte read is
// counted, so a caller can see what an operation cost.

#include <QByteArray>

#include "audio/bytesource.h"

namespace marvane {

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(QByteArray bytes) : bytes_(std::move(bytes)) {}

  int Read(std::uint8_t* buffer, int size) override;
  bool Seek(std::int64_t offset) override;
  std::int64_t Position() const override { return position_; }
  std::int64_t Size() const override { return bytes_.size(); }

  // Bytes handed out by Read since the source was made.
  std::int64_t BytesRead() const { return bytesRead_; }

 private:
  const QByteArray bytes_;
  std::int64_t position_ = 0;
  std::int64_t bytesRead_ = 0;
};

}  // namespace marvane
