#pragma once
// Even loudness for AutoPilot ("Level Songs"): each song's integrated loudness and length, measured on a worker
// thread of its own (MeasureSong) and kept in a cache file, $XDG_CACHE_HOME/Marvane/levels.txt (default
// ~/.cache/...), one song a line: loudness, length, file size, modification time in milliseconds and path,
// separated by tabs. A song whose file changed (size or time) is measured again. The file is written atomically
// after each measurement.
//
// AutoPilot asks TrimDb for the song it starts: the correction that brings it to kTargetLufs, or 0 for a song
// not yet measured (which is queued, so it is known the next time). Manual lines are never levelled.
//
// UI thread, but for the worker, which hands each result back through the event loop.

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace marvane {

class SongLevels : public QObject {
  Q_OBJECT

 public:
  static constexpr double kTargetLufs = -18.0;

  // cacheFile empty: the per-user cache folder's levels.txt.
  explicit SongLevels(QString cacheFile = QString(), QObject* parent = nullptr);
  ~SongLevels() override;

  // Queues the songs not yet measured (or changed since).
  void Request(const QStringList& paths);
  // Decibels that bring the song to kTargetLufs; nothing while it is unmeasured (it is then queued).
  std::optional<double> TrimDb(const QString& path);
  // The song's length in seconds, when measured.
  std::optional<double> Seconds(const QString& path) const;

 Q_SIGNALS:
  // A song's measurement arrived (and the cache file was written).
  void Measured(const QString& path);

 private:
  struct Entry {
    double lufs = 0.0;
    double seconds = 0.0;
    qint64 size = 0;
    qint64 modified = 0;
  };
  const Entry* Current(const QString& path) const;
  void Load();
  void Save() const;
  void Store(const QString& path, double lufs, double seconds, qint64 size, qint64 modified);
  void WorkerMain(std::stop_token stop);

  QString file_;
  QHash<QString, Entry> entries_;
  std::mutex mutex_;
  std::condition_variable_any wake_;
  std::deque<QString> queue_;
  QStringList queued_;  // UI thread: asked for and not yet answered
  std::jthread worker_;
};

}  // namespace marvane
