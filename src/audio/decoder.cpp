#include "audio/decoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "audio/ffmpegdecoder.h"
#include "audio/mididecoder.h"

namespace marvane {
namespace {

// A metafile is a few lines of text; anything longer is not one.
constexpr qint64 kMaxRamBytes = 64 * 1024;

bool LooksLikeMidi(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  // Chosen by content, not by name, so a MIDI file named ".mp3" still plays and a ".mid" that is really
  // something else goes to FFmpeg.
  return file.read(4) == "MThd";
}

}  // namespace

QString ResolveRamFile(const QString& ramPath) {
  QFile file(ramPath);
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxRamBytes) return {};
  const QList<QByteArray> lines = file.readAll().split('\n');
  for (const QByteArray& raw : lines) {
    const QString line = QString::fromUtf8(raw).trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    QString target;
    const QUrl url(line);
    if (url.isLocalFile()) {
      target = url.toLocalFile();
    } else if (url.scheme().size() > 1) {
      return {};  // rtsp://, pnm://, http:// and the like: only local files play.
    } else {
      target = QDir::fromNativeSeparators(line);
      if (QFileInfo(target).isRelative()) target = QFileInfo(ramPath).absoluteDir().filePath(target);
    }
    const QFileInfo info(target);
    if (!info.isFile()) return {};
    // A metafile naming another metafile would let two files name each other for ever.
    if (info.suffix().compare(QStringLiteral("ram"), Qt::CaseInsensitive) == 0) return {};
    return info.absoluteFilePath();
  }
  return {};
}

std::unique_ptr<Decoder> OpenDecoder(const QString& path, int outputRate, QString* error) {
  const QFileInfo info(path);
  if (!info.isFile()) {
    *error = QStringLiteral("no such file");
    return nullptr;
  }
  if (info.suffix().compare(QStringLiteral("ram"), Qt::CaseInsensitive) == 0) {
    const QString target = ResolveRamFile(path);
    if (target.isEmpty()) {
      *error = QStringLiteral("the metafile names no local sound file");
      return nullptr;
    }
    return OpenDecoder(target, outputRate, error);
  }
  if (LooksLikeMidi(path)) return MidiDecoder::Open(path, outputRate, error);
  return FfmpegDecoder::Open(path, outputRate, error);
}

}  // namespace marvane
