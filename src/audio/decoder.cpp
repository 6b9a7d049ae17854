#include "audio/decoder.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <cstring>
#include <optional>

#include "audio/codecs.h"
#include "audio/filesource.h"

namespace marvane {
namespace {

// A metafile is a few lines of text; anything longer is not one.
constexpr qint64 kMaxRamBytes = 64 * 1024;
// MIDI files are small; anything much larger is not one worth parsing.
constexpr qint64 kMaxMidiBytes = 16 * 1024 * 1024;

// The first `limit` bytes of the source from its start, or nothing when the file is longer or cannot be read.
std::optional<QByteArray> ReadWhole(ByteSource& source, qint64 limit) {
  if (source.Size() > limit || !source.Seek(0)) return std::nullopt;
  QByteArray bytes(source.Size(), Qt::Uninitialized);
  qint64 done = 0;
  while (done < bytes.size()) {
    const int got = source.Read(reinterpret_cast<std::uint8_t*>(bytes.data()) + done,
                                static_cast<int>(bytes.size() - done));
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    done += got;
  }
  bytes.truncate(done);
  return bytes;
}

}  // namespace

QString ResolveRamFile(const QString& ramPath, std::stop_token stop) {
  QString ignored;
  const std::unique_ptr<FileSource> source = FileSource::Open(ramPath, stop, &ignored);
  const std::optional<QByteArray> text = source ? ReadWhole(*source, kMaxRamBytes) : std::nullopt;
  if (!text) return {};
  const QList<QByteArray> lines = text->split('\n');
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

std::unique_ptr<Decoder> OpenDecoder(const QString& path, int outputRate, QString* error, std::stop_token stop) {
  if (QFileInfo(path).suffix().compare(QStringLiteral("ram"), Qt::CaseInsensitive) == 0) {
    const QString target = ResolveRamFile(path, stop);
    if (target.isEmpty()) {
      *error = QStringLiteral("the metafile names no local sound file");
      return nullptr;
    }
    return OpenDecoder(target, outputRate, error, stop);
  }
  std::unique_ptr<FileSource> source = FileSource::Open(path, stop, error);
  if (source == nullptr) return nullptr;
  const CodecTable* codecs = Codecs(error);
  if (codecs == nullptr) return nullptr;
  // Chosen by content, not by name, so a MIDI file named ".mp3" still plays and a ".mid" that is really
  // something else goes to FFmpeg.
  std::uint8_t magic[4] = {};
  if (source->Read(magic, 4) == 4 && std::memcmp(magic, "MThd", 4) == 0) {
    const std::optional<QByteArray> bytes = ReadWhole(*source, kMaxMidiBytes);
    if (!bytes) {
      *error = QStringLiteral("cannot read the MIDI file");
      return nullptr;
    }
    return codecs->openMidi(*bytes, outputRate, error);
  }
  if (!source->Seek(0)) {
    *error = QStringLiteral("cannot read the file");
    return nullptr;
  }
  return codecs->openFile(std::move(source), path, outputRate, std::move(stop), error);
}

}  // namespace marvane
