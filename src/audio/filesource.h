#pragma once
// A local file as a ByteSource. Only regular files open: a folder, a named pipe or a device opens nothing, and
// opening never waits for one. Opening and every read give up as soon as `stop` is requested, so a player that
// lets a file go is never held by it. (A read that the system itself blocks, on a network mount that stopped
// answering, cannot be cut short from here; the engine leaves such a thread behind at exit, see AudioEngine.)

#include <QString>

#include <memory>
#include <stop_token>

#include "audio/bytesource.h"

namespace marvane {

class FileSource : public ByteSource {
 public:
  // The open file, or nullptr with a one-line reason in *error.
  static std::unique_ptr<FileSource> Open(const QString& path, std::stop_token stop, QString* error);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  int Read(std::uint8_t* buffer, int size) override;
  bool Seek(std::int64_t offset) override;
  std::int64_t Position() const override { return position_; }
  std::int64_t Size() const override { return size_; }

 private:
  FileSource(int fd, std::int64_t size, std::stop_token stop) : fd_(fd), size_(size), stop_(std::move(stop)) {}

  const int fd_;
  const std::int64_t size_;
  std::int64_t position_ = 0;
  const std::stop_token stop_;
};

}  // namespace marvane
