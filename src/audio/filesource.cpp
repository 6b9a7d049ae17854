#include "audio/filesource.h"

#include <QFile>

#include <algorithm>
#include <chrono>
#include <thread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marvane {
namespace {

// How often an open that another program holds up is tried again.
constexpr auto kRetryOpen = std::chrono::milliseconds(10);

}  // namespace

std::unique_ptr<FileSource> FileSource::Open(const QString& path, std::stop_token stop, QString* error) {
  const QByteArray native = QFile::encodeName(path);
  int fd = -1;
  while (fd < 0) {
    if (stop.stop_requested()) {
      *error = QStringLiteral("the open was cancelled");
      return nullptr;
    }
    // Without blocking: a named pipe would otherwise wait here for a writer, and a file that another program
    // holds a lease on (a file server's client, for one) would wait until that program lets go.
    fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 || errno == EINTR) continue;
    if (errno == EWOULDBLOCK) {
      std::this_thread::sleep_for(kRetryOpen);
      continue;
    }
    *error = errno == ENOENT ? QStringLiteral("no such file") : QString::fromLocal8Bit(std::strerror(errno));
    return nullptr;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    *error = QStringLiteral("not a file");
    return nullptr;
  }
  // Reads of a regular file wait for the disk as usual.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return std::unique_ptr<FileSource>(new FileSource(fd, info.st_size, std::move(stop)));
}

FileSource::~FileSource() { ::close(fd_); }

int FileSource::Read(std::uint8_t* buffer, int size) {
  for (;;) {
    if (stop_.stop_requested()) return -1;
    const ssize_t got = ::pread(fd_, buffer, static_cast<std::size_t>(std::max(size, 0)), position_);
    if (got >= 0) {
      position_ += got;
      return static_cast<int>(got);
    }
    if (errno != EINTR) return -1;
  }
}

bool FileSource::Seek(std::int64_t offset) {
  if (offset < 0) return false;
  position_ = offset;
  return true;
}

}  // namespace marvane
