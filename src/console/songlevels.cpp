#include "console/songlevels.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "audio/loudnessmeter.h"
#include "common/atomicfile.h"

namespace marvane {

namespace {
QString DefaultCacheFile() {
  QString base = qEnvironmentVariable("XDG_CACHE_HOME");
  if (base.isEmpty() || !QDir::isAbsolutePath(base)) base = QDir::homePath() + QStringLiteral("/.cache");
  return base + QStringLiteral("/Marvane/levels.txt");
}
}  // namespace

SongLevels::SongLevels(QString cacheFile, QObject* parent)
    : QObject(parent), file_(cacheFile.isEmpty() ? DefaultCacheFile() : std::move(cacheFile)) {
  Load();
  worker_ = std::jthread([this](std::stop_token stop) { WorkerMain(stop); });
}

SongLevels::~SongLevels() {
  worker_.request_stop();
  wake_.notify_all();
  worker_.join();
}

void SongLevels::Load() {
  QFile file(file_);
  if (!file.open(QIODevice::ReadOnly)) return;
  for (const QByteArray& line : file.readAll().split('\n')) {
    const QList<QByteArray> parts = line.split('\t');
    if (parts.size() != 5) continue;
    entries_.insert(QString::fromUtf8(parts[4]),
                    Entry{parts[0].toDouble(), parts[1].toDouble(), parts[2].toLongLong(), parts[3].toLongLong()});
  }
}

void SongLevels::Save() const {
  QByteArray bytes;
  for (auto it = entries_.cbegin(); it != entries_.cend(); ++it) {
    const Entry& e = it.value();
    bytes += QByteArray::number(e.lufs, 'f', 2) + '\t' + QByteArray::number(e.seconds, 'f', 3) + '\t' +
             QByteArray::number(e.size) + '\t' + QByteArray::number(e.modified) + '\t' + it.key().toUtf8() + '\n';
  }
  WriteFileAtomically(file_, bytes);
}

const SongLevels::Entry* SongLevels::Current(const QString& path) const {
  const auto it = entries_.constFind(path);
  if (it == entries_.cend()) return nullptr;
  const QFileInfo info(path);
  if (info.size() != it->size || info.lastModified().toMSecsSinceEpoch() != it->modified) return nullptr;
  return &it.value();
}

void SongLevels::Request(const QStringList& paths) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const QString& path : paths) {
    if (path.isEmpty() || Current(path) != nullptr || queued_.contains(path)) continue;
    queued_ << path;
    queue_.push_back(path);
  }
  wake_.notify_one();
}

std::optional<double> SongLevels::TrimDb(const QString& path) {
  if (const Entry* e = Current(path)) return kTargetLufs - e->lufs;
  Request({path});
  return std::nullopt;
}

std::optional<double> SongLevels::Seconds(const QString& path) const {
  if (const Entry* e = Current(path)) return e->seconds;
  return std::nullopt;
}

void SongLevels::Store(const QString& path, double lufs, double seconds, qint64 size, qint64 modified) {
  queued_.removeAll(path);
  entries_.insert(path, Entry{lufs, seconds, size, modified});
  Save();
  Q_EMIT Measured(path);
}

void SongLevels::WorkerMain(std::stop_token stop) {
  for (;;) {
    QString path;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!wake_.wait(lock, stop, [this] { return !queue_.empty(); })) return;
      path = queue_.front();
      queue_.pop_front();
    }
    // The file's stamp is taken before it is read: a change during the measurement makes it stale at once.
    const QFileInfo info(path);
    const qint64 size = info.size();
    const qint64 modified = info.lastModified().toMSecsSinceEpoch();
    const std::optional<SongMeasure> measure = MeasureSong(path, stop);
    if (stop.stop_requested()) return;
    QMetaObject::invokeMethod(this, [this, path, measure, size, modified] {
      if (measure) {
        Store(path, measure->lufs, measure->seconds, size, modified);
      } else {
        queued_.removeAll(path);  // not a song that can be measured: it plays as it is
      }
    });
  }
}

}  // namespace marvane
